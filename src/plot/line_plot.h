#pragma once
// CLinePlot: the small plot inside dialogs (the fitting preview and its residuals). Named
// traces, a grey grid, a frame, zooming with an undo stack, and two read-outs: the
// highlighted point's co-ordinates and the highlighted trace's y extent.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "plot/canvas.h"
#include "plot/scale.h"

namespace lumatix::plot {

// How a trace is drawn.
inline constexpr int kLineStyleLines = 0;
inline constexpr int kLineStyleDots = 2;
inline constexpr int kLineStyleLinesAndPoints = 4;

// Zoom masks.
inline constexpr int kZoomX = 1;
inline constexpr int kZoomY = 2;
inline constexpr int kZoomBoth = 3;

struct CPlotData {
  std::string name;
  std::uint32_t colour = 0;  // red | green << 8 | blue << 16
  int lineStyle = kLineStyleLines;
  std::vector<std::pair<float, float>> points;  // (x, y)
  float minY = 0.0f, maxY = 0.0f;
};

struct PlotView {
  float xFrom = 0.0f, xTo = 1.0f, yFrom = 0.0f, yTo = 1.0f;
  friend bool operator==(const PlotView&, const PlotView&) = default;
};

class CLinePlot {
 public:
  CLinePlot();

  // Adds a trace, or replaces the points and colour of the trace of that name (keeping its
  // line style). The full extents grow to take in every trace, and the view shows them.
  // A view that was zoomed away from the extents stays as it is.
  void SetTrace(const std::string& name, const std::vector<std::pair<float, float>>& points,
                std::uint32_t colour);
  void SetTrace(const std::string& name, std::vector<std::pair<float, float>>&& points, std::uint32_t colour);
  // False when there is no trace of that name.
  bool RemoveTrace(const std::string& name);
  bool SetLineStyle(const std::string& name, int style);
  const std::vector<CPlotData>& traces() const { return traces_; }

  // Fixes the full extents of an axis (and shows them); a range of equal ends is refused.
  bool SetXRange(float from, float to);
  bool SetYRange(float from, float to);

  // Each zoom first keeps the current view on the undo stack. mask: kZoomX, kZoomY or both.
  void ZoomIn(int mask);
  void ZoomOut(int mask);
  void ResetZoom();
  // Back to the view before the last zoom; false when there is none.
  bool UndoZoom();
  const PlotView& view() const { return view_; }
  const PlotView& extents() const { return extents_; }
  std::size_t undoDepth() const { return undo_.size(); }

  void SetTitles(std::string x, std::string y);
  // Decimals of the tick labels of each axis (2 by default).
  void SetDecimals(unsigned x, unsigned y);
  // Instead: as many decimals as the tick step of the view needs (0.0025 gets four), so that
  // the labels of a small range or a zoomed view stay distinct.
  void SetDecimalsFromTicks(bool on) { decimalsFromTicks_ = on; }
  // The highlighted trace (-1 none) and point; the read-outs follow them, and the point is
  // drawn framed.
  void SetHighlight(int trace, int point);
  std::pair<int, int> highlight() const { return {highlightTrace_, highlightPoint_}; }
  void SetShowCoordinates(bool on) { showCoordinates_ = on; }

  // The read-out texts for the current highlight, empty when there is none to show.
  std::string CoordinatesText() const;
  std::string ExtentText() const;

  void Paint(Canvas& canvas);
  // The plot area for a canvas of the given size.
  Rect plotArea(double width, double height) const;

  // The mapping between the pixels of a canvas of the given size and the data of the current
  // view; pixels outside the plot area map onto the view's extension.
  Point PixelOf(double x, double y, double width, double height) const;
  std::pair<double, double> DataAt(Point pixel, double width, double height) const;
  // The trace and point drawn nearest to a pixel inside the plot area, within maxDistance
  // pixels; (-1, -1) when there is none.
  std::pair<int, int> NearestPoint(Point pixel, double width, double height, double maxDistance = 8.0) const;

 private:
  void zoom(int mask, float fraction);
  void fitExtents();
  void setView(const PlotView& v);
  // The pixel of the highlighted point, nullopt when no point is highlighted.
  std::optional<Point> highlightedPixel(double width, double height) const;

  // The pixels a trace is drawn through (for lines, a few per pixel column) for one view and
  // canvas size, kept until the trace, its style, the view or the size change: a paint that
  // only moves the highlight does not go through a long trace again.
  const std::vector<Point>& drawnPoints(std::size_t trace, double width, double height);
  // The trace of that name, added when there is none; then its extent after its points changed.
  CPlotData& traceNamed(const std::string& name);
  void traceReplaced(const std::string& name, std::uint32_t colour);

  // Per trace, beside traces_: the extent of its finite points and what it was drawn through.
  struct TraceCache {
    bool any = false;
    float x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    PlotView drawnFor;
    double drawnWidth = -1, drawnHeight = -1;
    int drawnStyle = -1;
    std::vector<Point> drawn;
  };

  std::vector<CPlotData> traces_;
  std::vector<TraceCache> cache_;
  PlotView view_, extents_;
  std::vector<PlotView> undo_;
  bool xFixed_ = false, yFixed_ = false;
  CScale xAxis_, yAxis_;
  std::string xTitle_ = "X Axis", yTitle_ = "Y Axis";
  std::string xFormat_, yFormat_;
  bool decimalsFromTicks_ = false;
  int highlightTrace_ = -1, highlightPoint_ = -1;
  bool showCoordinates_ = true;
};

}  // namespace lumatix::plot
