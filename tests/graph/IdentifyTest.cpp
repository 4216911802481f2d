#include <gtest/gtest.h>

#include "GraphTestUtil.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::GraphHarness;
using Ops = std::vector<std::string>;

namespace {

void click(GraphHarness& h, double x, double y) {
    GraphboxMouseDown(h.ctx, h.status, 1, 0, x, y);
}

// The drawing calls added since `mark` calls were recorded.
Ops since(const GraphHarness& h, std::size_t mark) {
    Ops out;
    for (std::size_t i = mark; i < h.picture.ops().size(); ++i) {
        out.push_back(describe(h.picture.ops()[i]));
    }
    return out;
}

// Electricity use over months 1..5 of 1998 (axis 0..4000, fy = use / 40, fx = 25 (row - 1)).
void timeSeries(GraphHarness& h) {
    ombrix::test::setSeries(h.data, 4, {1000, 2000, 2500, 3000, 3400}, {1, 1, 2, 2, 0});
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, true, true);
}

// Temperature (axis 0..100) against use (axis 0..4000); rows 2 and 4 lie close together.
void scatter(GraphHarness& h) {
    ombrix::test::setMerged(h.data, {
                                        {1, 31, 98, 3000, 9, 9, 1, 1, 20},
                                        {2, 28, 98, 2000, 9, 9, 1, 1, 50},
                                        {3, 31, 98, 2500, 9, 9, 2, 2, 90},
                                        {4, 30, 98, 2010, 9, 9, 2, 2, 50.5},
                                    });
    h.markElectricity();
    PlotScatter(h.ctx, 9, 4, true);
}

}  // namespace

TEST(Identify, NothingIsFoundBeforeAGraph) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, {1000, 2000});
    click(h, 0, 25);
    EXPECT_EQ(FindPoint(h.ctx, 0, 25, 1), 0);
    HighlightPoint(h.ctx, 1, 1);
    EXPECT_EQ(h.status.changes(), 0u);
    EXPECT_TRUE(h.drawn().empty());
    EXPECT_EQ(h.graph.LastShape, "");
    EXPECT_TRUE(h.ui.boxes.empty());
}

TEST(Identify, TimeSeriesClickPrintsDateCaptionAndValue) {
    GraphHarness h;
    timeSeries(h);
    const std::size_t mark = h.picture.ops().size();
    click(h, 25.2, 50.3);
    EXPECT_EQ(h.status.text(), "2/1/98  Elec Use = 2000.0");
    EXPECT_EQ(since(h, mark), (Ops{"filled box solid w1 black (24.3,51)-(25.7,49)"}));
    EXPECT_EQ(h.graph.HighlightX, 25);
    EXPECT_EQ(h.graph.HighlightY, 50);
    EXPECT_EQ(h.graph.LastShape, "box");
}

TEST(Identify, ScatterClickPrintsBothValuesAndTheLowerRowWins) {
    GraphHarness h;
    scatter(h);
    // Rows 2 (50, 2000) and 4 (50.5, 2010) both lie within 1 % of the click.
    click(h, 50.3, 50.1);
    EXPECT_EQ(h.status.text(), "2/28/98  Elec Use = 2000.0  Temp = 50.0");
    EXPECT_EQ(FindPoint(h.ctx, 50.6, 50.3, 1), 2);
    // Just beyond row 2's tolerance only row 4 is left.
    EXPECT_EQ(FindPoint(h.ctx, 51.1, 50.3, 1), 4);
    // Exactly one tolerance (1 % of 100 = 1 unit) away is not found: the bounds are strict.
    EXPECT_EQ(FindPoint(h.ctx, 21, 75, 1), 0);
    EXPECT_EQ(FindPoint(h.ctx, 20.5, 75, 1), 1);
}

TEST(Identify, ClicksInTheMarginFindNothing) {
    GraphHarness h;
    scatter(h);
    // A point at the frame's edge is still found within 2 units outside, not beyond.
    ombrix::test::setMerged(h.data,
                            {{1, 31, 98, 0, 9, 9, 1, 1, 0}, {2, 28, 98, 3000, 9, 9, 1, 1, 90}});
    PlotScatter(h.ctx, 9, 4, true);
    EXPECT_EQ(FindPoint(h.ctx, -0.5, -0.5, 1), 1);
    EXPECT_EQ(FindPoint(h.ctx, -2.5, 0, 1), 0);
    EXPECT_EQ(FindPoint(h.ctx, 0, -2.5, 1), 0);
    const auto changes = h.status.changes();
    click(h, -10, 50);
    click(h, 50, -15);
    EXPECT_EQ(h.status.changes(), changes);
}

TEST(Identify, RowToleranceIsHalfARowAtFiftyRows) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, std::vector<double>(50, 1000));
    h.data.PrePostCol = 0;
    PlotTimeSeries(h.ctx, 4, false, true);  // axis 0..2000, fy = 50
    auto xOfRow = [](double rv) { return (rv - 1) * 100 / 49; };
    EXPECT_EQ(FindPoint(h.ctx, xOfRow(10.4), 50, 1), 10);
    EXPECT_EQ(FindPoint(h.ctx, xOfRow(10.6), 50, 1), 11);
    EXPECT_EQ(FindPoint(h.ctx, xOfRow(50), 50, 1), 50);
    EXPECT_EQ(FindPoint(h.ctx, xOfRow(10.4), 51.5, 1), 0);  // 30 above, tolerance 20
}

TEST(Identify, RowToleranceIsThreeRowsAtThreeHundredRows) {
    GraphHarness h;
    std::vector<double> values(300, 3000);
    values[46] = 1000;  // row 47: 3.5 rows left of the click
    values[52] = 1000;  // row 53: 2.5 rows right of it
    ombrix::test::setSeries(h.data, 4, values);
    h.data.PrePostCol = 0;
    PlotTimeSeries(h.ctx, 4, false, true);  // axis 0..4000, 1000 at fy = 25
    const double x = (50.5 - 1) * 100 / 299;
    EXPECT_EQ(FindPoint(h.ctx, x, 25, 1), 53);
    values[52] = 3000;
    ombrix::test::setSeries(h.data, 4, values);
    EXPECT_EQ(FindPoint(h.ctx, x, 25, 1), 0);
}

TEST(Identify, SecondClickMovesTheHighlightAndRestoresTheOldMarker) {
    GraphHarness h;
    timeSeries(h);
    click(h, 25, 50);  // row 2, before the retrofit: black box
    const std::size_t mark = h.picture.ops().size();
    click(h, 75, 75);  // row 4, after: blue circle
    EXPECT_EQ(since(h, mark), (Ops{
                                  "filled box solid w1 white (24.3,51)-(25.7,49)",
                                  "box solid w1 black (24.3,51)-(25.7,49)",
                                  "filled circle solid w1 blue (75,75) r0.7",
                              }));
    EXPECT_EQ(h.status.text(), "4/1/98  Elec Use = 3000.0");
    const std::size_t mark2 = h.picture.ops().size();
    click(h, 50, 62.5);  // row 3
    EXPECT_EQ(since(h, mark2), (Ops{
                                   "filled box solid w1 white (74.3,76)-(75.7,74)",
                                   "circle solid w1 blue (75,75) r0.7",
                                   "filled circle solid w1 blue (50,62.5) r0.7",
                               }));
    EXPECT_EQ(h.graph.LastShape, "circle");
    EXPECT_EQ(h.graph.LastColor, kBlue);
}

TEST(Identify, AnyFlagOtherThanOneIsHighlightedAsThePostCircleItWasDrawnAs) {
    GraphHarness h;
    timeSeries(h);  // row 5 has flag 0 and is drawn as a blue circle
    EXPECT_TRUE(h.has("circle solid w1 blue (100,85) r0.7"));
    const std::size_t mark = h.picture.ops().size();
    click(h, 100, 85);
    click(h, 0, 25);
    EXPECT_EQ(since(h, mark), (Ops{
                                  "filled circle solid w1 blue (100,85) r0.7",
                                  "filled box solid w1 white (99.3,86)-(100.7,84)",
                                  "circle solid w1 blue (100,85) r0.7",
                                  "filled box solid w1 black (-0.7,26)-(0.7,24)",
                              }));
}

TEST(Identify, NewGraphForgetsTheHighlightButKeepsTheLastShape) {
    GraphHarness h;
    timeSeries(h);
    click(h, 75, 75);
    timeSeries(h);
    EXPECT_EQ(h.graph.HighlightX, -99);
    EXPECT_EQ(h.graph.LastShape, "circle");
    const std::size_t mark = h.picture.ops().size();
    click(h, 25, 50);
    EXPECT_EQ(since(h, mark), (Ops{"filled box solid w1 black (24.3,51)-(25.7,49)"}));
}

TEST(Identify, MissingCellUnderTheClickRemovesTheHighlightWithoutANewOne) {
    GraphHarness h;
    // Axis -600..400: the missing value -99 of row 2 maps into the frame at fy = 50.1.
    ombrix::test::setSeries(h.data, 4, {-500, -99, 300});
    h.data.PrePostCol = 0;
    PlotTimeSeries(h.ctx, 4, false, true);
    ASSERT_EQ(h.graph.YAxisMin, -600);
    click(h, 0, 10);  // row 1
    const std::size_t mark = h.picture.ops().size();
    click(h, 50, 50.1);
    EXPECT_EQ(h.status.text(), "2/1/98  Elec Use = -99.0");
    EXPECT_EQ(since(h, mark), (Ops{
                                  "filled box solid w1 white (-0.7,11)-(0.7,9)",
                                  "box solid w1 black (-0.7,11)-(0.7,9)",
                              }));
    EXPECT_EQ(h.graph.HighlightX, 0);
}

TEST(Identify, SingleRowTimeSeriesHighlightsAtTheLeftEdge) {
    GraphHarness h;
    ombrix::test::setSeries(h.data, 4, {1200});
    h.markElectricity();
    PlotTimeSeries(h.ctx, 4, true, true);
    click(h, 1, 60);
    EXPECT_EQ(h.status.text(), "1/1/98  Elec Use = 1200.0");
    EXPECT_EQ(h.drawn().back(), "filled box solid w1 black (-0.7,61)-(0.7,59)");
    EXPECT_EQ(h.graph.HighlightX, 0);
}

TEST(Identify, LegendEntriesSwitchBetweenTheTwoSeries) {
    GraphHarness h;
    ombrix::test::setMerged(h.data, {
                                        {1, 31, 98, 1000, 9, 9, 1, 1, 30, 1000},
                                        {2, 28, 98, 2000, 9, 9, 1, 1, 40, 2000},
                                        {3, 31, 98, 3000, 9, 9, 2, 2, 50, 3400},
                                    });
    h.markElectricity();
    PlotModelSeries(h.ctx, 4, 10, true, true);  // axis 0..4000, rows at fx 0, 50, 100

    click(h, -10, 105);  // the first entry does nothing before the second was chosen
    EXPECT_EQ(h.graph.SelectedSeries, 0);
    EXPECT_EQ(h.graph.SecondSeriesSwitch, -1);
    EXPECT_EQ(h.status.changes(), 0u);

    click(h, 80, 105);
    EXPECT_EQ(h.graph.SelectedSeries, 2);
    EXPECT_EQ(h.graph.SecondSeriesSwitch, 1);
    EXPECT_EQ(h.status.changes(), 0u);  // nothing is found on the legend row

    click(h, 100, 85);  // the prediction of row 3
    EXPECT_EQ(h.status.text(), "3/31/98  Post Elec Use if no retrofit = 3400.0");
    EXPECT_EQ(h.drawn().back(), "filled circle solid w1 blue (100,85) r0.7");
    click(h, 100, 75);  // the measured value is not searched now
    EXPECT_EQ(h.status.text(), "3/31/98  Post Elec Use if no retrofit = 3400.0");

    click(h, 90, 105);  // the second entry again: no change
    EXPECT_EQ(h.graph.SelectedSeries, 2);
    click(h, 0, 104);  // back to the first series
    EXPECT_EQ(h.graph.SelectedSeries, 1);
    EXPECT_EQ(h.graph.SecondSeriesSwitch, 0);
    click(h, 100, 75);
    EXPECT_EQ(h.status.text(), "3/31/98  Elec Use = 3000.0");
}

TEST(Identify, SeriesChoiceSurvivesANewSingleSeriesGraph) {
    GraphHarness h;
    ombrix::test::setMerged(h.data, {
                                        {1, 31, 98, 1000, 9, 9, 1, 1, 30, 1000},
                                        {2, 28, 98, 2000, 9, 9, 1, 1, 40, 3000},
                                    });
    h.markElectricity();
    PlotModelSeries(h.ctx, 4, 10, true, true);
    click(h, 80, 105);
    PlotTimeSeries(h.ctx, 4, true, true);
    // Still series 2: the clicks search column 10 of the last two-series graph.
    EXPECT_EQ(h.graph.GraphY2Col, 10);
    ASSERT_EQ(h.graph.YAxisMax, 3000);  // the new graph's axis, from column 4 alone
    click(h, 100, 100);
    EXPECT_EQ(h.status.text(), "2/28/98  Post Elec Use if no retrofit = 3000.0");
}

TEST(Identify, FailureInTheHandlerShowsAQuotedError) {
    GraphHarness h;
    timeSeries(h);
    h.graph.GraphY2Col = 20;  // beyond the table
    click(h, 80, 105);
    EXPECT_TRUE(h.ui.boxes.empty());
    click(h, 50, 50);
    ASSERT_EQ(h.ui.boxes.size(), 1u);
    EXPECT_EQ(h.ui.boxes[0].title, "Error");
    EXPECT_EQ(h.ui.boxes[0].text.front(), '"');
    EXPECT_EQ(h.data.MsgText, h.ui.boxes[0].text);
}
