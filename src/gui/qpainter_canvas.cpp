#include "gui/qpainter_canvas.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cstdint>
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

// Liang-Barsky: cuts the segment a-b to the box, false when nothing of it is inside.
bool clipSegment(double& ax, double& ay, double& bx, double& by, double left, double top, double right,
                 double bottom) {
  double t0 = 0.0, t1 = 1.0;
  const double dx = bx - ax, dy = by - ay;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {ax - left, right - ax, ay - top, bottom - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0.0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
  }
  const double x0 = ax + t0 * dx, y0 = ay + t0 * dy;
  bx = ax + t1 * dx;
  by = ay + t1 * dy;
  ax = x0;
  ay = y0;
  return true;
}

}  // namespace

// Long traces reduced to pixel columns still leave thousands of short segments per trace; the
// raster engine strokes each as a path (a wide pen costs it a polygon per segment), which costs
// far more than setting their pixels. A pen of w pixels sets w neighbours across the line.
bool QPainterCanvas::polylineIntoImage(std::span<const plot::Point> points) {
  if (!solidPen_ || painter_.renderHints().testFlag(QPainter::Antialiasing)) return false;
  QImage* image = writableImage();
  if (image == nullptr) return false;
  if (painter_.hasClipping() && !clip_) return false;
  double left = 0, top = 0, right = image->width() - 1, bottom = image->height() - 1;
  if (clip_) {
    left = std::max(left, std::ceil(clip_->left));
    top = std::max(top, std::ceil(clip_->top));
    right = std::min(right, std::floor(clip_->right) - 1);
    bottom = std::min(bottom, std::floor(clip_->bottom) - 1);
  }
  if (right < left || bottom < top) return true;
  const QRgb colour = pen_.color().rgba() | 0xff000000u;
  uchar* bits = image->bits();
  const qsizetype stride = image->bytesPerLine();
  const int il = static_cast<int>(left), it = static_cast<int>(top), ir = static_cast<int>(right),
            ib = static_cast<int>(bottom);
  const int extra = penPixels_ - 1;
  for (std::size_t k = 1; k < points.size(); ++k) {
    double ax = points[k - 1].x, ay = points[k - 1].y, bx = points[k].x, by = points[k].y;
    // Pixel (i, j) covers [i, i + 1) x [j, j + 1), as for the raster engine's aliased lines.
    // Most segments of a plot lie inside the box and need no clipping (nor its divisions);
    // the comparisons fail for NaN, so only finite ends are let through unclipped.
    const bool inside = ax >= left && ax <= right + 0.999 && bx >= left && bx <= right + 0.999 && ay >= top &&
                        ay <= bottom + 0.999 && by >= top && by <= bottom + 0.999;
    if (!inside) {
      if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by)) continue;
      if (!clipSegment(ax, ay, bx, by, left, top, right + 0.999, bottom + 0.999)) continue;
    }
    // Both ends now lie in the box, and so does every pixel between them: one pixel per step
    // along the longer axis, the other co-ordinate in 16.16 fixed point. Only the pen's extra
    // pixels across the line can leave the box.
    // The box lies at non-negative co-ordinates, where truncation is the floor.
    const int x0 = std::clamp(static_cast<int>(ax), il, ir), y0 = std::clamp(static_cast<int>(ay), it, ib);
    const int x1 = std::clamp(static_cast<int>(bx), il, ir), y1 = std::clamp(static_cast<int>(by), it, ib);
    const int dx = x1 - x0, dy = y1 - y0;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    if (std::abs(dy) >= std::abs(dx)) {
      // Steep: a pixel per row; the pen widens rightwards.
      const qsizetype rowStep = dy >= 0 ? stride : -stride;
      // Most segments of a dense trace stand within one pixel column: no division for them.
      const std::int64_t xStep = dx == 0 ? 0 : (static_cast<std::int64_t>(dx) << 16) / steps;
      std::int64_t x = (static_cast<std::int64_t>(x0) << 16) + (1 << 15);
      uchar* row = bits + y0 * stride;
      for (int i = 0; i <= steps; ++i, row += rowStep, x += xStep) {
        const int px = static_cast<int>(x >> 16);
        auto* line = reinterpret_cast<QRgb*>(row);
        line[px] = colour;
        for (int w = 1; w <= extra && px + w <= ir; ++w) line[px + w] = colour;
      }
    } else {
      // Shallow: a pixel per column; the pen widens downwards.
      const int xStep = dx >= 0 ? 1 : -1;
      const std::int64_t yStep = dy == 0 ? 0 : (static_cast<std::int64_t>(dy) << 16) / steps;
      std::int64_t y = (static_cast<std::int64_t>(y0) << 16) + (1 << 15);
      for (int i = 0, px = x0; i <= steps; ++i, px += xStep, y += yStep) {
        const int py = static_cast<int>(y >> 16);
        reinterpret_cast<QRgb*>(bits + py * stride)[px] = colour;
        for (int w = 1; w <= extra && py + w <= ib; ++w) reinterpret_cast<QRgb*>(bits + (py + w) * stride)[px] = colour;
      }
    }
  }
  return true;
}

QImage* QPainterCanvas::writableImage() const {
  if (painter_.device() == nullptr || painter_.device()->devType() != QInternal::Image) return nullptr;
  auto* image = static_cast<QImage*>(painter_.device());
  if (image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32_Premultiplied)
    return nullptr;
  // Writing the pixels must neither copy the image nor miss a transform the painter has.
  if (!image->isDetached() || !painter_.deviceTransform().isIdentity() || image->devicePixelRatio() != 1.0)
    return nullptr;
  return image;
}

namespace {

// The picture and painter of a layer, made before the canvas that draws with them.
struct LayerSurface {
  explicit LayerSurface(QSize size) : image(size, QImage::Format_ARGB32_Premultiplied) {
    image.fill(Qt::transparent);
    painter.begin(&image);
  }
  QImage image;
  QPainter painter;
};

class LayerCanvas : private LayerSurface, public QPainterCanvas {
 public:
  LayerCanvas(QSize size, double width, double height)
      : LayerSurface(size), QPainterCanvas(LayerSurface::painter, width, height) {}
  // The finished picture; the layer draws no more.
  const QImage& finish() {
    flush();
    LayerSurface::painter.end();
    return image;
  }
};

}  // namespace

std::unique_ptr<plot::Canvas> QPainterCanvas::newLayer() {
  const QImage* image = writableImage();
  if (image == nullptr || image->isNull()) return nullptr;
  auto layer = std::make_unique<LayerCanvas>(image->size(), width_, height_);
  return layer;
}

void QPainterCanvas::mergeLayer(plot::Canvas& layer) {
  auto* drawn = dynamic_cast<LayerCanvas*>(&layer);
  if (drawn == nullptr) return;
  flush();
  const QImage& picture = drawn->finish();
  painter_.save();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.drawImage(QPointF(0, 0), picture);
  painter_.restore();
}

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
  solidPen_ = style == plot::PenStyle::Solid && width <= 3.0;
  penPixels_ = std::max(1, static_cast<int>(std::lround(width)));
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
  if (polylineIntoImage(points)) return;
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
  clip_ = clip;
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
