#include "graph/Frame.h"

namespace ombrix {

FramePoint pixelToFrame(double px, double py, double width, double height) {
    const Scale& s = kFrameScale;
    const double x = width > 0 ? s.left + (s.right - s.left) * px / width : s.left;
    const double y = height > 0 ? s.top + (s.bottom - s.top) * py / height : s.top;
    return {x, y};
}

}  // namespace ombrix
