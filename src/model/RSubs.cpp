#include "model/RSubs.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "platform/Errors.h"

namespace ombrix {
namespace {

[[noreturn]] void tooSmall(const char* kind, const char* what, long rows, long cols) {
    throw OmbrixError(std::string(kind) + " " + what + " too small for " + std::to_string(rows) +
                      " by " + std::to_string(cols));
}

// The caller allocates every matrix and vector; a routine asked to go beyond one is misused.
// The checks run on every product of every candidate, so they stay inline.
[[gnu::always_inline]] inline void requireRoom(const Matrix& m, long rows, long cols,
                                               const char* what) {
    if (rows < 0 || cols < 0 || m.rows() < rows || m.cols() < cols) {
        tooSmall("Matrix", what, rows, cols);
    }
}

[[gnu::always_inline]] inline void requireRoom(const Vector& v, long n, const char* what) {
    if (n < 0 || static_cast<long>(v.size()) < n + 1) {
        tooSmall("Vector", what, n, 1);
    }
}

// Work matrices grow when needed and are otherwise reused as they are.
void ensureRoom(Matrix& m, long rows, long cols) {
    if (m.rows() < rows || m.cols() < cols) {
        m.resize(rows, cols);
    }
}

// Four elements of a product at once: sum[a] = Σ x[a][k]·y[a][k·stride] over k = 1..n, each
// sum starting from 0 and taking its terms in ascending k exactly as a lone sum would; the four
// only proceed side by side. Spare lanes repeat a real element and are not stored.
constexpr long kLanes = 4;
struct LaneSums {
    const double* x[kLanes];
    const double* y[kLanes];
    double sum[kLanes] = {0.0, 0.0, 0.0, 0.0};

    void run(long n, long stride) {
        for (long k = 1; k <= n; ++k) {
            const long yk = k * stride;
            for (long a = 0; a < kLanes; ++a) {
                sum[a] += x[a][k] * y[a][yk];
            }
        }
    }
};

// Z = X·Y for sums of N terms: each element from 0, terms in ascending k.
template <long N>
void shortProduct(const Matrix& X, long xRows, const Matrix& Y, long yCols, Matrix& Z) {
    const long yStride = Y.stride();
    for (long i = 1; i <= xRows; ++i) {
        const double* xi = X.row(i);
        for (long j = 1; j <= yCols; ++j) {
            const double* yj = Y.row(0) + j;
            double sum = 0.0;
            for (long k = 1; k <= N; ++k) {
                sum += xi[k] * yj[k * yStride];
            }
            Z(i, j) = sum;
        }
    }
}

}  // namespace

void Matrix::resize(long rows, long cols) {
    if (rows < 0 || cols < 0) {
        throw OmbrixError("Invalid matrix size " + std::to_string(rows) + " by " +
                          std::to_string(cols));
    }
    m_rows = rows;
    m_cols = cols;
    m_data.assign(static_cast<std::size_t>((rows + 1) * (cols + 1)), 0.0);
}

void KernelReport::shapeMismatch() {
    m_ui.messageBox(kShapeMismatchText, kShapeMismatchTitle);
}

void KernelReport::singular() {
    if (m_singular++ == 0) {
        m_ui.messageBox(kSingularText, kSingularTitle);
    }
}

void Transpose(const Matrix& X, long rows, long cols, Matrix& XT, long& outRows, long& outCols) {
    requireRoom(X, rows, cols, "X");
    requireRoom(XT, cols, rows, "XT");
    const long xtStride = XT.stride();
    double* xt = &XT(0, 0);
    for (long i = 1; i <= rows; ++i) {
        const double* xi = X.row(i);
        for (long j = 1; j <= cols; ++j) {
            xt[j * xtStride + i] = xi[j];
        }
    }
    outRows = cols;
    outCols = rows;
}

bool Mult(const Matrix& X, long xRows, long xCols, const Matrix& Y, long yRows, long yCols,
          Matrix& Z, long& zRows, long& zCols, KernelReport& report) {
    if (xCols != yRows) {
        report.shapeMismatch();
        return false;
    }
    requireRoom(X, xRows, xCols, "X");
    requireRoom(Y, yRows, yCols, "Y");
    requireRoom(Z, xRows, yCols, "Z");
    zRows = xRows;
    zCols = yCols;
    if (xCols <= kLanes) {
        // Short sums: one element after another, with the length known to the loop.
        switch (xCols) {
            case 1:
                shortProduct<1>(X, xRows, Y, yCols, Z);
                break;
            case 2:
                shortProduct<2>(X, xRows, Y, yCols, Z);
                break;
            case 3:
                shortProduct<3>(X, xRows, Y, yCols, Z);
                break;
            case 4:
                shortProduct<4>(X, xRows, Y, yCols, Z);
                break;
            default:  // an empty sum
                shortProduct<0>(X, xRows, Y, yCols, Z);
                break;
        }
    } else if (yCols > 1) {
        // Long sums: the elements of a row of Z side by side.
        for (long i = 1; i <= xRows; ++i) {
            for (long j = 1; j <= yCols; j += kLanes) {
                LaneSums lanes;
                for (long a = 0; a < kLanes; ++a) {
                    lanes.x[a] = X.row(i);
                    lanes.y[a] = Y.row(0) + std::min(j + a, yCols);
                }
                lanes.run(xCols, Y.stride());
                for (long a = 0; a < kLanes && j + a <= yCols; ++a) {
                    Z(i, j + a) = lanes.sum[a];
                }
            }
        }
    } else {
        // Long sums into one column: the elements of the column side by side.
        for (long i = 1; i <= xRows; i += kLanes) {
            LaneSums lanes;
            for (long a = 0; a < kLanes; ++a) {
                lanes.x[a] = X.row(std::min(i + a, xRows));
                lanes.y[a] = Y.row(0) + 1;
            }
            lanes.run(xCols, Y.stride());
            for (long a = 0; a < kLanes && i + a <= xRows; ++a) {
                Z(i + a, 1) = lanes.sum[a];
            }
        }
    }
    return true;
}

bool Invert(const Matrix& A, long n, Matrix& AInv, Vector& Diag, KernelReport& report) {
    KernelWork work;
    return Invert(A, n, AInv, Diag, report, work);
}

bool Invert(const Matrix& A, long n, Matrix& AInv, Vector& Diag, KernelReport& report,
            KernelWork& work) {
    requireRoom(A, n, n, "A");
    requireRoom(AInv, n, n, "AInv");
    requireRoom(Diag, n, "Diag");
    for (long i = 1; i <= n; ++i) {
        for (long j = 1; j <= n; ++j) {
            AInv(i, j) = A(i, j);
        }
    }
    const auto size = static_cast<std::size_t>(n + 1);
    auto& pivotRow = work.pivotRow;
    auto& pivotCol = work.pivotCol;
    auto& count = work.pivotCount;  // times each column has served as pivot column
    pivotRow.assign(size, 0);
    pivotCol.assign(size, 0);
    count.assign(size, 0);

    for (long step = 1; step <= n; ++step) {
        // The first largest magnitude in row-by-row order among rows and columns that have not
        // served as pivot column; an equal element does not replace it, and 0 is never chosen.
        double big = 0.0;
        long row = 0;
        long col = 0;
        for (long j = 1; j <= n; ++j) {
            if (count[static_cast<std::size_t>(j)] == 1) {
                continue;
            }
            for (long k = 1; k <= n; ++k) {
                if (count[static_cast<std::size_t>(k)] != 1 && std::fabs(AInv(j, k)) > big) {
                    big = std::fabs(AInv(j, k));
                    row = j;
                    col = k;
                }
            }
        }
        // Only exact zeros left: the matrix is singular. (Every step that finds a pivot uses a
        // fresh column, so each column serves exactly once when all steps find one.)
        if (col == 0) {
            report.singular();
            return false;
        }
        ++count[static_cast<std::size_t>(col)];
        pivotRow[static_cast<std::size_t>(step)] = row;
        pivotCol[static_cast<std::size_t>(step)] = col;
        if (row != col) {
            for (long l = 1; l <= n; ++l) {
                std::swap(AInv(row, l), AInv(col, l));
            }
        }
        const double piv = AInv(col, col);
        AInv(col, col) = 1.0;
        for (long l = 1; l <= n; ++l) {
            AInv(col, l) = AInv(col, l) / piv;
        }
        for (long r = 1; r <= n; ++r) {
            if (r == col) {
                continue;
            }
            const double f = AInv(r, col);
            AInv(r, col) = 0.0;
            for (long l = 1; l <= n; ++l) {
                AInv(r, l) = AInv(r, l) - AInv(col, l) * f;
            }
        }
    }
    // Undo the column interchanges, last step first.
    for (long step = n; step >= 1; --step) {
        const long r = pivotRow[static_cast<std::size_t>(step)];
        const long c = pivotCol[static_cast<std::size_t>(step)];
        if (r != c) {
            for (long k = 1; k <= n; ++k) {
                std::swap(AInv(k, r), AInv(k, c));
            }
        }
    }
    for (long i = 1; i <= n; ++i) {
        Diag[static_cast<std::size_t>(i)] = AInv(i, i);
    }
    return true;
}

bool Regress(Matrix& X, long n, long p, const Matrix& Y, long yRows, long yCols, Matrix& B,
             long& bRows, long& bCols, Vector& Diag, KernelReport& report) {
    KernelWork work;
    return Regress(X, n, p, Y, yRows, yCols, B, bRows, bCols, Diag, report, work);
}

bool Regress(Matrix& X, long n, long p, const Matrix& Y, long yRows, long yCols, Matrix& B,
             long& bRows, long& bCols, Vector& Diag, KernelReport& report, KernelWork& work) {
    requireRoom(X, n, p, "X");
    requireRoom(Diag, p, "Diag");
    const long m = p - 1;  // regressor columns 2..p
    auto& means = work.means;
    means.assign(static_cast<std::size_t>(p < 1 ? 1 : p), 0.0);
    // Column sums in ascending row order, two columns side by side.
    for (long k = 1; k <= m; k += 2) {
        const long other = std::min(k + 1, m);  // a lone last column is summed twice
        double sum = 0.0;
        double sumOther = 0.0;
        for (long i = 1; i <= n; ++i) {
            sum += X(i, k + 1);
            sumOther += X(i, other + 1);
        }
        means[static_cast<std::size_t>(k)] = sum;
        means[static_cast<std::size_t>(other)] = sumOther;
    }
    for (long k = 1; k <= m; ++k) {
        double& mean = means[static_cast<std::size_t>(k)];
        mean = mean / static_cast<double>(n);
        if (mean == 0.0) {
            mean = 1.0;
        }
    }
    for (long k = 1; k <= m; ++k) {
        const double mean = means[static_cast<std::size_t>(k)];
        for (long i = 1; i <= n; ++i) {
            X(i, k + 1) = X(i, k + 1) / mean;
        }
    }

    ensureRoom(work.XT, p, n);
    ensureRoom(work.XTX, p, p);
    ensureRoom(work.C, p, p);
    ensureRoom(work.D, p, n);
    long tRows = 0, tCols = 0, aRows = 0, aCols = 0, dRows = 0, dCols = 0;
    Transpose(X, n, p, work.XT, tRows, tCols);
    const bool solved =
        Mult(work.XT, tRows, tCols, X, n, p, work.XTX, aRows, aCols, report) &&
        Invert(work.XTX, aRows, work.C, Diag, report, work) &&
        Mult(work.C, aRows, aCols, work.XT, tRows, tCols, work.D, dRows, dCols, report) &&
        Mult(work.D, dRows, dCols, Y, yRows, yCols, B, bRows, bCols, report);

    for (long k = 1; k <= m; ++k) {
        const double mean = means[static_cast<std::size_t>(k)];
        for (long i = 1; i <= n; ++i) {
            X(i, k + 1) = X(i, k + 1) * mean;
        }
    }
    if (!solved) {
        return false;
    }
    for (long k = 1; k <= m; ++k) {
        const double mean = means[static_cast<std::size_t>(k)];
        B(k + 1, 1) = B(k + 1, 1) / mean;
        Diag[static_cast<std::size_t>(k + 1)] =
            Diag[static_cast<std::size_t>(k + 1)] / (mean * mean);
    }
    return true;
}

bool RegStats(const Matrix& X, long n, long p, const Matrix& Y, long yRows, long yCols,
              const Matrix& B, long bRows, long bCols, const Vector& Diag, RegStatistics& out,
              Vector& SE, KernelReport& report) {
    KernelWork work;
    return RegStats(X, n, p, Y, yRows, yCols, B, bRows, bCols, Diag, out, SE, report, work);
}

bool RegStats(const Matrix& X, long n, long p, const Matrix& Y, long yRows, long yCols,
              const Matrix& B, long bRows, long bCols, const Vector& Diag, RegStatistics& out,
              Vector& SE, KernelReport& report, KernelWork& work) {
    requireRoom(Y, n, 1, "Y");
    requireRoom(Diag, p, "Diag");
    requireRoom(SE, p, "SE");
    (void)yRows;
    (void)yCols;
    if (n < p) {
        throw OmbrixError("Too few values to fit a model: " + std::to_string(n) + " for " +
                          std::to_string(p) + " coefficients");
    }
    ensureRoom(work.YHat, n, 1);
    long hRows = 0, hCols = 0;
    if (!Mult(X, n, p, B, bRows, bCols, work.YHat, hRows, hCols, report)) {
        return false;
    }
    const Matrix& YHat = work.YHat;
    const double count = static_cast<double>(n);

    double sumY = 0.0;
    for (long i = 1; i <= n; ++i) {
        sumY += Y(i, 1);
    }
    const double yBar = sumY / count;
    // Four sums, each in ascending row order, in one pass.
    double sst = 0.0;
    double sse = 0.0;
    double lagged = 0.0;   // Σ e(i)·e(i−1), i = 2..n
    double squares = 0.0;  // Σ e(i)², i = 2..n
    double ePrev = 0.0;
    for (long i = 1; i <= n; ++i) {
        const double d = Y(i, 1) - yBar;
        sst += d * d;
        const double e = Y(i, 1) - YHat(i, 1);
        sse += e * e;
        if (i >= 2) {
            lagged += e * ePrev;
            squares += e * e;
        }
        ePrev = e;
    }
    const double dof = static_cast<double>(n - p);
    const double mse = n - p == 0 ? 0.0 : sse / dof;
    out.RMSE = std::sqrt(mse);
    if (yBar == 0.0) {
        throw OmbrixError("Cannot fit a model to values whose mean is zero");
    }
    out.CV = out.RMSE / yBar * 100.0;
    if (sst == 0.0) {
        throw OmbrixError("Cannot fit a model to values that are all equal");
    }
    out.R2 = 1.0 - sse / sst;
    out.AdjR2 = n - p == 0 ? 1.0 : 1.0 - ((count - 1.0) / dof) * sse / sst;
    out.Rho = squares == 0.0 ? 0.0 : lagged / squares;

    for (long j = 1; j <= p; ++j) {
        SE[static_cast<std::size_t>(j)] = out.RMSE * std::sqrt(Diag[static_cast<std::size_t>(j)]);
    }
    return true;
}

bool RegressThree(const double* x1, double* x2, double* x3, const double* y, long n,
                  ThreeColumnFit& out, KernelReport& report) {
    constexpr long p = 3;
    if (n < 0) {
        tooSmall("Matrix", "X", n, p);
    }
    double* const regressors[3] = {nullptr, x2, x3};  // the columns Regress scales

    // Regress: the regressor columns 2 and 3 divided by their means (1 for a zero mean).
    double means[3] = {0.0, 0.0, 0.0};
    {
        double sum = 0.0;
        double sumOther = 0.0;
        for (long i = 0; i < n; ++i) {
            sum += x2[i];
            sumOther += x3[i];
        }
        means[1] = sum;
        means[2] = sumOther;
    }
    for (long k = 1; k <= 2; ++k) {
        means[k] = means[k] / static_cast<double>(n);
        if (means[k] == 0.0) {
            means[k] = 1.0;
        }
    }
    for (long k = 1; k <= 2; ++k) {
        double* c = regressors[k];
        for (long i = 0; i < n; ++i) {
            c[i] = c[i] / means[k];
        }
    }

    // XᵀX, each element summed from 0 in ascending point order, the six sums side by side in one
    // pass. A product of two numbers does not depend on their order, so element (j, i) is
    // element (i, j), term for term.
    double s11 = 0.0, s12 = 0.0, s13 = 0.0, s22 = 0.0, s23 = 0.0, s33 = 0.0;
    for (long k = 0; k < n; ++k) {
        const double c1 = x1[k];
        const double c2 = x2[k];
        const double c3 = x3[k];
        s11 += c1 * c1;
        s12 += c1 * c2;
        s13 += c1 * c3;
        s22 += c2 * c2;
        s23 += c2 * c3;
        s33 += c3 * c3;
    }
    double a[4][4] = {
        {0.0, 0.0, 0.0, 0.0}, {0.0, s11, s12, s13}, {0.0, s12, s22, s23}, {0.0, s13, s23, s33}};

    // Invert: Gauss-Jordan elimination with full pivoting, step for step as Invert does it.
    long pivotRow[4] = {0, 0, 0, 0};
    long pivotCol[4] = {0, 0, 0, 0};
    long count[4] = {0, 0, 0, 0};
    bool singular = false;
    for (long step = 1; step <= p && !singular; ++step) {
        double big = 0.0;
        long row = 0;
        long col = 0;
        for (long j = 1; j <= p; ++j) {
            if (count[j] == 1) {
                continue;
            }
            for (long k = 1; k <= p; ++k) {
                if (count[k] != 1 && std::fabs(a[j][k]) > big) {
                    big = std::fabs(a[j][k]);
                    row = j;
                    col = k;
                }
            }
        }
        if (col == 0) {
            singular = true;
            break;
        }
        ++count[col];
        pivotRow[step] = row;
        pivotCol[step] = col;
        if (row != col) {
            for (long l = 1; l <= p; ++l) {
                std::swap(a[row][l], a[col][l]);
            }
        }
        const double piv = a[col][col];
        a[col][col] = 1.0;
        for (long l = 1; l <= p; ++l) {
            a[col][l] = a[col][l] / piv;
        }
        for (long r = 1; r <= p; ++r) {
            if (r == col) {
                continue;
            }
            const double f = a[r][col];
            a[r][col] = 0.0;
            for (long l = 1; l <= p; ++l) {
                a[r][l] = a[r][l] - a[col][l] * f;
            }
        }
    }
    if (!singular) {
        for (long step = p; step >= 1; --step) {
            const long r = pivotRow[step];
            const long c = pivotCol[step];
            if (r != c) {
                for (long k = 1; k <= p; ++k) {
                    std::swap(a[k][r], a[k][c]);
                }
            }
        }
        for (long i = 1; i <= p; ++i) {
            out.Diag[i] = a[i][i];
        }
        // B = (C·Xᵀ)·Y: each element of C·Xᵀ summed over the three columns, then each
        // coefficient over the points, in ascending point order.
        double bSum[4] = {0.0, 0.0, 0.0, 0.0};
        for (long k = 0; k < n; ++k) {
            const double yk = y[k];
            for (long i = 1; i <= p; ++i) {
                double d = 0.0;
                d += a[i][1] * x1[k];
                d += a[i][2] * x2[k];
                d += a[i][3] * x3[k];
                bSum[i] += d * yk;
            }
        }
        for (long i = 1; i <= p; ++i) {
            out.B[i] = bSum[i];
        }
    }
    for (long k = 1; k <= 2; ++k) {
        double* c = regressors[k];
        for (long i = 0; i < n; ++i) {
            c[i] = c[i] * means[k];
        }
    }
    if (singular) {
        report.singular();
        return false;
    }
    for (long k = 1; k <= 2; ++k) {
        out.B[k + 1] = out.B[k + 1] / means[k];
        out.Diag[k + 1] = out.Diag[k + 1] / (means[k] * means[k]);
    }

    // RegStats.
    if (n < p) {
        throw OmbrixError("Too few values to fit a model: " + std::to_string(n) + " for " +
                          std::to_string(p) + " coefficients");
    }
    const double count0 = static_cast<double>(n);
    double sumY = 0.0;
    for (long i = 0; i < n; ++i) {
        sumY += y[i];
    }
    const double yBar = sumY / count0;
    double sst = 0.0;
    double sse = 0.0;
    double lagged = 0.0;
    double squares = 0.0;
    double ePrev = 0.0;
    for (long i = 0; i < n; ++i) {
        double yHat = 0.0;
        yHat += x1[i] * out.B[1];
        yHat += x2[i] * out.B[2];
        yHat += x3[i] * out.B[3];
        const double d = y[i] - yBar;
        sst += d * d;
        const double e = y[i] - yHat;
        sse += e * e;
        if (i >= 1) {
            lagged += e * ePrev;
            squares += e * e;
        }
        ePrev = e;
    }
    RegStatistics& st = out.stats;
    const double dof = static_cast<double>(n - p);
    const double mse = n - p == 0 ? 0.0 : sse / dof;
    st.RMSE = std::sqrt(mse);
    if (yBar == 0.0) {
        throw OmbrixError("Cannot fit a model to values whose mean is zero");
    }
    st.CV = st.RMSE / yBar * 100.0;
    if (sst == 0.0) {
        throw OmbrixError("Cannot fit a model to values that are all equal");
    }
    st.R2 = 1.0 - sse / sst;
    st.AdjR2 = n - p == 0 ? 1.0 : 1.0 - ((count0 - 1.0) / dof) * sse / sst;
    st.Rho = squares == 0.0 ? 0.0 : lagged / squares;
    return true;
}

}  // namespace ombrix
