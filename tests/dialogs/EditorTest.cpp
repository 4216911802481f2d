#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <deque>

#include "dialogs/Editor.h"
#include "dialogs/EditorText.h"
#include "dialogs/FindDB.h"
#include "dialogs/NotSave.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::FakeUi;
using ombrix::test::readFile;
using ombrix::test::TempDir;

namespace {

QString qs(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

// Acts on the modal windows the editor shows, in order: each step waits until a modal window
// is shown (the step returns false while it is not the window it expects).
std::deque<std::function<bool(QWidget*)>> script;
QTimer* scriptTimer = nullptr;
QWidget* scriptOwner = nullptr;  // only windows of this test's main window are answered

bool ownedByTest(QWidget* w) {
    for (QWidget* p = w; p != nullptr; p = p->parentWidget()) {
        if (p == scriptOwner) {
            return true;
        }
    }
    return false;
}

void runScript() {
    if (scriptTimer == nullptr) {
        scriptTimer = new QTimer(qApp);
        scriptTimer->setInterval(5);
        QObject::connect(scriptTimer, &QTimer::timeout, [] {
            QWidget* w = QApplication::activeModalWidget();
            if (script.empty()) {
                scriptTimer->stop();
                return;
            }
            if (w != nullptr && w->isVisible() && ownedByTest(w) && script.front()(w)) {
                script.pop_front();
            }
        });
    }
    scriptTimer->start();
}

template <class Window>
void onNextModal(std::function<void(Window*)> act) {
    script.push_back([act = std::move(act)](QWidget* w) {
        auto* window = qobject_cast<Window*>(w);
        if (window == nullptr) {
            return false;
        }
        act(window);
        return true;
    });
    runScript();
}

// Chooses `name` in the open dialog (which opens in DlgPath) and presses OK.
void openInDialog(const QString& name) {
    onNextModal<FileDialogBase>([name](FileDialogBase* d) {
        d->TextBox->setText(name);
        d->pressButton(0);
    });
}

// Types a full path into the save dialog and presses OK, or presses Cancel for an empty path.
void saveInDialog(const QString& path) {
    onNextModal<FileDialogBase>([path](FileDialogBase* d) {
        if (path.isEmpty()) {
            d->pressButton(1);
            return;
        }
        d->TextBox->setText(path);
        d->pressButton(0);
    });
}

// Answers the save prompt: "yes", "no", "cancel" or "close".
void answerPrompt(const QString& answer) {
    onNextModal<NotSave>([answer](NotSave* p) {
        if (answer == "yes") {
            p->YesBut->click();
        } else if (answer == "no") {
            p->NoBut->click();
        } else if (answer == "cancel") {
            p->CancelBut->click();
        } else {
            p->close();
        }
    });
}

void findInDialog(const QString& what) {
    onNextModal<FindDB>([what](FindDB* f) {
        if (what.isEmpty()) {
            f->CancelBut->click();
            return;
        }
        f->Text1->setText(what);
        f->FindBut->click();
    });
}

struct EditorFixture : ::testing::Test {
    TempDir dir;
    Session session;
    FakeUi ui;
    QWidget main;
    KeptFileDialogs dialogs{session.dlg, ui, &main, &main, {"/"}};
    std::unique_ptr<Editor> editor;

    void SetUp() override {
        script.clear();
        scriptOwner = &main;
        session.dlg.DlgPath = dir.path().string() + "/";
        editor = std::make_unique<Editor>(session, ui, dialogs, &main);
        editor->show();
    }
    void open(const std::string& name) {
        openInDialog(QString::fromStdString(name));
        editor->openFile();
    }
    void type(const QString& s) {
        editor->Text1->moveCursor(QTextCursor::End);
        editor->Text1->insertPlainText(s);
    }
};

}  // namespace

TEST(EditorText, LinesEndWithCrLfLfOrCr) {
    EXPECT_EQ(decodeEditorFile("a\r\nb\r\n").text, "a\nb\n");
    EXPECT_EQ(decodeEditorFile("a\nb\n").text, "a\nb\n");
    EXPECT_EQ(decodeEditorFile("a\rb").text, "a\nb\n");
    EXPECT_EQ(decodeEditorFile("a\r\n\r\nb").text, "a\n\nb\n");
    EXPECT_EQ(decodeEditorFile("").text, "");
    EXPECT_EQ(encodeEditorText("a\nb\n", false), "a\r\nb\r\n");
    EXPECT_EQ(encodeEditorText("a\nb", false), "a\r\nb\r\n");  // one line end, not two
    EXPECT_EQ(encodeEditorText("", false), "");
}

TEST(EditorText, BytesThatAreNotUtf8ComeBackUnchanged) {
    const QByteArray latin1(
        "Temp\xb0"
        "F\xa0"
        "caf\xe9\r\n",
        13);
    const EditorFileText t = decodeEditorFile(latin1);
    EXPECT_TRUE(t.latin1);
    EXPECT_EQ(encodeEditorText(t.text, t.latin1), latin1);
    const QByteArray utf8("caf\xc3\xa9\r\n");
    const EditorFileText u = decodeEditorFile(utf8);
    EXPECT_FALSE(u.latin1);
    EXPECT_EQ(u.text, QString::fromUtf8("café\n"));
    EXPECT_EQ(encodeEditorText(u.text, u.latin1), utf8);
    // A Latin-1 text that gained a character Latin-1 cannot hold is written as UTF-8.
    EXPECT_EQ(encodeEditorText(QString::fromUtf8("€\n"), true), QByteArray("\xe2\x82\xac\r\n"));
}

TEST(EditorText, FailedWriteLeavesTheOldFileUntouched) {
    TempDir dir;
    const auto target = dir.write("bldg.utl", "1,2,3\r\n");
    // A file-size limit makes the write of the new content fail half-way.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const QByteArray big(5000, 'x');
    EXPECT_THROW(writeFileSafely(qs(target), big), OmbrixError);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(readFile(target), "1,2,3\r\n");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1u);  // no temporary file left behind
    EXPECT_THROW(writeFileSafely(qs(dir.path() / "bldg.utl" / "x.txt"), "y"), OmbrixError);
}

TEST_F(EditorFixture, CreatedWithItsMenuAndFlags) {
    EXPECT_EQ(editor->windowTitle(), "Editor");
    EXPECT_FALSE(session.editor.TextChanged);
    EXPECT_FALSE(session.editor.TextSaved);
    EXPECT_TRUE(session.editor.Untitled);
    EXPECT_FALSE(editor->FindNextCmd->isEnabled());
    EXPECT_EQ(editor->Text1->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(QFontInfo(editor->Text1->font()).fixedPitch());
    QStringList items;
    for (QAction* a : editor->menu->actions()) {
        items << a->text();
        for (QAction* b : a->menu()->actions()) {
            items << (b->isSeparator()
                          ? "-"
                          : b->text() +
                                (b->shortcut().isEmpty() ? "" : " " + b->shortcut().toString()));
        }
    }
    EXPECT_EQ(items, QStringList({"&File",       "&Open",
                                  "-",           "&New",
                                  "-",           "&Save",
                                  "Save &As",    "-",
                                  "&Print All",  "P&rint Selection",
                                  "-",           "&Close",
                                  "&Edit",       "Cut Ctrl+X",
                                  "Copy Ctrl+C", "Paste Ctrl+V",
                                  "Delete Del",  "-",
                                  "&Find...",    "Find Next F3"}));
}

TEST_F(EditorFixture, OpenEditSaveReopenKeepsTheLines) {
    for (const std::string content : {"1,15,2001,100\r\n2,14,2001,90\r\n", "a\nb\n", "a\r\nb"}) {
        const auto file = dir.write("data.utl", content);
        open("data.utl");
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_EQ(editor->windowTitle(), "Editor " + qs(file));
        EXPECT_FALSE(session.editor.TextChanged);
        EXPECT_FALSE(session.editor.Untitled);
        editor->save();  // saved unchanged: the same lines, CR LF line ends, nothing added
        const std::string crlf =
            content == "a\nb\n" || content == "a\r\nb" ? "a\r\nb\r\n" : content;
        EXPECT_EQ(readFile(file), crlf);
        editor->save();
        EXPECT_EQ(readFile(file), crlf);
    }
    // Correct a value, save, and the file holds the correction.
    dir.write("bldg.utl", "1,15,2001,100\r\n2,14,2001,90\r\n");
    open("bldg.utl");
    QTextCursor c = editor->Text1->document()->find("90");
    c.insertText("95");
    EXPECT_TRUE(session.editor.TextChanged);
    editor->save();
    EXPECT_TRUE(session.editor.TextSaved);
    EXPECT_EQ(readFile(dir.path() / "bldg.utl"), "1,15,2001,100\r\n2,14,2001,95\r\n");
}

TEST_F(EditorFixture, OpenFailureLeavesTextAndCaption) {
    type("kept");
    const auto file = dir.write("gone.txt", "data\r\n");
    // The file disappears between the choice and the read.
    onNextModal<FileDialogBase>([&](FileDialogBase* d) {
        d->TextBox->setText("gone.txt");
        d->pressButton(0);
        std::filesystem::remove(file);
    });
    editor->openFile();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Error in Open File Procedure");
    EXPECT_EQ(ui.boxes[0].text, "\"File not found: " + file.string() + "\"");
    EXPECT_EQ(editor->text(), "kept");
    EXPECT_EQ(editor->windowTitle(), "Editor");
    EXPECT_TRUE(session.editor.TextChanged);
    EXPECT_TRUE(session.editor.Untitled);
}

TEST_F(EditorFixture, CancelledOpenEmptiesTheCurrentFileSoSaveFailsButSaveAsWorks) {
    const auto file = dir.write("a.txt", "one\r\n");
    open("a.txt");
    onNextModal<FileDialogBase>([](FileDialogBase* d) { d->pressButton(1); });
    editor->openFile();
    EXPECT_EQ(editor->text(), "one\n");
    EXPECT_EQ(editor->windowTitle(), "Editor " + qs(file));
    EXPECT_TRUE(session.dlg.DlgPath.empty());
    type("two");
    editor->save();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Error in Save Procedure");
    EXPECT_EQ(readFile(file), "one\r\n");
    const auto other = dir.path() / "b.txt";
    saveInDialog(qs(other));
    editor->saveAs();
    EXPECT_EQ(readFile(other), "one\r\ntwo\r\n");
    EXPECT_EQ(editor->windowTitle(), "Editor " + qs(other));
    EXPECT_FALSE(session.editor.Untitled);
}

TEST_F(EditorFixture, SaveWhenUntitledIsSaveAsAndCancelWritesNothing) {
    type("new text");
    saveInDialog("");
    editor->save();
    EXPECT_TRUE(session.editor.Untitled);
    EXPECT_FALSE(session.editor.TextSaved);
    EXPECT_EQ(editor->windowTitle(), "Editor");
    const auto file = dir.path() / "new.txt";
    saveInDialog(qs(file));
    editor->save();
    EXPECT_EQ(readFile(file), "new text\r\n");
    EXPECT_TRUE(session.editor.TextSaved);
}

TEST_F(EditorFixture, ClosePromptAnswers) {
    type("x");
    answerPrompt("cancel");
    EXPECT_FALSE(editor->closeEditor());
    EXPECT_TRUE(editor->isVisible());
    answerPrompt("yes");
    saveInDialog("");  // Yes, then Cancel in the save dialog: the editor stays with its text
    EXPECT_FALSE(editor->closeEditor());
    EXPECT_EQ(editor->text(), "x");
    answerPrompt("close");  // the prompt's close box counts as No
    EXPECT_TRUE(editor->closeEditor());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(session.editor.TextSaved);
}

TEST_F(EditorFixture, CloseAfterYesSavesFirst) {
    type("keep me");
    const auto file = dir.path() / "kept.txt";
    answerPrompt("yes");
    saveInDialog(qs(file));
    EXPECT_TRUE(editor->closeEditor());
    EXPECT_EQ(readFile(file), "keep me\r\n");
}

TEST_F(EditorFixture, UnchangedOrSavedTextClosesWithoutAsking) {
    EXPECT_TRUE(editor->closeEditor());  // nothing typed: no prompt
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(EditorFixture, EditsAfterASaveAreNotLostOnClose) {
    const auto file = dir.path() / "a.txt";
    type("first");
    saveInDialog(qs(file));
    editor->saveAs();
    EXPECT_TRUE(session.editor.TextSaved);
    type(" second");
    EXPECT_FALSE(session.editor.TextSaved);
    answerPrompt("cancel");
    EXPECT_FALSE(editor->closeEditor());
    answerPrompt("no");
    EXPECT_TRUE(editor->closeEditor());
}

TEST_F(EditorFixture, CloseBoxAsksAsCloseDoes) {
    type("unsaved");
    answerPrompt("cancel");
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    answerPrompt("no");
    editor->close();
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(EditorFixture, FindAndFindNextCountFromTheStartWithoutWrapping) {
    type("x abc abc");
    findInDialog("abc");
    editor->find();
    EXPECT_EQ(editor->Text1->textCursor().selectionStart(), 2);
    EXPECT_EQ(editor->Text1->textCursor().selectedText(), "abc");
    EXPECT_EQ(session.editor.FindPos, 3);
    EXPECT_TRUE(editor->FindNextCmd->isEnabled());
    editor->findNext();
    EXPECT_EQ(editor->Text1->textCursor().selectionStart(), 6);
    EXPECT_EQ(session.editor.FindPos, 7);
    editor->findNext();
    EXPECT_EQ(ui.boxes, (std::vector<Box>{{"Varnix", "String not found."}}));
    EXPECT_EQ(session.editor.FindPos, 7);
    findInDialog("ABC");  // case-sensitive
    editor->find();
    EXPECT_EQ(ui.boxes.size(), 2u);
    findInDialog("");  // cancelled: nothing searched, and Find Next has nothing to find
    editor->find();
    editor->findNext();
    EXPECT_EQ(ui.boxes.size(), 2u);
}

TEST_F(EditorFixture, FindCountsLineBreaksAsTwoCharacters) {
    dir.write("f.txt", "ab\r\ncd\r\nab\r\n");
    open("f.txt");
    findInDialog("cd");
    editor->find();
    EXPECT_EQ(session.editor.FindPos, 5);
    EXPECT_EQ(editor->Text1->textCursor().selectedText(), "cd");
    findInDialog("ab");
    editor->find();
    editor->findNext();
    EXPECT_EQ(session.editor.FindPos, 9);
    EXPECT_EQ(editor->Text1->textCursor().selectionStart(), 6);
}

TEST_F(EditorFixture, FindDialogIsPrefilledWithTheSelection) {
    type("one two");
    QTextCursor c = editor->Text1->textCursor();
    c.setPosition(4);
    c.setPosition(7, QTextCursor::KeepAnchor);
    editor->Text1->setTextCursor(c);
    onNextModal<FindDB>([](FindDB* f) {
        EXPECT_EQ(f->Text1->text(), "two");
        EXPECT_TRUE(f->FindBut->isEnabled());
        f->FindBut->click();
    });
    editor->find();
    EXPECT_EQ(session.editor.FindPos, 5);
}

TEST_F(EditorFixture, ClipboardCommands) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("stale");
    type("hello world");
    editor->copy();  // nothing selected: the clipboard is left empty
    EXPECT_EQ(clipboard->text(), "");
    QTextCursor c = editor->Text1->textCursor();
    c.setPosition(0);
    c.setPosition(5, QTextCursor::KeepAnchor);
    editor->Text1->setTextCursor(c);
    editor->cut();
    EXPECT_EQ(clipboard->text(), "hello");
    EXPECT_EQ(editor->text(), " world");
    editor->Text1->moveCursor(QTextCursor::End);
    editor->paste();
    EXPECT_EQ(editor->text(), " worldhello");
    c = editor->Text1->textCursor();
    c.setPosition(0);
    c.setPosition(1, QTextCursor::KeepAnchor);
    editor->Text1->setTextCursor(c);
    editor->deleteSelection();
    EXPECT_EQ(editor->text(), "worldhello");
    EXPECT_EQ(clipboard->text(), "hello");  // Delete leaves the clipboard alone
    editor->Text1->moveCursor(QTextCursor::Start);
    editor->cut();  // an empty selection: nothing changes but the clipboard is emptied
    EXPECT_EQ(editor->text(), "worldhello");
    EXPECT_EQ(clipboard->text(), "");
}

TEST_F(EditorFixture, KeyboardShortcutsReachTheMenuCommands) {
    QGuiApplication::clipboard()->clear();
    editor->activateWindow();
    editor->Text1->setFocus();
    type("abc");
    editor->Text1->selectAll();
    QTest::keyClick(editor->Text1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "abc");
    QTest::keyClick(editor->Text1, Qt::Key_Delete);
    EXPECT_EQ(editor->text(), "");
    type("xy");
    editor->Text1->moveCursor(QTextCursor::Start);
    QTest::keyClick(editor->Text1, Qt::Key_Delete);  // no selection: the next character goes
    EXPECT_EQ(editor->text(), "y");
}

TEST_F(EditorFixture, PrintingShowsTheNoticeAndPutsTheTextBack) {
    type("line one\nline two");
    QStringList printed;
    QStringList shown;
    editor->setPrinter([&](const QString& t) {
        printed << t;
        shown << editor->text();
    });
    session.editor.TextChanged = false;
    editor->printAll();
    EXPECT_EQ(printed, QStringList({"line one\nline two\n"}));
    EXPECT_EQ(shown, QStringList({"Now printing..."}));
    EXPECT_EQ(editor->text(), "line one\nline two");
    EXPECT_TRUE(session.editor.TextChanged);
    editor->printSelection();  // nothing selected: nothing printed
    EXPECT_EQ(printed.size(), 1);
    QTextCursor c = editor->Text1->document()->find("two");
    editor->Text1->setTextCursor(c);
    editor->printSelection();
    EXPECT_EQ(printed.last(), "two\n");
    EXPECT_EQ(shown.last(), "Now printing selected text...");
    EXPECT_EQ(editor->Text1->textCursor().selectedText(), "two");

    editor->setPrinter([](const QString&) { throw OmbrixError("No default printer is set up"); });
    editor->printAll();
    EXPECT_EQ(
        ui.boxes,
        (std::vector<Box>{{"Error in Printing Procedure", "\"No default printer is set up\""}}));
    EXPECT_EQ(editor->text(), "line one\nline two");
}

TEST_F(EditorFixture, PrintAllReachesTheDefaultPrinter) {
    if (QPrinterInfo::defaultPrinter().isNull()) {
        if (qEnvironmentVariableIsSet("OMBRIX_REQUIRE_PRINTER")) {
            FAIL() << "no default printer; scripts/setup-printer.sh sets one up";
        }
        GTEST_SKIP() << "no default printer";
    }
    // The job goes to the print server; a PDF of it is checked in the main window's tests.
    type("Ombrix editor printout 4711");
    editor->printAll();
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxes.front().text;
}

TEST_F(EditorFixture, NewAsksBeforeUnsavedTextIsEmptied) {
    type("draft");
    answerPrompt("cancel");
    editor->newText();
    EXPECT_EQ(editor->text(), "draft");
    answerPrompt("no");
    editor->newText();
    EXPECT_EQ(editor->text(), "");
    EXPECT_TRUE(session.editor.Untitled);
    EXPECT_EQ(editor->windowTitle(), "Editor");
}

TEST(EditorText, ByteOrderMarkStaysOutOfTheTextAndIsWrittenBack) {
    const QByteArray marked(
        "\xEF\xBB\xBF"
        "1,7,2008\r\n");
    const EditorFileText t = decodeEditorFile(marked);
    EXPECT_TRUE(t.bom);
    EXPECT_FALSE(t.latin1);
    EXPECT_EQ(t.text, "1,7,2008\n");
    EXPECT_EQ(encodeEditorText(t.text, t.latin1, t.bom), marked);
    EXPECT_EQ(encodeEditorText(QString(), false, true), "\xEF\xBB\xBF");  // a file of the mark only
    // Bytes that only look like a mark in a file that is not UTF-8 are ordinary characters.
    const QByteArray latin1("\xEF\xBB\xBF\xE9\r\n");
    const EditorFileText l = decodeEditorFile(latin1);
    EXPECT_FALSE(l.bom);
    EXPECT_EQ(encodeEditorText(l.text, l.latin1, l.bom), latin1);
}

TEST_F(EditorFixture, SavingAFileWithAByteOrderMarkKeepsTheMark) {
    const auto file = dir.write("marked.utl",
                                "\xEF\xBB\xBF"
                                "1,15,2001,100\r\n");
    open("marked.utl");
    EXPECT_EQ(editor->text(), "1,15,2001,100\n");
    type("2,14,2001,95");
    editor->save();
    EXPECT_EQ(readFile(file),
              "\xEF\xBB\xBF"
              "1,15,2001,100\r\n2,14,2001,95\r\n");
    // A new text has no mark of its own.
    editor->newText();
    type("x");
    const auto other = dir.path() / "new.txt";
    saveInDialog(qs(other));
    editor->saveAs();
    EXPECT_EQ(readFile(other), "x\r\n");
}

TEST_F(EditorFixture, OpeningANamedPipeIsRefusedAtOnce) {
    // The chosen file is replaced by a named pipe with no writer before it is read: reading it
    // would wait for ever, so the editor refuses it and keeps its text.
    type("kept");
    const auto file = dir.write("data.utl", "1,2\r\n");
    onNextModal<FileDialogBase>([&](FileDialogBase* d) {
        d->TextBox->setText("data.utl");
        d->pressButton(0);
        std::filesystem::remove(file);
        ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    });
    editor->openFile();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Error in Open File Procedure");
    EXPECT_EQ(ui.boxes[0].text, "\"Not a file: " + file.string() + "\"");
    EXPECT_EQ(editor->text(), "kept");
}
