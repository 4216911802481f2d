#include "graph/FrameSteps.h"
#include "graph/GSubs.h"
#include "graph/Scales.h"

namespace ombrix {

void PlotModelSeries(GraphContext& g, long column1, long column2, bool grid, bool markers) {
    runGuarded(g.ui, "Error", &g.data.MsgText, [&] {
        BusyPointer busy(g.ui);
        DataState& d = g.data;
        ModelState& m = g.model;
        GraphState& gs = g.graph;
        gs.GraphKind = "TS";
        gs.GraphYCol = column1;
        gs.GraphY2Col = column2;
        gs.HighlightX = -99;
        gs.HighlightY = -99;
        const long n = d.DataRows;
        // Without time stamps there are no date labels; without rows there is nothing at all.
        if (d.TimeStampKind == 0 || n < 1) {
            g.ui.messageBox(kNoDataToPlot, "Error");
            return;
        }

        // One vertical axis for both series. When neither column holds a value the extremes
        // that were there before stay.
        bool any = false;
        for (long i = 1; i <= n; ++i) {
            for (const long col : {column1, column2}) {
                const double v = d.DataTable(i, col);
                if (v == d.MissingValue) {
                    continue;
                }
                if (!any) {
                    m.ModelYMin = m.ModelYMax = v;
                    any = true;
                } else if (v < m.ModelYMin) {
                    m.ModelYMin = v;
                } else if (v > m.ModelYMax) {
                    m.ModelYMax = v;
                }
            }
        }
        // Here a span of exactly 5 still gets two decimals.
        setVerticalScale(gs, NiceAxis(m.ModelYMin, m.ModelYMax), wideAboveFiveFormat);
        requireDrawableAxis(gs.YAxisMin, gs.YAxisMax, gs.YAxisSpan, m.ModelYMin, m.ModelYMax);

        Canvas& c = g.canvas;
        beginFrame(c);
        c.text(90, -9.5, "Meter Reading Date");
        drawSeriesLegend(g, column1);
        const std::string& second = d.ColNames.at(column2);
        c.setForeColor(kBlue);
        c.text(70, 108, second);
        c.setForeColor(kBlack);
        c.setLineWidth(1);
        c.setLineStyle(LineStyle::Dotted);
        c.line(100, 105, 104, 105, kBlue);
        c.setLineWidth(1);
        c.setLineStyle(LineStyle::Solid);

        drawDateLabels(g, grid);
        drawVerticalLabels(c, gs, grid);
        drawSeries(g, column1, markers, false);
        drawSeries(g, column2, markers, true);
    });
}

}  // namespace ombrix
