#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "GraphTestUtil.h"
#include "graph/Scales.h"

using namespace ombrix;
using ombrix::test::GraphHarness;

namespace {

void expectAxis(const NiceScale& s, double min, double max, double units, double exp, double step) {
    EXPECT_DOUBLE_EQ(s.Min, min);
    EXPECT_DOUBLE_EQ(s.Max, max);
    EXPECT_EQ(s.Units, units);
    EXPECT_EQ(s.Exp, exp);
    EXPECT_EQ(s.TickStep, step);
}

}  // namespace

TEST(NiceAxis, WorkedExamples) {
    struct Case {
        double lo, hi, min, max, units, exp, step;
    };
    for (const Case& c : {
             Case{120, 3400, 0, 4000, 4, 3, 0.5},    // ticks every 500 below five units
             Case{-230, 340, -300, 400, 7, 2, 1},    // same power: units add up
             Case{-20, 3400, -1000, 4000, 5, 3, 1},  // minimum widened to one unit
             Case{-3400, 20, -4000, 1000, 5, 3, 1},  // maximum widened to one unit
             Case{0, 9960, 0, 20000, 2, 4, 0.5},     // 9960 reads 1.0E+04: not 10000
             Case{-9.96, 0, -20, 10, 3, 1, 0.5},     // -9.96 reads -1.0E+01
             Case{0, 0, 0, 1, 1, 0, 0.5},            // a maximum of 0 gives 1
             Case{-300, -5, -400, 100, 5, 2, 1},     // a negative maximum gives 10^e
             Case{0.0012, 0.0034, 0, 0.004, 4, -3, 0.5},
             Case{0.5, 95, 0, 100, 10, 1, 1},
         }) {
        SCOPED_TRACE(std::to_string(c.lo) + " .. " + std::to_string(c.hi));
        expectAxis(NiceAxis(c.lo, c.hi), c.min, c.max, c.units, c.exp, c.step);
    }
}

TEST(NiceAxis, AxisAlwaysCoversTheDataInWholeUnits) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> mantissa(-9.99, 9.99);
    std::uniform_int_distribution<int> power(-6, 9);
    for (int k = 0; k < 2000; ++k) {
        double a = mantissa(gen) * std::pow(10.0, power(gen));
        double b = mantissa(gen) * std::pow(10.0, power(gen));
        if (k % 3 == 0) {
            a = std::fabs(a);
            b = std::fabs(b);
        }
        const double lo = std::min(a, b);
        const double hi = std::max(a, b);
        const NiceScale s = NiceAxis(lo, hi);
        SCOPED_TRACE(std::to_string(lo) + " .. " + std::to_string(hi));
        EXPECT_LE(s.Min, lo);
        EXPECT_GE(s.Max, hi);
        EXPECT_LE(s.Min, 0);
        EXPECT_EQ(s.Units, std::round(s.Units));
        EXPECT_GE(s.Units, 1);
        EXPECT_LE(s.Units, 21);
        const double unit = std::pow(10.0, s.Exp);
        EXPECT_NEAR(s.Max - s.Min, s.Units * unit, 1e-9 * s.Units * unit);
        EXPECT_EQ(s.TickStep, s.Units >= 5 ? 1 : 0.5);
        if (lo >= 0) {
            EXPECT_EQ(s.Min, 0);
        }
    }
}

TEST(ScaleAxes, SpanOfFiveGivesDifferentFormatsOnTheTwoAxes) {
    GraphHarness h;
    ombrix::test::setMerged(h.data, {{1, 1, 98, 4, 0, 0, 1, 1, 1}, {2, 1, 98, 0.5, 0, 0, 1, 1, 4}});
    ScaleAxes(h.ctx, 9, 4);
    EXPECT_EQ(h.graph.XAxisSpan, 5);
    EXPECT_EQ(h.graph.YAxisSpan, 5);
    EXPECT_EQ(h.graph.XLabelFormat, "0.00");
    EXPECT_EQ(h.graph.YLabelFormat, "#,###,##0");
    // A span of exactly 1 gives three decimals on both.
    ombrix::test::setMerged(h.data, {{1, 1, 98, 0.9, 0, 0, 1, 1, 0}});
    ScaleAxes(h.ctx, 9, 4);
    EXPECT_EQ(h.graph.XAxisSpan, 1);
    EXPECT_EQ(h.graph.YAxisSpan, 1);
    EXPECT_EQ(h.graph.XLabelFormat, "0.000");
    EXPECT_EQ(h.graph.YLabelFormat, "0.000");
    // Between 1 and 5 two decimals on both; the measured-and-predicted graph's own rule.
    EXPECT_EQ(wideFromFiveFormat(4.5), "0.00");
    EXPECT_EQ(wideAboveFiveFormat(5), "0.00");
    EXPECT_EQ(wideAboveFiveFormat(5.5), "#,###,##0");
}

TEST(ScaleAxes, SkipsMissingRowsAndTakesTheFlagOfTheEnergyColumn) {
    GraphHarness h;
    ombrix::test::setMerged(h.data, {
                                        {1, 31, 98, 1200, 5, 40, 1, 2, 30},
                                        {2, 28, 98, -99, 6, 50, 1, 2, 35},
                                        {3, 31, 98, 900, 7, -99, 2, 1, -99},
                                        {4, 30, 98, 3400, 8, 60, 2, 1, 62},
                                    });
    ScaleAxes(h.ctx, 9, 4);
    ASSERT_EQ(h.model.ModelN, 2);
    EXPECT_EQ(h.model.ModelX(1, 1), 1);
    EXPECT_EQ(h.model.ModelX(1, 2), 30);
    EXPECT_EQ(h.model.ModelY(2, 1), 3400);
    EXPECT_EQ(h.model.ModelFlag[1].value(), 1);
    EXPECT_EQ(h.model.ModelFlag[2].value(), 2);
    EXPECT_TRUE(h.model.ModelFlag[3].isEmpty());
    EXPECT_EQ(h.model.ModelTMin, 30);
    EXPECT_EQ(h.model.ModelTMax, 62);
    EXPECT_EQ(h.model.ModelTSpan, 32);
    EXPECT_EQ(h.model.ModelYSpan, 2200);
    EXPECT_EQ(h.graph.YAxisMax, 4000);
    EXPECT_EQ(h.graph.XAxisMax, 70);
    EXPECT_EQ(h.graph.XLabelFormat, "#,###,##0");

    ScaleAxes(h.ctx, 9, 6);  // thermal: flag column 8
    ASSERT_EQ(h.model.ModelN, 3);
    EXPECT_EQ(h.model.ModelFlag[1].value(), 2);
    EXPECT_EQ(h.model.ModelFlag[3].value(), 1);

    ScaleAxes(h.ctx, 1, 9);  // not an energy column: no flags
    ASSERT_EQ(h.model.ModelN, 3);
    EXPECT_TRUE(h.model.ModelFlag[1].isEmpty());

    h.data.EnergyOpen = false;  // weather only: no flags either
    ScaleAxes(h.ctx, 9, 4);
    EXPECT_TRUE(h.model.ModelFlag[1].isEmpty());
}

TEST(ScaleAxes, NoPointKeepsThePreviousExtremes) {
    GraphHarness h;
    ombrix::test::setMerged(h.data, {{1, 1, 98, 250, 0, 0, 1, 1, 40}});
    ScaleAxes(h.ctx, 9, 4);
    ombrix::test::setMerged(h.data, {{1, 1, 98, -99, 0, 0, 1, 1, 40}});
    ScaleAxes(h.ctx, 9, 4);
    EXPECT_EQ(h.model.ModelN, 0);
    EXPECT_EQ(h.model.ModelYMin, 250);
    EXPECT_EQ(h.graph.YAxisMax, 300);
    EXPECT_EQ(h.model.ModelX.lastRow(), 1);  // re-created for the new table
}

TEST(DateLabels, ThirteenRowsLabelRowsOneThreeSixNineThirteenAndHalvesGoToEven) {
    auto rowsOf = [](long n) {
        std::vector<long> rows;
        for (int j = 0; j < 5; ++j) {
            rows.push_back(dateLabelRow(j, n));
        }
        return rows;
    };
    EXPECT_EQ(rowsOf(13), (std::vector<long>{1, 3, 6, 9, 13}));
    EXPECT_EQ(rowsOf(7), (std::vector<long>{1, 2, 3, 4, 7}));  // 1.5 -> 2, 4.5 -> 4
    // Fewer than 5 rows name row 0, which lies left of the visible area.
    EXPECT_EQ(rowsOf(3), (std::vector<long>{1, 0, 1, 2, 3}));
    EXPECT_EQ(rowsOf(2), (std::vector<long>{1, 0, 0, 1, 2}));
    EXPECT_EQ(rowFrameX(0, 3), -50);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(2.6), 3);
}

TEST(DateLabel, FollowsTheTimeStampKind) {
    GraphHarness h;
    ombrix::test::setMerged(h.data, {{3, 15, 98, 1}, {12, 1, 2001, 2}});
    h.data.HrCol = 4;
    EXPECT_EQ(DateLabel(h.ctx, 1), "3/15/98");
    EXPECT_EQ(DateLabel(h.ctx, 2), "12/1/2001");
    h.data.TimeStampKind = 1;
    EXPECT_EQ(DateLabel(h.ctx, 1), "98");
    h.data.TimeStampKind = 2;
    EXPECT_EQ(DateLabel(h.ctx, 1), "3/98");
    h.data.TimeStampKind = 4;
    EXPECT_EQ(DateLabel(h.ctx, 2), "12/1/2001-2");
    h.data.TimeStampKind = 0;
    EXPECT_EQ(DateLabel(h.ctx, 1), "");
    h.data.TimeStampKind = 7;
    EXPECT_EQ(DateLabel(h.ctx, 1), "");
}
