#pragma once
// LiveFitOverlay: the live fit's line drawn over a plot view, through the view's own axes. It
// lies over the whole view, lets the pointer through and is drawn after the view each time
// the view is.

#include <QWidget>

#include <functional>
#include <vector>

namespace lumatix::gui {

class PlotView;

class LiveFitOverlay : public QWidget {
  Q_OBJECT
 public:
  struct Curve {
    std::vector<double> x, y;
  };
  // curve: the line to draw now (empty: none).
  LiveFitOverlay(PlotView& view, std::function<Curve()> curve);

  // The line's points in the view's pixels, as the last paint drew them (for tests).
  const std::vector<QPointF>& drawn() const { return drawn_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  PlotView& view_;
  std::function<Curve()> curve_;
  std::vector<QPointF> drawn_;
};

}  // namespace lumatix::gui
