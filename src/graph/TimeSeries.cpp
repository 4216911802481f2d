#include "graph/FrameSteps.h"
#include "graph/GSubs.h"

namespace ombrix {

void PlotTimeSeries(GraphContext& g, long column, bool grid, bool markers) {
    runGuarded(g.ui, "Error", &g.data.MsgText, [&] {
        BusyPointer busy(g.ui);
        // Only the vertical scale is used: rows are evenly spaced whatever their dates.
        ScaleAxes(g, 1, column);
        GraphState& gs = g.graph;
        gs.GraphKind = "TS";
        gs.GraphYCol = column;
        gs.HighlightX = -99;
        gs.HighlightY = -99;
        if (g.model.ModelN == 0) {
            g.ui.messageBox(kNoDataToPlot, "Error");
            return;
        }
        if (g.data.TimeStampKind == 0) {
            g.ui.messageBox(kNoTimeStamp, "Error");
            return;
        }
        requireDrawableAxis(gs.YAxisMin, gs.YAxisMax, gs.YAxisSpan, g.model.ModelYMin,
                            g.model.ModelYMax);

        Canvas& c = g.canvas;
        beginFrame(c);
        c.text(90, -9.5, "Meter Reading Date");
        drawSeriesLegend(g, column);
        drawDateLabels(g, grid);
        drawVerticalLabels(c, gs, grid);
        drawSeries(g, column, markers, false);
    });
}

}  // namespace ombrix
