#include "model/Fits.h"

#include <cmath>

#include "model/RSubs.h"
#include "platform/Errors.h"

namespace ombrix {
namespace {

constexpr long kCoefficients = 3;

// One fit's regression storage, filled from the input set once and reused for every candidate.
class CandidateFit {
  public:
    CandidateFit(const ModelState& model, Ui& ui)
        : m_n(model.ModelN),
          m_t(static_cast<std::size_t>(m_n + 1), 0.0),
          m_x(m_n, kCoefficients),
          m_y(m_n, 1),
          m_b(kCoefficients, 1),
          m_diag(kCoefficients + 1, 0.0),
          m_se(kCoefficients + 1, 0.0),
          m_report(ui) {
        for (long i = 1; i <= m_n; ++i) {
            m_t[static_cast<std::size_t>(i)] = model.ModelX(i, 2);
            m_y(i, 1) = model.ModelY(i, 1);
        }
    }

    // Design rows: 1, T, (T − Xcp) above the change point.
    void designOne(double xcp) {
        for (long i = 1; i <= m_n; ++i) {
            const double t = m_t[static_cast<std::size_t>(i)];
            m_x(i, 1) = 1.0;
            m_x(i, 2) = t;
            m_x(i, 3) = t > xcp ? t - xcp : 0.0;
        }
    }

    // Design rows: 1, (T − Xcp1) at or below the first change point, (T − Xcp2) above the
    // second.
    void designTwo(double xcp1, double xcp2) {
        for (long i = 1; i <= m_n; ++i) {
            const double t = m_t[static_cast<std::size_t>(i)];
            m_x(i, 1) = 1.0;
            m_x(i, 2) = t <= xcp1 ? t - xcp1 : 0.0;
            m_x(i, 3) = t > xcp2 ? t - xcp2 : 0.0;
        }
    }

    // Solves the current design. False when it cannot be evaluated: a singular matrix, or
    // statistics that came out as no number at all.
    bool evaluate() {
        long bRows = 0, bCols = 0;
        if (!Regress(m_x, m_n, kCoefficients, m_y, m_n, 1, m_b, bRows, bCols, m_diag, m_report,
                     m_work)) {
            return false;
        }
        if (!RegStats(m_x, m_n, kCoefficients, m_y, m_n, 1, m_b, bRows, bCols, m_diag, m_stats,
                      m_se, m_report, m_work)) {
            return false;
        }
        return std::isfinite(m_stats.RMSE);
    }

    std::optional<double> score() {
        return evaluate() ? std::optional(m_stats.RMSE) : std::nullopt;
    }

    double b(long j) const { return m_b(j, 1); }
    const RegStatistics& stats() const { return m_stats; }

  private:
    long m_n;
    Vector m_t;
    Matrix m_x, m_y, m_b;
    Vector m_diag, m_se;
    RegStatistics m_stats;
    KernelReport m_report;
    KernelWork m_work;
};

// The frame both fits share: busy pointer, progress window, the empty-set message, and the
// failure handler that shows an unexpected failure in an "Error" box.
template <class Result, class Search>
std::optional<Result> runFit(const ModelState& model, Ui& ui, std::string* msgText,
                             Search&& search) {
    std::optional<Result> result;
    runGuarded(ui, "Error", msgText, [&] {
        BusyPointer busy(ui);
        ProgressWindow progress(ui, kFitCaption);
        if (model.ModelN <= 0) {
            ui.messageBox(kNoModelData, "Error");
            return;
        }
        CandidateFit fit(model, ui);
        result = search(fit);
    });
    return result;
}

}  // namespace

std::optional<Fit4PResult> Fit4P(const ModelState& model, Ui& ui, std::string* msgText) {
    return runFit<Fit4PResult>(model, ui, msgText, [&](CandidateFit& fit) {
        double count = 0;
        const auto best = searchOneChangePoint(model.ModelTMin, model.ModelTMax, [&](double xcp) {
            fit.designOne(xcp);
            const auto rmse = fit.score();
            ui.ShowProgress(++count, 19, 1);
            return rmse;
        });
        if (!best) {
            throw OmbrixError("The four-parameter model cannot be fitted to these data");
        }
        fit.designOne(*best);
        if (!fit.evaluate()) {
            throw OmbrixError("The four-parameter model cannot be fitted to these data");
        }
        const RegStatistics& st = fit.stats();
        return Fit4PResult{*best, fit.b(1), fit.b(2), fit.b(3), st.CV, st.RMSE, st.R2};
    });
}

std::optional<Fit5PResult> Fit5P(const ModelState& model, Ui& ui, std::string* msgText) {
    return runFit<Fit5PResult>(model, ui, msgText, [&](CandidateFit& fit) {
        double count = 0;
        const auto best =
            searchTwoChangePoints(model.ModelTMin, model.ModelTMax, [&](double xcp1, double xcp2) {
                fit.designTwo(xcp1, xcp2);
                const auto rmse = fit.score();
                ui.ShowProgress(++count, 44, 1);
                return rmse;
            });
        if (!best) {
            throw OmbrixError("The five-parameter model cannot be fitted to these data");
        }
        fit.designTwo(best->first, best->second);
        if (!fit.evaluate()) {
            throw OmbrixError("The five-parameter model cannot be fitted to these data");
        }
        const RegStatistics& st = fit.stats();
        return Fit5PResult{best->first, best->second, fit.b(1), fit.b(2),
                           fit.b(3),    st.CV,        st.RMSE,  st.R2};
    });
}

}  // namespace ombrix
