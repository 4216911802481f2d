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

// 36 temperatures from 20 to 90 °F in steps of 2, shuffled, and energy from a model plus a
// fixed irregular disturbance of amplitude a.
template <class Model>
ModelState generated(Model model, double a) {
    std::vector<double> t, e;
    for (int i = 0; i < 36; ++i) {
        t.push_back(20.0 + 2.0 * ((i * 7) % 36));
        e.push_back(model(t.back()) + a * std::sin(2.399 * i + 0.5));
    }
    return inputOf(t, e);
}

double below(double t, double x) {
    return t <= x ? t - x : 0.0;
}
double above(double t, double x) {
    return t > x ? t - x : 0.0;
}

const Box noData{"Error", "No data is available to model."};

}  // namespace

TEST(Fit4P, RecoversAKnownModel) {
    FakeUi ui;
    // Change point on the grid, no noise: found exactly.
    auto exact = Fit4P(generated([](double t) { return 300 + 1.5 * t + 6 * above(t, 62); }, 0), ui);
    ASSERT_TRUE(exact);
    EXPECT_NEAR(exact->Xcp, 62.0, 1e-9);
    EXPECT_NEAR(exact->b1, 300.0, 1e-8);
    EXPECT_NEAR(exact->b2, 1.5, 1e-10);
    EXPECT_NEAR(exact->b3, 6.0, 1e-10);
    // Off the grid, with noise: within one fine step (0.2 of a tenth of the range); the small
    // misplacement tilts the slopes a little.
    auto noisy = Fit4P(generated([](double t) { return 800 - 4 * t + 9 * above(t, 57.3); }, 2), ui);
    ASSERT_TRUE(noisy);
    EXPECT_NEAR(noisy->Xcp, 57.3, 0.2 * 7.0);
    EXPECT_NEAR(noisy->b2, -4.0, 0.3);
    EXPECT_NEAR(noisy->b2 + noisy->b3, 5.0, 0.3);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(Fit5P, RecoversAKnownModel) {
    FakeUi ui;
    const double x1 = 20 + 3 * (70.0 / 9), x2 = 20 + 6 * (70.0 / 9);
    auto exact = Fit5P(
        generated([&](double t) { return 400 - 5 * below(t, x1) + 8 * above(t, x2); }, 0), ui);
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->Xcp1, x1);  // the second pass finds nothing better
    EXPECT_EQ(exact->Xcp2, x2);
    EXPECT_NEAR(exact->b1, 400.0, 1e-9);
    EXPECT_NEAR(exact->b2, -5.0, 1e-10);
    EXPECT_NEAR(exact->b3, 8.0, 1e-10);
    auto noisy = Fit5P(
        generated([](double t) { return 900 - 12 * below(t, 41) + 15 * above(t, 68); }, 3), ui);
    ASSERT_TRUE(noisy);
    EXPECT_NEAR(noisy->Xcp1, 41.0, 70.0 / 9);
    EXPECT_NEAR(noisy->Xcp2, 68.0, 70.0 / 9);
    EXPECT_NEAR(noisy->b2, -12.0, 1.0);
    EXPECT_NEAR(noisy->b3, 15.0, 1.2);
}

TEST(Fits, WithoutObservationsEachFitSaysSoOnceAndGivesNothing) {
    ModelState m;
    resetModelInput(m, 0);
    FakeUi ui;
    EXPECT_FALSE(Fit4P(m, ui));
    EXPECT_FALSE(Fit5P(m, ui));
    EXPECT_EQ(ui.boxes, (std::vector<Box>{noData, noData}));
    EXPECT_EQ(ui.progressUnloads, 2);
    EXPECT_FALSE(ui.busy);
}

TEST(Fits, ProgressCountsCandidatesAgainstTheirTotals) {
    const ModelState m = generated([](double t) { return 500 + 3 * above(t, 60); }, 2);
    FakeUi ui;
    ASSERT_TRUE(Fit4P(m, ui));
    EXPECT_EQ(ui.captions, std::vector<std::string>{"Processing Data..."});
    ASSERT_EQ(ui.paints.size(), 18u);  // ends at 18 of 19
    EXPECT_DOUBLE_EQ(ui.paints.back(), 18.0 / 19);
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_FALSE(ui.busy);
    FakeUi ui5;
    ASSERT_TRUE(Fit5P(m, ui5));  // 28 pairs, then at most 16, out of 44
    EXPECT_DOUBLE_EQ(ui5.paints.back(), static_cast<double>(ui5.paints.size()) / 44);
}

TEST(Fits, ConstantEnergyFailsWithAnErrorBox) {
    FakeUi ui;
    std::string msg;
    EXPECT_FALSE(Fit4P(generated([](double) { return 250.0; }, 0), ui, &msg));
    EXPECT_EQ(ui.boxes,
              (std::vector<Box>{{"Error", "\"Cannot fit a model to values that are all equal\""}}));
    EXPECT_EQ(msg, ui.boxes[0].text);
    EXPECT_FALSE(ui.busy);
    EXPECT_FALSE(ui.progressVisible);
}

TEST(Fits, OneTemperatureOnlyIsSingularOnceThenFails) {
    const std::vector<double> t(12, 55.0), e{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    FakeUi ui;
    EXPECT_FALSE(Fit4P(inputOf(t, e), ui));
    // Nine singular first-pass candidates and one box for them; nothing to refine.
    EXPECT_EQ(ui.boxes,
              (std::vector<Box>{
                  {"Error in Subroutine Invert", "MATRIX IS SINGULAR"},
                  {"Error", "\"The four-parameter model cannot be fitted to these data\""}}));
    EXPECT_EQ(ui.paints.size(), 9u);
    FakeUi ui5;
    EXPECT_FALSE(Fit5P(inputOf(t, e), ui5));  // no pair of distinct change points at all
    EXPECT_EQ(ui5.boxes, (std::vector<Box>{{"Error",
                                            "\"The five-parameter model cannot be fitted to these "
                                            "data\""}}));
}

// The searches, with scores chosen by the test.

TEST(ChangePointSearch, OneChangePointTriesTenthsThenFineStepsAroundTheBest) {
    std::vector<double> tried;
    const auto best = searchOneChangePoint(0.0, 100.0, [&](double x) {
        tried.push_back(x);
        return std::optional<double>(std::fabs(x - 40.0));
    });
    ASSERT_EQ(tried.size(), 18u);
    EXPECT_DOUBLE_EQ(tried[0], 10.0);
    EXPECT_DOUBLE_EQ(tried[8], 90.0);
    EXPECT_DOUBLE_EQ(tried[9], 32.0);   // 40 − 10 + 2
    EXPECT_DOUBLE_EQ(tried[13], 40.0);  // the first-pass best again, fifth
    EXPECT_DOUBLE_EQ(tried[17], 48.0);
    EXPECT_DOUBLE_EQ(*best, 40.0);
}

TEST(ChangePointSearch, OneChangePointTiesAndTheSecondPassStart) {
    // Equal scores: the lower candidate stays. Pass 1 keeps 2 (1 is worse, 3..9 equal); pass 2
    // starts at 1 and its first candidate, 1.2, becomes the best unconditionally.
    auto ties = searchOneChangePoint(
        0.0, 10.0, [](double x) { return std::optional<double>(x == 1.0 ? 9.0 : 2.0); });
    EXPECT_DOUBLE_EQ(*ties, 1.2);
    // Even when it is worse than the first-pass best (3 scores 1; pass 2 scores 4, then 4.5).
    int call = 0;
    auto worse = searchOneChangePoint(0.0, 10.0, [&](double x) {
        ++call;
        return std::optional<double>(call <= 9 ? (x == 3.0 ? 1.0 : 5.0) : call == 10 ? 4.0 : 4.5);
    });
    EXPECT_DOUBLE_EQ(*worse, 2.2);
}

TEST(ChangePointSearch, UnevaluableCandidatesAreSkipped) {
    // Scores fall with x. Pass 1 skips 1, 2 and 9 and keeps 8; pass 2 (7.2 .. 8.8) skips 8.6
    // and 8.8 and keeps 8.4.
    const auto best = searchOneChangePoint(0.0, 10.0, [](double x) -> std::optional<double> {
        if (x < 2.5 || (x > 8.5 && x < 9.5)) {
            return std::nullopt;
        }
        return 10.0 - x;
    });
    EXPECT_NEAR(*best, 8.4, 1e-12);
    EXPECT_FALSE(searchOneChangePoint(0.0, 10.0, [](double) { return std::optional<double>(); }));
}

TEST(ChangePointSearch, TwoChangePointsTryOrderedPairsOfNinthsThenOffsets) {
    std::vector<std::pair<double, double>> tried;
    const auto best = searchTwoChangePoints(0.0, 90.0, [&](double a, double b) {
        tried.emplace_back(a, b);
        return std::optional<double>(std::fabs(a - 10.0) + std::fabs(b - 20.0));
    });
    EXPECT_EQ(*best, std::make_pair(10.0, 20.0));
    // 28 ordered pairs of 10..80, outer then inner; then around (10, 20) the lists 3.34, 6.67,
    // 13.33, 16.66 and 13.34, 16.67, 23.33, 26.66, where only (16.66, 13.34) crosses.
    ASSERT_EQ(tried.size(), 28u + 15u);
    EXPECT_EQ(tried[0], std::make_pair(10.0, 20.0));
    EXPECT_EQ(tried[7], std::make_pair(20.0, 30.0));
    EXPECT_EQ(tried[27], std::make_pair(70.0, 80.0));
    EXPECT_DOUBLE_EQ(tried[28].first, 10.0 - 6.66);
    EXPECT_DOUBLE_EQ(tried[28].second, 20.0 - 6.66);
    for (const auto& [a, b] : tried) {
        EXPECT_LT(a, b);
    }
}

TEST(ChangePointSearch, TwoChangePointsKeepTheEarlierPairUnlessStrictlyBetter) {
    int call = 0;
    const auto best = searchTwoChangePoints(0.0, 90.0, [&](double a, double b) {
        ++call;  // pass 1: (30, 60) best; pass 2: as good, never better
        return std::optional<double>(call > 28 || (a == 30.0 && b == 60.0) ? 1.0 : 3.0);
    });
    EXPECT_EQ(*best, std::make_pair(30.0, 60.0));
    EXPECT_FALSE(
        searchTwoChangePoints(0.0, 90.0, [](double, double) { return std::optional<double>(); }));
}
