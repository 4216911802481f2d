#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

#include "shell/OBMain.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::FakeDialogs;
using ombrix::test::FakeHelp;
using ombrix::test::FakeUi;

namespace {

struct Window {
    Session session;
    FakeUi ui;
    FakeDialogs dialogs;
    FakeHelp help;
    OBMain main{session, {&ui, &dialogs, &help, "/opt/ombrix"}};
};

}  // namespace

TEST(OBMain, CoversTheCentralEightyPercentOfTheScreen) {
    Window w;
    w.main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.main));
    const QRect screen = w.main.screen()->geometry();
    const QRect frame = w.main.frameGeometry();
    EXPECT_NEAR(frame.left(), screen.left() + screen.width() * 0.1, 1);
    EXPECT_NEAR(frame.top(), screen.top() + screen.height() * 0.1, 1);
    EXPECT_NEAR(frame.width(), screen.width() * 0.8, 1);
    EXPECT_NEAR(frame.height(), screen.height() * 0.8, 1);
    EXPECT_EQ(w.main.windowTitle(), "Ombrix");
}

TEST(OBMain, StatusAndGraphAreasKeepFifteenAndEightyFivePercent) {
    Window w;
    w.main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.main));
    for (const QSize size : {QSize(800, 600), QSize(1000, 333), QSize(640, 1001)}) {
        w.main.resize(size);
        QCoreApplication::processEvents();
        const QWidget* client = w.main.centralWidget();
        const int W = client->width();
        const int H = client->height();
        const QRect status = w.main.statusBox()->geometry();
        const QRect graph = w.main.graphBox()->geometry();
        EXPECT_EQ(status, QRect(0, 0, W, static_cast<int>(0.15 * H)));
        EXPECT_EQ(graph.top(), status.height());
        EXPECT_EQ(graph.width(), W);
        EXPECT_EQ(graph.height(), H - status.height());
    }
}

TEST(OBMain, MenuBarShowsTheMenusWithTheirCaptions) {
    Window w;
    QStringList shown;
    for (QAction* a : w.main.menuBar()->actions()) {
        shown << (a->isVisible() ? a->text() : "(" + a->text() + ")");
    }
    EXPECT_EQ(shown,
              QStringList({"&File", "&Edit", "&Calc Savings", "(Calc &NAC)", "&View", "&Help"}));
    QAction* tmy = w.main.commandAction(CommandId::OpenTMYCmd);
    ASSERT_NE(tmy, nullptr);
    EXPECT_FALSE(tmy->isVisible());
    EXPECT_EQ(tmy->text(), "Open &TMY Weather");
    EXPECT_TRUE(tmy->shortcut().isEmpty());
    QAction* energy = w.main.commandAction(CommandId::OpenEnergyCmd);
    EXPECT_TRUE(energy->isVisible());
    EXPECT_EQ(energy->objectName(), "OpenEnergyCmd");
    EXPECT_FALSE(w.main.commandAction(CommandId::ViewElecUseSavCmd)->isVisible());
}

TEST(OBMain, MenuCommandRunsItsGuard) {
    Window w;
    w.main.commandAction(CommandId::ViewMoElecUseCmd)->trigger();
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].title, "Ombrix");
    EXPECT_EQ(w.ui.boxes[0].text, "Must open energy file to view this graph.");
}

TEST(OBMain, HiddenCommandsKeepTheirHandlers) {
    Window w;
    w.main.commandAction(CommandId::HelpMainCmd)->trigger();
    ASSERT_EQ(w.help.calls.size(), 1u);
    EXPECT_EQ(w.help.calls[0].context, 10);
    EXPECT_EQ(w.help.calls[0].file, "/opt/ombrix/ombrix.qhc");
}

TEST(OBMain, ClosingTheWindowClosesHelpButExitDoesNot) {
    Window w;
    int exits = 0;
    w.main.setExitHandler([&] { ++exits; });
    w.main.show();
    w.main.run(CommandId::ExitCmd);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(w.help.calls.empty());
    w.main.close();
    ASSERT_EQ(w.help.calls.size(), 1u);
    EXPECT_EQ(w.help.calls[0].command, HelpCommand::Quit);
}

TEST(OBMain, GraphAreaRepaintsTheRetainedPicture) {
    Window w;
    w.main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.main));
    Picture& p = w.main.graphPicture();
    p.setScale({0, 0, 10, 10});
    p.box(0, 0, 10, 10, kBlue, true);
    QImage image = w.main.graphBox()->currentImage();
    const QPoint centre(image.width() / 2, image.height() / 2);
    EXPECT_EQ(image.pixelColor(centre), QColor(0, 0, 255));
    p.clear();
    image = w.main.graphBox()->currentImage();
    EXPECT_EQ(image.pixelColor(centre), QColor(255, 255, 255));
}
