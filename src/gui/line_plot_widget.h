#pragma once
// LinePlotWidget: a plot::CLinePlot on screen, the small plot of dialogs ("LinePlot"). It
// draws the plot through the QPainter canvas and highlights the point nearest the pointer,
// whose co-ordinates and whose trace's extent the plot's read-outs then show. The owner
// changes the plot and calls update().

#include <QWidget>

#include "plot/line_plot.h"

namespace lumatix::gui {

class LinePlotWidget : public QWidget {
  Q_OBJECT
 public:
  explicit LinePlotWidget(QWidget* parent = nullptr);

  plot::CLinePlot& plot() { return plot_; }
  const plot::CLinePlot& plot() const { return plot_; }

  // The plot drawn into an image of the given size.
  QImage picture(QSize size);

  QSize sizeHint() const override { return {420, 220}; }

 signals:
  // The highlighted trace and point changed (-1, -1: none).
  void highlightChanged(int trace, int point);
  // The widget took a new size: owners that fit traces to its pixels give them again.
  void resized();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void highlight(std::pair<int, int> nearest);

  plot::CLinePlot plot_;
};

}  // namespace lumatix::gui
