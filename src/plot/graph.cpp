#include "plot/graph.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <limits>
#include <stdexcept>
#include <thread>

#include "plot/column_reduction.h"

namespace lumatix::plot {
namespace {

constexpr double kLeft = 80, kRight = 24, kTop = 36, kBottom = 56, kLegendWidth = 170;

std::string tickLabel(double t, bool logarithmic) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", logarithmic ? std::pow(10.0, t) : t);
  return text;
}

// Major tick positions between lo and hi, as the axis labels show them.
std::vector<double> majorTicks(double lo, double hi, double step) {
  std::vector<double> ticks;
  if (!(step > 0) || !std::isfinite(lo) || !std::isfinite(hi) || (hi - lo) / step > 1000) return ticks;
  double start = lo - std::fmod(lo, step);
  for (int k = 0;; ++k) {
    double t = start + k * step;
    if (t > hi) break;
    if (t < lo) continue;
    ticks.push_back(std::fabs(t) < 1e-11 ? 0.0 : t);
  }
  return ticks;
}

}  // namespace

Graph::Graph() : wheel_(255, 190.0f), xAxis_(0, 1), yAxis_(0, 1) {}

void Graph::recomputeColours() {
  wheel_.Reset();
  std::vector<std::uint32_t> colours(colours_.size());
  for (int pass = 0; pass < 2; ++pass)
    for (std::size_t t = 0; t < colours.size(); ++t) {
      const bool shown = t < shown_.size() && shown_[t];
      if (shown == (pass == 0)) colours[t] = wheel_.NextColour();
    }
  colours_ = std::move(colours);
}

void Graph::SetTitles(const char* title1, const char* title2) {
  title1_ = title1 ? title1 : "no title";
  title2_ = title2 ? title2 : "no title";
}

void Graph::setSelectedRange(std::size_t first, std::size_t last) {
  first_ = first;
  last_ = last;
}

void Graph::SetData(const std::vector<double>& x, const std::vector<std::vector<double>>& y,
                    const std::vector<std::string>& names, const std::vector<bool>& shown,
                    const std::vector<bool>& selected) {
  checkSizes(x.size(), y.size(), y.empty() ? 0 : y[0].size());
  for (const auto& row : y)
    if (row.size() != x.size()) throw std::invalid_argument("Data matrix size mismatch.");
  std::vector<processing::TraceRow> rows;
  rows.reserve(y.size());
  for (const auto& row : y) rows.emplace_back(row.begin(), row.end());
  SetDataRows(x, std::move(rows), names, shown, selected);
}

void Graph::checkSizes(std::size_t points, std::size_t rows, std::size_t firstRow) {
  if (points == 0) throw std::invalid_argument("No x-axis data.");
  if (rows == 0 || firstRow == 0) throw std::invalid_argument("Data matrix is empty.");
}

void Graph::SetDataRows(std::vector<double> x, std::vector<processing::TraceRow> y,
                        const std::vector<std::string>& names, const std::vector<bool>& shown,
                        const std::vector<bool>& selected) {
  checkSizes(x.size(), y.size(), y.empty() ? 0 : y[0].size());
  for (const auto& row : y)
    if (row.size() != x.size()) throw std::invalid_argument("Data matrix size mismatch.");

  while (colours_.size() < y.size()) colours_.push_back(wheel_.NextColour());
  std::vector<double> px = std::move(x);
  std::vector<processing::TraceRow> py = std::move(y);
  std::vector<std::size_t> source;
  if (logX_) {
    std::vector<double> keptX;
    std::vector<processing::TraceRow> keptY(py.size());
    for (std::size_t i = 0; i < px.size(); ++i) {
      if (!(px[i] > 0)) continue;
      keptX.push_back(std::log10(px[i]));
      source.push_back(i);
    }
    // Nothing is given up before the data are known to be shown: the refusal keeps the
    // previous data.
    if (keptX.empty()) throw std::invalid_argument("No x-axis data after removing negative log values.");
    if (keptY.empty()) throw std::invalid_argument("No y-axis data after removing negative log values.");
    std::vector<float> kept(source.size());
    for (std::size_t t = 0; t < py.size(); ++t) {
      for (std::size_t k = 0; k < source.size(); ++k) kept[k] = py[t][source[k]];
      keptY[t] = processing::TraceRow(kept);
      py[t] = {};
    }
    px = std::move(keptX);
    py = std::move(keptY);
  }
  if (logY_)
    for (auto& row : py)
      for (float& v : row.edit()) v = v > 0 ? static_cast<float>(std::log10(static_cast<double>(v))) : kLogMarker;

  x_ = std::move(px);
  xOrder_ = orderOf(x_.data(), 0, x_.size());
  source_ = std::move(source);
  y_ = std::move(py);
  names_ = names;
  names_.resize(y_.size());
  shown_ = shown;
  shown_.resize(y_.size(), true);
  selected_ = selected;
  selected_.resize(y_.size(), false);
  first_ = 0;
  last_ = x_.size() - 1;
  cursor_ = std::min(cursor_, last_);

  // Extents come from finite values only: one infinite or NaN x would otherwise take the
  // whole axis with it. Such points are gaps in the lines.
  bool anyX = false;
  xGaps_ = false;
  for (double v : x_) {
    if (!std::isfinite(v)) {
      xGaps_ = true;
      continue;
    }
    if (!anyX || v < xMin_) xMin_ = v;
    if (!anyX || v > xMax_) xMax_ = v;
    anyX = true;
  }
  if (!anyX) xMin_ = 0, xMax_ = 1;
  if (xMax_ - xMin_ == 0.0) {
    xMax_ += 1;
    xMin_ -= 1;
  }
  descending_ = x_.back() < x_.front();
  bool any = false;
  yGaps_.assign(y_.size(), false);
  for (std::size_t t = 0; t < y_.size(); ++t) {
    // The usual trace, without gaps, takes one pass that runs on vector registers; the
    // comparisons leave NaN out of both extremes, and any gap sends the trace the long way.
    const float* row = y_[t].data();
    float lo = std::numeric_limits<float>::max(), hi = -lo;
    bool gap = false;
    for (std::size_t i = 0; i < y_[t].size(); ++i) {
      const float v = row[i];
      gap |= !(v > kLogMarker && v <= std::numeric_limits<float>::max());
      lo = v < lo ? v : lo;
      hi = v > hi ? v : hi;
    }
    if (!gap && !xGaps_) {
      if (shown_[t] && !y_[t].empty()) {
        if (!any || lo < yMin_) yMin_ = lo;
        if (!any || hi > yMax_) yMax_ = hi;
        any = true;
      }
      continue;
    }
    for (std::size_t i = 0; i < y_[t].size(); ++i) {
      const double v = y_[t][i];
      if (v == kLogMarker || !std::isfinite(v)) {
        yGaps_[t] = true;
        continue;
      }
      if (!shown_[t] || !std::isfinite(x_[i])) continue;
      if (!any || v < yMin_) yMin_ = v;
      if (!any || v > yMax_) yMax_ = v;
      any = true;
    }
  }
  if (!any) yMin_ = 0, yMax_ = 1;
  if (yMax_ - yMin_ == 0.0) {
    yMax_ += 1;
    yMin_ -= 1;
  }
  ready_ = true;
  resetRanges();
}

void Graph::resetRanges() {
  xAxis_.SetRange(xMin_, xMax_);
  resetYRange();
  zoomed_ = false;
}

// The step is chosen for the data's own range: a range widened first would get another step
// (0..1.1 gives 0.1, 0..1.1 widened by 5% a side gives 0.2) and could be lifted past the
// precision floor. The margin then only widens what is shown; the ticks are placed from the
// shown ends with that step.
void Graph::resetYRange() {
  if (!yAxis_.SetRange(yMin_, yMax_)) return;
  yAxis_.min -= marginY();
  yAxis_.max += marginY();
}

void Graph::setTraceSelection(const std::vector<bool>& selected) {
  selected_ = selected;
  selected_.resize(y_.size(), false);
}

Point Graph::toData(Point pixel) const {
  TwoDPoint p = dataToCanvas(area_).inverse().apply({pixel.x, pixel.y});
  return {p.x, p.y};
}

Point Graph::toPixel(Point data) const {
  TwoDPoint p = dataToCanvas(area_).apply({data.x, data.y});
  return {p.x, p.y};
}

bool Graph::withinMargins(Point d) const {
  return d.x >= xMin_ - marginX() && d.x <= xMax_ + marginX() && d.y >= yMin_ - marginY() &&
         d.y <= yMax_ + marginY();
}

bool Graph::beginDrag(Point pixel) {
  if (!ready_ || !withinMargins(toData(pixel))) return false;
  dragging_ = true;
  dragStart_ = dragEnd_ = pixel;
  return true;
}

bool Graph::zoomToDrag() {
  if (!ready_ || !dragging_) return false;
  dragging_ = false;
  Point end = toData(dragEnd_);
  end.x = std::clamp(end.x, xMin_, xMax_);
  if (end.y < yMin_) end.y = yMin_;
  if (end.y > yMax_) end.y = yMax_ + marginY();
  const Point start = toData(dragStart_);
  if (start.x == end.x || start.y == end.y) return false;
  const Rect before{xAxis_.min, yAxis_.min, xAxis_.max, yAxis_.max};
  const bool xSet = xAxis_.SetRange(start.x, end.x);
  const bool ySet = yAxis_.SetRange(start.y, end.y);
  if (!xSet && !ySet) return false;
  previous_ = before;
  zoomed_ = true;
  return true;
}

void Graph::zoomStep(bool in, bool onX, bool onY) {
  auto step = [in](CScale& axis) {
    const double eighth = 0.125 * (axis.max - axis.min);
    if (in)
      axis.SetRange(axis.min + eighth, axis.max - eighth);
    else
      axis.SetRange(axis.min - eighth, axis.max + eighth);
  };
  if (onX) step(xAxis_);
  if (onY) step(yAxis_);
}

std::size_t Graph::sourceIndex(std::size_t i) const { return source_.empty() ? i : source_.at(i); }

void Graph::setCursor(std::size_t index) { cursor_ = x_.empty() ? 0 : std::min(index, x_.size() - 1); }

std::size_t Graph::nearestSample(double x) const {
  std::size_t best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < x_.size(); ++i) {
    const double d = std::fabs(x_[i] - x);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

void Graph::setXRange(double from, double to) { xAxis_.SetRange(from, to); }
void Graph::setYRange(double from, double to) { yAxis_.SetRange(from, to); }

Rect Graph::plotArea(double width, double height) const {
  double right = width - kRight - (legend_ ? kLegendWidth : 0);
  return {kLeft, kTop, std::max(kLeft + 10, right), std::max(kTop + 10, height - kBottom)};
}

Transform Graph::dataToCanvas(const Rect& area) const {
  double xSpan = xAxis_.max - xAxis_.min, ySpan = yAxis_.max - yAxis_.min;
  return Transform::translation(-xAxis_.min, -yAxis_.min)
      .then(Transform::scaling(area.width() / xSpan, -area.height() / ySpan))
      .then(Transform::translation(area.left, area.bottom));
}

void Graph::Paint(Canvas& c) {
  PaintPlot(c);
  PaintDragRectangle(c);
}

void Graph::PaintPlot(Canvas& c) {
  area_ = plotArea(c.width(), c.height());
  const Rect area = area_;
  c.setClip(std::nullopt);
  c.fillRect({0, 0, c.width(), c.height()}, kWhite);
  if (!heading_.empty()) {
    Font bold = font_;
    bold.bold = true;
    c.text({(area.left + area.right) / 2, 8}, heading_, HAlign::Centre, VAlign::Top, bold, kBlack);
  }
  drawAxes(c, area);
  if (ready_) drawTraces(c, area);
  c.setClip(std::nullopt);
  c.setPen(kBlack, 1, PenStyle::Solid);
  c.moveTo({area.left, area.top});
  c.lineTo({area.right, area.top});
  c.lineTo({area.right, area.bottom});
  c.lineTo({area.left, area.bottom});
  c.lineTo({area.left, area.top});
  if (legend_ && ready_) drawLegend(c, area);
}

void Graph::PaintDragRectangle(Canvas& c) const {
  if (dragging_) {
    c.setPen(kBlack, 1, PenStyle::Dotted);
    c.moveTo(dragStart_);
    c.lineTo({dragEnd_.x, dragStart_.y});
    c.lineTo(dragEnd_);
    c.lineTo({dragStart_.x, dragEnd_.y});
    c.lineTo(dragStart_);
  }
}

void Graph::PaintTraces(Canvas& c, const Rect& area) {
  area_ = area;
  if (ready_) drawTraces(c, area);
  c.setClip(std::nullopt);
}

void Graph::drawAxes(Canvas& c, const Rect& area) {
  Transform toCanvas = dataToCanvas(area);
  auto at = [&](double x, double y) {
    TwoDPoint p = toCanvas.apply({x, y});
    return Point{p.x, p.y};
  };
  const double xLo = xAxis_.min, xHi = xAxis_.max, yLo = yAxis_.min, yHi = yAxis_.max;

  for (double t : majorTicks(xLo, xHi, xAxis_.majorStep)) {
    Point p = at(t, yLo);
    if (grid_) {
      c.setPen(kGridGrey, 1, PenStyle::Dotted);
      c.moveTo({p.x, area.bottom});
      c.lineTo({p.x, area.top});
    } else {
      c.setPen(kBlack, 1, PenStyle::Solid);
      c.moveTo({p.x, area.bottom});
      c.lineTo({p.x, area.bottom - 0.02 * area.height()});
    }
    c.text({p.x, area.bottom + 4}, tickLabel(t, logX_), HAlign::Centre, VAlign::Top, font_, kBlack);
  }
  for (double t : majorTicks(yLo, yHi, yAxis_.majorStep)) {
    Point p = at(xLo, t);
    if (grid_) {
      c.setPen(kGridGrey, 1, PenStyle::Dotted);
      c.moveTo({area.left, p.y});
      c.lineTo({area.right, p.y});
    } else {
      c.setPen(kBlack, 1, PenStyle::Solid);
      c.moveTo({area.left, p.y});
      c.lineTo({area.left + 0.02 * area.width(), p.y});
    }
    c.text({area.left - 4, p.y}, tickLabel(t, logY_), HAlign::Right, VAlign::Middle, font_, kBlack);
  }
  c.text({(area.left + area.right) / 2, area.bottom + 26}, title1_, HAlign::Centre, VAlign::Top, font_, kBlack);
  c.text({16, (area.top + area.bottom) / 2}, title2_, HAlign::Centre, VAlign::Middle, font_, kBlack, 90);
}

void Graph::drawTraces(Canvas& c, const Rect& area) {
  c.setClip(area);
  const std::size_t n = x_.size();
  const double pixelsPerUnit = area.width() / (xAxis_.max - xAxis_.min);
  // The traces share x: its pixel columns are found once for all of them.
  std::optional<ColumnRuns> columns;
  if (xOrder_ == XOrder::Monotonic) columns.emplace(x_.data(), n, xAxis_.min, pixelsPerUnit);
  const ColumnRuns* runs = columns ? &*columns : nullptr;

  // Many long traces are drawn on two processors: the later half on a layer of its own,
  // which then goes over the earlier half, so every pixel shows the last trace drawn on it,
  // as when they are drawn one by one.
  const std::size_t shown = static_cast<std::size_t>(std::count(shown_.begin(), shown_.end(), true));
  std::unique_ptr<Canvas> layer;
  if (shown >= 2 && shown * n >= kLayeredFrom && std::thread::hardware_concurrency() >= 2) layer = c.newLayer();
  if (!layer) {
    drawTraceRange(c, area, runs, 0, y_.size());
    return;
  }
  // The split that gives each half as many shown traces.
  std::size_t half = 0;
  for (std::size_t counted = 0; counted < shown / 2; ++half) counted += shown_[half];
  layer->setClip(area);
  std::exception_ptr failure;
  std::thread later([&] {
    try {
      drawTraceRange(*layer, area, runs, half, y_.size());
    } catch (...) {
      failure = std::current_exception();
    }
  });
  try {
    drawTraceRange(c, area, runs, 0, half);
  } catch (...) {
    later.join();
    throw;
  }
  later.join();
  if (failure) std::rethrow_exception(failure);
  c.mergeLayer(*layer);
}

// Draws traces from..to-1 on c; reads the graph only, so that two ranges can be drawn at once.
void Graph::drawTraceRange(Canvas& c, const Rect& area, const ColumnRuns* columns, std::size_t fromTrace,
                           std::size_t toTrace) const {
  // The transform only scales and moves: its three images of the unit points give it for
  // every point at a fraction of a matrix product's cost, which counts for millions of points.
  const Transform toCanvas = dataToCanvas(area);
  const TwoDPoint o = toCanvas.apply({0.0, 0.0}), ex = toCanvas.apply({1.0, 0.0}), ey = toCanvas.apply({0.0, 1.0});
  const double xx = ex.x - o.x, xy = ex.y - o.y, yx = ey.x - o.x, yy = ey.y - o.y;
  const double pixelsPerUnit = area.width() / (xAxis_.max - xAxis_.min);
  std::vector<std::size_t> kept;
  std::vector<Point> line;
  const std::size_t n = x_.size();

  for (std::size_t t = fromTrace; t < toTrace; ++t) {
    if (!shown_[t]) continue;
    const processing::TraceRow& y = y_[t];
    const Colour own = Colour::fromPacked(colours_[t]);
    const double width = selected_[t] ? 2.0 : 1.0;
    // Before, inside and after the selected index range; each broken at log markers.
    const std::size_t cuts[4] = {0, std::min(first_, n), std::min(last_ + 1, n), n};
    for (int piece = 0; piece < 3; ++piece) {
      std::size_t from = cuts[piece], to = cuts[piece + 1];
      if (piece > 0 && from > 0) --from;  // join the pieces
      if (to <= from) continue;
      c.setPen(piece == 1 ? own : kOutsideGrey, width, PenStyle::Solid);
      std::size_t runStart = from;
      // Only traces with log markers or non-finite values have gaps to break at; the others
      // skip the per-point test.
      const bool gaps = xGaps_ || yGaps_[t];
      for (std::size_t i = gaps ? from : to; i <= to; ++i) {
        if (i < to && y[i] != kLogMarker && std::isfinite(y[i]) && std::isfinite(x_[i])) continue;
        kept.clear();
        if (columns)
          reduceToColumns(*columns, y.data(), runStart, i, kept);
        else
          reduceToColumns(x_.data(), y.data(), runStart, i, xAxis_.min, pixelsPerUnit, kept, xOrder_);
        line.clear();
        for (std::size_t k : kept) {
          const double dx = x_[k], dy = y[k];
          line.push_back({o.x + dx * xx + dy * yx, o.y + dx * xy + dy * yy});
        }
        if (line.size() >= 2) c.polyline(line);
        runStart = i + 1;
      }
    }
  }
}

void Graph::drawLegend(Canvas& c, const Rect& area) {
  double x = area.right + 12, y = area.top + 4;
  for (std::size_t t = 0; t < y_.size() && y < area.bottom; ++t) {
    if (!shown_[t]) continue;
    c.setPen(Colour::fromPacked(colours_[t]), selected_[t] ? 3 : 2, PenStyle::Solid);
    c.moveTo({x, y + 7});
    c.lineTo({x + 22, y + 7});
    c.text({x + 28, y + 7}, names_[t], HAlign::Left, VAlign::Middle, font_, kBlack);
    y += 18;
  }
}

}  // namespace lumatix::plot
