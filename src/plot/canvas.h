#pragma once
// plot::Canvas: everything the plots draw with. Co-ordinates are pixels, origin at the top
// left, y growing downwards.

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "plot/colour.h"

namespace lumatix::plot {

struct Point {
  double x = 0.0, y = 0.0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
  bool contains(Point p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

enum class PenStyle { Solid, Dotted };
enum class HAlign { Left, Centre, Right };
enum class VAlign { Top, Middle, Bottom };

struct Font {
  std::string face = "Arial";
  double points = 10.0;
  bool bold = false;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual double width() const = 0;
  virtual double height() const = 0;

  virtual void fillRect(const Rect& r, Colour c) = 0;
  virtual void setPen(Colour c, double width, PenStyle style) = 0;
  virtual void moveTo(Point p) = 0;
  virtual void lineTo(Point p) = 0;
  virtual void polyline(std::span<const Point> points) = 0;
  // Text at a point with the given alignment; angle in degrees, counter-clockwise.
  virtual void text(Point at, const std::string& text, HAlign h, VAlign v, const Font& font, Colour c,
                    double angle = 0.0) = 0;
  // Drawing after this is limited to the rectangle; nullopt lifts the limit.
  virtual void setClip(const std::optional<Rect>& clip) = 0;

  // An estimate of the width of a text, for layout.
  virtual double textWidth(const std::string& text, const Font& font) const {
    return 0.55 * font.points * 96.0 / 72.0 * static_cast<double>(text.size());
  }

  // A transparent layer of the same size that another thread may draw lines on while this
  // canvas draws its own; mergeLayer then lays it over what this canvas holds, so that the
  // layer's lines come out as if drawn after this canvas's. Null when the canvas cannot
  // (the default: a recorded or written drawing keeps its order only by being drawn in it).
  virtual std::unique_ptr<Canvas> newLayer() { return nullptr; }
  virtual void mergeLayer(Canvas& /*layer*/) {}
};

}  // namespace lumatix::plot
