#include <QTimer>
#include <filesystem>

#include "DialogFixture.h"
#include "dialogs/FileSave.h"
#include "dialogs/KeptFileDialogs.h"
#include "platform/Twips.h"

using namespace ombrix;
using ombrix::test::Box;

namespace {

class FileSaveTest : public ombrix::test::DialogTest {
  protected:
    std::unique_ptr<FileSave> saveIn(const QString& rel) {
        dlg.DlgPath = slashed(rel);
        auto w = std::make_unique<FileSave>(dlg, ui, nullptr, nullptr, roots());
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return w;
    }
};

}  // namespace

TEST_F(FileSaveTest, Layout_InTwipsAndCentredOverTheMainWindow) {
    QWidget main;
    main.setGeometry(100, 120, 900, 700);
    showAndWait(main);
    FileSave w(dlg, ui, &main, nullptr, roots());
    const double dpi = w.logicalDpiX();
    auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    EXPECT_EQ(w.windowTitle(), "Save As");
    EXPECT_EQ(w.size(), QSize(px(8430), px(4065)));
    EXPECT_EQ(w.PathSpec->geometry(), QRect(px(240), px(240), px(4095), px(255)));
    EXPECT_EQ(w.TextBox->geometry(), QRect(px(4560), px(120), px(3735), px(380)));
    EXPECT_EQ(w.Dir1->geometry(), QRect(px(120), px(720), px(4215), px(2790)));
    EXPECT_EQ(w.File1->geometry(), QRect(px(4560), px(720), px(3735), px(2760)));
    EXPECT_EQ(w.Drive1->geometry(), QRect(px(120), px(3600), px(4215), px(315)));
    EXPECT_EQ(w.DlgBut[0]->geometry(), QRect(px(5160), px(3600), px(1215), px(375)));
    EXPECT_EQ(w.DlgBut[1]->geometry(), QRect(px(6840), px(3600), px(1215), px(375)));
    const QRect m = main.frameGeometry();
    EXPECT_EQ(w.x(), m.left() + (m.width() - w.width()) / 2);
    EXPECT_EQ(w.y(), m.top() + (m.height() - w.height()) / 2);
}

TEST_F(FileSaveTest, Ok_TypedFullPathGivesFolderAndName) {
    auto w = saveIn("data");
    dlg.OpenCancelled = "on";
    type(*w, at("other") + "/out.txt");
    ok(*w);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(dlg.DlgPath, slashed("other"));
    EXPECT_EQ(dlg.DlgFile, "out.txt");
    EXPECT_EQ(dlg.SaveCancelled, "off");
    EXPECT_EQ(dlg.OpenCancelled, "on");  // the save dialog leaves the open dialog's flag
    EXPECT_EQ(w->Dir1->path(), at("other"));
    EXPECT_EQ(w->Drive1->drive(), root());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(FileSaveTest, Ok_PlainNameIsSavedInTheCurrentFolderEvenIfNotListed) {
    auto w = saveIn("data");
    type(*w, "NOTES.TXT");  // differs from Notes.txt only in case: a new file here
    ok(*w);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(dlg.DlgPath, slashed("data"));
    EXPECT_EQ(dlg.DlgFile, "NOTES.TXT");
}

TEST_F(FileSaveTest, Show_FileListIgnoresTheCallersPattern) {
    dlg.DlgPattern = "*.txt";
    auto w = saveIn("data");
    EXPECT_EQ(w->File1->pattern(), "*.*");
    EXPECT_EQ(w->File1->names().size(), 5);
    EXPECT_EQ(w->TextBox->text(), "*.*");
}

TEST_F(FileSaveTest, Ok_PatternLeftInTheBoxIsNotTakenAsAName) {
    auto w = saveIn("data");
    ok(*w);  // the box still shows "*.*"
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], (Box{"Error", "\"Invalid file name: *.*\""}));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(dlg.SaveCancelled, "");
    EXPECT_EQ(dlg.DlgFile, "");
    EXPECT_EQ(w->TextBox->selectedText(), "*.*");

    type(*w, "bldg?.utl");
    ok(*w);
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(FileSaveTest, Ok_MissingFolderIsReportedAndNothingAccepted) {
    auto w = saveIn("data");
    type(*w, at("nothere") + "/out.txt");
    ok(*w);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], (Box{"Ombrix", "Path not found.  Please respecify"}));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(dlg.DlgPath, slashed("data"));
    EXPECT_EQ(dlg.DlgFile, "");
    EXPECT_EQ(dlg.SaveCancelled, "");
    EXPECT_EQ(w->Dir1->path(), at("data"));

    type(*w, at(QString(300, 'n')) + "/out.txt");
    ok(*w);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].title, "Error");
    EXPECT_TRUE(w->isVisible());
}

TEST_F(FileSaveTest, Folders_ClickThenOkOpensAndDoubleClickedFileIsChosen) {
    auto w = saveIn("data");
    clickFolder(*w, at("data/sub"));
    ok(*w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Dir1->path(), at("data/sub"));
    EXPECT_EQ(dlg.SaveCancelled, "");
    doubleClickFile(*w, "c.utl");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(dlg.DlgPath + dlg.DlgFile, at("data/sub/c.utl").toStdString());
    EXPECT_EQ(dlg.SaveCancelled, "off");
}

TEST_F(FileSaveTest, Cancel_EmptiesChoiceAndSetsOnlyTheSaveFlag) {
    auto w = saveIn("data");
    dlg.DlgFile = "x.txt";
    dlg.OpenCancelled = "off";
    ui.setBusy(true);
    cancel(*w);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(dlg.DlgPath + dlg.DlgFile, "");
    EXPECT_EQ(dlg.SaveCancelled, "on");
    EXPECT_EQ(dlg.OpenCancelled, "off");
    EXPECT_TRUE(ui.busy);  // the save dialog leaves the pointer alone
}

TEST_F(FileSaveTest, Kept_ShownAgainKeepsItsTextAndOkChoosesTheSameFile) {
    QWidget owner;
    KeptFileDialogs kept(dlg, ui, &owner, &owner, roots());
    dlg.DlgPath = slashed("data");
    QTimer::singleShot(0, [&] {
        type(kept.save(), "sub/report.txt");
        ok(kept.save());
    });
    kept.showSave();
    EXPECT_EQ(dlg.DlgPath, slashed("data/sub"));
    EXPECT_EQ(dlg.DlgFile, "report.txt");
    EXPECT_EQ(dlg.SaveCancelled, "off");

    // The editor's next Save As: the text and the last change are as they were left.
    dlg.DlgPath.clear();
    dlg.DlgFile.clear();
    QString text;
    short lastChange = 0;
    QTimer::singleShot(0, [&] {
        text = kept.save().TextBox->text();
        lastChange = kept.save().LastChange;
        ok(kept.save());
    });
    kept.showSave();
    EXPECT_EQ(text, at("data/sub") + "/report.txt");
    EXPECT_EQ(lastChange, 1);
    EXPECT_EQ(dlg.DlgPath, slashed("data/sub"));
    EXPECT_EQ(dlg.DlgFile, "report.txt");
    EXPECT_TRUE(ui.boxes.empty());
}
