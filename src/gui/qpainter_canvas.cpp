#include "gui/qpainter_canvas.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace lumatix::gui {
namespace {

// Qt's raster engine misbehaves on co-ordinates far outside the device; the graph clips, but a
// non-finite or huge value must never reach the painter.
constexpr double kLimit = 1.0e6;

QPointF toQPoint(plot::Point p) {
  auto clamp = [](double v) { return std::isfinite(v) ? std::clamp(v, -kLimit, kLimit) : 0.0; };
  return {clamp(p.x), clamp(p.y)};
}

}  // namespace

QPainterCanvas::QPainterCanvas(QPainter& painter, double width, double height)
    : painter_(painter), width_(width), height_(height) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  setPen(plot::kBlack, 1.0, plot::PenStyle::Solid);
}

QPainterCanvas::~QPainterCanvas() { flush(); }

QFont QPainterCanvas::toQFont(const plot::Font& font) {
  QFont f(QString::fromStdString(font.face));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(font.points);
  f.setBold(font.bold);
  return f;
}

void QPainterCanvas::flush() {
  if (pathHasLines_) {
    painter_.setPen(pen_);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(path_);
  }
  path_.clear();
  pathHasLines_ = false;
}

void QPainterCanvas::fillRect(const plot::Rect& r, plot::Colour c) {
  flush();
  QPointF topLeft = toQPoint({r.left, r.top}), bottomRight = toQPoint({r.right, r.bottom});
  painter_.fillRect(QRectF(topLeft, bottomRight), toQColor(c));
}

void QPainterCanvas::setPen(plot::Colour c, double width, plot::PenStyle style) {
  flush();
  pen_ = QPen(toQColor(c));
  // A cosmetic pen keeps its pixel width under any painter transform (printing scales it).
  pen_.setWidthF(width <= 1.0 ? 0.0 : width);
  pen_.setCosmetic(true);
  pen_.setCapStyle(Qt::FlatCap);
  pen_.setJoinStyle(Qt::MiterJoin);
  if (style == plot::PenStyle::Dotted) pen_.setDashPattern({1.0, 2.0});
}

void QPainterCanvas::moveTo(plot::Point p) { path_.moveTo(toQPoint(p)); }

void QPainterCanvas::lineTo(plot::Point p) {
  if (path_.elementCount() == 0) path_.moveTo(toQPoint(p));
  path_.lineTo(toQPoint(p));
  pathHasLines_ = true;
}

void QPainterCanvas::polyline(std::span<const plot::Point> points) {
  flush();
  if (points.size() < 2) return;
  scratch_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) scratch_[i] = toQPoint(points[i]);
  painter_.setPen(pen_);
  painter_.drawPolyline(scratch_.data(), static_cast<int>(scratch_.size()));
}

void QPainterCanvas::text(plot::Point at, const std::string& text, plot::HAlign h, plot::VAlign v,
                          const plot::Font& font, plot::Colour c, double angle) {
  flush();
  QFont qfont = toQFont(font);
  QString s = QString::fromStdString(text);
  QFontMetricsF metrics(qfont, painter_.device());
  double w = metrics.horizontalAdvance(s);
  double dx = h == plot::HAlign::Left ? 0.0 : h == plot::HAlign::Centre ? -w / 2.0 : -w;
  double dy = v == plot::VAlign::Top      ? metrics.ascent()
              : v == plot::VAlign::Middle ? (metrics.ascent() - metrics.descent()) / 2.0
                                          : -metrics.descent();
  painter_.save();
  painter_.setFont(qfont);
  painter_.setPen(toQColor(c));
  painter_.translate(toQPoint(at));
  if (angle != 0.0) painter_.rotate(-angle);
  painter_.drawText(QPointF(dx, dy), s);
  painter_.restore();
}

void QPainterCanvas::setClip(const std::optional<plot::Rect>& clip) {
  flush();
  if (!clip) {
    painter_.setClipping(false);
    return;
  }
  QPointF topLeft = toQPoint({clip->left, clip->top}), bottomRight = toQPoint({clip->right, clip->bottom});
  painter_.setClipRect(QRectF(topLeft, bottomRight));
}

double QPainterCanvas::textWidth(const std::string& text, const plot::Font& font) const {
  QFontMetricsF metrics(toQFont(font), painter_.device());
  return metrics.horizontalAdvance(QString::fromStdString(text));
}

}  // namespace lumatix::gui
