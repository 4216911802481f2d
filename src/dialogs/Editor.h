// The text editor: a plain-text area with Open, New, Save, Save As, printing, the clipboard
// and Find, and a save prompt before unsaved changes are closed away.
#pragma once

#include <QAction>
#include <QDialog>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <functional>

#include "commands/Session.h"
#include "dialogs/KeptFileDialogs.h"
#include "platform/Ui.h"

namespace ombrix {

// The text area: Ctrl+X, Ctrl+C, Ctrl+V and Del reach the editor's menu commands instead of
// the text area's own handling.
class EditorTextArea : public QPlainTextEdit {
    Q_OBJECT
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    bool event(QEvent* e) override;
};

class Editor : public QDialog {
    Q_OBJECT
  public:
    // Centred on the screen; the flags TextSaved and TextChanged are reset and Untitled set.
    Editor(Session& session, Ui& ui, KeptFileDialogs& dialogs, QWidget* parent = nullptr);

    EditorTextArea* Text1 = nullptr;
    QMenuBar* menu = nullptr;
    QAction* OpenCmd = nullptr;
    QAction* NewCmd = nullptr;
    QAction* SaveCmd = nullptr;
    QAction* SaveAsCmd = nullptr;
    QAction* PrintAllCmd = nullptr;
    QAction* PrintSelCmd = nullptr;
    QAction* ExitCmd = nullptr;
    QAction* CutCmd = nullptr;
    QAction* CopyCmd = nullptr;
    QAction* PasteCmd = nullptr;
    QAction* DeleteCmd = nullptr;
    QAction* FindCmd = nullptr;
    QAction* FindNextCmd = nullptr;

    // The commands of the menu.
    void openFile();
    void newText();
    void save();
    void saveAs();
    void printAll();
    void printSelection();
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void find();
    void findNext();
    // Close: asks through the save prompt when the text has unsaved changes; false when the
    // editor stays open.
    bool closeEditor();

    // What printing does with a text (the default printer); tests replace it.
    void setPrinter(std::function<void(const QString&)> print) { m_print = std::move(print); }

    // The text as the file holds it: lines separated by "\n".
    QString text() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void buildMenu();
    void setText(const QString& text);
    bool writeText(const QString& path);
    bool askToSave();
    void select(long position);
    void print(const QString& printed, const QString& message);

    Session& m_session;
    EditorState& m_state;
    Ui& m_ui;
    KeptFileDialogs& m_dialogs;
    std::function<void(const QString&)> m_print;
    bool m_latin1 = false;        // the text came from a file that is not UTF-8
    bool m_bom = false;           // the text came from a UTF-8 file with a byte-order mark
    bool m_programmatic = false;  // the program, not the user, is changing the text
    bool m_closing = false;
};

// The title of the box that reports a search without a match.
inline constexpr std::string_view kFindTitle = "Varnix";

}  // namespace ombrix
