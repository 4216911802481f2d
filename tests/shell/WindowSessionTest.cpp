#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "shell/OBMain.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::FakeDialogs;
using ombrix::test::FakeHelp;
using ombrix::test::FakeUi;
using ombrix::test::readFile;
using ombrix::test::sourceDir;
using ombrix::test::TempDir;

namespace {

bool drew(const Picture& p, const std::string& text) {
    for (const DrawOp& op : p.ops()) {
        if (op.kind == DrawOp::Kind::Text && op.text == text) {
            return true;
        }
    }
    return false;
}

}  // namespace

// A first session in the window: bills and weather through the File menu, the savings
// calculation, the scatter view and a click, as a user does it.
TEST(WindowSession, ExamplesThroughTheMenus) {
    TempDir dir;
    for (const char* name : {"office.utl", "gainesville.wea"}) {
        std::filesystem::copy_file(sourceDir() / "examples" / name, dir.path() / name);
    }
    Session session;
    FakeUi ui;
    FakeDialogs dialogs;
    FakeHelp help;
    OBMain main(session, {&ui, &dialogs, &help, "/opt/ombrix"});
    main.resize(1100, 800);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

    dialogs.choose(dir.path() / "office.utl");
    main.commandAction(CommandId::OpenEnergyCmd)->trigger();
    dialogs.choose(dir.path() / "gainesville.wea");
    main.commandAction(CommandId::OpenWeatherCmd)->trigger();
    EXPECT_EQ(dialogs.captions,
              (std::vector<std::string>{"Open Energy Data File", "Open Weather Data File"}));
    EXPECT_EQ(dialogs.patterns, (std::vector<std::string>{"*.utl", "*.wea"}));
    EXPECT_EQ(main.statusText().lines(),
              (std::vector<std::string>{" GAINESVILLE.WEA     Number rows = 1096     Number "
                                        "columns = 4"}));
    EXPECT_TRUE(drew(main.graphPicture(), "Avg Temp (F)"));  // period temperatures

    main.commandAction(CommandId::CalcElecUseSavingsCmd)->trigger();
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxes.front().text;
    const std::vector<std::string> report = {
        "Pre-retrofit model: 4P   N =  23    R2 = 0.93   CV-RMSE = 6.3%   Xcp = 57.46   Ycp = "
        "60,237.46   LS = -1,186.47   RS = 2,262.95",
        "Pre-retrofit model: Elec Use = 60,237.46  +  1,186.47(57.46 - T)+  +  2,262.95(T - "
        "57.46)+",
        "Total Savings = 161,162 +- 41,491.1 (25.7%)  after  384  days."};
    EXPECT_EQ(main.statusText().lines(), report);
    EXPECT_EQ(readFile(dir.path() / "office.kwh"),
              report[0] + "\r\n" + report[1] + "\r\n" + report[2] + "\r\n");
    // The measured and the predicted series, the second with its own legend entry.
    EXPECT_TRUE(drew(main.graphPicture(), "Pre Elec Use (kWh/mo)"));
    EXPECT_TRUE(drew(main.graphPicture(), "Post Elec Use if no retrofit (kWh/mo)"));
    if (qEnvironmentVariableIsSet("OMBRIX_SCREENSHOT")) {
        main.grab().save(qEnvironmentVariable("OMBRIX_SCREENSHOT") + "-savings.png");
    }

    main.commandAction(CommandId::ViewElecUsevsWeaCmd)->trigger();
    EXPECT_EQ(session.graph.GraphKind, "XY");
    // The first period (2/4/2008: 59,360 kWh at 56.989 F) on an axis of 0..90 F by 0..200,000.
    main.graphBox()->setFocus();
    const QSize area = main.graphBox()->size();
    const QPoint at(qRound(area.width() * (15 + 100 * 56.989 / 90) / 130),
                    qRound(area.height() * (110 - 100 * 59360.0 / 200000) / 130));
    QTest::mouseClick(main.graphBox(), Qt::LeftButton, {}, at);
    EXPECT_EQ(
        main.statusText().lines(),
        (std::vector<std::string>{"2/4/2008  Elec Use (kWh/mo) = 59360.0  Avg Temp (F) = 57.0"}));
    if (qEnvironmentVariableIsSet("OMBRIX_SCREENSHOT")) {
        main.grab().save(qEnvironmentVariable("OMBRIX_SCREENSHOT") + "-scatter.png");
    }
}
