#pragma once
// Graph: the plot window's drawing of a set of traces that share one x vector, with two
// axes, titles, optional logarithmic axes, a grid or tick marks, a legend, and one colour per
// trace from the colour wheel (appended as traces arrive, never reassigned).

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "plot/canvas.h"
#include "plot/colour_wheel.h"
#include "plot/column_reduction.h"
#include "plot/scale.h"
#include "plot/two_d_point.h"
#include "processing/trace_row.h"

namespace lumatix::plot {

// The y value that stands for a non-positive value on a logarithmic y axis: far below any
// axis, and never drawn.
inline constexpr float kLogMarker = -std::numeric_limits<float>::max();

class Graph {
 public:
  Graph();

  // Validates and prepares new data; throws std::invalid_argument with the message to show
  // ("No x-axis data.", "Data matrix is empty.", "Data matrix size mismatch.", or the log-axis
  // messages), keeping the previous data. shown: whether each trace is drawn; selected:
  // whether it is drawn bold.
  void SetData(const std::vector<double>& x, const std::vector<std::vector<double>>& y,
               const std::vector<std::string>& names, const std::vector<bool>& shown,
               const std::vector<bool>& selected);
  // The same with the rows in single precision, as the graph keeps them (values are measured
  // in single precision, and a pixel needs no more). The graph shares the rows' values with
  // their owner; it copies a row only to change it (a logarithmic axis).
  void SetDataRows(std::vector<double> x, std::vector<processing::TraceRow> y, const std::vector<std::string>& names,
                   const std::vector<bool>& shown, const std::vector<bool>& selected);
  // A null title is "no title".
  void SetTitles(const char* title1, const char* title2);
  void SetHeading(std::string heading) { heading_ = std::move(heading); }

  void setLogX(bool on) { logX_ = on; }
  void setLogY(bool on) { logY_ = on; }
  void setGrid(bool on) { grid_ = on; }
  void setLegend(bool on) { legend_ = on; }
  // The points first..last are drawn in colour, the rest in light grey.
  void setSelectedRange(std::size_t first, std::size_t last);

  // The visible ranges.
  void setXRange(double from, double to);
  void setYRange(double from, double to);
  // Both axes back to the data's extents widened by the margins.
  void resetRanges();

  // Which traces are drawn bold, one entry per trace (missing entries: not bold).
  void setTraceSelection(const std::vector<bool>& selected);

  // Lays the plot out on a canvas of the given size and draws it: PaintPlot, then the zoom
  // rectangle being dragged (PaintDragRectangle). A window that keeps the plot as a picture
  // draws the rectangle over it on its own.
  void Paint(Canvas& canvas);
  void PaintPlot(Canvas& canvas);
  void PaintDragRectangle(Canvas& canvas) const;
  // Draws only the traces, clipped to a plot area laid out by another graph: an overlaid
  // file's traces on the main plot, after its ranges were set to the main plot's.
  void PaintTraces(Canvas& canvas, const Rect& area);
  // Lays the plot out without drawing, so that pixel positions can be converted before the
  // first paint.
  void layout(double width, double height) { area_ = plotArea(width, height); }
  // The plot area of the last layout.
  const Rect& area() const { return area_; }
  // Pixel to data co-ordinates (plotted values: logarithms on a log axis) and back, for the
  // last layout.
  Point toData(Point pixel) const;
  Point toPixel(Point data) const;
  // Whether a data point lies within the data extents widened by the margins.
  bool withinMargins(Point data) const;
  // The plot area for a canvas of the given size.
  Rect plotArea(double width, double height) const;
  // Data to canvas co-ordinates for the last layout, and back.
  Transform dataToCanvas(const Rect& area) const;

  const std::vector<std::uint32_t>& colours() const { return colours_; }
  // "Recompute Trace Colours": the wheel starts again, the shown traces take its colours in
  // order, then the hidden ones (so that each keeps a colour of its own when shown again).
  void recomputeColours();
  const std::string& title1() const { return title1_; }
  const std::string& title2() const { return title2_; }
  bool descendingX() const { return descending_; }
  bool ready() const { return ready_; }
  std::size_t sampleCount() const { return x_.size(); }
  std::size_t traceCount() const { return y_.size(); }
  const std::vector<double>& x() const { return x_; }
  const std::vector<processing::TraceRow>& plotted() const { return y_; }
  // The index in the data given to SetData of plotted sample i (they differ when a
  // logarithmic x axis dropped points).
  std::size_t sourceIndex(std::size_t i) const;
  double xMin() const { return xMin_; }
  double xMax() const { return xMax_; }
  double yMin() const { return yMin_; }
  double yMax() const { return yMax_; }
  double marginX() const { return 0.05 * (xMax_ - xMin_); }
  double marginY() const { return 0.05 * (yMax_ - yMin_); }
  const CScale& xAxis() const { return xAxis_; }
  const CScale& yAxis() const { return yAxis_; }

  // --- The view the pointer and the keys change ---
  // Starts a zoom rectangle at a pixel; refused (false) outside the widened data extents or
  // without data.
  bool beginDrag(Point pixel);
  void setDragEnd(Point pixel) { dragEnd_ = pixel; }
  // Ends a drag without zooming.
  void cancelDrag() { dragging_ = false; }
  bool dragging() const { return dragging_; }
  Point dragStart() const { return dragStart_; }
  Point dragEnd() const { return dragEnd_; }
  // Zooms to the rectangle from the drag start to the drag end, the end clamped to the data
  // extents (above the top it stands at yMax + marginY). Nothing changes when the corners
  // share an x or a y. The drag ends either way. True when the ranges changed.
  bool zoomToDrag();
  // One wheel step on the chosen axes: in keeps three quarters of the span, out adds a
  // quarter, an eighth on each side.
  void zoomStep(bool in, bool onX, bool onY);
  bool zoomed() const { return zoomed_; }
  // The ranges in force before the last rectangle zoom: x from, x to, y from, y to.
  const std::optional<Rect>& previousRanges() const { return previous_; }
  // The y axis back to the data's extents widened by the margins; the tick step is the one
  // of the extents themselves.
  void resetYRange();

  // The sample the read-out shows, kept within 0..n-1.
  std::size_t cursor() const { return cursor_; }
  void setCursor(std::size_t index);
  // The sample whose x is nearest to a plotted x (the first of equals).
  std::size_t nearestSample(double x) const;

 private:
  static void checkSizes(std::size_t points, std::size_t rows, std::size_t firstRow);
  void drawAxes(Canvas& c, const Rect& area);
  void drawTraces(Canvas& c, const Rect& area);
  void drawTraceRange(Canvas& c, const Rect& area, const ColumnRuns* columns, std::size_t fromTrace,
                      std::size_t toTrace) const;
  // From this many points in the shown traces on, they are drawn on two threads.
  static constexpr std::size_t kLayeredFrom = 2'000'000;
  void drawLegend(Canvas& c, const Rect& area);

  std::vector<double> x_;
  std::vector<processing::TraceRow> y_;
  std::vector<std::string> names_;
  std::vector<bool> shown_, selected_;
  std::vector<std::uint32_t> colours_;
  std::vector<std::size_t> source_;
  XOrder xOrder_ = XOrder::Any;  // found once for all traces  // empty: sample i is data point i
  CColourWheel wheel_;
  // Whether x, or each trace's y, holds values that are gaps in the line (non-finite values
  // and log markers).
  bool xGaps_ = false;
  std::vector<bool> yGaps_;
  bool logX_ = false, logY_ = false, grid_ = false, legend_ = false, ready_ = false, descending_ = false;
  std::size_t first_ = 0, last_ = 0;
  double xMin_ = 0, xMax_ = 1, yMin_ = 0, yMax_ = 1;
  CScale xAxis_, yAxis_;
  std::string title1_ = "no title", title2_ = "no title", heading_;
  Font font_;
  Rect area_ = plotArea(640, 480);
  bool dragging_ = false, zoomed_ = false;
  Point dragStart_, dragEnd_;
  std::optional<Rect> previous_;
  std::size_t cursor_ = 0;
};

}  // namespace lumatix::plot
