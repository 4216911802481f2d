// The three-column regression against Regress and RegStats: the same bits for every design the
// change-point searches make, and for designs that fail.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/RSubs.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::FakeUi;

namespace {

struct Outcome {
    bool solved = false;
    std::string failure;
    double B[4] = {0, 0, 0, 0};
    double Diag[4] = {0, 0, 0, 0};
    RegStatistics stats;
    std::vector<double> x2, x3;  // the columns as the regression leaves them
    int boxes = 0;
};

std::uint64_t bitsOf(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

struct Design {
    std::vector<double> x1, x2, x3, y;
    long n() const { return static_cast<long>(y.size()); }
};

Outcome general(const Design& d) {
    Outcome o;
    const long n = d.n();
    Matrix X(n, 3), Y(n, 1), B(3, 1);
    for (long i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        X(i, 1) = d.x1[k];
        X(i, 2) = d.x2[k];
        X(i, 3) = d.x3[k];
        Y(i, 1) = d.y[k];
    }
    Vector diag(4, 0.0), se(4, 0.0);
    FakeUi ui;
    KernelReport report(ui);
    long bRows = 0, bCols = 0;
    RegStatistics stats;  // what a failure left half-written is no result
    try {
        o.solved = Regress(X, n, 3, Y, n, 1, B, bRows, bCols, diag, report) &&
                   RegStats(X, n, 3, Y, n, 1, B, bRows, bCols, diag, stats, se, report);
    } catch (const std::exception& e) {
        o.failure = e.what();
    }
    if (o.solved) {
        o.stats = stats;
    }
    for (long j = 1; j <= 3; ++j) {
        o.B[j] = o.solved ? B(j, 1) : 0.0;
        o.Diag[j] = o.solved ? diag[static_cast<std::size_t>(j)] : 0.0;
    }
    for (long i = 1; i <= n; ++i) {
        o.x2.push_back(X(i, 2));
        o.x3.push_back(X(i, 3));
    }
    o.boxes = static_cast<int>(ui.boxes.size());
    return o;
}

Outcome fused(Design d) {
    Outcome o;
    FakeUi ui;
    KernelReport report(ui);
    ThreeColumnFit fit;
    try {
        o.solved =
            RegressThree(d.x1.data(), d.x2.data(), d.x3.data(), d.y.data(), d.n(), fit, report);
    } catch (const std::exception& e) {
        o.failure = e.what();
    }
    for (long j = 1; j <= 3; ++j) {
        o.B[j] = o.solved ? fit.B[j] : 0.0;
        o.Diag[j] = o.solved ? fit.Diag[j] : 0.0;
    }
    if (o.solved) {
        o.stats = fit.stats;
    }
    o.x2 = d.x2;
    o.x3 = d.x3;
    o.boxes = static_cast<int>(ui.boxes.size());
    return o;
}

// The two outcomes agree bit for bit; the description says where they part.
std::string difference(const Outcome& a, const Outcome& b) {
    if (a.solved != b.solved || a.failure != b.failure || a.boxes != b.boxes) {
        return "outcome: " + a.failure + " / " + b.failure;
    }
    for (int j = 1; j <= 3; ++j) {
        if (bitsOf(a.B[j]) != bitsOf(b.B[j]) || bitsOf(a.Diag[j]) != bitsOf(b.Diag[j])) {
            return "coefficient " + std::to_string(j);
        }
    }
    const double s1[] = {a.stats.RMSE, a.stats.CV, a.stats.R2, a.stats.AdjR2, a.stats.Rho};
    const double s2[] = {b.stats.RMSE, b.stats.CV, b.stats.R2, b.stats.AdjR2, b.stats.Rho};
    for (int k = 0; k < 5; ++k) {
        if (bitsOf(s1[k]) != bitsOf(s2[k])) {
            return "statistic " + std::to_string(k);
        }
    }
    for (std::size_t i = 0; i < a.x2.size(); ++i) {
        if (bitsOf(a.x2[i]) != bitsOf(b.x2[i]) || bitsOf(a.x3[i]) != bitsOf(b.x3[i])) {
            return "restored column at " + std::to_string(i);
        }
    }
    return {};
}

// The designs of the change-point searches: temperatures, energy with noise, and columns that
// are zero on one side of one or two change points.
Design changePointDesign(std::mt19937_64& rng, long n, bool two) {
    std::uniform_real_distribution<double> temp(5.0, 95.0);
    std::normal_distribution<double> noise(0.0, 300.0);
    std::uniform_real_distribution<double> where(20.0, 80.0);
    const double cp1 = where(rng);
    const double cp2 = two ? cp1 + 10.0 : cp1;
    Design d;
    for (long i = 0; i < n; ++i) {
        const double t = std::round(temp(rng) * 100.0) / 100.0;
        d.x1.push_back(1.0);
        d.x2.push_back(two ? (t <= cp1 ? t - cp1 : 0.0) : t);
        d.x3.push_back(t > cp2 ? t - cp2 : 0.0);
        d.y.push_back(20000.0 + 150.0 * std::max(0.0, cp1 - t) + 220.0 * std::max(0.0, t - cp2) +
                      noise(rng));
    }
    return d;
}

TEST(RegressThree, ChangePointDesignsGiveTheGeneralRoutinesBits) {
    std::mt19937_64 rng(77);
    int compared = 0;
    for (long n = 1; n <= 48; ++n) {
        for (int rep = 0; rep < 40; ++rep) {
            const Design d = changePointDesign(rng, n, rep % 2 == 1);
            const std::string diff = difference(general(d), fused(d));
            ASSERT_EQ(diff, "") << "n = " << n << ", design " << rep;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 48 * 40);
}

TEST(RegressThree, ArbitraryColumnsGiveTheGeneralRoutinesBits) {
    std::mt19937_64 rng(78);
    std::uniform_real_distribution<double> wide(-1e6, 1e6);
    std::uniform_int_distribution<int> pick(0, 5);
    for (int rep = 0; rep < 2000; ++rep) {
        const long n = 3 + rep % 30;
        Design d;
        for (long i = 0; i < n; ++i) {
            // Zeros, negatives, repeats and tiny values, so pivots tie and means vanish.
            auto value = [&] {
                switch (pick(rng)) {
                    case 0:
                        return 0.0;
                    case 1:
                        return -1.0;
                    case 2:
                        return 1e-300 * wide(rng);
                    default:
                        return wide(rng);
                }
            };
            d.x1.push_back(rep % 3 == 0 ? 1.0 : value());
            d.x2.push_back(value());
            d.x3.push_back(value());
            d.y.push_back(value());
        }
        ASSERT_EQ(difference(general(d), fused(d)), "") << "design " << rep;
    }
}

TEST(RegressThree, FailuresAreTheGeneralRoutinesFailures) {
    // Singular: the third column repeats the second.
    Design same{{1, 1, 1, 1}, {1, 2, 3, 4}, {1, 2, 3, 4}, {5, 6, 8, 9}};
    Outcome g = general(same);
    Outcome f = fused(same);
    EXPECT_EQ(difference(g, f), "");
    // All equal responses, a zero mean response, and fewer points than coefficients.
    for (const Design& d : {Design{{1, 1, 1, 1}, {1, 2, 3, 4}, {0, 0, 1, 3}, {7, 7, 7, 7}},
                            Design{{1, 1, 1, 1}, {1, 2, 3, 4}, {0, 0, 1, 3}, {-2, 2, -3, 3}},
                            Design{{1, 1}, {1, 2}, {0, 5}, {3, 4}}, Design{}}) {
        g = general(d);
        f = fused(d);
        EXPECT_EQ(difference(g, f), "");
    }
    EXPECT_EQ(fused(same).boxes, 1);
    EXPECT_FALSE(fused(same).solved);
    EXPECT_EQ(fused(Design{{1, 1, 1, 1}, {1, 2, 3, 4}, {0, 0, 1, 3}, {7, 7, 7, 7}}).failure,
              "Cannot fit a model to values that are all equal");
}

}  // namespace
