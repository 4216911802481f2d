#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "model/Fits.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::FakeUi;

namespace {

// An input set of the given temperatures and energy values, as a savings calculation fills it.
ModelState inputOf(const std::vector<double>& t, const std::vector<double>& e) {
    ModelState m;
    const long n = static_cast<long>(t.size());
    resetModelInput(m, n);
    for (long i = 1; i <= n; ++i) {
        const double ti = t[static_cast<std::size_t>(i - 1)];
        m.ModelX.at(i, 1) = 1.0;
        m.ModelX.at(i, 2) = ti;
        m.ModelY.at(i, 1) = e[static_cast<std::size_t>(i - 1)];
        m.ModelTMin = i == 1 ? ti : std::min(m.ModelTMin, ti);
        m.ModelTMax = i == 1 ? ti : std::max(m.ModelTMax, ti);
    }
    m.ModelN = n;
    return m;
}

// 36 monthly temperatures from 20 to 90 °F in steps of 2, in a shuffled but fixed order.
std::vector<double> temperatures() {
    std::vector<double> t;
    for (int i = 0; i < 36; ++i) {
        t.push_back(20.0 + 2.0 * ((i * 7) % 36));
    }
    return t;
}

// A fixed, irregular disturbance of amplitude a.
double noise(std::size_t i, double a) {
    return a * std::sin(2.399 * static_cast<double>(i) + 0.5);
}

double plus(double v) {
    return v > 0 ? v : 0.0;
}

const Box noData{"Error", "No data is available to model."};

}  // namespace

TEST(Fit4P, RecoversAChangePointOnTheGridExactly) {
    const auto t = temperatures();
    std::vector<double> e;
    for (double v : t) {
        e.push_back(300.0 + 1.5 * v + 6.0 * plus(v - 62.0));
    }
    FakeUi ui;
    const auto fit = Fit4P(inputOf(t, e), ui);
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->Xcp, 62.0, 1e-9);
    EXPECT_NEAR(fit->b1, 300.0, 1e-8);
    EXPECT_NEAR(fit->b2, 1.5, 1e-10);
    EXPECT_NEAR(fit->b3, 6.0, 1e-10);
    EXPECT_NEAR(fit->RMSE, 0.0, 1e-9);
    EXPECT_NEAR(fit->R2, 1.0, 1e-12);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(Fit4P, RecoversANoisyChangePointWithinOneFineStep) {
    const auto t = temperatures();
    std::vector<double> e;
    for (std::size_t i = 0; i < t.size(); ++i) {
        e.push_back(800.0 - 4.0 * t[i] + 9.0 * plus(t[i] - 57.3) + noise(i, 2.0));
    }
    FakeUi ui;
    const auto fit = Fit4P(inputOf(t, e), ui);
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->Xcp, 57.3, 0.2 * 7.0);  // the second pass steps by a fifth of a tenth
    // A change point off by part of a step tilts both lines a little.
    EXPECT_NEAR(fit->b2, -4.0, 0.3);           // slope below
    EXPECT_NEAR(fit->b2 + fit->b3, 5.0, 0.3);  // slope above
    EXPECT_GT(fit->R2, 0.98);
}

TEST(Fit4P, MatchesTheExactLeastSquaresOptimum) {
    // Residuals 2, −2, −2, 2 on the four lowest points are orthogonal to every column of the
    // design at Xcp = 55, so there the fit returns the generating line exactly, with
    // SSE = 16 over 5 degrees of freedom; no other candidate does better.
    const std::vector<double> t{20, 30, 40, 50, 60, 70, 80, 90};
    const std::vector<double> e{572, 548, 528, 512, 515, 545, 575, 605};
    FakeUi ui;
    const auto fit = Fit4P(inputOf(t, e), ui);
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->Xcp, 55.0, 1e-12);
    EXPECT_NEAR(fit->b1, 610.0, 1e-9);
    EXPECT_NEAR(fit->b2, -2.0, 1e-11);
    EXPECT_NEAR(fit->b3, 5.0, 1e-11);
    EXPECT_NEAR(fit->RMSE, std::sqrt(3.2), 1e-12);
    EXPECT_NEAR(fit->CV, std::sqrt(3.2) / 550.0 * 100.0, 1e-12);
    EXPECT_NEAR(fit->R2, 1.0 - 16.0 / 7316.0, 1e-12);
}

TEST(Fit5P, RecoversChangePointsOnTheGridExactly) {
    const auto t = temperatures();
    const double s = 70.0 / 9.0;
    const double x1 = 20.0 + 3 * s;
    const double x2 = 20.0 + 6 * s;
    std::vector<double> e;
    for (double v : t) {
        e.push_back(400.0 - 5.0 * (v <= x1 ? v - x1 : 0.0) + 8.0 * plus(v - x2));
    }
    FakeUi ui;
    const auto fit = Fit5P(inputOf(t, e), ui);
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->Xcp1, x1);  // the second pass finds nothing better
    EXPECT_EQ(fit->Xcp2, x2);
    EXPECT_NEAR(fit->b1, 400.0, 1e-9);
    EXPECT_NEAR(fit->b2, -5.0, 1e-10);
    EXPECT_NEAR(fit->b3, 8.0, 1e-10);
    EXPECT_NEAR(fit->CV, 0.0, 1e-9);
}

TEST(Fit5P, RecoversNoisyChangePointsWithinOneGridStep) {
    const auto t = temperatures();
    std::vector<double> e;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const double v = t[i];
        e.push_back(900.0 - 12.0 * (v <= 41.0 ? v - 41.0 : 0.0) + 15.0 * plus(v - 68.0) +
                    noise(i, 3.0));
    }
    FakeUi ui;
    const auto fit = Fit5P(inputOf(t, e), ui);
    ASSERT_TRUE(fit);
    const double step = 70.0 / 9.0;
    EXPECT_NEAR(fit->Xcp1, 41.0, step);
    EXPECT_NEAR(fit->Xcp2, 68.0, step);
    // Change points off by part of a step tilt the lines: within 8 %.
    EXPECT_NEAR(fit->b1, 900.0, 10.0);
    EXPECT_NEAR(fit->b2, -12.0, 1.0);
    EXPECT_NEAR(fit->b3, 15.0, 1.2);
}

TEST(Fit5P, MatchesTheExactLeastSquaresOptimum) {
    // Worked out in exact rational arithmetic over the same candidate grid: the best pair is
    // the third and the sixth ninth of the range.
    const std::vector<double> t{20, 30, 40, 50, 60, 70, 80, 90};
    const std::vector<double> e{574, 546, 526, 514, 515, 545, 575, 605};
    FakeUi ui;
    const auto fit = Fit5P(inputOf(t, e), ui);
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->Xcp1, 20.0 + 3 * 70.0 / 9, 1e-12);
    EXPECT_NEAR(fit->Xcp2, 20.0 + 5 * 70.0 / 9, 1e-12);
    EXPECT_NEAR(fit->b1, 513.7268132896584, 1e-9);
    EXPECT_NEAR(fit->b2, -2.5603556387459063, 1e-11);
    EXPECT_NEAR(fit->b3, 2.9136920917173605, 1e-11);
    EXPECT_NEAR(fit->RMSE, 2.160128479052735, 1e-11);
    EXPECT_NEAR(fit->R2, 0.9968317795722333, 1e-12);
}

TEST(Fits, WithoutObservationsEachFitSaysSoOnceAndGivesNothing) {
    ModelState m;
    resetModelInput(m, 0);
    FakeUi ui;
    EXPECT_FALSE(Fit4P(m, ui));
    EXPECT_EQ(ui.boxes, std::vector<Box>{noData});
    EXPECT_FALSE(Fit5P(m, ui));
    EXPECT_EQ(ui.boxes, (std::vector<Box>{noData, noData}));
    EXPECT_EQ(ui.progressShows, 2);
    EXPECT_EQ(ui.progressUnloads, 2);
    EXPECT_FALSE(ui.busy);
    EXPECT_TRUE(ui.paints.empty());
}

TEST(Fits, ProgressCountsCandidatesAgainstTheirTotals) {
    const auto t = temperatures();
    std::vector<double> e;
    for (std::size_t i = 0; i < t.size(); ++i) {
        e.push_back(500.0 + 3.0 * plus(t[i] - 60.0) + noise(i, 2.0));
    }
    const ModelState m = inputOf(t, e);
    FakeUi ui;
    ASSERT_TRUE(Fit4P(m, ui));
    EXPECT_EQ(ui.captions, std::vector<std::string>{"Processing Data..."});
    ASSERT_EQ(ui.paints.size(), 18u);
    EXPECT_DOUBLE_EQ(ui.paints.front(), 1.0 / 19);
    EXPECT_DOUBLE_EQ(ui.paints.back(), 18.0 / 19);
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_FALSE(ui.busy);
    EXPECT_EQ(ui.busyOn, 1);

    FakeUi ui5;
    ASSERT_TRUE(Fit5P(m, ui5));
    // 28 pairs in the first pass, at most 16 in the second.
    ASSERT_GE(ui5.paints.size(), 28u);
    ASSERT_LE(ui5.paints.size(), 44u);
    for (std::size_t k = 0; k < ui5.paints.size(); ++k) {
        EXPECT_DOUBLE_EQ(ui5.paints[k], static_cast<double>(k + 1) / 44);
    }
    EXPECT_EQ(ui5.progressUnloads, 1);
}

TEST(Fits, ConstantEnergyFailsWithAnErrorBox) {
    const auto t = temperatures();
    const std::vector<double> e(t.size(), 250.0);
    FakeUi ui;
    std::string msg;
    EXPECT_FALSE(Fit4P(inputOf(t, e), ui, &msg));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Error");
    EXPECT_EQ(ui.boxes[0].text, "\"Cannot fit a model to values that are all equal\"");
    EXPECT_EQ(msg, ui.boxes[0].text);
    EXPECT_FALSE(ui.busy);
    EXPECT_FALSE(ui.progressVisible);

    FakeUi ui5;
    EXPECT_FALSE(Fit5P(inputOf(t, e), ui5));
    ASSERT_EQ(ui5.boxes.size(), 1u);
    EXPECT_EQ(ui5.boxes[0].title, "Error");
}

TEST(Fits, ZeroMeanEnergyFailsWithAnErrorBox) {
    const auto t = temperatures();
    std::vector<double> e;
    for (std::size_t i = 0; i < t.size(); ++i) {
        e.push_back(i % 2 == 0 ? 5.0 : -5.0);
    }
    FakeUi ui;
    EXPECT_FALSE(Fit4P(inputOf(t, e), ui));
    EXPECT_EQ(ui.boxes,
              (std::vector<Box>{{"Error", "\"Cannot fit a model to values whose mean is zero\""}}));
}

TEST(Fits, OneTemperatureOnlyIsSingularOnceThenFails) {
    const std::vector<double> t(12, 55.0);
    std::vector<double> e;
    for (int i = 0; i < 12; ++i) {
        e.push_back(100.0 + i);
    }
    FakeUi ui;
    EXPECT_FALSE(Fit4P(inputOf(t, e), ui));
    // Nine singular candidates in the first pass, one box for them; without a best there is
    // nothing to refine, and the fit gives up.
    EXPECT_EQ(ui.boxes, (std::vector<Box>{{"Error in Subroutine Invert", "MATRIX IS SINGULAR"},
                                          {"Error",
                                           "\"The four-parameter model cannot be fitted to these "
                                           "data\""}}));
    EXPECT_EQ(ui.paints.size(), 9u);
    EXPECT_FALSE(ui.busy);

    FakeUi ui5;
    EXPECT_FALSE(Fit5P(inputOf(t, e), ui5));
    // No pair of distinct change points exists at all.
    EXPECT_EQ(ui5.boxes, (std::vector<Box>{{"Error",
                                            "\"The five-parameter model cannot be fitted to these "
                                            "data\""}}));
}

// The searches, with scores chosen by the test.

TEST(ChangePointSearch, OneChangePointTriesNineTenthsThenNineFineSteps) {
    std::vector<double> tried;
    const auto best = searchOneChangePoint(0.0, 100.0, [&](double x) {
        tried.push_back(x);
        return std::optional<double>(std::fabs(x - 40.0));
    });
    ASSERT_EQ(tried.size(), 18u);
    for (int j = 1; j <= 9; ++j) {
        EXPECT_DOUBLE_EQ(tried[static_cast<std::size_t>(j - 1)], 10.0 * j);
    }
    // Around the first-pass best (40): 30 + j·2; the fifth is 40 again.
    for (int j = 1; j <= 9; ++j) {
        EXPECT_DOUBLE_EQ(tried[static_cast<std::size_t>(8 + j)], 30.0 + 2.0 * j);
    }
    ASSERT_TRUE(best);
    EXPECT_DOUBLE_EQ(*best, 40.0);
}

TEST(ChangePointSearch, OneChangePointTiesKeepTheLowerCandidate) {
    const auto best = searchOneChangePoint(0.0, 10.0, [](double x) {
        // Equal scores everywhere except a worse value at 1.
        return std::optional<double>(x == 1.0 ? 9.0 : 2.0);
    });
    ASSERT_TRUE(best);
    // Pass 1: 2 beats 1 strictly, the equal 3..9 do not replace it. Pass 2 starts at 1 and
    // its first candidate, 1.2, becomes the best; its equal successors do not replace it.
    EXPECT_DOUBLE_EQ(*best, 1.2);
}

TEST(ChangePointSearch, SecondPassFirstCandidateReplacesTheBestEvenWhenWorse) {
    int call = 0;
    std::vector<double> tried;
    const auto best = searchOneChangePoint(0.0, 10.0, [&](double x) {
        tried.push_back(x);
        ++call;
        if (call <= 9) {
            return std::optional<double>(x == 3.0 ? 1.0 : 5.0);
        }
        return std::optional<double>(call == 10 ? 4.0 : 4.5);
    });
    ASSERT_TRUE(best);
    EXPECT_DOUBLE_EQ(*best, 2.2);        // first candidate of pass 2, though 4.0 > 1.0
    EXPECT_NEAR(tried[13], 3.0, 1e-15);  // the first-pass best is tried again, fifth
}

TEST(ChangePointSearch, UnevaluableCandidatesAreSkipped) {
    std::vector<double> scored;
    const auto best = searchOneChangePoint(0.0, 10.0, [&](double x) -> std::optional<double> {
        if (x < 2.5 || (x > 3.5 && x < 4.5)) {
            return std::nullopt;  // singular
        }
        scored.push_back(x);
        return 10.0 - x;
    });
    ASSERT_TRUE(best);
    // Pass 1 best is 9 (scores fall with x); pass 2 around it up to 10.6.
    EXPECT_NEAR(*best, 8.0 + 9 * 0.2, 1e-12);
    EXPECT_DOUBLE_EQ(scored.front(), 3.0);  // the first evaluable one started pass 1

    EXPECT_FALSE(searchOneChangePoint(0.0, 10.0, [](double) { return std::optional<double>(); }));
}

TEST(ChangePointSearch, UnevaluableSecondPassKeepsTheFirstPassBest) {
    int call = 0;
    const auto best = searchOneChangePoint(0.0, 10.0, [&](double x) -> std::optional<double> {
        if (++call > 9) {
            return std::nullopt;
        }
        return std::fabs(x - 6.0);
    });
    ASSERT_TRUE(best);
    EXPECT_DOUBLE_EQ(*best, 6.0);
}

TEST(ChangePointSearch, TwoChangePointsTryOrderedPairsOnly) {
    std::vector<std::pair<double, double>> tried;
    const auto best = searchTwoChangePoints(0.0, 90.0, [&](double a, double b) {
        tried.emplace_back(a, b);
        return std::optional<double>(std::fabs(a - 20.0) + std::fabs(b - 70.0));
    });
    ASSERT_TRUE(best);
    EXPECT_DOUBLE_EQ(best->first, 20.0);
    EXPECT_DOUBLE_EQ(best->second, 70.0);
    // 28 first-pass pairs of the points 10..80, in outer-then-inner order, never equal.
    ASSERT_EQ(tried.size(), 28u + 16u);
    EXPECT_EQ(tried[0], std::make_pair(10.0, 20.0));
    EXPECT_EQ(tried[6], std::make_pair(10.0, 80.0));
    EXPECT_EQ(tried[7], std::make_pair(20.0, 30.0));
    EXPECT_EQ(tried[27], std::make_pair(70.0, 80.0));
    for (const auto& [a, b] : tried) {
        EXPECT_LT(a, b);
    }
    // Second pass: offsets −0.666, −0.333, 0.333, 0.666 of the step, the best pair excluded.
    EXPECT_DOUBLE_EQ(tried[28].first, 20.0 - 6.66);
    EXPECT_DOUBLE_EQ(tried[28].second, 70.0 - 6.66);
    EXPECT_DOUBLE_EQ(tried[43].first, 20.0 + 6.66);
    EXPECT_DOUBLE_EQ(tried[43].second, 70.0 + 6.66);
}

TEST(ChangePointSearch, TwoChangePointsSecondPassSkipsCrossedPairs) {
    std::vector<std::pair<double, double>> tried;
    searchTwoChangePoints(0.0, 90.0, [&](double a, double b) {
        tried.emplace_back(a, b);
        return std::optional<double>(std::fabs(a - 10.0) + std::fabs(b - 20.0));
    });
    // Around (10, 20): first list 3.34, 6.67, 13.33, 16.66; second 13.34, 16.67, 23.33,
    // 26.66. Only (16.66, 13.34) crosses and is left out.
    EXPECT_EQ(tried.size(), 28u + 15u);
    for (const auto& [a, b] : tried) {
        EXPECT_LT(a, b);
    }
    EXPECT_DOUBLE_EQ(tried.back().first, 10.0 + 6.66);
    EXPECT_DOUBLE_EQ(tried.back().second, 20.0 + 6.66);
}

TEST(ChangePointSearch, TwoChangePointsKeepTheFirstPairOnTies) {
    const auto best =
        searchTwoChangePoints(0.0, 90.0, [](double, double) { return std::optional<double>(1.0); });
    ASSERT_TRUE(best);
    EXPECT_DOUBLE_EQ(best->first, 10.0);
    EXPECT_DOUBLE_EQ(best->second, 20.0);
}

TEST(ChangePointSearch, TwoChangePointsSecondPassMustBeStrictlyBetter) {
    int call = 0;
    const auto best = searchTwoChangePoints(0.0, 90.0, [&](double a, double b) {
        ++call;
        if (call <= 28) {
            return std::optional<double>(a == 30.0 && b == 60.0 ? 1.0 : 3.0);
        }
        return std::optional<double>(1.0);  // as good, never better
    });
    ASSERT_TRUE(best);
    EXPECT_DOUBLE_EQ(best->first, 30.0);
    EXPECT_DOUBLE_EQ(best->second, 60.0);
}

TEST(ChangePointSearch, TwoChangePointsWithoutAnyEvaluablePairGiveNothing) {
    EXPECT_FALSE(
        searchTwoChangePoints(0.0, 90.0, [](double, double) { return std::optional<double>(); }));
    int calls = 0;
    EXPECT_FALSE(searchTwoChangePoints(5.0, 5.0, [&](double, double) {
        ++calls;
        return std::optional<double>(1.0);
    }));
    EXPECT_EQ(calls, 0);
}
