// Placeholder bodies until the graph routines land; this file is removed then.
#include "graph/GSubs.h"

namespace ombrix {

void ScaleAxes(GraphContext&, long, long) {}
std::string DateLabel(const GraphContext&, long) {
    return {};
}
void PlotTimeSeries(GraphContext&, long, bool, bool) {}
void PlotScatter(GraphContext&, long, long, bool) {}
void DrawModelLines(GraphContext&, long) {}
void DrawDataLine(GraphContext&, double, double, double, double) {}
void PlotModelSeries(GraphContext&, long, long, bool, bool) {}
long FindPoint(GraphContext&, double, double, int) {
    return 0;
}
void HighlightPoint(GraphContext&, long, int) {}
void GraphboxMouseDown(GraphContext&, StatusText&, int, int, double, double) {}

}  // namespace ombrix
