#include "plot/line_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumatix::plot {
namespace {

constexpr double kLeft = 60, kRight = 20, kTop = 10, kBottom = 40;
const Font kFont{"Arial", 8.0, false};

// The tick-label format for a number of decimals: the template "%%0.%uf" filled with it.
std::string labelFormat(unsigned decimals) {
  char format[32];
  std::snprintf(format, sizeof format, "%%0.%uf", std::min(decimals, 15u));
  return format;
}

std::string label(const std::string& format, double v) {
  char text[64];
  // format is only ever made by labelFormat.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(text, sizeof text, format.c_str(), v);
#pragma GCC diagnostic pop
  return text;
}

// The fewest decimals that write every multiple of the axis's major step exactly.
unsigned stepDecimals(const CScale& axis) {
  if (!axis.valid || !(axis.majorStep > 0) || !std::isfinite(axis.majorStep)) return 2;
  for (unsigned d = 0; d < 12; ++d) {
    const double scaled = axis.majorStep * std::pow(10.0, d);
    if (std::fabs(scaled - std::round(scaled)) <= 1e-6 * scaled) return d;
  }
  return 12;
}

// Major tick positions of an axis that fall inside its range.
std::vector<double> ticks(const CScale& axis) {
  std::vector<double> out;
  if (!axis.valid || !(axis.majorStep > 0)) return out;
  for (std::int32_t k = 0; k < axis.majorCount && k < 1000; ++k) {
    const double t = axis.firstMajor + k * axis.majorStep;
    if (t >= axis.min && t <= axis.max) out.push_back(std::fabs(t) < 1e-11 ? 0.0 : t);
  }
  return out;
}

// Keeps, of the points that fall into one pixel column one after another, only the first, the
// highest, the lowest and the last, in their order: the polyline through them lights the same
// pixels, and a long trace costs a few points per column to draw. Points come one at a time as
// data; only the kept ones are turned into pixels.
template <typename ToPixel>
class ColumnReducer {
 public:
  ColumnReducer(std::vector<Point>& out, ToPixel toPixel) : out_(out), toPixel_(toPixel) {}
  ~ColumnReducer() { flush(); }
  void add(double column, double x, double y) {
    if (!open_ || column != column_) {
      flush();
      open_ = true;
      column_ = column;
      first_ = top_ = bottom_ = last_ = {x, y, index_};
    } else {
      last_ = {x, y, index_};
      // Up the screen is up the data: the pixel row falls as y grows.
      if (y > top_.y) top_ = last_;
      if (y < bottom_.y) bottom_ = last_;
    }
    ++index_;
  }

 private:
  struct Indexed {
    double x = 0, y = 0;
    std::size_t index = 0;
  };
  void flush() {
    if (!open_) return;
    const bool topFirst = top_.index < bottom_.index;
    const Indexed keep[4] = {first_, topFirst ? top_ : bottom_, topFirst ? bottom_ : top_, last_};
    std::size_t previous = SIZE_MAX;
    for (const Indexed& k : keep)
      if (k.index != previous) out_.push_back(toPixel_(k.x, k.y)), previous = k.index;
    open_ = false;
  }

  std::vector<Point>& out_;
  ToPixel toPixel_;
  bool open_ = false;
  double column_ = 0.0;
  Indexed first_, top_, bottom_, last_;
  std::size_t index_ = 0;
};

// The pixels of a plot area that already carry a mark: a dotted trace of many points costs
// one mark per pixel, not one per point.
class PixelSet {
 public:
  explicit PixelSet(const Rect& area)
      : left_(std::floor(area.left)), top_(std::floor(area.top)),
        width_(static_cast<std::size_t>(std::max(0.0, std::floor(area.right) - left_ + 1))),
        height_(static_cast<std::size_t>(std::max(0.0, std::floor(area.bottom) - top_ + 1))),
        taken_(width_ * height_, false) {}
  // False when the pixel of p was marked before (or lies outside the area).
  bool insert(Point p) {
    const double col = std::floor(p.x) - left_, row = std::floor(p.y) - top_;
    if (!(col >= 0 && row >= 0)) return false;
    const auto c = static_cast<std::size_t>(col), r = static_cast<std::size_t>(row);
    if (c >= width_ || r >= height_ || taken_[r * width_ + c]) return false;
    taken_[r * width_ + c] = true;
    return true;
  }

 private:
  double left_, top_;
  std::size_t width_, height_;
  std::vector<bool> taken_;
};

}  // namespace

CLinePlot::CLinePlot() : xAxis_(0, 1), yAxis_(0, 1), xFormat_(labelFormat(2)), yFormat_(labelFormat(2)) {}

void CLinePlot::SetTrace(const std::string& name, const std::vector<std::pair<float, float>>& points,
                         std::uint32_t colour) {
  // Copied into the trace's own storage, which a trace replaced again and again (a preview)
  // keeps: fresh memory for every replacement costs more than the copy.
  traceNamed(name).points.assign(points.begin(), points.end());
  traceReplaced(name, colour);
}

void CLinePlot::SetTrace(const std::string& name, std::vector<std::pair<float, float>>&& points,
                         std::uint32_t colour) {
  traceNamed(name).points = std::move(points);
  traceReplaced(name, colour);
}

CPlotData& CLinePlot::traceNamed(const std::string& name) {
  auto it = std::find_if(traces_.begin(), traces_.end(), [&](const CPlotData& d) { return d.name == name; });
  if (it != traces_.end()) return *it;
  traces_.push_back({name, 0, kLineStyleLines, {}, 0.0f, 0.0f});
  cache_.emplace_back();
  return traces_.back();
}

void CLinePlot::traceReplaced(const std::string& name, std::uint32_t colour) {
  auto it = std::find_if(traces_.begin(), traces_.end(), [&](const CPlotData& d) { return d.name == name; });
  it->colour = colour;
  TraceCache& cache = cache_[static_cast<std::size_t>(it - traces_.begin())];
  cache.any = false;
  cache.drawnWidth = -1;  // drawn again at the next paint
  bool any = false;
  for (const auto& [x, y] : it->points) {
    if (!std::isfinite(y)) continue;
    if (!any || y < it->minY) it->minY = y;
    if (!any || y > it->maxY) it->maxY = y;
    any = true;
    if (!std::isfinite(x)) continue;
    if (!cache.any) {
      cache.x0 = cache.x1 = x;
      cache.y0 = cache.y1 = y;
      cache.any = true;
    }
    cache.x0 = std::min(cache.x0, x), cache.x1 = std::max(cache.x1, x);
    cache.y0 = std::min(cache.y0, y), cache.y1 = std::max(cache.y1, y);
  }
  if (!any) it->minY = it->maxY = 0.0f;
  fitExtents();
}

bool CLinePlot::RemoveTrace(const std::string& name) {
  auto it = std::find_if(traces_.begin(), traces_.end(), [&](const CPlotData& d) { return d.name == name; });
  if (it == traces_.end()) return false;
  const int removed = static_cast<int>(it - traces_.begin());
  traces_.erase(it);
  cache_.erase(cache_.begin() + removed);
  if (highlightTrace_ == removed) highlightTrace_ = highlightPoint_ = -1;
  else if (highlightTrace_ > removed) --highlightTrace_;
  fitExtents();
  return true;
}

bool CLinePlot::SetLineStyle(const std::string& name, int style) {
  for (auto& d : traces_)
    if (d.name == name) {
      d.lineStyle = style;
      return true;
    }
  return false;
}

void CLinePlot::fitExtents() {
  float x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  bool any = false;
  for (const TraceCache& t : cache_) {
    if (!t.any) continue;
    if (!any) {
      x0 = t.x0, x1 = t.x1, y0 = t.y0, y1 = t.y1;
      any = true;
    }
    x0 = std::min(x0, t.x0), x1 = std::max(x1, t.x1), y0 = std::min(y0, t.y0), y1 = std::max(y1, t.y1);
  }
  if (!any) return;
  if (x1 == x0) x0 -= 1, x1 += 1;
  if (y1 == y0) y0 -= 1, y1 += 1;
  // A view the person zoomed stays where it is while traces are replaced under it (a fit's
  // preview moving at every step); an unzoomed one follows the extents.
  const bool following = view_ == extents_;
  if (!xFixed_) extents_.xFrom = x0, extents_.xTo = x1;
  if (!yFixed_) extents_.yFrom = y0, extents_.yTo = y1;
  if (following) setView(extents_);
}

bool CLinePlot::SetXRange(float from, float to) {
  if (!(from != to) || !std::isfinite(from) || !std::isfinite(to)) return false;
  extents_.xFrom = std::min(from, to), extents_.xTo = std::max(from, to);
  xFixed_ = true;
  setView({extents_.xFrom, extents_.xTo, view_.yFrom, view_.yTo});
  return true;
}

bool CLinePlot::SetYRange(float from, float to) {
  if (!(from != to) || !std::isfinite(from) || !std::isfinite(to)) return false;
  extents_.yFrom = std::min(from, to), extents_.yTo = std::max(from, to);
  yFixed_ = true;
  setView({view_.xFrom, view_.xTo, extents_.yFrom, extents_.yTo});
  return true;
}

void CLinePlot::setView(const PlotView& v) {
  view_ = v;
  xAxis_.SetRange(v.xFrom, v.xTo);
  yAxis_.SetRange(v.yFrom, v.yTo);
}

void CLinePlot::zoom(int mask, float fraction) {
  undo_.push_back(view_);
  PlotView v = view_;
  if (mask & kZoomX) {
    const float d = fraction * (v.xTo - v.xFrom);
    v.xFrom += d, v.xTo -= d;
  }
  if (mask & kZoomY) {
    const float d = fraction * (v.yTo - v.yFrom);
    v.yFrom += d, v.yTo -= d;
  }
  setView(v);
}

void CLinePlot::ZoomIn(int mask) { zoom(mask, 0.125f); }
void CLinePlot::ZoomOut(int mask) { zoom(mask, -0.125f); }

void CLinePlot::ResetZoom() {
  undo_.push_back(view_);
  setView(extents_);
}

bool CLinePlot::UndoZoom() {
  if (undo_.empty()) return false;
  setView(undo_.back());
  undo_.pop_back();
  return true;
}

void CLinePlot::SetTitles(std::string x, std::string y) {
  xTitle_ = std::move(x);
  yTitle_ = std::move(y);
}

void CLinePlot::SetDecimals(unsigned x, unsigned y) {
  xFormat_ = labelFormat(x);
  yFormat_ = labelFormat(y);
}

void CLinePlot::SetHighlight(int trace, int point) {
  highlightTrace_ = trace;
  highlightPoint_ = point;
}

std::string CLinePlot::CoordinatesText() const {
  if (!showCoordinates_ || highlightTrace_ < 0 || static_cast<std::size_t>(highlightTrace_) >= traces_.size())
    return {};
  const auto& points = traces_[static_cast<std::size_t>(highlightTrace_)].points;
  if (highlightPoint_ < 0 || static_cast<std::size_t>(highlightPoint_) >= points.size()) return {};
  const auto [x, y] = points[static_cast<std::size_t>(highlightPoint_)];
  char text[96];
  std::snprintf(text, sizeof text, "X: %0.3g    Y: %0.3g", static_cast<double>(x), static_cast<double>(y));
  return text;
}

const std::vector<Point>& CLinePlot::drawnPoints(std::size_t t, double width, double height) {
  const CPlotData& d = traces_[t];
  TraceCache& cache = cache_[t];
  if (cache.drawnFor == view_ && cache.drawnWidth == width && cache.drawnHeight == height &&
      cache.drawnStyle == d.lineStyle)
    return cache.drawn;
  cache.drawn.clear();
  cache.drawnFor = view_;
  cache.drawnWidth = width;
  cache.drawnHeight = height;
  cache.drawnStyle = d.lineStyle;
  // PixelOf with the area and scales worked out once for the whole trace.
  const Rect area = plotArea(width, height);
  const double sx = area.width() / (view_.xTo - view_.xFrom), sy = area.height() / (view_.yTo - view_.yFrom);
  const double xFrom = view_.xFrom, yFrom = view_.yFrom;
  const auto pixel = [&](double x, double y) { return Point{area.left + (x - xFrom) * sx, area.bottom - (y - yFrom) * sy}; };
  if (d.lineStyle == kLineStyleLines) {
    ColumnReducer reducer(cache.drawn, pixel);
    for (const auto& [x, y] : d.points)
      if (std::isfinite(x) && std::isfinite(y)) reducer.add(std::floor(area.left + (x - xFrom) * sx), x, y);
  } else {
    for (const auto& [x, y] : d.points)
      if (std::isfinite(x) && std::isfinite(y)) cache.drawn.push_back(pixel(x, y));
  }
  return cache.drawn;
}

std::optional<Point> CLinePlot::highlightedPixel(double width, double height) const {
  if (highlightTrace_ < 0 || static_cast<std::size_t>(highlightTrace_) >= traces_.size()) return std::nullopt;
  const auto& points = traces_[static_cast<std::size_t>(highlightTrace_)].points;
  if (highlightPoint_ < 0 || static_cast<std::size_t>(highlightPoint_) >= points.size()) return std::nullopt;
  const auto [x, y] = points[static_cast<std::size_t>(highlightPoint_)];
  if (!std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
  return PixelOf(x, y, width, height);
}

std::string CLinePlot::ExtentText() const {
  if (highlightTrace_ < 0 || static_cast<std::size_t>(highlightTrace_) >= traces_.size()) return {};
  const CPlotData& d = traces_[static_cast<std::size_t>(highlightTrace_)];
  char text[96];
  std::snprintf(text, sizeof text, "Min: %.3g    Max: %.3g", static_cast<double>(d.minY), static_cast<double>(d.maxY));
  return text;
}

Rect CLinePlot::plotArea(double width, double height) const {
  return {kLeft, kTop, std::max(kLeft + 10, width - kRight), std::max(kTop + 10, height - kBottom)};
}

Point CLinePlot::PixelOf(double x, double y, double width, double height) const {
  const Rect area = plotArea(width, height);
  const double sx = area.width() / (view_.xTo - view_.xFrom), sy = area.height() / (view_.yTo - view_.yFrom);
  return {area.left + (x - view_.xFrom) * sx, area.bottom - (y - view_.yFrom) * sy};
}

std::pair<double, double> CLinePlot::DataAt(Point pixel, double width, double height) const {
  const Rect area = plotArea(width, height);
  const double xSpan = view_.xTo - view_.xFrom, ySpan = view_.yTo - view_.yFrom;
  return {view_.xFrom + (pixel.x - area.left) / area.width() * xSpan,
          view_.yFrom + (area.bottom - pixel.y) / area.height() * ySpan};
}

std::pair<int, int> CLinePlot::NearestPoint(Point pixel, double width, double height, double maxDistance) const {
  const Rect area = plotArea(width, height);
  if (!area.contains(pixel)) return {-1, -1};
  std::pair<int, int> best{-1, -1};
  double bestDistance = maxDistance * maxDistance;
  for (std::size_t t = 0; t < traces_.size(); ++t) {
    const auto& points = traces_[t].points;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const auto [x, y] = points[i];
      if (!std::isfinite(x) || !std::isfinite(y)) continue;
      const Point p = PixelOf(x, y, width, height);
      const double d = (p.x - pixel.x) * (p.x - pixel.x) + (p.y - pixel.y) * (p.y - pixel.y);
      if (d <= bestDistance) {
        bestDistance = d;
        best = {static_cast<int>(t), static_cast<int>(i)};
      }
    }
  }
  return best;
}

void CLinePlot::Paint(Canvas& c) {
  const Rect area = plotArea(c.width(), c.height());
  auto at = [&](double x, double y) { return PixelOf(x, y, c.width(), c.height()); };
  c.setClip(std::nullopt);
  c.fillRect({0, 0, c.width(), c.height()}, kWhite);
  c.fillRect(area, kWhite);

  if (decimalsFromTicks_) {
    xFormat_ = labelFormat(stepDecimals(xAxis_));
    yFormat_ = labelFormat(stepDecimals(yAxis_));
  }
  for (double t : ticks(xAxis_)) {
    const double px = at(t, view_.yFrom).x;
    c.setPen(kLinePlotGrid, 1, PenStyle::Solid);
    c.moveTo({px, area.top});
    c.lineTo({px, area.bottom});
    c.text({px, area.bottom + 3}, label(xFormat_, t), HAlign::Centre, VAlign::Top, kFont, kBlack);
  }
  for (double t : ticks(yAxis_)) {
    const double py = at(view_.xFrom, t).y;
    c.setPen(kLinePlotGrid, 1, PenStyle::Solid);
    c.moveTo({area.left, py});
    c.lineTo({area.right, py});
    c.text({area.left - 3, py}, label(yFormat_, t), HAlign::Right, VAlign::Middle, kFont, kBlack);
  }
  c.text({(area.left + area.right) / 2, area.bottom + 18}, xTitle_, HAlign::Centre, VAlign::Top, kFont, kBlack);
  c.text({12, (area.top + area.bottom) / 2}, yTitle_, HAlign::Centre, VAlign::Middle, kFont, kBlack, 90);

  c.setPen(kBlack, 1, PenStyle::Solid);
  c.moveTo({area.left, area.top});
  c.lineTo({area.right, area.top});
  c.lineTo({area.right, area.bottom});
  c.lineTo({area.left, area.bottom});
  c.lineTo({area.left, area.top});

  c.setClip(area);
  for (std::size_t t = 0; t < traces_.size(); ++t) {
    const CPlotData& d = traces_[t];
    const Colour colour = Colour::fromPacked(d.colour);
    const std::vector<Point>& line = drawnPoints(t, c.width(), c.height());
    c.setPen(colour, 1, PenStyle::Solid);
    if (d.lineStyle != kLineStyleDots) c.polyline(line);
    if (d.lineStyle == kLineStyleDots || d.lineStyle == kLineStyleLinesAndPoints) {
      const double r = d.lineStyle == kLineStyleDots ? 1.0 : 2.0;
      PixelSet marked(area);
      for (const Point& p : line)
        if (area.contains(p) && marked.insert(p)) c.fillRect({p.x - r, p.y - r, p.x + r, p.y + r}, colour);
    }
  }
  if (const auto p = highlightedPixel(c.width(), c.height())) {
    // The point under the pointer, framed.
    c.setPen(kBlack, 1, PenStyle::Solid);
    c.moveTo({p->x - 3, p->y - 3});
    c.lineTo({p->x + 3, p->y - 3});
    c.lineTo({p->x + 3, p->y + 3});
    c.lineTo({p->x - 3, p->y + 3});
    c.lineTo({p->x - 3, p->y - 3});
  }
  c.setClip(std::nullopt);

  // The read-outs sit on the traces: each on a white ground of its own, so that it reads.
  const std::string coordinates = CoordinatesText(), extent = ExtentText();
  const double textHeight = kFont.points * 96.0 / 72.0 + 2;
  if (!coordinates.empty()) {
    c.fillRect({area.left + 1, area.bottom - 1 - textHeight, area.left + 1 + c.textWidth(coordinates, kFont), area.bottom - 1},
               kWhite);
    c.text({area.left + 1, area.bottom - 1}, coordinates, HAlign::Left, VAlign::Bottom, kFont, kBlack);
  }
  if (!extent.empty()) {
    c.fillRect({area.right - 1 - c.textWidth(extent, kFont), area.bottom - 1 - textHeight, area.right - 1, area.bottom - 1},
               kWhite);
    c.text({area.right - 1, area.bottom - 1}, extent, HAlign::Right, VAlign::Bottom, kFont, kBlack);
  }
}

}  // namespace lumatix::plot
