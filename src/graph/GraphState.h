// What the last graph left behind: its kind and columns, the highlighted point, the axis
// scales, and the point-identification state that lives between clicks.
#pragma once

#include <string>

#include "platform/Canvas.h"

namespace ombrix {

struct AxisScale {
    double Min = 0;
    double Max = 0;
    double Span = 0;
    double Units = 0;
    double Exp = 0;
    double TickStep = 0;
    std::string LabelFormat;
};

struct GraphState {
    std::string GraphKind;  // "TS" time series, "XY" scatter, empty before the first graph
    long GraphXCol = 0;
    long GraphYCol = 0;
    long GraphY2Col = 0;
    double HighlightX = -99;  // frame position of the highlighted point; -99 = none
    double HighlightY = -99;

    // Axis scales (XAxisMin ... XLabelFormat, YAxisMin ... YLabelFormat).
    double XAxisMin = 0, XAxisMax = 0, XAxisSpan = 0, XAxisUnits = 0, XAxisExp = 0;
    double XTickStep = 0;
    std::string XLabelFormat;
    double YAxisMin = 0, YAxisMax = 0, YAxisSpan = 0, YAxisUnits = 0, YAxisExp = 0;
    double YTickStep = 0;
    std::string YLabelFormat;

    // Point identification, kept between clicks.
    int SelectedSeries = 0;       // 1 or 2; 0 (empty) counts as 1
    int SecondSeriesSwitch = -1;  // -1 empty, 0 false, 1 true
    std::string LastShape;        // "box" or "circle" of the point highlighted last
    Color LastColor = kBlack;
};

}  // namespace ombrix
