#include "graph/FrameSteps.h"

#include <cmath>

#include "graph/Frame.h"
#include "graph/Scales.h"
#include "platform/Errors.h"
#include "platform/NumberFormat.h"

namespace ombrix {

Marker plotMarker(const DataState& d, double flag) {
    if (d.PrePostCol <= 0) {
        return {MarkerShape::Box, kBlack};
    }
    if (flag == 1) {
        return {MarkerShape::Box, d.PreColor};
    }
    return {MarkerShape::Circle, d.PostColor};
}

void drawMarker(Canvas& c, double fx, double fy, const Marker& m, bool filled) {
    if (m.shape == MarkerShape::Box) {
        c.box(fx - kMarkerHalfWidth, fy + kMarkerHalfHeight, fx + kMarkerHalfWidth,
              fy - kMarkerHalfHeight, m.color, filled);
    } else {
        c.circle(fx, fy, kMarkerHalfWidth, m.color, filled);
    }
}

void beginFrame(Canvas& c) {
    c.clear();
    c.setScale(kFrameScale);
    c.setFont("Helv", 8);
    c.setLineWidth(1);
    c.setLineStyle(LineStyle::Solid);
    c.setForeColor(kBlack);
    c.line(0, 0, 0, 100);
    c.line(0, 0, 100, 0);
}

namespace {

// Labels every `step` major units from 0 up to and including `units`; the style is not reset
// inside the loop, so once a grid line has been drawn dotted the following ticks are dotted.
template <class Draw>
void labelLoop(Canvas& c, double units, double step, Draw draw) {
    if (step > 0 && std::isfinite(units)) {
        for (double t = 0; t <= units; t += step) {
            draw(t);
        }
    }
    c.setLineWidth(1);
    c.setLineStyle(LineStyle::Solid);
}

}  // namespace

void drawVerticalLabels(Canvas& c, const GraphState& gs, bool grid) {
    const double unit = std::pow(10.0, gs.YAxisExp);
    labelLoop(c, gs.YAxisUnits, gs.YTickStep, [&](double t) {
        const double value = t * unit + gs.YAxisMin;
        const double fy = 100.0 * t / gs.YAxisUnits;
        c.text(-14, fy + 1, formatNumber(value, gs.YLabelFormat));
        c.line(0, fy, 1, fy);
        if (grid) {
            c.setLineStyle(LineStyle::Dotted);
            c.setLineWidth(1);
            c.line(0, fy, 100, fy);
        }
    });
}

void drawNumberLabels(Canvas& c, const GraphState& gs, bool grid) {
    const double unit = std::pow(10.0, gs.XAxisExp);
    labelLoop(c, gs.XAxisUnits, gs.XTickStep, [&](double t) {
        const double value = t * unit + gs.XAxisMin;
        const double fx = 100.0 * t / gs.XAxisUnits;
        c.text(fx - 2, -0.5, formatNumber(value, gs.XLabelFormat));
        c.line(fx, 0, fx, 1);
        if (grid) {
            c.setLineStyle(LineStyle::Dotted);
            c.setLineWidth(1);
            c.line(fx, 0, fx, 100);
        }
    });
}

void drawDateLabels(GraphContext& g, bool grid) {
    Canvas& c = g.canvas;
    const long n = g.data.DataRows;
    for (int j = 0; j <= 4; ++j) {
        const long r = dateLabelRow(j, n);
        // A single row has no inner rows to label: every label would name that row or row 0.
        if (n == 1 && r != 1) {
            continue;
        }
        const double fx = rowFrameX(static_cast<double>(r), n);
        c.text(fx - 6, -5, DateLabel(g, r));
        c.setLineWidth(1);
        c.setLineStyle(LineStyle::Solid);
        c.line(fx, 0, fx, 1);
        if (grid) {
            c.setLineWidth(1);
            c.setLineStyle(LineStyle::Dotted);
            c.line(fx, 0, fx, 100);
        }
    }
    c.setLineWidth(1);
    c.setLineStyle(LineStyle::Solid);
}

void drawSeriesLegend(GraphContext& g, long column) {
    Canvas& c = g.canvas;
    const std::string& name = g.data.ColNames.at(column);
    if (g.data.PrePostCol > 0) {
        const std::string pre = "Pre " + name;
        const std::string post = "Post " + name;
        c.text(-13, 108, pre);
        c.line(8, 105, 12, 105, kBlack);
        c.setForeColor(kBlue);
        c.text(20, 108, post);
        c.setForeColor(kBlack);
        c.line(41, 105, 45, 105, kBlue);
    } else {
        c.text(-13, 108, name);
        c.line(8, 105, 12, 105, kBlack);
    }
}

void drawSeries(GraphContext& g, long column, bool markers, bool secondSeries) {
    Canvas& c = g.canvas;
    const DataState& d = g.data;
    const GraphState& gs = g.graph;
    const long n = d.DataRows;
    const double missing = d.MissingValue;
    const LineStyle style = secondSeries ? LineStyle::Dotted : LineStyle::Solid;
    c.setLineWidth(1);
    c.setLineStyle(style);
    double prevX = 0;
    double prevY = 0;
    double prevV = 0;
    for (long i = 1; i <= n; ++i) {
        const double v = d.DataTable(i, column);
        const double fx = rowFrameX(static_cast<double>(i), n);
        const double fy = axisFrame(v, gs.YAxisMin, gs.YAxisSpan);
        if (i == 1) {
            // The first row's box is drawn whatever its value and flag.
            if (markers && secondSeries) {
                c.setLineStyle(LineStyle::Solid);
                drawMarker(c, fx, fy, {MarkerShape::Box, d.PreColor});
                c.setLineStyle(style);
            } else if (markers) {
                drawMarker(c, fx, fy, {MarkerShape::Box, kBlack});
            }
        } else {
            const double flag = d.PrePostCol > 0 ? d.DataTable(i, d.PrePostCol) : 0.0;
            const Marker m = plotMarker(d, flag);
            if (v == missing || prevV == missing) {
                // A missing value breaks the line on both sides and gets no marker.
                if (v != missing && markers) {
                    drawMarker(c, fx, fy, m);
                }
            } else {
                if (markers) {
                    drawMarker(c, fx, fy, m);
                }
                c.line(prevX, prevY, fx, fy, m.color);
            }
        }
        prevX = fx;
        prevY = fy;
        prevV = v;
    }
    c.setLineWidth(1);
    c.setLineStyle(LineStyle::Solid);
}

void requireDrawableAxis(double min, double max, double span, double lo, double hi) {
    if (!drawableAxis(min, max, span)) {
        throw OmbrixError("Cannot draw an axis for the values " + plainNumberText(lo) + " to " +
                          plainNumberText(hi));
    }
}

}  // namespace ombrix
