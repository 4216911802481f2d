// The drawing steps the graphs share: the frame, the axis labels with their ticks and grid
// lines, the point markers, the legend and the line-and-marker loop of a series over time.
#pragma once

#include <string_view>

#include "graph/GSubs.h"

namespace ombrix {

enum class MarkerShape { Box, Circle };

struct Marker {
    MarkerShape shape = MarkerShape::Box;
    Color color = kBlack;
};

// Half the width and half the height of a marker, in frame units.
inline constexpr double kMarkerHalfWidth = 0.7;
inline constexpr double kMarkerHalfHeight = 1.0;

// The marker of a plotted point with pre/post flag `flag`: a box in PreColor for flag 1, a
// circle in PostColor for any other flag; a black box when the graph marks no pre/post column.
Marker plotMarker(const DataState& d, double flag);

// A marker centred at (fx, fy) in the current line style and width.
void drawMarker(Canvas& c, double fx, double fy, const Marker& m, bool filled = false);

// Clears the graph area, sets the frame scale, font "Helv" 8, width 1, solid style, black,
// and draws the two axes.
void beginFrame(Canvas& c);

// Labels up the left side, with ticks and (grid) dotted horizontal lines.
void drawVerticalLabels(Canvas& c, const GraphState& gs, bool grid);
// Number labels along the bottom of a scatter graph, with ticks and (grid) dotted lines.
void drawNumberLabels(Canvas& c, const GraphState& gs, bool grid);
// The five date labels along the bottom of a time series, with ticks and (grid) dotted lines.
void drawDateLabels(GraphContext& g, bool grid);

// Legend entry of a time series ("Pre " and "Post " entries when rows are marked pre/post).
void drawSeriesLegend(GraphContext& g, long column);

// One series of a time series: markers at the rows (markers true) and lines between
// consecutive present rows, coloured by the row at the right end. The second series of the
// measured-and-predicted graph is drawn dotted.
void drawSeries(GraphContext& g, long column, bool markers, bool secondSeries);

// Throws when an axis computed from the data lo..hi cannot be drawn (an infinite end or a span
// that is not a positive number).
void requireDrawableAxis(double min, double max, double span, double lo, double hi);

}  // namespace ombrix
