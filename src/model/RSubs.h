// The matrix and least-squares kernel of the change-point fits: transpose, product, inverse by
// Gauss-Jordan elimination, normal-equation regression and its fit statistics.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/Ui.h"

namespace ombrix {

// A dense matrix addressed M(row, column) from 1; row 0 and column 0 exist but are not used.
// It does not carry the size the routines work on: they take row and column counts beside it,
// and its allocated bounds only say how large it may be.
class Matrix {
  public:
    Matrix() = default;
    // Room for rows 0..rows and columns 0..cols, every element 0.
    Matrix(long rows, long cols) { resize(rows, cols); }
    // Re-shapes to rows 0..rows and columns 0..cols with every element 0, keeping the storage
    // it already has when that is large enough.
    void resize(long rows, long cols);

    long rows() const { return m_rows; }  // highest addressable row
    long cols() const { return m_cols; }  // highest addressable column

    double& operator()(long i, long j) { return m_data[index(i, j)]; }
    double operator()(long i, long j) const { return m_data[index(i, j)]; }
    // Element (i, 0) of row i, and the distance between rows, for loops over raw storage.
    const double* row(long i) const { return m_data.data() + index(i, 0); }
    long stride() const { return m_cols + 1; }

  private:
    std::size_t index(long i, long j) const {
        return static_cast<std::size_t>(i * (m_cols + 1) + j);
    }
    long m_rows = 0;
    long m_cols = 0;
    std::vector<double> m_data;
};

// A vector addressed from 1; element 0 is not used. Size it n + 1 for n elements.
using Vector = std::vector<double>;

// Where the kernel reports its two conditions: a product of mismatched shapes (a box every
// time) and a singular matrix (a box the first time only, so a search that meets many singular
// candidates shows it once).
class KernelReport {
  public:
    explicit KernelReport(Ui& ui) : m_ui(ui) {}
    void shapeMismatch();
    void singular();
    int singularCount() const { return m_singular; }

  private:
    Ui& m_ui;
    int m_singular = 0;
};

// Work storage of Invert, Regress and RegStats. One object reused across many calls saves the
// allocations; the arithmetic is the same with or without it.
struct KernelWork {
    Matrix XT, XTX, C, D, YHat;
    std::vector<long> pivotRow, pivotCol, pivotCount;
    std::vector<double> means;
};

// XT(j, i) = X(i, j) for i = 1..rows, j = 1..cols; outRows = cols, outCols = rows.
void Transpose(const Matrix& X, long rows, long cols, Matrix& XT, long& outRows, long& outCols);

// Z = X·Y, each element summed in ascending k. When xCols differs from yRows the mismatch is
// reported, Z and its counts are left untouched and the result is false.
bool Mult(const Matrix& X, long xRows, long xCols, const Matrix& Y, long yRows, long yCols,
          Matrix& Z, long& zRows, long& zCols, KernelReport& report);

// AInv = inverse of the n-by-n matrix A by Gauss-Jordan elimination with full pivoting, and
// Diag(i) = AInv(i, i). A singular matrix (no non-zero pivot left) is reported; the result is
// then false, AInv holds what was computed and Diag is not written.
bool Invert(const Matrix& A, long n, Matrix& AInv, Vector& Diag, KernelReport& report);
bool Invert(const Matrix& A, long n, Matrix& AInv, Vector& Diag, KernelReport& report,
            KernelWork& work);

// Least-squares coefficients B = (XᵀX)⁻¹XᵀY with the regressor columns 2..p of X scaled by
// their means, and Diag(j) = j-th diagonal element of (XᵀX)⁻¹. X is scaled in place and
// restored (divide, then multiply) before return. False when a product or the inverse failed;
// B and Diag are then not to be used.
bool Regress(Matrix& X, long n, long p, const Matrix& Y, long yRows, long yCols, Matrix& B,
             long& bRows, long& bCols, Vector& Diag, KernelReport& report);
bool Regress(Matrix& X, long n, long p, const Matrix& Y, long yRows, long yCols, Matrix& B,
             long& bRows, long& bCols, Vector& Diag, KernelReport& report, KernelWork& work);

struct RegStatistics {
    double RMSE = 0;
    double CV = 0;  // RMSE as a percentage of the mean response
    double R2 = 0;
    double AdjR2 = 0;
    double Rho = 0;  // lag-one autocorrelation of the residuals in row order
};

// Goodness of fit of a solved model, and SE(j), the standard error of coefficient j. False when
// the product X·B failed (reported as a mismatch). Throws OmbrixError when the statistics
// cannot be formed: fewer observations than coefficients, a mean response of 0, or response
// values that are all equal. A perfect fit (no residual after the first row) has Rho = 0.
bool RegStats(const Matrix& X, long n, long p, const Matrix& Y, long yRows, long yCols,
              const Matrix& B, long bRows, long bCols, const Vector& Diag, RegStatistics& out,
              Vector& SE, KernelReport& report);
bool RegStats(const Matrix& X, long n, long p, const Matrix& Y, long yRows, long yCols,
              const Matrix& B, long bRows, long bCols, const Vector& Diag, RegStatistics& out,
              Vector& SE, KernelReport& report, KernelWork& work);

// Regress and then RegStats for a design of three columns, as the change-point fits use it, over
// fixed-size storage instead of the general routines' matrices: every element is formed by the
// same operations in the same order, so the results are the same to the last bit. The columns
// x1, x2, x3 and the responses y hold points 0..n-1; x2 and x3 come back as Regress leaves its
// X (divided by their means and multiplied back). False when the inverse is singular (reported
// as Invert reports it); throws where RegStats throws. B, Diag are 1-based as the routines'.
struct ThreeColumnFit {
    double B[4] = {0, 0, 0, 0};
    double Diag[4] = {0, 0, 0, 0};
    RegStatistics stats;
};
bool RegressThree(const double* x1, double* x2, double* x3, const double* y, long n,
                  ThreeColumnFit& out, KernelReport& report);

// Texts and titles of the kernel's message boxes.
inline constexpr std::string_view kShapeMismatchText = "NUM X COL <> NUM Y ROWS";
inline constexpr std::string_view kShapeMismatchTitle = "Error in Subroutine Mult";
inline constexpr std::string_view kSingularText = "MATRIX IS SINGULAR";
inline constexpr std::string_view kSingularTitle = "Error in Subroutine Invert";

}  // namespace ombrix
