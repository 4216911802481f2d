// The graph routines: frame and scales, time series, energy against temperature, the model
// graph, and identification of a clicked point. Everything is drawn in frame units onto the
// graph area's canvas; the plot rectangle is 0..100 in both directions.
#pragma once

#include <string>
#include <string_view>

#include "data/DataState.h"
#include "graph/GraphState.h"
#include "model/ModelState.h"
#include "platform/Canvas.h"
#include "platform/StatusText.h"
#include "platform/Ui.h"

namespace ombrix {

// What a graph routine reads and writes.
struct GraphContext {
    DataState& data;
    ModelState& model;
    GraphState& graph;
    Ui& ui;
    Canvas& canvas;
};

// Messages of the graphs that refuse to draw (title "Error").
inline constexpr std::string_view kNoDataToPlot = "No data is available to plot.";
inline constexpr std::string_view kNoTimeStamp =
    "No time stamp variable names (Yr, Mo, Dy or Hr) have been defined.";

// Extracts the points of two columns of the working table and chooses both axis scales.
void ScaleAxes(GraphContext& g, long xCol, long yCol);

// The time-stamp text of one row of the working table.
std::string DateLabel(const GraphContext& g, long row);

// One column of the working table against the row order.
void PlotTimeSeries(GraphContext& g, long column, bool grid, bool markers);

// Energy (yCol) against temperature (xCol), one point per row. True when the graph was drawn
// (false when it refused for lack of data or failed), so the model lines go only onto it.
bool PlotScatter(GraphContext& g, long xCol, long yCol, bool grid);
// The model stored in ModelTable row r, drawn over the scatter graph.
void DrawModelLines(GraphContext& g, long r);
// A thick black line between two points given in data units of the scatter graph.
void DrawDataLine(GraphContext& g, double x1, double y1, double x2, double y2);

// Measured (column1) and predicted (column2) energy over time on one axis.
void PlotModelSeries(GraphContext& g, long column1, long column2, bool grid, bool markers);

// The first plotted row within 1 % of the axes around (x, y), highlighted; 0 when none.
long FindPoint(GraphContext& g, double x, double y, int series);
// Marks a row with a filled marker, restoring the previously highlighted one.
void HighlightPoint(GraphContext& g, long row, int series);
// A mouse-down in the graph area: legend choice, identification, status line.
void GraphboxMouseDown(GraphContext& g, StatusText& status, int button, int shift, double x,
                       double y);

}  // namespace ombrix
