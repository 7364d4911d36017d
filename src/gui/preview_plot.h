#pragma once
// PreviewPlot: a small plot::CLinePlot drawn on the widget through the QPainter canvas, as
// the dialogs' previews show their traces, with a legend of their names.

#include <QWidget>

#include <string>
#include <vector>

#include "plot/line_plot.h"

class QPainter;

namespace lumatix::gui {

class PreviewPlot : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewPlot(QWidget* parent = nullptr);

  plot::CLinePlot& plot() { return plot_; }
  // Replaces every trace: one per row of y over x, named by names, in the colour wheel's
  // order, and shows their whole extent.
  void setTraces(const std::vector<double>& x, const std::vector<std::vector<double>>& y,
                 const std::vector<std::string>& names);
  QSize sizeHint() const override { return {320, 160}; }

 signals:
  void painted();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The traces' names in their colours, in the plot's top right corner.
  void drawLegend(QPainter& painter);

  plot::CLinePlot plot_;
};

}  // namespace lumatix::gui
