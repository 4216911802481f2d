#include "platform/Ui.h"

#include <cmath>

namespace ombrix {

std::optional<double> progressFraction(double count, double total, double every) {
    if (every == 0 || total == 0 || !std::isfinite(count) || !std::isfinite(total)) {
        return std::nullopt;
    }
    if (std::floor(count / every) * every != count) {
        return std::nullopt;
    }
    return count / total;
}

void Ui::ShowProgress(double count, double total, double every) {
    if (const auto f = progressFraction(count, total, every)) {
        progressPaint(*f);
    }
}

}  // namespace ombrix
