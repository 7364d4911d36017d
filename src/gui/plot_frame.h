#pragma once
// The picture of a plot without what follows the pointer: drawn on the GUI thread for most
// plots, and off it for plots too large to draw within a frame, while the window shows its
// last picture moved and scaled to the new ranges.

#include <QImage>
#include <QPainter>
#include <QSize>

#include <cstddef>
#include <vector>

#include "plot/canvas.h"
#include "plot/graph.h"

namespace lumatix::gui {

struct PlotFrame {
  QImage image;
  // The plot area in the picture, and the plotted values at its top-left and bottom-right
  // corners: where the picture goes in a view of other ranges.
  plot::Rect area;
  plot::Point topLeft, bottomRight;
};

// Draws the graph, then the overlaid graphs' traces in its ranges, on white, at size (in the
// canvas's units) times ratio pixels. Lays the graph out for that size.
PlotFrame drawPlotFrame(plot::Graph& graph, const std::vector<plot::Graph*>& overlays, QSize size, qreal ratio);

// The overlaid graphs' traces in the graph's ranges and plot area.
void drawOverlaidTraces(const plot::Graph& graph, const std::vector<plot::Graph*>& overlays, plot::Canvas& canvas);

// Draws an earlier frame where its plot area lies in the graph's present ranges: the whole
// picture first (its axes are those of the earlier ranges), then its plot area moved and
// scaled onto the graph's, which is blanked and clipped to.
void drawMovedFrame(QPainter& painter, const PlotFrame& frame, const plot::Graph& graph);

// Some 16 million points take about a frame's 30 ms to draw on two processors: plots of more
// are drawn off the GUI thread.
inline constexpr std::size_t kBackgroundDrawingFrom = 16'000'000;

// Whether the graph shows at least `from` points (samples times traces).
bool drawsSlowly(const plot::Graph& graph, std::size_t from);

}  // namespace lumatix::gui
