#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include "dialogs/FindDB.h"
#include "dialogs/NotSave.h"
#include "platform/Twips.h"

using namespace ombrix;

TEST(NotSave, AnswersYesNoCancelAndCloseBox) {
    EditorState s;
    s.SaveAnswerYes = true;
    s.SaveAnswerCancel = true;
    {
        NotSave prompt(s);
        EXPECT_FALSE(s.SaveAnswerYes);  // reset on creation
        EXPECT_FALSE(s.SaveAnswerCancel);
        EXPECT_EQ(prompt.windowTitle(), "Editor");
        EXPECT_EQ(prompt.Label1->text(), "Loaded file is not saved.  Save it now?");
        EXPECT_TRUE(prompt.YesBut->isDefault());
        const double dpi = prompt.logicalDpiX();
        EXPECT_EQ(prompt.size(), QSize(twipsToPixels(5040, dpi), twipsToPixels(1680, dpi)));
        QTimer::singleShot(0, &prompt, [&] { prompt.YesBut->click(); });
        prompt.exec();
        EXPECT_TRUE(s.SaveAnswerYes);
        EXPECT_FALSE(s.SaveAnswerCancel);
    }
    {
        NotSave prompt(s);
        QTimer::singleShot(0, &prompt, [&] { prompt.CancelBut->click(); });
        prompt.exec();
        EXPECT_FALSE(s.SaveAnswerYes);
        EXPECT_TRUE(s.SaveAnswerCancel);
    }
    for (int way = 0; way < 2; ++way) {  // "No", and the close box, set neither answer
        NotSave prompt(s);
        QTimer::singleShot(0, &prompt, [&] {
            if (way == 0) {
                prompt.NoBut->click();
            } else {
                prompt.close();
            }
        });
        prompt.exec();
        EXPECT_FALSE(s.SaveAnswerYes);
        EXPECT_FALSE(s.SaveAnswerCancel);
    }
}

TEST(FindDB, ActivationResetsAndPrefillsFromTheSelection) {
    EditorState s;
    s.FindText = "old";
    s.FindCancelled = true;
    FindDB withSelection(s, "abc");
    withSelection.show();
    EXPECT_TRUE(s.FindText.empty());
    EXPECT_FALSE(s.FindCancelled);
    EXPECT_EQ(withSelection.Text1->text(), "abc");
    EXPECT_TRUE(withSelection.FindBut->isEnabled());

    FindDB empty(s, "");
    empty.show();
    EXPECT_EQ(empty.Text1->text(), "");
    EXPECT_FALSE(empty.FindBut->isEnabled());
    QTest::keyClicks(empty.Text1, "x");
    EXPECT_TRUE(empty.FindBut->isEnabled());
    empty.Text1->clear();
    EXPECT_TRUE(empty.FindBut->isEnabled());  // any change enables it, even to empty
    empty.FindBut->click();                   // with an empty box nothing happens
    EXPECT_TRUE(empty.isVisible());
    EXPECT_TRUE(s.FindText.empty());
}

TEST(FindDB, FindNextStoresTheTextCancelSetsTheFlag) {
    EditorState s;
    {
        FindDB dlg(s, "");
        QTimer::singleShot(0, &dlg, [&] {
            QTest::keyClicks(dlg.Text1, "abc");
            QTest::keyClick(dlg.Text1, Qt::Key_Return);  // Enter triggers "Find Next"
        });
        dlg.exec();
        EXPECT_EQ(s.FindText, "abc");
        EXPECT_FALSE(s.FindCancelled);
    }
    {
        FindDB dlg(s, "zzz");
        QTimer::singleShot(0, &dlg, [&] { dlg.CancelBut->click(); });
        dlg.exec();
        EXPECT_TRUE(s.FindText.empty());  // emptied on activation
        EXPECT_TRUE(s.FindCancelled);
    }
}

TEST(FindSearch, CrLfCountsAsTwoAndNoWrapAround) {
    const QString text = "x abc abc";
    EXPECT_EQ(findCrLf(text, "abc", 1), 3);
    EXPECT_EQ(findCrLf(text, "abc", 4), 7);
    EXPECT_EQ(findCrLf(text, "abc", 8), 0);
    EXPECT_EQ(findCrLf(text, "x", 1), 1);
    EXPECT_EQ(findCrLf("ABC", "abc", 1), 0);  // case-sensitive
    const QString lines = "ab\ncd\nab";       // "ab\r\ncd\r\nab" on file
    EXPECT_EQ(findCrLf(lines, "cd", 1), 5);
    EXPECT_EQ(findCrLf(lines, "ab", 2), 9);
    EXPECT_EQ(crLfOffsetToText(lines, 4), 3);  // "cd" starts at offset 4 counting CR LF
    EXPECT_EQ(crLfOffsetToText(lines, 8), 6);
    EXPECT_EQ(crLfOffsetToText(text, 6), 6);
}
