#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/RSubs.h"
#include "platform/Errors.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::FakeUi;

namespace {

Matrix matrixOf(const std::vector<std::vector<double>>& rows) {
    Matrix m(static_cast<long>(rows.size()), static_cast<long>(rows.front().size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = 0; j < rows[i].size(); ++j) {
            m(static_cast<long>(i + 1), static_cast<long>(j + 1)) = rows[i][j];
        }
    }
    return m;
}

const Box singularBox{"Error in Subroutine Invert", "MATRIX IS SINGULAR"};

}  // namespace

TEST(Kernel, MultSumsEachElementFromZeroInAscendingOrder) {
    // Results are compared across runs to the last digit: every element must be exactly
    // 0 + x1·y1 + x2·y2 + ... in that order, whatever the shape.
    FakeUi ui;
    KernelReport report(ui);
    double seed = 0.5;
    auto next = [&seed] {
        seed = std::fmod(seed * 9301.0 + 49297.0, 233280.0);
        return (seed / 233280.0 - 0.5) * 1000.0;
    };
    const long shapes[][3] = {{3, 36, 3}, {3, 36, 1}, {36, 3, 1}, {3, 3, 36}, {5, 7, 6}, {7, 5, 1}};
    for (const auto& [r, inner, c] : shapes) {
        Matrix x(r, inner), y(inner, c), z(r, c);
        for (long k = 1; k <= inner; ++k) {
            for (long i = 1; i <= r; ++i) {
                x(i, k) = next();
            }
            for (long j = 1; j <= c; ++j) {
                y(k, j) = next();
            }
        }
        long zr = 0, zc = 0;
        ASSERT_TRUE(Mult(x, r, inner, y, inner, c, z, zr, zc, report));
        EXPECT_EQ(zr, r);
        EXPECT_EQ(zc, c);
        for (long i = 1; i <= r; ++i) {
            for (long j = 1; j <= c; ++j) {
                double expected = 0.0;
                for (long k = 1; k <= inner; ++k) {
                    expected = expected + x(i, k) * y(k, j);
                }
                EXPECT_EQ(z(i, j), expected) << r << "x" << inner << "x" << c << " at " << i;
            }
        }
    }
}

TEST(Kernel, MultWithMismatchedShapesShowsBoxAndLeavesZ) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix x = matrixOf({{1, 2, 3}, {4, 5, 6}});
    const Matrix y = matrixOf({{1, 2}, {3, 4}});
    Matrix z = matrixOf({{-1, -2}, {-3, -4}});
    long r = 17, c = 18;
    EXPECT_FALSE(Mult(x, 2, 3, y, 2, 2, z, r, c, report));
    EXPECT_EQ(ui.boxes,
              (std::vector<Box>{{"Error in Subroutine Mult", "NUM X COL <> NUM Y ROWS"}}));
    EXPECT_EQ(r, 17);
    EXPECT_EQ(c, 18);
    EXPECT_EQ(z(2, 2), -4);
}

TEST(Kernel, InvertOfIdentityAndDiagonalMatrices) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix inv(3, 3);
    Vector diag(4, 0.0);
    ASSERT_TRUE(Invert(matrixOf({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}), 3, inv, diag, report));
    EXPECT_EQ(diag, (Vector{0, 1, 1, 1}));
    EXPECT_EQ(inv(1, 2), 0.0);
    const Matrix a = matrixOf({{2, 0, 0}, {0, -4, 0}, {0, 0, 0.5}});
    ASSERT_TRUE(Invert(a, 3, inv, diag, report));
    EXPECT_EQ(diag, (Vector{0, 0.5, -0.25, 2}));
    EXPECT_EQ(inv(3, 1), 0.0);
    EXPECT_EQ(a(2, 2), -4);  // A is left unchanged
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(Kernel, InvertPivotTieGoesToTheFirstElementInRowOrder) {
    FakeUi ui;
    KernelReport report(ui);
    KernelWork work;
    Matrix inv(2, 2);
    Vector diag(3, 0.0);
    ASSERT_TRUE(Invert(matrixOf({{1, 2}, {2, 1}}), 2, inv, diag, report, work));
    // Step 1 takes (1, 2), found before the equal (2, 1); its row swap leaves (1, 1) for step 2.
    EXPECT_EQ(work.pivotRow[1], 1);
    EXPECT_EQ(work.pivotCol[1], 2);
    EXPECT_EQ(work.pivotRow[2], 1);
    EXPECT_EQ(work.pivotCol[2], 1);
    EXPECT_NEAR(inv(1, 1), -1.0 / 3, 1e-15);  // [[-1, 2], [2, -1]] / 3
    EXPECT_NEAR(inv(2, 1), 2.0 / 3, 1e-15);
}

TEST(Kernel, InvertOfEqualRowsIsSingularAndTheBoxShowsOnce) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix a = matrixOf({{1, 2, 3}, {4, 5, 6}, {1, 2, 3}});
    Matrix inv(3, 3);
    Vector diag(4, -7.0);
    EXPECT_FALSE(Invert(a, 3, inv, diag, report));
    EXPECT_FALSE(Invert(matrixOf({{0, 0}, {0, 0}}), 2, inv, diag, report));
    EXPECT_EQ(ui.boxes, std::vector<Box>{singularBox});
    EXPECT_EQ(report.singularCount(), 2);
    EXPECT_EQ(diag, Vector(4, -7.0));
}

TEST(Kernel, RegressAndRegStatsOfASimpleLineMatchHandValues) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix x = matrixOf({{1, 1.1}, {1, 2.2}, {1, 3.3}, {1, 4.4}});
    const Matrix before = x;
    const Matrix y = matrixOf({{1}, {3}, {2}, {4}});
    Matrix b(2, 1);
    Vector diag(3, 0.0), se(3, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 4, 2, y, 4, 1, b, br, bc, diag, report));
    // Slope Sxy/Sxx = 4.4/6.05, intercept 2.5 − slope·2.75; (XᵀX)⁻¹ = [[36.3, −11], [−11, 4]]/24.2.
    EXPECT_NEAR(b(1, 1), 0.5, 1e-14);
    EXPECT_NEAR(b(2, 1), 0.8 / 1.1, 1e-14);
    EXPECT_NEAR(diag[1], 1.5, 1e-14);
    EXPECT_NEAR(diag[2], 4 / 24.2, 1e-15);
    for (long i = 1; i <= 4; ++i) {  // divided and multiplied back: equal up to rounding
        EXPECT_NEAR(x(i, 2), before(i, 2), 1e-15);
    }
    RegStatistics st;
    ASSERT_TRUE(RegStats(x, 4, 2, y, 4, 1, b, br, bc, diag, st, se, report));
    // Residuals −0.3, 0.9, −0.9, 0.3: SSE 1.8 over 2 degrees of freedom; SST 5; mean 2.5.
    EXPECT_NEAR(st.RMSE, std::sqrt(0.9), 1e-14);
    EXPECT_NEAR(st.CV, std::sqrt(0.9) / 2.5 * 100, 1e-12);
    EXPECT_NEAR(st.R2, 0.64, 1e-14);
    EXPECT_NEAR(st.AdjR2, 1 - 1.5 * 0.36, 1e-14);
    EXPECT_NEAR(st.Rho, (-0.27 - 0.81 - 0.27) / 1.71, 1e-14);
    EXPECT_NEAR(se[1], std::sqrt(0.9 * 1.5), 1e-14);
    EXPECT_NEAR(se[2], std::sqrt(0.9 * 4 / 24.2), 1e-14);
}

TEST(Kernel, RegressWithAZeroMeanRegressorScalesByOne) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix x = matrixOf({{1, -3}, {1, -1}, {1, 1}, {1, 3}});
    Matrix b(2, 1);
    Vector diag(3, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 4, 2, matrixOf({{-1}, {3}, {7}, {11}}), 4, 1, b, br, bc, diag, report));
    EXPECT_NEAR(b(1, 1), 5.0, 1e-14);  // y = 5 + 2x; XᵀX = diag(4, 20)
    EXPECT_NEAR(b(2, 1), 2.0, 1e-14);
    EXPECT_EQ(diag[1], 0.25);
    EXPECT_NEAR(diag[2], 0.05, 1e-17);
    EXPECT_EQ(x(4, 2), 3.0);
}

TEST(Kernel, RegStatsWithAsManyObservationsAsCoefficients) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix x = matrixOf({{1, -1}, {1, 1}});
    const Matrix y = matrixOf({{1}, {3}});
    Matrix b(2, 1);
    Vector diag(3, 0.0), se(3, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 2, 2, y, 2, 1, b, br, bc, diag, report));
    RegStatistics st;
    ASSERT_TRUE(RegStats(x, 2, 2, y, 2, 1, b, br, bc, diag, st, se, report));
    EXPECT_EQ(st.RMSE, 0.0);
    EXPECT_EQ(st.AdjR2, 1.0);
    EXPECT_EQ(st.R2, 1.0);
    EXPECT_EQ(st.Rho, 0.0);  // no residual: a perfect fit, not a division by zero
}

TEST(Kernel, RegStatsRefusesStatisticsThatCannotBeFormed) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix x = matrixOf({{1, 1}, {1, 2}, {1, 3}});
    const Matrix b = matrixOf({{2}, {0}});
    Vector diag(3, 1.0), se(3, 0.0);
    RegStatistics st;
    const auto stats = [&](const Matrix& y, long n) {
        RegStats(x, n, 2, y, n, 1, b, 2, 1, diag, st, se, report);
    };
    EXPECT_THROW(stats(matrixOf({{2}, {2}, {2}}), 3), OmbrixError);   // all values equal
    EXPECT_THROW(stats(matrixOf({{-1}, {0}, {1}}), 3), OmbrixError);  // mean 0
    EXPECT_THROW(stats(matrixOf({{3}}), 1), OmbrixError);             // fewer values than terms
}
