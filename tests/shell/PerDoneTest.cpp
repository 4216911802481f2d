#include <gtest/gtest.h>

#include <QTest>

#include "platform/Twips.h"
#include "shell/QtUi.h"

using namespace ombrix;

TEST(PerDone, LayoutInTwipsAndDefaultCaption) {
    QWidget owner;
    PerDone w(&owner);
    const double dpi = w.logicalDpiX();
    EXPECT_EQ(w.windowTitle(), "Opening Data...");
    EXPECT_EQ(w.size(), QSize(twipsToPixels(4530, dpi), twipsToPixels(1485, dpi)));
    EXPECT_EQ(w.Label2->text(), "0%");
    EXPECT_EQ(w.Label1->text(), "100%");
    EXPECT_EQ(w.Picture1->geometry(), QRect(twipsToPixels(120, dpi), twipsToPixels(720, dpi),
                                            twipsToPixels(4215, dpi), twipsToPixels(615, dpi)));
}

TEST(PerDone, CentredOnTheMainWindow) {
    QWidget owner;
    owner.setGeometry(100, 100, 800, 600);
    owner.show();
    QtUi ui(&owner);
    ui.progressShow();
    PerDone* w = ui.progressWindow();
    ASSERT_NE(w, nullptr);
    const QRect main = owner.frameGeometry();
    const QRect self = w->frameGeometry();
    EXPECT_EQ(self.left(), main.left() + (main.width() - self.width()) / 2);
    EXPECT_EQ(self.top(), main.top() + (main.height() - self.height()) / 2);
}

TEST(PerDone, BarNeverShrinksAndStartsEmptyWhenShownAgain) {
    QWidget owner;
    QtUi ui(&owner);
    ui.progressCaption("Opening Weather File...");
    ui.progressShow();
    ui.ShowProgress(5, 10, 1);
    EXPECT_DOUBLE_EQ(ui.progressWindow()->Picture1->filled(), 0.5);
    ui.ShowProgress(2, 10, 1);
    EXPECT_DOUBLE_EQ(ui.progressWindow()->Picture1->filled(), 0.5);
    ui.ShowProgress(15, 20, 10);
    EXPECT_DOUBLE_EQ(ui.progressWindow()->Picture1->filled(), 0.5);
    ui.ShowProgress(20, 20, 10);
    EXPECT_DOUBLE_EQ(ui.progressWindow()->Picture1->filled(), 1.0);
    EXPECT_EQ(ui.progressWindow()->windowTitle(), "Opening Weather File...");
    ui.progressUnload();
    EXPECT_EQ(ui.progressWindow(), nullptr);
    ui.progressShow();
    EXPECT_DOUBLE_EQ(ui.progressWindow()->Picture1->filled(), 0.0);
    EXPECT_EQ(ui.progressWindow()->windowTitle(), "Opening Data...");
    ui.ShowProgress(1, 0, 1);  // a total of 0 paints nothing and does not fail
    EXPECT_DOUBLE_EQ(ui.progressWindow()->Picture1->filled(), 0.0);
}

TEST(PerDone, PaintsTheFilledPartBlue) {
    QWidget owner;
    QtUi ui(&owner);
    ui.progressShow();
    ui.ShowProgress(1, 4, 1);
    ProgressBarArea* bar = ui.progressWindow()->Picture1;
    const QImage image = bar->grab().toImage();
    EXPECT_EQ(image.pixelColor(2, bar->height() / 2), QColor(0, 0, 255));
    EXPECT_NE(image.pixelColor(bar->width() * 3 / 4, bar->height() / 2), QColor(0, 0, 255));
}
