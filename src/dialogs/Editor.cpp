#include "dialogs/Editor.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QTextDocument>
#include <QVBoxLayout>

#include "dialogs/DialogLayout.h"
#include "dialogs/EditorText.h"
#include "dialogs/FindDB.h"
#include "dialogs/NotSave.h"
#include "platform/Errors.h"
#include "platform/qt/PictureRenderer.h"
#include "platform/qt/Printer.h"

namespace ombrix {
namespace {

QString fromStd(const std::string& s) {
    return QString::fromStdString(s);
}

// The document's text with its blocks separated by "\n", non-breaking spaces kept.
QString plainText(const QTextDocument& document) {
    QString raw = document.toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    raw.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return raw;
}

QString selectedText(const QTextCursor& cursor) {
    QString s = cursor.selectedText();
    s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    s.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return s;
}

}  // namespace

bool EditorTextArea::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        const bool clipboardKey = key->matches(QKeySequence::Cut) ||
                                  key->matches(QKeySequence::Copy) ||
                                  key->matches(QKeySequence::Paste);
        // Del deletes the selection through the menu; with nothing selected it deletes the
        // character after the cursor, as in any text area.
        const bool deleteSelection = key->key() == Qt::Key_Delete &&
                                     key->modifiers() == Qt::NoModifier &&
                                     textCursor().hasSelection();
        if (clipboardKey || deleteSelection) {
            e->ignore();
            return false;
        }
    }
    return QPlainTextEdit::event(e);
}

Editor::Editor(Session& session, Ui& ui, KeptFileDialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      m_session(session),
      m_state(session.editor),
      m_ui(ui),
      m_dialogs(dialogs),
      m_print([](const QString& text) {
          printTextOnDefaultPrinter(text, QStringLiteral("Ombrix Editor"));
      }) {
    setObjectName("Editor");
    setWindowTitle("Editor");
    setSizeGripEnabled(true);
    const TwipLayout t(this, "MS Sans Serif");
    resize(t.px(7320), t.px(4950));

    m_state.TextSaved = false;
    m_state.TextChanged = false;
    m_state.Untitled = true;

    Text1 = new EditorTextArea(this);
    Text1->setObjectName("Text1");
    QFont fixed = systemFont("FixedSys", 0);
    fixed.setBold(false);
    Text1->setFont(fixed);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(Text1, &QPlainTextEdit::textChanged, this, [this] {
        m_state.TextChanged = true;
        if (!m_programmatic) {
            // An edit after a save is unsaved again, so Close asks before it is lost.
            m_state.TextSaved = false;
        }
    });

    menu = new QMenuBar(this);
    buildMenu();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menu);
    layout->addWidget(Text1);
    centreOnScreen(this);
}

void Editor::buildMenu() {
    auto add = [this](QMenu* m, const char* name, const char* caption, QKeySequence key,
                      void (Editor::*command)()) {
        QAction* a = m->addAction(QString::fromUtf8(caption));
        a->setObjectName(name);
        if (!key.isEmpty()) {
            a->setShortcut(key);
        }
        connect(a, &QAction::triggered, this, command);
        return a;
    };
    QMenu* file = menu->addMenu("&File");
    file->setObjectName("FileCmd");
    OpenCmd = add(file, "OpenCmd", "&Open", {}, &Editor::openFile);
    file->addSeparator()->setObjectName("s1");
    NewCmd = add(file, "NewCmd", "&New", {}, &Editor::newText);
    file->addSeparator()->setObjectName("s2");
    SaveCmd = add(file, "SaveCmd", "&Save", {}, &Editor::save);
    SaveAsCmd = add(file, "SaveAsCmd", "Save &As", {}, &Editor::saveAs);
    file->addSeparator()->setObjectName("s3");
    PrintAllCmd = add(file, "PrintAllCmd", "&Print All", {}, &Editor::printAll);
    PrintSelCmd = add(file, "PrintSelCmd", "P&rint Selection", {}, &Editor::printSelection);
    file->addSeparator()->setObjectName("z5");
    ExitCmd = file->addAction("&Close");
    ExitCmd->setObjectName("ExitCmd");
    connect(ExitCmd, &QAction::triggered, this, [this] { closeEditor(); });

    QMenu* edit = menu->addMenu("&Edit");
    edit->setObjectName("EditCmd");
    CutCmd = add(edit, "CutCmd", "Cut", QKeySequence(Qt::CTRL | Qt::Key_X), &Editor::cut);
    CopyCmd = add(edit, "CopyCmd", "Copy", QKeySequence(Qt::CTRL | Qt::Key_C), &Editor::copy);
    PasteCmd = add(edit, "PasteCmd", "Paste", QKeySequence(Qt::CTRL | Qt::Key_V), &Editor::paste);
    DeleteCmd =
        add(edit, "DeleteCmd", "Delete", QKeySequence(Qt::Key_Delete), &Editor::deleteSelection);
    edit->addSeparator()->setObjectName("s4");
    FindCmd = add(edit, "FindCmd", "&Find...", {}, &Editor::find);
    FindNextCmd =
        add(edit, "FindNextCmd", "Find Next", QKeySequence(Qt::Key_F3), &Editor::findNext);
    FindNextCmd->setEnabled(false);
}

QString Editor::text() const {
    return plainText(*Text1->document());
}

void Editor::setText(const QString& text) {
    m_programmatic = true;
    Text1->setPlainText(text);
    m_programmatic = false;
}

void Editor::openFile() {
    m_session.dlg.DlgPattern = "*.*";
    m_dialogs.showOpen();
    m_ui.processEvents();
    if (m_session.dlg.OpenCancelled == "on") {
        return;
    }
    runGuarded(m_ui, "Error in Open File Procedure", &m_session.data.MsgText, [&] {
        BusyPointer busy(m_ui);
        const QString path = fromStd(m_session.dlg.DlgPath + m_session.dlg.DlgFile);
        // The text area changes only once the whole file has been read.
        const EditorFileText loaded = decodeEditorFile(readWholeFile(path));
        setText(loaded.text);
        m_ui.processEvents();
        m_latin1 = loaded.latin1;
        m_bom = loaded.bom;
        m_state.TextChanged = false;
        m_state.Untitled = false;
        setWindowTitle("Editor " + path);
    });
}

void Editor::newText() {
    // Unsaved changes are offered for saving first, as Close does.
    if (!askToSave()) {
        return;
    }
    setWindowTitle("Editor");
    setText(QString());
    m_latin1 = false;
    m_bom = false;
    m_state.Untitled = true;
}

bool Editor::writeText(const QString& path) {
    return runGuarded(m_ui, "Error in Save Procedure", &m_session.data.MsgText, [&] {
        if (path.isEmpty() || path.endsWith(QLatin1Char('/'))) {
            throw OmbrixError("No file to save to: the last file dialog was cancelled");
        }
        BusyPointer busy(m_ui);
        writeFileSafely(path, encodeEditorText(text(), m_latin1, m_bom));
    });
}

void Editor::save() {
    if (m_state.Untitled) {
        saveAs();
        return;
    }
    if (writeText(fromStd(m_session.dlg.DlgPath + m_session.dlg.DlgFile))) {
        m_state.TextSaved = true;
    }
}

void Editor::saveAs() {
    m_session.dlg.DlgPattern = "*.txt";
    m_dialogs.showSave();
    if (m_session.dlg.SaveCancelled == "on") {
        return;
    }
    const QString path = fromStd(m_session.dlg.DlgPath + m_session.dlg.DlgFile);
    if (writeText(path)) {
        setWindowTitle("Editor " + path);
        m_state.TextSaved = true;
        m_state.Untitled = false;
    }
}

void Editor::print(const QString& printed, const QString& message) {
    // The text area shows the message while the job is prepared; its own document, with its
    // selection and undo history, comes back afterwards.
    QTextDocument* own = Text1->document();
    own->setParent(this);  // a document owned by the text area would be deleted by the swap
    const QTextCursor cursor = Text1->textCursor();
    QTextDocument notice;
    notice.setDocumentLayout(new QPlainTextDocumentLayout(&notice));
    notice.setPlainText(message);
    m_programmatic = true;
    Text1->setDocument(&notice);
    m_state.TextChanged = true;
    m_ui.processEvents();
    runGuarded(m_ui, "Error in Printing Procedure", &m_session.data.MsgText, [&] {
        BusyPointer busy(m_ui);
        m_print(printed + QLatin1Char('\n'));
    });
    Text1->setDocument(own);
    Text1->setTextCursor(cursor);
    m_programmatic = false;
    m_state.TextChanged = true;
}

void Editor::printAll() {
    print(text(), "Now printing...");
}

void Editor::printSelection() {
    const QString selection = selectedText(Text1->textCursor());
    if (selection.isEmpty()) {
        return;
    }
    print(selection, "Now printing selected text...");
}

void Editor::cut() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString selection = selectedText(Text1->textCursor());
    clipboard->clear();
    if (!selection.isEmpty()) {
        clipboard->setText(selection);
    }
    Text1->textCursor().removeSelectedText();
}

void Editor::copy() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString selection = selectedText(Text1->textCursor());
    clipboard->clear();
    if (!selection.isEmpty()) {
        clipboard->setText(selection);
    }
}

void Editor::paste() {
    Text1->textCursor().insertText(QGuiApplication::clipboard()->text());
}

void Editor::deleteSelection() {
    Text1->textCursor().removeSelectedText();
}

void Editor::select(long position) {
    const QString all = text();
    const long start = crLfOffsetToText(all, position - 1);
    const long length = static_cast<long>(fromStd(m_state.FindText).size());
    QTextCursor c = Text1->textCursor();
    c.setPosition(static_cast<int>(start));
    c.setPosition(static_cast<int>(start + length), QTextCursor::KeepAnchor);
    Text1->setTextCursor(c);
    Text1->ensureCursorVisible();
}

void Editor::find() {
    {
        FindDB dialog(m_state, selectedText(Text1->textCursor()), this);
        dialog.exec();
    }
    if (m_state.FindText.empty() || m_state.FindCancelled) {
        return;
    }
    const long p = findCrLf(text(), fromStd(m_state.FindText), 1);
    if (p > 0) {
        select(p);
        m_state.FindPos = p;
    } else {
        m_ui.messageBox("String not found.", kFindTitle);
    }
    FindNextCmd->setEnabled(true);
}

void Editor::findNext() {
    if (m_state.FindText.empty()) {
        return;
    }
    const long p = findCrLf(text(), fromStd(m_state.FindText), m_state.FindPos + 1);
    if (p > 0) {
        select(p);
        m_state.FindPos = p;
    } else {
        m_ui.messageBox("String not found.", kFindTitle);
    }
}

bool Editor::askToSave() {
    if (m_state.TextSaved || !m_state.TextChanged) {
        return true;
    }
    {
        NotSave prompt(m_state, this);
        prompt.exec();
    }
    if (m_state.SaveAnswerYes) {
        saveAs();
        // A cancelled or failed save keeps the editor and its text.
        return m_session.dlg.SaveCancelled != "on" && m_state.TextSaved;
    }
    if (m_state.SaveAnswerCancel) {
        return false;
    }
    m_state.TextSaved = true;  // No, or the prompt closed without an answer
    return true;
}

bool Editor::closeEditor() {
    if (!askToSave()) {
        return false;
    }
    setText(QString());
    m_closing = true;
    done(QDialog::Accepted);
    return true;
}

void Editor::closeEvent(QCloseEvent* event) {
    // The close box closes as the Close command does, asking first about unsaved changes.
    if (m_closing || closeEditor()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void Editor::reject() {
    if (!m_closing) {
        closeEditor();
    }
}

}  // namespace ombrix
