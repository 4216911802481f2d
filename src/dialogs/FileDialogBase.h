// What the open and the save dialog share: their controls, the handlers that keep the folder,
// file and root lists in step, accept, Cancel and the load step.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <functional>
#include <string>

#include "data/DataState.h"
#include "dialogs/FolderLists.h"
#include "platform/Ui.h"

namespace ombrix {

// Text of the box, titled with the application's title, that reports a folder that does not
// exist.
inline constexpr std::string_view kPathNotFoundText = "Path not found.  Please respecify";

class FileDialogBase : public QDialog {
    Q_OBJECT
  public:
    ~FileDialogBase() override;

    // Controls (their objectNames are the same; the buttons are "DlgBut0" OK, "DlgBut1" Cancel).
    QLabel* PathSpec = nullptr;    // the full path of the current folder
    QLineEdit* TextBox = nullptr;  // a name, a pattern or a path typed by the user
    FolderList* Dir1 = nullptr;    // the folder tree; its path is the current folder
    FileList* File1 = nullptr;     // the current folder's files that match the pattern
    DriveList* Drive1 = nullptr;   // the roots the user can reach
    std::array<QPushButton*, 2> DlgBut{};

    // Which control the user worked with last: 1 the name box was written (by anyone),
    // 2 an entry of the folder list was clicked, 0 neither yet.
    short LastChange = 0;

    // What a click on DlgBut index does: 0 OK, 1 Cancel.
    void pressButton(int index);

    // Hands the user's choice of root to the folder list, as choosing it in Drive1 does.
    void chooseDrive(const QString& root);

    // The close box and Esc cancel, as the Cancel button does.
    void reject() override;

    // A window's layout in twips: its inner size and each control's left, top, width, height.
    struct Box {
        int left, top, width, height;
    };
    struct Layout {
        int width, height;
        Box pathSpec, textBox, dir1, file1, drive1, ok, cancel;
    };

  protected:
    FileDialogBase(DialogExchange& dlg, Ui& ui, QWidget* parent, const Layout& layout,
                   const QString& caption, const QStringList& roots);

    // The load step: the lists open in the folder of DlgPath (or the nearest folder above it
    // that can be read), the name box shows the pattern, all of it selected.
    void loadStep();

    // The OK handling of each window.
    virtual void ok() = 0;
    // The window's cancel flag (OpenCancelled or SaveCancelled).
    virtual std::string& cancelFlag() = 0;

    // The program writes the name box; this counts as an edit.
    void setText(const QString& text);
    // "Dir1 path := folder": a typed folder is resolved against the current one. Throws
    // PathNotFound or OmbrixError; the lists stay as they were then.
    void setDirPath(const QString& folder);
    // Opens the highlighted entry of the folder list.
    void openHighlightedFolder();
    // Accepts the current folder and the name box's text as the chosen file.
    void acceptChoice(const QString& file);
    // Selects the whole name box text and gives it the focus while the window is shown.
    void commonEnding();
    // Runs body; a failure is reported ("Path not found.  Please respecify" titled with the
    // application's title, any other the quoted description titled "Error") and the dialog
    // stays open. Returns false after a failure.
    bool guarded(const std::function<void()>& body);

    void showEvent(QShowEvent* event) override;

    DialogExchange& m_dlg;
    Ui& m_ui;

  private:
    void onDirChanged();
    void onFilePathChanged();
    void onDriveActivated(int index);
    void setFilePath(const QString& folder);
    void cancel();
    virtual void afterCancel() {}

    bool m_shownBefore = false;
};

}  // namespace ombrix
