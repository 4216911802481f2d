#include "model/Fits.h"

#include <cmath>
#include <vector>

#include "model/RSubs.h"
#include "platform/Errors.h"

namespace ombrix {
namespace {

// One fit's regression storage, filled from the input set once and reused for every candidate.
// The design has three columns: 1, and the two regressors of the candidate's change points.
class CandidateFit {
  public:
    CandidateFit(const ModelState& model, Ui& ui)
        : m_n(model.ModelN),
          m_t(static_cast<std::size_t>(m_n)),
          m_x1(static_cast<std::size_t>(m_n), 1.0),
          m_x2(static_cast<std::size_t>(m_n)),
          m_x3(static_cast<std::size_t>(m_n)),
          m_y(static_cast<std::size_t>(m_n)),
          m_report(ui) {
        for (long i = 1; i <= m_n; ++i) {
            m_t[static_cast<std::size_t>(i - 1)] = model.ModelX(i, 2);
            m_y[static_cast<std::size_t>(i - 1)] = model.ModelY(i, 1);
        }
    }

    // Design rows: 1, T, (T − Xcp) above the change point.
    void designOne(double xcp) {
        for (std::size_t i = 0; i < m_t.size(); ++i) {
            const double t = m_t[i];
            m_x2[i] = t;
            m_x3[i] = t > xcp ? t - xcp : 0.0;
        }
    }

    // Design rows: 1, (T − Xcp1) at or below the first change point, (T − Xcp2) above the
    // second.
    void designTwo(double xcp1, double xcp2) {
        for (std::size_t i = 0; i < m_t.size(); ++i) {
            const double t = m_t[i];
            m_x2[i] = t <= xcp1 ? t - xcp1 : 0.0;
            m_x3[i] = t > xcp2 ? t - xcp2 : 0.0;
        }
    }

    // Solves the current design. False when it cannot be evaluated: a singular matrix, or
    // statistics that came out as no number at all.
    bool evaluate() {
        if (!RegressThree(m_x1.data(), m_x2.data(), m_x3.data(), m_y.data(), m_n, m_fit,
                          m_report)) {
            return false;
        }
        return std::isfinite(m_fit.stats.RMSE);
    }

    std::optional<double> score() {
        return evaluate() ? std::optional(m_fit.stats.RMSE) : std::nullopt;
    }

    double b(long j) const { return m_fit.B[j]; }
    const RegStatistics& stats() const { return m_fit.stats; }

  private:
    long m_n;
    std::vector<double> m_t;
    std::vector<double> m_x1, m_x2, m_x3, m_y;
    ThreeColumnFit m_fit;
    KernelReport m_report;
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
