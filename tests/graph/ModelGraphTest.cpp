#include <gtest/gtest.h>

#include "GraphTestUtil.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::GraphHarness;
using Ops = std::vector<std::string>;

namespace {

// Measured use (column 4) 1000, 2000, 3000, -, 2500 and predicted use (column 10) 1000, 2000,
// 3400, 3600, -; rows 1-2 before the retrofit. One axis 0..4000 for both: fy = value / 40.
void measuredAndPredicted(GraphHarness& h) {
    ombrix::test::setMerged(h.data, {
                                        {1, 31, 98, 1000, 9, 9, 1, 1, 30, 1000},
                                        {2, 28, 98, 2000, 9, 9, 1, 1, 40, 2000},
                                        {3, 31, 98, 3000, 9, 9, 2, 2, 50, 3400},
                                        {4, 30, 98, -99, 9, 9, 2, 2, 60, 3600},
                                        {5, 31, 98, 2500, 9, 9, 2, 2, 70, -99},
                                    });
    h.markElectricity();
}

}  // namespace

TEST(PlotModelSeries, LegendHasBothSeriesTheSecondDotted) {
    GraphHarness h;
    measuredAndPredicted(h);
    PlotModelSeries(h.ctx, 4, 10, true, true);
    const Ops all = h.drawn();
    ASSERT_GE(all.size(), 9u);
    EXPECT_EQ(Ops(all.begin(), all.begin() + 9),
              (Ops{
                  "line solid w1 black (0,0)-(0,100)",
                  "line solid w1 black (0,0)-(100,0)",
                  "text black (90,-9.5) \"Meter Reading Date\"",
                  "text black (-13,108) \"Pre Elec Use\"",
                  "line solid w1 black (8,105)-(12,105)",
                  "text blue (20,108) \"Post Elec Use\"",
                  "line solid w1 blue (41,105)-(45,105)",
                  "text blue (70,108) \"Post Elec Use if no retrofit\"",
                  "line dotted w1 blue (100,105)-(104,105)",
              }));
    EXPECT_EQ(all[9], "text black (-6,-5) \"1/31/98\"");
    EXPECT_EQ(all[10], "line solid w1 black (0,0)-(0,1)");  // the legend's dotted style ended
    EXPECT_EQ(h.graph.GraphKind, "TS");
    EXPECT_EQ(h.graph.GraphYCol, 4);
    EXPECT_EQ(h.graph.GraphY2Col, 10);
    EXPECT_TRUE(h.ui.boxes.empty());
    EXPECT_FALSE(h.ui.busy);
}

TEST(PlotModelSeries, MeasuredSolidThenPredictedDottedWithSolidFirstBox) {
    GraphHarness h;
    measuredAndPredicted(h);
    PlotModelSeries(h.ctx, 4, 10, true, true);
    EXPECT_EQ(h.drawnFrom("box solid w1 black (-0.7,26)-(0.7,24)"),
              (Ops{
                  // measured
                  "box solid w1 black (-0.7,26)-(0.7,24)",
                  "box solid w1 black (24.3,51)-(25.7,49)",
                  "line solid w1 black (0,25)-(25,50)",
                  "circle solid w1 blue (50,75) r0.7",
                  "line solid w1 blue (25,50)-(50,75)",
                  "circle solid w1 blue (100,62.5) r0.7",
                  // predicted
                  "box solid w1 black (-0.7,26)-(0.7,24)",
                  "box dotted w1 black (24.3,51)-(25.7,49)",
                  "line dotted w1 black (0,25)-(25,50)",
                  "circle dotted w1 blue (50,85) r0.7",
                  "line dotted w1 blue (25,50)-(50,85)",
                  "circle dotted w1 blue (75,90) r0.7",
                  "line dotted w1 blue (50,85)-(75,90)",
              }));
    EXPECT_EQ(h.picture.lineStyle(), LineStyle::Solid);
}

TEST(PlotModelSeries, SecondSeriesFirstBoxIsInThePreColourEvenWhenMissing) {
    GraphHarness h;
    measuredAndPredicted(h);
    h.data.DataTable.at(1, 10) = -99;
    h.data.PreColor = 0x00FF00;  // a pre colour of its own shows which colour is used
    PlotModelSeries(h.ctx, 4, 10, false, true);
    // -99 on an axis of 0..4000 sits 2.475 units below the horizontal axis.
    EXPECT_TRUE(h.has("box solid w1 #00FF00 (-0.7,-1.475)-(0.7,-3.475)"));
    EXPECT_TRUE(h.has("box solid w1 black (-0.7,26)-(0.7,24)"));  // the measured one is black
}

TEST(PlotModelSeries, RangeCoversBothColumnsAndSpanOfFiveUsesTwoDecimals) {
    GraphHarness h;
    ombrix::test::setMerged(h.data,
                            {{1, 31, 98, 1, 0, 0, 1, 1, 0, 2}, {2, 28, 98, 3, 0, 0, 2, 2, 0, 4}});
    h.markElectricity();
    h.model.ModelN = 7;
    h.model.ModelTSpan = 12;
    PlotModelSeries(h.ctx, 4, 10, false, false);
    EXPECT_EQ(h.model.ModelYMin, 1);
    EXPECT_EQ(h.model.ModelYMax, 4);
    EXPECT_EQ(h.model.ModelN, 7);  // the rest of the point set is left alone
    EXPECT_EQ(h.model.ModelTSpan, 12);
    EXPECT_EQ(h.graph.YAxisSpan, 5);
    EXPECT_EQ(h.graph.YLabelFormat, "0.00");
    EXPECT_TRUE(h.has("text black (-14,101) \"5.00\""));
    EXPECT_TRUE(h.has("text black (-14,1) \"0.00\""));
}

TEST(PlotModelSeries, WithoutPrePostColumnEverythingIsBlack) {
    GraphHarness h;
    measuredAndPredicted(h);
    h.data.PrePostCol = 0;
    PlotModelSeries(h.ctx, 4, 10, false, true);
    EXPECT_EQ(h.drawn()[3], "text black (-13,108) \"Elec Use\"");
    EXPECT_EQ(h.count("circle"), 0);
    EXPECT_EQ(h.count("line dotted w1 blue"), 1);  // only the legend keeps its blue line
    EXPECT_TRUE(h.has("line dotted w1 black (50,85)-(75,90)"));
}

TEST(PlotModelSeries, NoTimeStampOrNoRowsRefusesWithTheDataMessage) {
    GraphHarness h;
    measuredAndPredicted(h);
    h.data.TimeStampKind = 0;
    PlotModelSeries(h.ctx, 4, 10, true, true);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "No data is available to plot."}}));
    EXPECT_TRUE(h.drawn().empty());
    EXPECT_EQ(h.graph.GraphKind, "TS");
    EXPECT_EQ(h.graph.GraphY2Col, 10);

    h.ui.boxes.clear();
    h.data.TimeStampKind = 3;
    h.data.DataRows = 0;
    PlotModelSeries(h.ctx, 5, 11, true, true);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "No data is available to plot."}}));
    EXPECT_TRUE(h.drawn().empty());
    EXPECT_FALSE(h.ui.busy);
}

TEST(PlotModelSeries, SingleRowSitsAtTheLeftEdge) {
    GraphHarness h;
    ombrix::test::setMerged(h.data, {{1, 31, 98, 1000, 9, 9, 2, 2, 30, 1200}});
    h.markElectricity();
    PlotModelSeries(h.ctx, 4, 10, true, true);
    EXPECT_TRUE(h.ui.boxes.empty());
    EXPECT_TRUE(h.has("box solid w1 black (-0.7,51)-(0.7,49)"));
    EXPECT_TRUE(h.has("box solid w1 black (-0.7,61)-(0.7,59)"));
    EXPECT_EQ(h.count("text black (-6,-5)"), 2);
}
