// Frame units: every graph's plot rectangle is 0..100 in both directions, with margins of 15
// units left and right, 10 above and 20 below.
#pragma once

#include "platform/Canvas.h"

namespace ombrix {

inline constexpr Scale kFrameScale{-15.0, 110.0, 115.0, -20.0};

// Maps a position in a surface of width x height pixels to frame units.
struct FramePoint {
    double x;
    double y;
};
FramePoint pixelToFrame(double px, double py, double width, double height);

}  // namespace ombrix
