#pragma once
// A Canvas that writes Scalable Vector Graphics.

#include <string>

#include "plot/canvas.h"

namespace lumatix::plot {

class SvgCanvas : public Canvas {
 public:
  SvgCanvas(double width, double height);

  double width() const override { return width_; }
  double height() const override { return height_; }
  void fillRect(const Rect& r, Colour c) override;
  void setPen(Colour c, double width, PenStyle style) override;
  void moveTo(Point p) override;
  void lineTo(Point p) override;
  void polyline(std::span<const Point> points) override;
  void text(Point at, const std::string& text, HAlign h, VAlign v, const Font& font, Colour c,
            double angle = 0.0) override;
  void setClip(const std::optional<Rect>& clip) override;

  // The finished document.
  std::string svg();

 private:
  void flushPath();
  std::string strokeAttributes() const;

  double width_, height_;
  std::string body_;
  std::string defs_;
  Colour pen_{};
  double penWidth_ = 1.0;
  PenStyle penStyle_ = PenStyle::Solid;
  std::string path_;  // the open move-to/line-to run
  bool clipOpen_ = false;
  int clips_ = 0;
};

}  // namespace lumatix::plot
