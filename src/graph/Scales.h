// Axis scaling and the arithmetic every graph shares: the nice axis of a data range, the label
// formats, where the date labels go and where a row of a time series sits in the frame.
#pragma once

#include <string>

namespace ombrix {

struct GraphState;

// An axis that starts and ends on whole major units: Max - Min = Units x 10^Exp, with a label
// every TickStep (1 or 0.5) major units.
struct NiceScale {
    double Min = 0;
    double Max = 0;
    double Units = 0;
    double Exp = 0;
    double TickStep = 0;
};

// The axis of the data range lo..hi, read from the one-decimal scientific texts ("0.0E+00") of
// hi and lo. Data that are all 0 or positive give an axis that starts at 0.
NiceScale NiceAxis(double lo, double hi);

// Label format of a horizontal axis and of the measured-and-predicted graph's vertical axis:
// "#,###,##0" for a span above 5, "0.00" above 1, else "0.000".
std::string wideAboveFiveFormat(double span);
// Label format of the vertical axis of the single-series graphs: a span of exactly 5 already
// counts as wide ("#,###,##0").
std::string wideFromFiveFormat(double span);

// Takes s as the vertical scale of the graph, with its span and the label format that
// `format` gives for the span.
void setVerticalScale(GraphState& gs, const NiceScale& s, std::string (*format)(double span));

// The nearest whole number, an exact half going to the even one.
double roundHalfEven(double v);

// The row of a time series of n rows under date label j = 0..4 (first row, three inner rows
// at about the quarters, last row). With fewer than 5 rows an inner label can name row 0.
long dateLabelRow(int j, long n);

// Horizontal frame position of row i of a time series of n evenly spaced rows. A single row
// sits at the left edge, where a division by n - 1 = 0 would leave no position at all.
double rowFrameX(double row, long n);

// Frame position (0..100 over the axis) of value v on an axis starting at min with the span.
inline double axisFrame(double v, double min, double span) {
    return 100.0 * (v - min) / span;
}

// Whether an axis can be drawn: finite ends and a finite span above 0.
bool drawableAxis(double min, double max, double span);

}  // namespace ombrix
