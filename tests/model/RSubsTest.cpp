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

// A matrix from rows written out (1-based inside).
Matrix matrixOf(const std::vector<std::vector<double>>& rows) {
    const long r = static_cast<long>(rows.size());
    const long c = static_cast<long>(rows.front().size());
    Matrix m(r, c);
    for (long i = 1; i <= r; ++i) {
        for (long j = 1; j <= c; ++j) {
            m(i, j) = rows[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
        }
    }
    return m;
}

// A design with the constant in column 1 and the given regressor columns.
Matrix designOf(const std::vector<std::vector<double>>& regressors) {
    std::vector<std::vector<double>> rows;
    for (std::size_t i = 0; i < regressors.front().size(); ++i) {
        std::vector<double> row{1.0};
        for (const auto& col : regressors) {
            row.push_back(col[i]);
        }
        rows.push_back(row);
    }
    return matrixOf(rows);
}

Matrix columnOf(const std::vector<double>& v) {
    std::vector<std::vector<double>> rows;
    for (double x : v) {
        rows.push_back({x});
    }
    return matrixOf(rows);
}

const Box singularBox{"Error in Subroutine Invert", "MATRIX IS SINGULAR"};
const Box mismatchBox{"Error in Subroutine Mult", "NUM X COL <> NUM Y ROWS"};

}  // namespace

TEST(Kernel, TransposeSwapsIndicesAndCounts) {
    const Matrix x = matrixOf({{1, 2, 3}, {4, 5, 6}});
    Matrix xt(3, 2);
    long r = 0, c = 0;
    Transpose(x, 2, 3, xt, r, c);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(xt(1, 2), 4);
    EXPECT_EQ(xt(3, 1), 3);
    EXPECT_EQ(xt(3, 2), 6);
}

TEST(Kernel, MultGivesTheProduct) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix x = matrixOf({{1, 2, 3}, {4, 5, 6}});
    const Matrix y = matrixOf({{7, 8}, {9, 10}, {11, 12}});
    Matrix z(2, 2);
    long r = 0, c = 0;
    ASSERT_TRUE(Mult(x, 2, 3, y, 3, 2, z, r, c, report));
    EXPECT_EQ(r, 2);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(z(1, 1), 58);
    EXPECT_EQ(z(1, 2), 64);
    EXPECT_EQ(z(2, 1), 139);
    EXPECT_EQ(z(2, 2), 154);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(Kernel, MultSumsEveryElementInAscendingOrderWhateverTheShape) {
    // Each element must be exactly 0 + x1·y1 + x2·y2 + ... in that order: results are
    // compared across runs to the last digit. Shapes cover short and long sums, a single
    // result column and element counts that are not multiples of four.
    FakeUi ui;
    KernelReport report(ui);
    double seed = 0.5;
    auto next = [&seed] {
        seed = std::fmod(seed * 9301.0 + 49297.0, 233280.0);
        return (seed / 233280.0 - 0.5) * 1000.0;
    };
    const long shapes[][3] = {{3, 36, 3}, {3, 36, 1}, {36, 3, 1}, {3, 3, 36}, {5, 7, 6},
                              {7, 5, 1},  {1, 9, 1},  {2, 4, 2},  {6, 11, 5}};
    for (const auto& shape : shapes) {
        const long r = shape[0], inner = shape[1], c = shape[2];
        Matrix x(r, inner), y(inner, c), z(r, c);
        for (long i = 1; i <= r; ++i) {
            for (long k = 1; k <= inner; ++k) {
                x(i, k) = next();
            }
        }
        for (long k = 1; k <= inner; ++k) {
            for (long j = 1; j <= c; ++j) {
                y(k, j) = next();
            }
        }
        long zr = 0, zc = 0;
        ASSERT_TRUE(Mult(x, r, inner, y, inner, c, z, zr, zc, report));
        for (long i = 1; i <= r; ++i) {
            for (long j = 1; j <= c; ++j) {
                double expected = 0.0;
                for (long k = 1; k <= inner; ++k) {
                    expected = expected + x(i, k) * y(k, j);
                }
                EXPECT_EQ(z(i, j), expected)
                    << r << "x" << inner << "x" << c << " at " << i << "," << j;
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
    EXPECT_EQ(ui.boxes, std::vector<Box>{mismatchBox});
    EXPECT_EQ(r, 17);
    EXPECT_EQ(c, 18);
    EXPECT_EQ(z(1, 1), -1);
    EXPECT_EQ(z(2, 2), -4);
}

TEST(Kernel, MultRefusesAnOutputTooSmall) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix x = matrixOf({{1, 2}, {3, 4}});
    Matrix z(1, 1);
    long r = 0, c = 0;
    EXPECT_THROW(Mult(x, 2, 2, x, 2, 2, z, r, c, report), OmbrixError);
}

TEST(Kernel, InvertIdentityGivesIdentityAndUnitDiagonal) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix a = matrixOf({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    Matrix inv(3, 3);
    Vector diag(4, 0.0);
    ASSERT_TRUE(Invert(a, 3, inv, diag, report));
    for (long i = 1; i <= 3; ++i) {
        for (long j = 1; j <= 3; ++j) {
            EXPECT_EQ(inv(i, j), i == j ? 1.0 : 0.0) << i << "," << j;
        }
        EXPECT_EQ(diag[static_cast<std::size_t>(i)], 1.0);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(Kernel, InvertDiagonalGivesReciprocalsAndLeavesAUnchanged) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix a = matrixOf({{2, 0, 0}, {0, -4, 0}, {0, 0, 0.5}});
    Matrix inv(3, 3);
    Vector diag(4, 0.0);
    ASSERT_TRUE(Invert(a, 3, inv, diag, report));
    EXPECT_EQ(diag[1], 0.5);
    EXPECT_EQ(diag[2], -0.25);
    EXPECT_EQ(diag[3], 2.0);
    EXPECT_EQ(inv(1, 2), 0.0);
    EXPECT_EQ(inv(3, 1), 0.0);
    EXPECT_EQ(a(2, 2), -4);
}

TEST(Kernel, InvertPivotTieGoesToTheFirstElementInRowOrder) {
    FakeUi ui;
    KernelReport report(ui);
    KernelWork work;
    const Matrix a = matrixOf({{1, 2}, {2, 1}});
    Matrix inv(2, 2);
    Vector diag(3, 0.0);
    ASSERT_TRUE(Invert(a, 2, inv, diag, report, work));
    // Step 1 takes (1, 2), found before the equal (2, 1). Its row swap puts the other row
    // first, so step 2 pivots on (1, 1), the only row and column not yet used.
    EXPECT_EQ(work.pivotRow[1], 1);
    EXPECT_EQ(work.pivotCol[1], 2);
    EXPECT_EQ(work.pivotRow[2], 1);
    EXPECT_EQ(work.pivotCol[2], 1);
    // The inverse is [[-1, 2], [2, -1]] / 3.
    EXPECT_NEAR(inv(1, 1), -1.0 / 3, 1e-15);
    EXPECT_NEAR(inv(1, 2), 2.0 / 3, 1e-15);
    EXPECT_NEAR(inv(2, 1), 2.0 / 3, 1e-15);
    EXPECT_NEAR(inv(2, 2), -1.0 / 3, 1e-15);
}

TEST(Kernel, InvertOfAGeneralMatrixTimesItselfIsTheIdentity) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix a = matrixOf({{4, -2, 1}, {3, 6, -4}, {2, 1, 8}});
    Matrix inv(3, 3), prod(3, 3);
    Vector diag(4, 0.0);
    ASSERT_TRUE(Invert(a, 3, inv, diag, report));
    long r = 0, c = 0;
    ASSERT_TRUE(Mult(a, 3, 3, inv, 3, 3, prod, r, c, report));
    for (long i = 1; i <= 3; ++i) {
        for (long j = 1; j <= 3; ++j) {
            EXPECT_NEAR(prod(i, j), i == j ? 1.0 : 0.0, 1e-14);
        }
    }
    // The determinant is 263; the (1, 1) cofactor is 6·8 − (−4)·1 = 52.
    EXPECT_NEAR(diag[1], 52.0 / 263, 1e-15);
}

TEST(Kernel, InvertOfEqualRowsReportsSingularOnceAndLeavesDiag) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix a = matrixOf({{1, 2, 3}, {4, 5, 6}, {1, 2, 3}});
    Matrix inv(3, 3);
    Vector diag(4, -7.0);
    EXPECT_FALSE(Invert(a, 3, inv, diag, report));
    EXPECT_FALSE(Invert(a, 3, inv, diag, report));
    // The same report shows the box the first time only.
    EXPECT_EQ(ui.boxes, std::vector<Box>{singularBox});
    EXPECT_EQ(report.singularCount(), 2);
    EXPECT_EQ(diag[1], -7.0);
    EXPECT_EQ(diag[3], -7.0);
}

TEST(Kernel, InvertOfTheZeroMatrixIsSingular) {
    FakeUi ui;
    KernelReport report(ui);
    const Matrix a(2, 2);
    Matrix inv(2, 2);
    Vector diag(3, 0.0);
    EXPECT_FALSE(Invert(a, 2, inv, diag, report));
    EXPECT_EQ(ui.boxes, std::vector<Box>{singularBox});
}

TEST(Kernel, RegressSimpleLineGivesCoefficientsAndInverseDiagonal) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix x = designOf({{1, 2, 3, 4}});
    const Matrix y = columnOf({1, 3, 2, 4});
    Matrix b(2, 1);
    Vector diag(3, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 4, 2, y, 4, 1, b, br, bc, diag, report));
    EXPECT_EQ(br, 2);
    EXPECT_EQ(bc, 1);
    // Slope Sxy/Sxx = 4/5, intercept 2.5 − 0.8·2.5.
    EXPECT_NEAR(b(1, 1), 0.5, 1e-14);
    EXPECT_NEAR(b(2, 1), 0.8, 1e-14);
    // (XᵀX)⁻¹ = [[30, −10], [−10, 4]] / (4·30 − 10²).
    EXPECT_NEAR(diag[1], 1.5, 1e-14);
    EXPECT_NEAR(diag[2], 0.2, 1e-15);
}

TEST(Kernel, RegressRecoversThreeCoefficientsOfAWidelyScaledDesign) {
    FakeUi ui;
    KernelReport report(ui);
    // Temperatures around 60 beside a column in the thousands: the scaling keeps it solvable.
    const std::vector<double> t{35, 42, 51, 58, 64, 70, 77, 85, 90, 47};
    std::vector<double> z, e;
    for (double v : t) {
        z.push_back(1000.0 + 37.0 * v * v / 10.0);
        e.push_back(250.0 - 3.5 * v + 0.125 * z.back());
    }
    Matrix x = designOf({t, z});
    const Matrix y = columnOf(e);
    Matrix b(3, 1);
    Vector diag(4, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 10, 3, y, 10, 1, b, br, bc, diag, report));
    EXPECT_NEAR(b(1, 1), 250.0, 1e-8);
    EXPECT_NEAR(b(2, 1), -3.5, 1e-9);
    EXPECT_NEAR(b(3, 1), 0.125, 1e-12);
}

TEST(Kernel, RegressWithAZeroMeanRegressorScalesByOne) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix x = designOf({{-3, -1, 1, 3}});
    const Matrix y = columnOf({-1, 3, 7, 11});
    Matrix b(2, 1);
    Vector diag(3, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 4, 2, y, 4, 1, b, br, bc, diag, report));
    // XᵀX = diag(4, 20); y = 5 + 2x.
    EXPECT_NEAR(b(1, 1), 5.0, 1e-14);
    EXPECT_NEAR(b(2, 1), 2.0, 1e-14);
    EXPECT_EQ(diag[1], 0.25);
    EXPECT_NEAR(diag[2], 0.05, 1e-17);
    EXPECT_EQ(x(1, 2), -3.0);
    EXPECT_EQ(x(4, 2), 3.0);
}

TEST(Kernel, RegressRestoresX) {
    FakeUi ui;
    KernelReport report(ui);
    const std::vector<double> t{12.3, 45.6, 78.9, 33.3, 51.7, 66.1};
    const std::vector<double> u{0, 0, 8.9, 0, 0, 12.1};
    Matrix x = designOf({t, u});
    const Matrix before = x;
    const Matrix y = columnOf({5, 7, 9, 6, 8, 10});
    Matrix b(3, 1);
    Vector diag(4, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 6, 3, y, 6, 1, b, br, bc, diag, report));
    for (long i = 1; i <= 6; ++i) {
        for (long j = 1; j <= 3; ++j) {
            // Divide, then multiply: equal up to the rounding of the two operations.
            EXPECT_NEAR(x(i, j), before(i, j), 4e-16 * std::fabs(before(i, j))) << i << "," << j;
        }
    }
}

TEST(Kernel, RegressOfASingularDesignFailsAndRestoresX) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix x = designOf({{2, 4, 6}, {0, 0, 0}});
    Matrix b(3, 1);
    Vector diag(4, -1.0);
    long br = 0, bc = 0;
    EXPECT_FALSE(Regress(x, 3, 3, columnOf({1, 2, 4}), 3, 1, b, br, bc, diag, report));
    EXPECT_EQ(ui.boxes, std::vector<Box>{singularBox});
    EXPECT_EQ(x(3, 2), 6.0);
    EXPECT_EQ(diag[1], -1.0);
}

TEST(Kernel, RegStatsOfASimpleLineMatchHandValues) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix x = designOf({{1, 2, 3, 4}});
    const Matrix y = columnOf({1, 3, 2, 4});
    Matrix b(2, 1);
    Vector diag(3, 0.0), se(3, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 4, 2, y, 4, 1, b, br, bc, diag, report));
    RegStatistics st;
    ASSERT_TRUE(RegStats(x, 4, 2, y, 4, 1, b, br, bc, diag, st, se, report));
    // Residuals −0.3, 0.9, −0.9, 0.3: SSE 1.8 over 2 degrees of freedom; SST 5; mean 2.5.
    EXPECT_NEAR(st.RMSE, std::sqrt(0.9), 1e-14);
    EXPECT_NEAR(st.CV, std::sqrt(0.9) / 2.5 * 100, 1e-12);
    EXPECT_NEAR(st.R2, 0.64, 1e-14);
    EXPECT_NEAR(st.AdjR2, 0.46, 1e-14);
    EXPECT_NEAR(st.Rho, -1.35 / 1.71, 1e-14);
    EXPECT_NEAR(se[1], std::sqrt(0.9 * 1.5), 1e-14);
    EXPECT_NEAR(se[2], std::sqrt(0.9 * 0.2), 1e-14);
}

TEST(Kernel, RegStatsWithAsManyObservationsAsCoefficients) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix x = designOf({{-1, 1}});
    const Matrix y = columnOf({1, 3});
    Matrix b(2, 1);
    Vector diag(3, 0.0), se(3, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 2, 2, y, 2, 1, b, br, bc, diag, report));
    RegStatistics st;
    ASSERT_TRUE(RegStats(x, 2, 2, y, 2, 1, b, br, bc, diag, st, se, report));
    EXPECT_EQ(st.RMSE, 0.0);
    EXPECT_EQ(st.CV, 0.0);
    EXPECT_EQ(st.AdjR2, 1.0);
    EXPECT_EQ(st.R2, 1.0);
    EXPECT_EQ(st.Rho, 0.0);  // no residual: a perfect fit, not a division by zero
    EXPECT_EQ(se[1], 0.0);
}

TEST(Kernel, RegStatsOfAPerfectFitHasZeroRho) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix x = designOf({{-1, -1, 1, 1}});
    const Matrix y = columnOf({1, 1, 3, 3});
    Matrix b(2, 1);
    Vector diag(3, 0.0), se(3, 0.0);
    long br = 0, bc = 0;
    ASSERT_TRUE(Regress(x, 4, 2, y, 4, 1, b, br, bc, diag, report));
    RegStatistics st;
    ASSERT_TRUE(RegStats(x, 4, 2, y, 4, 1, b, br, bc, diag, st, se, report));
    EXPECT_EQ(st.RMSE, 0.0);
    EXPECT_EQ(st.R2, 1.0);
    EXPECT_EQ(st.Rho, 0.0);
}

TEST(Kernel, RegStatsRefusesStatisticsThatCannotBeFormed) {
    FakeUi ui;
    KernelReport report(ui);
    Matrix b = columnOf({2, 0});
    Vector diag(3, 1.0), se(3, 0.0);
    RegStatistics st;
    Matrix x = designOf({{1, 2, 3}});
    // All values equal: no total variation.
    EXPECT_THROW(RegStats(x, 3, 2, columnOf({2, 2, 2}), 3, 1, b, 2, 1, diag, st, se, report),
                 OmbrixError);
    // Mean response 0: no coefficient of variation.
    EXPECT_THROW(RegStats(x, 3, 2, columnOf({-1, 0, 1}), 3, 1, b, 2, 1, diag, st, se, report),
                 OmbrixError);
    // Fewer observations than coefficients.
    Matrix one = designOf({{1}});
    EXPECT_THROW(RegStats(one, 1, 2, columnOf({3}), 1, 1, b, 2, 1, diag, st, se, report),
                 OmbrixError);
}
