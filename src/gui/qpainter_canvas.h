#pragma once
// A plot::Canvas that draws with QPainter: on a widget, a QImage (PNG files, window
// pictures), a printer or a PDF writer. The painter is the caller's; the canvas only
// translates the drawing calls and keeps the current pen and the open move-to/line-to run.

#include <QPainter>
#include <QPainterPath>

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "plot/canvas.h"

namespace lumatix::gui {

class QPainterCanvas : public plot::Canvas {
 public:
  // width and height are the drawing area in the canvas's pixels; `painter` must be active
  // for the canvas's lifetime.
  QPainterCanvas(QPainter& painter, double width, double height);
  ~QPainterCanvas() override;

  double width() const override { return width_; }
  double height() const override { return height_; }
  void fillRect(const plot::Rect& r, plot::Colour c) override;
  void setPen(plot::Colour c, double width, plot::PenStyle style) override;
  void moveTo(plot::Point p) override;
  void lineTo(plot::Point p) override;
  void polyline(std::span<const plot::Point> points) override;
  void text(plot::Point at, const std::string& text, plot::HAlign h, plot::VAlign v, const plot::Font& font,
            plot::Colour c, double angle = 0.0) override;
  void setClip(const std::optional<plot::Rect>& clip) override;
  double textWidth(const std::string& text, const plot::Font& font) const override;
  // On a picture (not a widget, a printer or a PDF writer): a transparent picture of the same
  // size, drawn over this one's by mergeLayer.
  std::unique_ptr<plot::Canvas> newLayer() override;
  void mergeLayer(plot::Canvas& layer) override;

  // Draws what is pending of the move-to/line-to run; called before any other drawing and at
  // the end.
  void flush();

  static QColor toQColor(plot::Colour c) { return QColor(c.red, c.green, c.blue); }
  static QFont toQFont(const plot::Font& font);

 private:
  // Draws a solid polyline of up to three pixels straight into the image the painter paints
  // on; false when that cannot be done the painter's way (another device, a transform, a
  // dotted or wider pen).
  bool polylineIntoImage(std::span<const plot::Point> points);
  // The picture the painter paints on, when its pixels can be written straight; else null.
  QImage* writableImage() const;

  QPainter& painter_;
  double width_, height_;
  QPen pen_;
  bool solidPen_ = true;
  int penPixels_ = 1;
  std::optional<plot::Rect> clip_;
  QPainterPath path_;
  bool pathHasLines_ = false;
  std::vector<QPointF> scratch_;
};

}  // namespace lumatix::gui
