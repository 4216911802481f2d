#include <gtest/gtest.h>

#include <cmath>

#include "GraphTestUtil.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::GraphHarness;
using Ops = std::vector<std::string>;

namespace {

// Electricity use 1000, 2000, missing, 3000, 3400 over months 1..5 of 1998; rows 1-2 before
// the retrofit. The axis is 0..4000: fy = value / 40, fx = 25 x (row - 1).
void fiveRows(GraphHarness& h) {
    ombrix::test::setSeries(h.data, 4, {1000, 2000, -99, 3000, 3400}, {1, 1, 2, 2, 2});
    h.markElectricity();
}

}  // namespace

TEST(PlotTimeSeries, FrameTitleAndPrePostLegendComeFirst) {
    GraphHarness h;
    fiveRows(h);
    PlotTimeSeries(h.ctx, 4, true, true);
    const Ops all = h.drawn();
    ASSERT_GE(all.size(), 7u);
    EXPECT_EQ(Ops(all.begin(), all.begin() + 7), (Ops{
                                                     "line solid w1 black (0,0)-(0,100)",
                                                     "line solid w1 black (0,0)-(100,0)",
                                                     "text black (90,-9.5) \"Meter Reading Date\"",
                                                     "text black (-13,108) \"Pre Elec Use\"",
                                                     "line solid w1 black (8,105)-(12,105)",
                                                     "text blue (20,108) \"Post Elec Use\"",
                                                     "line solid w1 blue (41,105)-(45,105)",
                                                 }));
    EXPECT_EQ(h.picture.scale().left, -15);
    EXPECT_EQ(h.picture.scale().top, 110);
    EXPECT_EQ(h.picture.scale().right, 115);
    EXPECT_EQ(h.picture.scale().bottom, -20);
    EXPECT_EQ(h.picture.fonts().at(static_cast<std::size_t>(h.picture.ops()[2].font)).name, "Helv");
    EXPECT_EQ(h.picture.foreColor(), kBlack);
    EXPECT_TRUE(h.ui.boxes.empty());
}

TEST(PlotTimeSeries, WithoutPrePostColumnOneBlackLegendEntryAndBlackPoints) {
    GraphHarness h;
    fiveRows(h);
    h.data.PrePostCol = 0;
    PlotTimeSeries(h.ctx, 4, false, true);
    const Ops all = h.drawn();
    EXPECT_EQ(all[3], "text black (-13,108) \"Elec Use\"");
    EXPECT_EQ(all[4], "line solid w1 black (8,105)-(12,105)");
    EXPECT_FALSE(h.has("text blue (20,108) \"Post Elec Use\""));
    EXPECT_EQ(h.count("circle"), 0);
    EXPECT_EQ(h.count("line solid w1 blue"), 0);
    EXPECT_TRUE(h.has("box solid w1 black (99.3,86)-(100.7,84)"));
}

TEST(PlotTimeSeries, GapBreaksTheLineAndSegmentsTakeTheRightHandRowsColour) {
    GraphHarness h;
    fiveRows(h);
    PlotTimeSeries(h.ctx, 4, true, true);
    EXPECT_EQ(h.drawnFrom("box solid w1 black (-0.7,26)-(0.7,24)"),
              (Ops{
                  "box solid w1 black (-0.7,26)-(0.7,24)",
                  "box solid w1 black (24.3,51)-(25.7,49)",
                  "line solid w1 black (0,25)-(25,50)",
                  // row 3 is missing: no marker, no line into or out of it
                  "circle solid w1 blue (75,75) r0.7",
                  "circle solid w1 blue (100,85) r0.7",
                  "line solid w1 blue (75,75)-(100,85)",
              }));
    EXPECT_EQ(h.graph.GraphKind, "TS");
    EXPECT_EQ(h.graph.GraphYCol, 4);
    EXPECT_EQ(h.picture.lineStyle(), LineStyle::Solid);
    EXPECT_EQ(h.picture.lineWidth(), 1);
}

TEST(PlotTimeSeries, SegmentFromLastPreToFirstPostRowIsPostColoured) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, {100, 200, 300}, {1, 1, 0});
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, false, false);
    EXPECT_EQ(h.drawnFrom("line solid w1 black (0,25)-(50,50)"),
              (Ops{"line solid w1 black (0,25)-(50,50)", "line solid w1 blue (50,50)-(100,75)"}));
}

TEST(PlotTimeSeries, MissingFirstRowStillGetsItsBlackBoxWhereMinus99Maps) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, {-99, 3000, 3400}, {2, 2, 2});
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, false, true);
    // -99 on an axis of 0..4000 maps to fy = -2.475; no line leaves row 1.
    EXPECT_EQ(h.drawnFrom("box solid w1 black (-0.7,-1.475)-(0.7,-3.475)"),
              (Ops{
                  "box solid w1 black (-0.7,-1.475)-(0.7,-3.475)",
                  "circle solid w1 blue (50,75) r0.7",
                  "circle solid w1 blue (100,85) r0.7",
                  "line solid w1 blue (50,75)-(100,85)",
              }));
}

TEST(PlotTimeSeries, WithoutMarkersIsolatedRowsAreInvisible) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, {1000, -99, 2000, -99, 3000, 3400});
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, false, false);
    EXPECT_EQ(h.count("box"), 0);
    EXPECT_EQ(h.count("circle"), 0);
    // only rows 5 and 6 are consecutive and present
    EXPECT_EQ(h.drawnFrom("line solid w1 black (80,75)-(100,85)"),
              (Ops{"line solid w1 black (80,75)-(100,85)"}));
}

TEST(PlotTimeSeries, DateLabelsAndTicksWithGrid) {
    GraphHarness h;
    std::vector<double> values(13, 500);
    ombrix::test::setSeries(h.data, 4, values);
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, true, false);
    // Rows 1, 3, 6, 9, 13 at fx = 100 (r - 1) / 12; months are the row numbers.
    for (const auto& [label, fx] :
         std::vector<std::pair<std::string, std::string>>{{"1/1/98", "0"},
                                                          {"3/1/98", "16.6666666666667"},
                                                          {"6/1/98", "41.6666666666667"},
                                                          {"9/1/98", "66.6666666666667"},
                                                          {"1/1/98", "100"}}) {
        SCOPED_TRACE(label);
        EXPECT_TRUE(h.has("line solid w1 black (" + fx + ",0)-(" + fx + ",1)"));
        EXPECT_TRUE(h.has("line dotted w1 black (" + fx + ",0)-(" + fx + ",100)"));
    }
    EXPECT_TRUE(h.has("text black (10.6666666666667,-5) \"3/1/98\""));
    EXPECT_TRUE(h.has("text black (94,-5) \"1/1/98\""));  // row 13 is month 1 again
    EXPECT_EQ(h.count("text black (-6,-5)"), 1);
}

TEST(PlotTimeSeries, GridStyleLeaksIntoTheVerticalTicksAfterTheFirst) {
    GraphHarness h;
    fiveRows(h);
    PlotTimeSeries(h.ctx, 4, true, true);
    const Ops labels = h.drawnFrom("text black (-14,1) \"0\"");
    ASSERT_GE(labels.size(), 27u);
    EXPECT_EQ(Ops(labels.begin(), labels.begin() + 7),
              (Ops{
                  "text black (-14,1) \"0\"",
                  "line solid w1 black (0,0)-(1,0)",
                  "line dotted w1 black (0,0)-(100,0)",
                  "text black (-14,13.5) \"500\"",
                  "line dotted w1 black (0,12.5)-(1,12.5)",
                  "line dotted w1 black (0,12.5)-(100,12.5)",
                  "text black (-14,26) \"1,000\"",
              }));
    EXPECT_EQ(labels[24], "text black (-14,101) \"4,000\"");
    EXPECT_EQ(labels[27], "box solid w1 black (-0.7,26)-(0.7,24)");  // the data loop is solid

    GraphHarness plain;
    fiveRows(plain);
    PlotTimeSeries(plain.ctx, 4, false, true);
    EXPECT_EQ(plain.count("line dotted"), 0);
    EXPECT_TRUE(plain.has("line solid w1 black (0,100)-(1,100)"));
}

TEST(PlotTimeSeries, NoDataKeepsTheOldPictureButTakesOverTheGraphState) {
    GraphHarness h;
    fiveRows(h);
    PlotTimeSeries(h.ctx, 4, true, true);
    const Ops before = h.drawn();
    h.graph.HighlightX = 50;
    h.graph.HighlightY = 50;
    PlotTimeSeries(h.ctx, 5, true, true);  // demand: every value missing
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "No data is available to plot."}}));
    EXPECT_EQ(h.drawn(), before);
    EXPECT_EQ(h.graph.GraphKind, "TS");
    EXPECT_EQ(h.graph.GraphYCol, 5);
    EXPECT_EQ(h.graph.HighlightX, -99);
    EXPECT_EQ(h.graph.HighlightY, -99);
    EXPECT_FALSE(h.ui.busy);
    EXPECT_EQ(h.ui.busyOn, 2);
}

TEST(PlotTimeSeries, NoTimeStampColumnsIsReportedAfterTheDataCheck) {
    GraphHarness h;
    fiveRows(h);
    h.data.TimeStampKind = 0;
    PlotTimeSeries(h.ctx, 4, true, true);
    EXPECT_EQ(
        h.ui.boxes,
        (std::vector<Box>{
            {"Error", "No time stamp variable names (Yr, Mo, Dy or Hr) have been defined."}}));
    EXPECT_TRUE(h.drawn().empty());
    EXPECT_EQ(h.graph.GraphKind, "TS");
    EXPECT_EQ(h.graph.YAxisMax, 4000);  // the scales were already taken
    // With no data either, only the data message shows.
    h.ui.boxes.clear();
    PlotTimeSeries(h.ctx, 5, true, true);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "No data is available to plot."}}));
}

TEST(PlotTimeSeries, SingleRowIsDrawnAtTheLeftEdgeWithoutNaN) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, {1200});
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, true, true);
    EXPECT_TRUE(h.ui.boxes.empty());
    for (const auto& op : h.picture.ops()) {
        EXPECT_TRUE(std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(op.x2) &&
                    std::isfinite(op.y2))
            << describe(op);
    }
    EXPECT_TRUE(h.has("box solid w1 black (-0.7,61)-(0.7,59)"));
    // Only the row itself is labelled (twice, as first and last row), not a row 0.
    EXPECT_EQ(h.count("text black (-6,-5) \"1/1/98\""), 2);
    EXPECT_EQ(h.count("text black (-6,-5)"), 2);
}

TEST(PlotTimeSeries, FewRowsLabelRowZeroOutsideTheVisibleArea) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, {1000, 2000});
    h.data.DataTable.at(0, 1) = 12;  // row 0: the reading that opens the first period
    h.data.DataTable.at(0, 2) = 31;
    h.data.DataTable.at(0, 3) = 97;
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, false, false);
    // Rows 1, 0, 0, 1, 2: row 0 sits at fx = -100, left of the surface.
    EXPECT_EQ(h.count("text black (-106,-5) \"12/31/97\""), 2);
    EXPECT_TRUE(h.has("line solid w1 black (-100,0)-(-100,1)"));
}

TEST(PlotTimeSeries, FailureWhileDrawingShowsQuotedErrorAndKeepsWhatWasDrawn) {
    GraphHarness h;
    fiveRows(h);
    h.data.PrePostCol = 14;  // beyond the table: the first flag read fails
    PlotTimeSeries(h.ctx, 4, false, true);
    ASSERT_EQ(h.ui.boxes.size(), 1u);
    EXPECT_EQ(h.ui.boxes[0].title, "Error");
    EXPECT_EQ(h.ui.boxes[0].text.front(), '"');
    EXPECT_NE(h.ui.boxes[0].text.find("Subscript out of range"), std::string::npos);
    EXPECT_EQ(h.data.MsgText, h.ui.boxes[0].text);
    EXPECT_TRUE(h.has("box solid w1 black (-0.7,26)-(0.7,24)"));  // row 1 was drawn
    EXPECT_FALSE(h.ui.busy);
}

TEST(PlotTimeSeries, ValuesBeyondAnyAxisAreAnErrorNotANonFiniteAxis) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, {1000, 1.7e308});  // the axis would end at 2 x 10^308
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, false, true);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error",
                                             "\"Cannot draw an axis for the values 1000 to "
                                             "1.7E+308\""}}));
    // The smallest positive double: its axis maximum 5 x 10^-324 rounds to 0, a span of 0.
    h.ui.boxes.clear();
    ombrix::test::setSeries(h.data, 4, {4.9e-324, 4.9e-324});
    PlotTimeSeries(h.ctx, 4, false, true);
    EXPECT_EQ(h.graph.YAxisSpan, 0);
    ASSERT_EQ(h.ui.boxes.size(), 1u);
    EXPECT_NE(h.ui.boxes[0].text.find("Cannot draw an axis"), std::string::npos);
    EXPECT_TRUE(h.drawn().empty());
}
