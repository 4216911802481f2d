#include <cmath>

#include "graph/FrameSteps.h"
#include "graph/GSubs.h"
#include "graph/Scales.h"

namespace ombrix {

bool PlotScatter(GraphContext& g, long xCol, long yCol, bool grid) {
    bool drawn = false;
    runGuarded(g.ui, "Error", &g.data.MsgText, [&] {
        BusyPointer busy(g.ui);
        ScaleAxes(g, xCol, yCol);
        const DataState& d = g.data;
        const ModelState& m = g.model;
        GraphState& gs = g.graph;
        if (m.ModelN == 0 || gs.XAxisSpan == 0) {
            g.ui.messageBox(kNoDataToPlot, "Error");
            return;
        }
        requireDrawableAxis(gs.XAxisMin, gs.XAxisMax, gs.XAxisSpan, m.ModelTMin, m.ModelTMax);
        requireDrawableAxis(gs.YAxisMin, gs.YAxisMax, gs.YAxisSpan, m.ModelYMin, m.ModelYMax);
        gs.GraphKind = "XY";
        gs.GraphXCol = xCol;
        gs.GraphYCol = yCol;
        gs.HighlightX = -99;
        gs.HighlightY = -99;

        Canvas& c = g.canvas;
        beginFrame(c);
        const std::string& name = d.ColNames.at(yCol);
        if (d.PrePostCol > 0) {
            const std::string pre = "Pre " + name;
            const std::string post = "Post " + name;
            c.text(-13, 108, pre);
            drawMarker(c, 8, 106, {MarkerShape::Box, kBlack});
            c.setForeColor(kBlue);
            c.text(20, 108, post);
            c.setForeColor(kBlack);
            drawMarker(c, 42, 106, {MarkerShape::Circle, kBlue});
        } else {
            c.text(-13, 108, name);
            drawMarker(c, 8, 106, {MarkerShape::Box, kBlack});
        }
        c.text(90, -9.5, d.ColNames.at(xCol));
        if (grid) {
            c.line(100, 0, 100, 100);
            c.line(0, 100, 100, 100);
        }
        drawNumberLabels(c, gs, grid);
        drawVerticalLabels(c, gs, grid);

        c.setLineWidth(1);
        for (long k = 1; k <= m.ModelN; ++k) {
            const double fx = axisFrame(m.ModelX(k, 2), gs.XAxisMin, gs.XAxisSpan);
            const double fy = axisFrame(m.ModelY(k, 1), gs.YAxisMin, gs.YAxisSpan);
            const double flag = m.ModelFlag.at(static_cast<std::size_t>(k));
            drawMarker(c, fx, fy, plotMarker(d, flag));
        }
        drawn = true;
    });
    return drawn;
}

void DrawModelLines(GraphContext& g, long r) {
    runGuarded(g.ui, "Error", &g.data.MsgText, [&] {
        const Table& mt = g.data.ModelTable;
        if (!mt.allocated()) {
            return;  // no energy file, so no model either
        }
        const double missing = g.data.MissingValue;
        const double a = mt(r, 1);
        const double b = mt(r, 2);
        const double yc = mt(r, 3);
        const double sL = mt(r, 4);
        const double sR = mt(r, 5);
        const GraphState& gs = g.graph;

        // One side runs from the change point c to the left or right edge, or is cut where it
        // leaves the frame at the bottom or the top. A flat side outside the vertical range
        // never enters the frame and is left out.
        auto side = [&](double slope, double endX, double c) {
            double y = yc + slope * (endX - c);
            if (y < gs.YAxisMin || y > gs.YAxisMax) {
                if (slope == 0) {
                    return;
                }
                y = y < gs.YAxisMin ? gs.YAxisMin : gs.YAxisMax;
                endX = c + (y - yc) / slope;
            }
            DrawDataLine(g, endX, y, c, yc);
        };

        if (b == missing) {
            return;  // no model stored
        }
        if (a == missing) {
            side(sL, gs.XAxisMin, b);
            side(sR, gs.XAxisMax, b);
        } else {
            g.canvas.setLineWidth(1);
            DrawDataLine(g, a, yc, b, yc);
            side(sL, gs.XAxisMin, a);
            side(sR, gs.XAxisMax, b);
        }
    });
}

void DrawDataLine(GraphContext& g, double x1, double y1, double x2, double y2) {
    const GraphState& gs = g.graph;
    const double fx1 = axisFrame(x1, gs.XAxisMin, gs.XAxisSpan);
    const double fy1 = axisFrame(y1, gs.YAxisMin, gs.YAxisSpan);
    const double fx2 = axisFrame(x2, gs.XAxisMin, gs.XAxisSpan);
    const double fy2 = axisFrame(y2, gs.YAxisMin, gs.YAxisSpan);
    // Without a drawable scale (or for points that do not map) there is no line to draw.
    if (!std::isfinite(fx1) || !std::isfinite(fy1) || !std::isfinite(fx2) || !std::isfinite(fy2)) {
        return;
    }
    Canvas& c = g.canvas;
    c.setLineStyle(LineStyle::Solid);
    c.setLineWidth(2);
    c.line(fx1, fy1, fx2, fy2, kBlack);
    c.setLineWidth(1);
}

}  // namespace ombrix
