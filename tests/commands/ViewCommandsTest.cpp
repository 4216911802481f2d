#include <gtest/gtest.h>

#include <algorithm>

#include "commands/Dispatch.h"
#include "graph/GraphTestUtil.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::Harness;

namespace {

bool has(const Harness& h, const std::string& op) {
    const auto all = h.drawn();
    return std::find(all.begin(), all.end(), op) != all.end();
}

// Merged billing periods: use, demand, thermal 1000/2000, 10/20, 300/400 (axes 0..3000, 0..30,
// 0..500); electricity flags 1, 2 and thermal flags 2, 1; temperatures 40 and 90 (axis 0..100).
void merged(Harness& h) {
    ombrix::test::setMerged(h.session.data, {{1, 31, 98, 1000, 10, 300, 1, 2, 40},
                                             {2, 28, 98, 2000, 20, 400, 2, 1, 90}});
    auto& mt = h.session.data.ModelTable;
    mt = Table(3, 5);
    for (long r = 1; r <= 3; ++r) {
        for (long c = 1; c <= 5; ++c) {
            mt.at(r, c) = -99;
        }
    }
    // A flat model per quantity, so the line shows which row was drawn.
    mt.at(1, 2) = 50, mt.at(1, 3) = 1500, mt.at(1, 4) = 0, mt.at(1, 5) = 0;
    mt.at(2, 2) = 50, mt.at(2, 3) = 15, mt.at(2, 4) = 0, mt.at(2, 5) = 0;
    mt.at(3, 2) = 50, mt.at(3, 3) = 250, mt.at(3, 4) = 0, mt.at(3, 5) = 0;
}

void oddColours(Harness& h) {
    h.session.data.PreColor = 0x123456;
    h.session.data.PostColor = 0x654321;
}

}  // namespace

TEST(ViewCommands, TemperaturesWithWeatherOnlyPlotColumnFour) {
    Harness h;
    auto& d = h.session.data;
    d.DataTable = Table(3, 4);
    for (long i = 1; i <= 3; ++i) {
        d.DataTable.at(i, 1) = 1;
        d.DataTable.at(i, 2) = static_cast<double>(i);
        d.DataTable.at(i, 3) = 99;
        d.DataTable.at(i, 4) = 10.0 * static_cast<double>(i + 1);
    }
    d.DataRows = 3;
    d.ColNames = TextList({"", "Month", "Day", "Year", "Temperature"});
    d.MoCol = 1, d.DyCol = 2, d.YrCol = 3, d.TimeStampKind = 3;
    d.WeatherOpen = true;
    d.PrePostCol = 7;
    oddColours(h);
    runCommand(h.session, h.services, CommandId::ViewMoWeatherCmd);
    EXPECT_TRUE(h.ui.boxes.empty());
    EXPECT_EQ(h.session.graph.GraphYCol, 4);
    EXPECT_EQ(d.PrePostCol, 0);
    EXPECT_EQ(d.PreColor, 0x123456u);  // View Temperatures leaves the colours alone
    EXPECT_TRUE(has(h, "text black (-13,108) \"Temperature\""));
    EXPECT_TRUE(has(h, "text black (94,-5) \"1/3/99\""));
    EXPECT_TRUE(has(h, "box solid w1 black (99.3,81)-(100.7,79)"));  // 40 on 0..50, markers on
}

TEST(ViewCommands, TemperaturesWithBothFilesPlotThePeriodTemperature) {
    Harness h;
    merged(h);
    h.session.data.PrePostCol = 7;
    runCommand(h.session, h.services, CommandId::ViewMoWeatherCmd);
    EXPECT_EQ(h.session.graph.GraphYCol, 9);
    EXPECT_EQ(h.session.data.PrePostCol, 0);
    EXPECT_TRUE(has(h, "text black (-13,108) \"Temp\""));
    EXPECT_TRUE(has(h, "line dotted w1 black (0,50)-(100,50)"));  // grid on
}

TEST(ViewCommands, EnergySeriesSetTheirFlagColumnAndColours) {
    struct Case {
        CommandId id;
        long column;
        long flagCol;
        std::string legend;
    };
    for (const Case& c : {Case{CommandId::ViewMoElecUseCmd, 4, 7, "Pre Elec Use"},
                          Case{CommandId::ViewMoElecDemandCmd, 5, 7, "Pre Elec Demand"},
                          Case{CommandId::ViewMoThermCmd, 6, 8, "Pre Thermal Use"}}) {
        Harness h;
        merged(h);
        oddColours(h);
        runCommand(h.session, h.services, c.id);
        SCOPED_TRACE(c.legend);
        EXPECT_TRUE(h.ui.boxes.empty());
        EXPECT_EQ(h.session.graph.GraphKind, "TS");
        EXPECT_EQ(h.session.graph.GraphYCol, c.column);
        EXPECT_EQ(h.session.data.PrePostCol, c.flagCol);
        EXPECT_EQ(h.session.data.PreColor, kBlack);
        EXPECT_EQ(h.session.data.PostColor, kBlue);
        EXPECT_TRUE(has(h, "text black (-13,108) \"" + c.legend + "\""));
        EXPECT_TRUE(has(h, "line dotted w1 black (0,0)-(0,100)"));  // grid on
        // markers on: row 1 at a third (use, demand) or three fifths (thermal) of the axis
        EXPECT_TRUE(has(h, "box solid w1 black (-0.7,34.3333333333333)-(0.7,32.3333333333333)") ||
                    has(h, "box solid w1 black (-0.7,61)-(0.7,59)"));
    }
}

TEST(ViewCommands, ThermalSeriesColoursByTheThermalFlag) {
    Harness h;
    merged(h);
    runCommand(h.session, h.services, CommandId::ViewMoThermCmd);
    // Thermal 300 then 400 on 0..500; row 2 has thermal flag 1: a black box and black line.
    EXPECT_TRUE(has(h, "box solid w1 black (99.3,81)-(100.7,79)"));
    EXPECT_TRUE(has(h, "line solid w1 black (0,60)-(100,80)"));
}

TEST(ViewCommands, ScattersDrawTheModelOfTheirQuantity) {
    struct Case {
        CommandId id;
        long yCol;
        long flagCol;
        std::string modelLine;  // the left half of the flat model at its energy
    };
    for (const Case& c :
         {Case{CommandId::ViewElecUsevsWeaCmd, 4, 7, "line solid w2 black (0,50)-(50,50)"},
          Case{CommandId::ViewElecDemvsWeaCmd, 5, 7, "line solid w2 black (0,50)-(50,50)"},
          Case{CommandId::ViewThermVsWeaCmd, 6, 8, "line solid w2 black (0,50)-(50,50)"}}) {
        Harness h;
        merged(h);
        oddColours(h);
        runCommand(h.session, h.services, c.id);
        SCOPED_TRACE(std::string(commandName(c.id)));
        EXPECT_TRUE(h.ui.boxes.empty());
        EXPECT_EQ(h.session.graph.GraphKind, "XY");
        EXPECT_EQ(h.session.graph.GraphXCol, 9);
        EXPECT_EQ(h.session.graph.GraphYCol, c.yCol);
        EXPECT_EQ(h.session.data.PrePostCol, c.flagCol);
        EXPECT_EQ(h.session.data.PreColor, kBlack);
        EXPECT_EQ(h.session.data.PostColor, kBlue);
        EXPECT_EQ(h.drawn()[h.drawn().size() - 2], c.modelLine);
        EXPECT_TRUE(has(h, "line solid w1 black (100,0)-(100,100)"));  // grid closes the frame
    }
}

TEST(ViewCommands, RefusedScatterDrawsNoModelOverTheOldGraph) {
    Harness h;
    merged(h);
    runCommand(h.session, h.services, CommandId::ViewMoElecUseCmd);
    const auto before = h.drawn();
    for (long i = 1; i <= 2; ++i) {
        h.session.data.DataTable.at(i, 9) = -99;  // no temperatures
    }
    runCommand(h.session, h.services, CommandId::ViewElecUsevsWeaCmd);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "No data is available to plot."}}));
    EXPECT_EQ(h.drawn(), before);
}

TEST(ViewCommands, ClickIdentifiesAPointOfTheShownGraph) {
    Harness h;
    merged(h);
    runCommand(h.session, h.services, CommandId::ViewElecUsevsWeaCmd);
    graphMouseDown(h.session, h.services, 2, 1, 90, 66.5);
    EXPECT_EQ(h.status.text(), "2/28/98  Elec Use = 2000.0  Temp = 90.0");
    EXPECT_EQ(h.drawn().back(), "filled circle solid w1 blue (90,66.6666666666667) r0.7");
}
