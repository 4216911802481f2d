#include <algorithm>
#include <cmath>

#include "graph/FrameSteps.h"
#include "graph/GSubs.h"
#include "graph/Scales.h"
#include "platform/NumberFormat.h"

namespace ombrix {
namespace {

// Clicks and highlights count only within 2 frame units of the plot rectangle.
bool nearFrame(double x, double y) {
    return x >= -2 && x <= 102 && y >= -2 && y <= 102;
}

// The tolerance around a click, as a fraction of each axis (of the rows on a time series).
constexpr double kTolerance = 0.01;

long searchedColumn(const GraphState& gs, int series) {
    return series == 2 ? gs.GraphY2Col : gs.GraphYCol;
}

}  // namespace

long FindPoint(GraphContext& g, double x, double y, int series) {
    const DataState& d = g.data;
    const GraphState& gs = g.graph;
    const long column = searchedColumn(gs, series);
    const double ty = kTolerance * gs.YAxisSpan;
    const double yv = gs.YAxisMin + gs.YAxisSpan * y / 100;
    auto nearY = [&](double v) { return yv - ty < v && v < yv + ty; };
    long found = 0;
    if (gs.GraphKind == "XY") {
        const double tx = kTolerance * gs.XAxisSpan;
        if (nearFrame(x, y)) {
            const double xv = gs.XAxisMin + gs.XAxisSpan * x / 100;
            for (long i = 1; i <= d.DataRows && found == 0; ++i) {
                const double xi = d.DataTable(i, gs.GraphXCol);
                if (xv - tx < xi && xi < xv + tx && nearY(d.DataTable(i, column))) {
                    found = i;
                }
            }
        }
    } else if (gs.GraphKind == "TS") {
        const long n = d.DataRows;
        const double tr = kTolerance * static_cast<double>(n);
        if (nearFrame(x, y)) {
            // The fractional row under the click, and the whole rows within the tolerance.
            const double rv = 1 + static_cast<double>(n - 1) * x / 100;
            const double lo = roundHalfEven(std::max(rv - tr, 1.0));
            const double hi = roundHalfEven(std::min(rv + tr, static_cast<double>(n)));
            for (long i = static_cast<long>(lo); i <= static_cast<long>(hi) && found == 0; ++i) {
                const double ri = static_cast<double>(i);
                if (rv - tr < ri && ri < rv + tr && nearY(d.DataTable(i, column))) {
                    found = i;
                }
            }
        }
    }
    if (found != 0) {
        HighlightPoint(g, found, series);
    }
    return found;
}

void HighlightPoint(GraphContext& g, long row, int series) {
    const DataState& d = g.data;
    GraphState& gs = g.graph;
    Canvas& c = g.canvas;
    if (row > d.DataRows) {
        row = d.DataRows;
    }
    if (row < 1) {
        row = 1;
    }
    const long column = searchedColumn(gs, series);
    Marker marker{MarkerShape::Box, series == 2 ? kBlue : kBlack};
    // The same shape and colour as the plotted marker: a pre-retrofit row is a box, any other
    // flag a circle in the post colour.
    if (d.PrePostCol > 0) {
        marker = d.DataTable(row, d.PrePostCol) == 1 ? Marker{MarkerShape::Box, d.PreColor}
                                                     : Marker{MarkerShape::Circle, d.PostColor};
    }
    const bool ts = gs.GraphKind == "TS";
    if (!ts && gs.GraphKind != "XY") {
        return;
    }

    // Put the previous point back to its plain marker (the lines under it stay erased).
    if (nearFrame(gs.HighlightX, gs.HighlightY)) {
        c.box(gs.HighlightX - kMarkerHalfWidth, gs.HighlightY + kMarkerHalfHeight,
              gs.HighlightX + kMarkerHalfWidth, gs.HighlightY - kMarkerHalfHeight, c.backColor(),
              true);
        drawMarker(c, gs.HighlightX, gs.HighlightY,
                   {gs.LastShape == "box" ? MarkerShape::Box : MarkerShape::Circle, gs.LastColor});
    }

    const double v = d.DataTable(row, column);
    if (v == d.MissingValue) {
        return;
    }
    double fx = 0;
    if (ts) {
        fx = rowFrameX(static_cast<double>(row), d.DataRows);
    } else {
        const double xv = d.DataTable(row, gs.GraphXCol);
        if (xv == d.MissingValue) {
            return;
        }
        fx = axisFrame(xv, gs.XAxisMin, gs.XAxisSpan);
    }
    const double fy = axisFrame(v, gs.YAxisMin, gs.YAxisSpan);
    // A position that does not map (no drawable scale) counts as no highlight.
    gs.HighlightX = std::isfinite(fx) && std::isfinite(fy) ? fx : -99;
    gs.HighlightY = std::isfinite(fx) && std::isfinite(fy) ? fy : -99;
    if (nearFrame(gs.HighlightX, gs.HighlightY)) {
        drawMarker(c, gs.HighlightX, gs.HighlightY, marker, true);
    }
    gs.LastShape = marker.shape == MarkerShape::Box ? "box" : "circle";
    gs.LastColor = marker.color;
}

void GraphboxMouseDown(GraphContext& g, StatusText& status, int /*button*/, int /*shift*/, double x,
                       double y) {
    runGuarded(g.ui, "Error", &g.data.MsgText, [&] {
        GraphState& gs = g.graph;
        const DataState& d = g.data;
        // The legend row chooses the series later clicks search: the first entry, or the
        // second one of the measured-and-predicted graph.
        const bool legendRow = y >= 102 && y <= 108;
        if (legendRow && x >= -13 && x <= 12 && gs.SecondSeriesSwitch == 1) {
            gs.SelectedSeries = 1;
            gs.SecondSeriesSwitch = 0;
        } else if (legendRow && x >= 70 && x <= 105 && gs.SecondSeriesSwitch != 1) {
            gs.SelectedSeries = 2;
            gs.SecondSeriesSwitch = 1;
        }
        const int series = gs.SelectedSeries == 2 ? 2 : 1;
        const long column = searchedColumn(gs, series);
        const long row = FindPoint(g, x, y, series);
        if (row == 0) {
            return;
        }
        std::string line = DateLabel(g, row) + "  " + d.ColNames.at(column) + " = " +
                           formatNumber(d.DataTable(row, column), "0.0");
        if (gs.GraphKind == "XY") {
            line += "  " + d.ColNames.at(gs.GraphXCol) + " = " +
                    formatNumber(d.DataTable(row, gs.GraphXCol), "0.0");
        }
        status.clear();
        status.print(line);
    });
}

}  // namespace ombrix
