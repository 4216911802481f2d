#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GraphTestUtil.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::GraphHarness;
using Ops = std::vector<std::string>;

namespace {

// Temperatures 20, 45, 90, 60 (axis 0..100, so fx is the temperature) against electricity use
// 3000, 2000, 2500, 1000 (axis 0..4000, fy = use / 40); rows 3 and 4 of the six are missing
// one value. Flags 1, 1, 2, 0 on the points.
void sixRows(GraphHarness& h) {
    ombrix::test::setMerged(h.data, {
                                        {1, 31, 98, 3000, 10, 40, 1, 1, 20},
                                        {2, 28, 98, 2000, 10, 40, 1, 1, 45},
                                        {3, 31, 98, -99, 10, 40, 2, 2, 70},
                                        {4, 30, 98, 1500, 10, 40, 2, 2, -99},
                                        {5, 31, 98, 2500, 10, 40, 2, 2, 90},
                                        {6, 30, 98, 1000, 10, 40, 0, 0, 60},
                                    });
    h.markElectricity();
}

void storeModel(GraphHarness& h, long r, double a, double b, double yc, double sL, double sR) {
    h.data.ModelTable = Table(3, 5);
    for (long row = 1; row <= 3; ++row) {
        for (long c = 1; c <= 5; ++c) {
            h.data.ModelTable.at(row, c) = -99;
        }
    }
    h.data.ModelTable.at(r, 1) = a;
    h.data.ModelTable.at(r, 2) = b;
    h.data.ModelTable.at(r, 3) = yc;
    h.data.ModelTable.at(r, 4) = sL;
    h.data.ModelTable.at(r, 5) = sR;
}

// The drawing calls after the last point of sixRows.
Ops afterPoints(const GraphHarness& h) {
    Ops rest = h.drawnFrom("box solid w1 black (44.3,51)-(45.7,49)");
    rest.erase(rest.begin(), rest.begin() + 3);
    return rest;
}

}  // namespace

TEST(PlotScatter, LegendTitleAndClosedFrameWithGrid) {
    GraphHarness h;
    sixRows(h);
    EXPECT_TRUE(PlotScatter(h.ctx, 9, 4, true));
    const Ops all = h.drawn();
    ASSERT_GE(all.size(), 12u);
    EXPECT_EQ(Ops(all.begin(), all.begin() + 12), (Ops{
                                                      "line solid w1 black (0,0)-(0,100)",
                                                      "line solid w1 black (0,0)-(100,0)",
                                                      "text black (-13,108) \"Pre Elec Use\"",
                                                      "box solid w1 black (7.3,107)-(8.7,105)",
                                                      "text blue (20,108) \"Post Elec Use\"",
                                                      "circle solid w1 blue (42,106) r0.7",
                                                      "text black (90,-9.5) \"Temp\"",
                                                      "line solid w1 black (100,0)-(100,100)",
                                                      "line solid w1 black (0,100)-(100,100)",
                                                      "text black (-2,-0.5) \"0\"",
                                                      "line solid w1 black (0,0)-(0,1)",
                                                      "line dotted w1 black (0,0)-(0,100)",
                                                  }));
    EXPECT_TRUE(h.has("text black (8,-0.5) \"10\""));
    EXPECT_TRUE(h.has("line dotted w1 black (10,0)-(10,1)"));  // the grid's style leaks
    EXPECT_TRUE(h.has("text black (98,-0.5) \"100\""));
    // the vertical loop starts solid again
    EXPECT_TRUE(h.has("line solid w1 black (0,0)-(1,0)"));
    EXPECT_TRUE(h.has("text black (-14,101) \"4,000\""));
    EXPECT_EQ(h.graph.GraphKind, "XY");
    EXPECT_EQ(h.graph.GraphXCol, 9);
    EXPECT_EQ(h.graph.GraphYCol, 4);
}

TEST(PlotScatter, MarkersFollowTheFlagOfEachPointAndAreNotJoined) {
    GraphHarness h;
    sixRows(h);
    PlotScatter(h.ctx, 9, 4, true);
    EXPECT_EQ(h.drawnFrom("box solid w1 black (19.3,76)-(20.7,74)"),
              (Ops{
                  "box solid w1 black (19.3,76)-(20.7,74)",
                  "box solid w1 black (44.3,51)-(45.7,49)", "circle solid w1 blue (90,62.5) r0.7",
                  "circle solid w1 blue (60,25) r0.7",  // flag 0 counts as after
              }));
    EXPECT_FALSE(h.ui.busy);
    EXPECT_EQ(h.ui.busyOn, 1);
}

TEST(PlotScatter, WithoutGridOrPrePostColumn) {
    GraphHarness h;
    sixRows(h);
    h.data.PrePostCol = 0;
    PlotScatter(h.ctx, 9, 4, false);
    EXPECT_EQ(h.drawn()[2], "text black (-13,108) \"Elec Use\"");
    EXPECT_EQ(h.drawn()[3], "box solid w1 black (7.3,107)-(8.7,105)");
    EXPECT_EQ(h.drawn()[4], "text black (90,-9.5) \"Temp\"");
    EXPECT_FALSE(h.has("line solid w1 black (100,0)-(100,100)"));
    EXPECT_EQ(h.count("line dotted"), 0);
    EXPECT_EQ(h.count("circle"), 0);
    EXPECT_TRUE(h.has("box solid w1 black (89.3,63.5)-(90.7,61.5)"));
}

TEST(PlotScatter, NoPointRefusesAndKeepsGraphKindButNotTheScales) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, {1000, 2000});
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, true, true);
    const Ops before = h.drawn();
    h.graph.HighlightX = 10;
    // every temperature missing
    EXPECT_FALSE(PlotScatter(h.ctx, 9, 4, true));
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "No data is available to plot."}}));
    EXPECT_EQ(h.drawn(), before);
    EXPECT_EQ(h.graph.GraphKind, "TS");
    EXPECT_EQ(h.graph.GraphYCol, 4);
    EXPECT_EQ(h.graph.HighlightX, 10);
    EXPECT_EQ(h.model.ModelN, 0);
    EXPECT_FALSE(h.ui.busy);
}

TEST(PlotScatter, HorizontalSpanOfZeroRefuses) {
    GraphHarness h;
    sixRows(h);
    // Temperatures so small that their axis rounds to nothing.
    const double tiny = std::numeric_limits<double>::denorm_min();
    for (long i = 1; i <= 6; ++i) {
        h.data.DataTable.at(i, 9) = tiny;
    }
    EXPECT_FALSE(PlotScatter(h.ctx, 9, 4, true));
    EXPECT_EQ(h.graph.XAxisSpan, 0);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "No data is available to plot."}}));
    EXPECT_TRUE(h.drawn().empty());
    EXPECT_EQ(h.graph.GraphKind, "");
}

TEST(DrawModelLines, OneChangePointDrawsTwoThickSlopesAfterThePoints) {
    GraphHarness h;
    sixRows(h);
    storeModel(h, 1, -99, 50, 1000, -40, 30);
    PlotScatter(h.ctx, 9, 4, true);
    DrawModelLines(h.ctx, 1);
    EXPECT_EQ(afterPoints(h), (Ops{
                                  "line solid w2 black (0,75)-(50,25)",
                                  "line solid w2 black (100,62.5)-(50,25)",
                              }));
    EXPECT_EQ(h.picture.lineWidth(), 1);
    EXPECT_TRUE(h.ui.boxes.empty());
}

TEST(DrawModelLines, TwoChangePointsDrawTheFlatPartAndTwoSlopes) {
    GraphHarness h;
    sixRows(h);
    storeModel(h, 3, 40, 60, 1000, -50, 20);
    PlotScatter(h.ctx, 9, 4, true);
    DrawModelLines(h.ctx, 3);
    EXPECT_EQ(afterPoints(h), (Ops{
                                  "line solid w2 black (40,25)-(60,25)",
                                  "line solid w2 black (0,75)-(40,25)",
                                  "line solid w2 black (100,45)-(60,25)",
                              }));
}

TEST(DrawModelLines, SteepSlopesAreCutAtTheTopOrBottom) {
    GraphHarness h;
    sixRows(h);
    // left: 1000 + 100 x 50 = 6000 is above 4000, cut where the line reaches 4000 (x = 20);
    // right: 1000 - 50 x 50 is below 0, cut where it reaches 0 (x = 70).
    storeModel(h, 1, -99, 50, 1000, -100, -50);
    PlotScatter(h.ctx, 9, 4, true);
    DrawModelLines(h.ctx, 1);
    EXPECT_EQ(afterPoints(h), (Ops{
                                  "line solid w2 black (20,100)-(50,25)",
                                  "line solid w2 black (70,0)-(50,25)",
                              }));
}

TEST(DrawModelLines, FlatSideOutsideTheVerticalRangeIsLeftOut) {
    GraphHarness h;
    sixRows(h);
    PlotScatter(h.ctx, 9, 4, true);
    const std::size_t points = h.picture.ops().size();
    storeModel(h, 1, -99, 50, -500, 0, 100);  // flat left side below the axis
    DrawModelLines(h.ctx, 1);
    storeModel(h, 1, -99, 50, 1000, 0, 0);  // flat sides inside the range are drawn
    DrawModelLines(h.ctx, 1);
    storeModel(h, 1, -99, 50, 5000, 0, 0);  // both flat sides above the axis
    DrawModelLines(h.ctx, 1);
    Ops added;
    for (std::size_t i = points; i < h.picture.ops().size(); ++i) {
        added.push_back(describe(h.picture.ops()[i]));
    }
    EXPECT_EQ(added, (Ops{
                         "line solid w2 black (95,100)-(50,-12.5)",
                         "line solid w2 black (0,25)-(50,25)",
                         "line solid w2 black (100,25)-(50,25)",
                     }));
    EXPECT_TRUE(h.ui.boxes.empty());
}

TEST(DrawModelLines, NoStoredModelDrawsNothing) {
    GraphHarness h;
    sixRows(h);
    PlotScatter(h.ctx, 9, 4, true);
    const std::size_t points = h.picture.ops().size();
    DrawModelLines(h.ctx, 1);  // no energy file was opened: no model table at all
    storeModel(h, 2, 40, 60, 1000, -1, 1);
    DrawModelLines(h.ctx, 1);  // row 1 holds -99 everywhere
    storeModel(h, 1, 40, -99, 1000, -1, 1);
    DrawModelLines(h.ctx, 1);  // the form is decided by column 2 being present
    EXPECT_EQ(h.picture.ops().size(), points);
    EXPECT_TRUE(h.ui.boxes.empty());
}

TEST(DrawDataLine, MapsDataUnitsWithTheScatterScales) {
    GraphHarness h;
    sixRows(h);
    PlotScatter(h.ctx, 9, 4, false);
    DrawDataLine(h.ctx, 10, 400, 30, 800);
    EXPECT_EQ(h.drawn().back(), "line solid w2 black (10,10)-(30,20)");
    EXPECT_EQ(h.picture.lineWidth(), 1);
    // Without a scale to map onto nothing is drawn.
    const std::size_t before = h.picture.ops().size();
    h.graph.XAxisSpan = 0;
    DrawDataLine(h.ctx, 10, 400, 30, 800);
    EXPECT_EQ(h.picture.ops().size(), before);
}
