#pragma once
// A canvas that keeps what was drawn, for tests that look at the drawing itself.

#include <memory>
#include <string>
#include <vector>

#include "plot/canvas.h"

namespace lumatix::plot {

class RecordingCanvas : public Canvas {
 public:
  struct Line {
    Colour colour;
    std::vector<Point> points;
  };
  struct Text {
    Point at;
    std::string text;
    HAlign h;
    VAlign v;
  };

  RecordingCanvas(double w, double h) : width_(w), height_(h) {}
  double width() const override { return width_; }
  double height() const override { return height_; }
  void fillRect(const Rect&, Colour) override {}
  void setPen(Colour c, double, PenStyle) override { pen_ = c; }
  void moveTo(Point p) override { lines.push_back({pen_, {p}}); }
  void lineTo(Point p) override { lines.back().points.push_back(p); }
  void polyline(std::span<const Point> points) override {
    polylines.push_back({pen_, {points.begin(), points.end()}});
  }
  void text(Point at, const std::string& t, HAlign h, VAlign v, const Font&, Colour, double) override {
    texts.push_back({at, t, h, v});
  }
  void setClip(const std::optional<Rect>&) override {}
  // With layers on, lines drawn on a layer are recorded after this canvas's own at the merge.
  std::unique_ptr<Canvas> newLayer() override {
    return layers ? std::make_unique<RecordingCanvas>(width_, height_) : nullptr;
  }
  void mergeLayer(Canvas& layer) override {
    auto& drawn = dynamic_cast<RecordingCanvas&>(layer);
    polylines.insert(polylines.end(), drawn.polylines.begin(), drawn.polylines.end());
    ++merges;
  }

  bool layers = false;
  int merges = 0;

  std::vector<Line> lines;      // move-to/line-to runs
  std::vector<Line> polylines;  // polyline calls
  std::vector<Text> texts;

 private:
  double width_, height_;
  Colour pen_;
};

}  // namespace lumatix::plot
