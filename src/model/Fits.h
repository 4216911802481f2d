// The change-point fits of energy against outdoor temperature over the model input set: the
// four-parameter model (one change point) and the five-parameter model (two change points).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/ModelState.h"
#include "platform/Ui.h"

namespace ombrix {

// E = b1 + b2·T + b3·(T − Xcp)·[T > Xcp].
struct Fit4PResult {
    double Xcp = 0, b1 = 0, b2 = 0, b3 = 0;
    double CV = 0, RMSE = 0, R2 = 0;
};

// E = b1 + b2·(T − Xcp1)·[T ≤ Xcp1] + b3·(T − Xcp2)·[T > Xcp2], with Xcp1 < Xcp2.
struct Fit5PResult {
    double Xcp1 = 0, Xcp2 = 0, b1 = 0, b2 = 0, b3 = 0;
    double CV = 0, RMSE = 0, R2 = 0;
};

// Fit the models to ModelX column 2 (temperature) and ModelY column 1 (energy), points
// 1..ModelN, with the busy pointer and the progress window shown while they search. Nothing
// when the fit failed; the reason has then been shown ("No data is available to model.", or
// the failure's description in an "Error" box, stored in *msgText too when given).
std::optional<Fit4PResult> Fit4P(const ModelState& model, Ui& ui, std::string* msgText = nullptr);
std::optional<Fit5PResult> Fit5P(const ModelState& model, Ui& ui, std::string* msgText = nullptr);

inline constexpr std::string_view kFitCaption = "Processing Data...";
inline constexpr std::string_view kNoModelData = "No data is available to model.";

// The change-point searches, apart from the regression that scores a candidate. score(...)
// returns the candidate's RMSE, or nothing when the candidate cannot be evaluated (a singular
// matrix); such a candidate is skipped. The first evaluated candidate of a pass becomes the
// best unconditionally (4P) or of the whole search (5P); afterwards only a strictly smaller
// RMSE replaces it, so ties keep the earlier candidate. Nothing when the first pass found no
// evaluable candidate.

// Nine interior tenths of the range, then nine steps of a fifth of a tenth around the best.
template <class Score>
std::optional<double> searchOneChangePoint(double tMin, double tMax, Score&& score) {
    double s = (tMax - tMin) / 10.0;
    double a = tMin;
    std::optional<double> best;
    for (int pass = 1; pass <= 2; ++pass) {
        if (pass == 2) {
            a = *best - s;
            s = 2.0 * s / 10.0;
        }
        double bestRmse = 0.0;
        bool first = true;
        for (int j = 1; j <= 9; ++j) {
            const double xcp = a + j * s;
            const std::optional<double> rmse = score(xcp);
            if (!rmse) {
                continue;
            }
            if (first || *rmse < bestRmse) {
                first = false;
                bestRmse = *rmse;
                best = xcp;
            }
        }
        if (!best) {
            return std::nullopt;
        }
    }
    return best;
}

// Pairs of eight points at ninths of the range, then pairs of four offsets (±0.333, ±0.666 of
// a ninth) around each change point of the best pair; a pair is tried only when Xcp1 < Xcp2.
template <class Score>
std::optional<std::pair<double, double>> searchTwoChangePoints(double tMin, double tMax,
                                                               Score&& score) {
    const double s = (tMax - tMin) / 9.0;
    double list1[8];
    double list2[8];
    int size = 8;
    for (int k = 1; k <= 8; ++k) {
        list1[k - 1] = tMin + k * s;
        list2[k - 1] = list1[k - 1];
    }
    std::optional<std::pair<double, double>> best;
    double bestRmse = 0.0;
    for (int pass = 1; pass <= 2; ++pass) {
        if (pass == 2) {
            if (!best) {
                return std::nullopt;
            }
            static constexpr double kOffsets[4] = {-0.666, -0.333, 0.333, 0.666};
            const auto [best1, best2] = *best;
            for (int d = 0; d < 4; ++d) {
                list1[d] = best1 + kOffsets[d] * s;
                list2[d] = best2 + kOffsets[d] * s;
            }
            size = 4;
        }
        for (int i = 0; i < size; ++i) {
            for (int j = 0; j < size; ++j) {
                if (!(list1[i] < list2[j])) {
                    continue;
                }
                const std::optional<double> rmse = score(list1[i], list2[j]);
                if (!rmse) {
                    continue;
                }
                if (!best || *rmse < bestRmse) {
                    bestRmse = *rmse;
                    best = std::pair{list1[i], list2[j]};
                }
            }
        }
    }
    return best;
}

}  // namespace ombrix
