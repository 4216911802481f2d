// The three list controls of the file dialogs: the folder list, the file list and the root
// list. They show and keep their state; the dialog keeps them in step.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QStringList>
#include <QTreeWidget>

namespace ombrix {

// The folder tree of the current root down to the current folder, with its subfolders below
// it. Its path is the current folder; one entry is highlighted (the current folder until the
// user moves the highlight).
class FolderList : public QTreeWidget {
    Q_OBJECT
  public:
    explicit FolderList(QWidget* parent = nullptr);

    const QString& path() const { return m_path; }
    // The roots the tree can start at; the tree starts at the one that holds the path.
    void setRoots(const QStringList& roots);
    // Opens folder (absolute): true when the path changed (the same path is not read again).
    // Throws PathNotFound or OmbrixError and leaves the list as it was when the folder cannot
    // be read.
    bool setPath(const QString& folder);
    // Reads the current folder again.
    void refresh();
    // The folder of the highlighted entry (the current folder when nothing is highlighted).
    QString highlighted() const;
    // Highlights the entry of folder; false when it is not shown.
    bool highlight(const QString& folder);
    // The folders shown, top to bottom.
    QStringList entries() const;
    // The entry of folder, or nullptr.
    QTreeWidgetItem* itemOf(const QString& folder) const;

  private:
    void rebuild(const QString& folder, const QStringList& subfolders);

    QString m_path;
    QStringList m_roots;
};

// The files of one folder that match a pattern.
class FileList : public QListWidget {
    Q_OBJECT
  public:
    explicit FileList(QWidget* parent = nullptr);

    const QString& path() const { return m_path; }
    // Lists folder (absolute): true when the path changed (the same path is not read again).
    // Throws PathNotFound or OmbrixError and leaves the list as it was when the folder cannot
    // be read.
    bool setPath(const QString& folder);
    const QString& pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    // Reads the folder again.
    void refresh();
    // The names listed, top to bottom.
    QStringList names() const;
    // Makes the listed name (compared exactly) the current file; false when it is not listed.
    bool selectName(const QString& name);

  private:
    void fill();

    QString m_path;
    QString m_pattern;
    QStringList m_all;  // every file of the folder, as last read
};

// The roots the user can reach.
class DriveList : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveList(QWidget* parent = nullptr);

    void setRoots(const QStringList& roots);
    QStringList roots() const;
    // The root shown.
    QString drive() const;
    // Shows the root that holds folder; the user's change signal (activated) is not sent.
    void showDriveOf(const QString& folder);
};

}  // namespace ombrix
