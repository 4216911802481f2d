// Window layouts are designed in twips (1/1440 inch) and shown at the screen's logical DPI.
#pragma once

#include <cmath>

namespace ombrix {

inline int twipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

}  // namespace ombrix
