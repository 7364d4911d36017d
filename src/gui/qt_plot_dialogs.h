#pragma once
// QtPlotDialogs: the viewer's app::PlotDialogs. Each call shows the Qt dialog over the model
// the plot document made, modal to the plot window, and answers whether the person pressed OK.

#include <QPointer>
#include <QWidget>

#include "app/plot_dialogs.h"

namespace lumatix::app {
class Ui;
}

namespace lumatix::gui {

class QtPlotDialogs : public app::PlotDialogs {
 public:
  QtPlotDialogs(app::Ui& ui, QWidget* parent) : ui_(ui), parent_(parent) {}

  bool simpleMath(app::SimpleMathDialog& dialog) override;
  bool smoothing(app::SmoothingDialog& dialog) override;
  bool convertUnits(app::ConvertDialog& dialog) override;

 private:
  app::Ui& ui_;
  QPointer<QWidget> parent_;
};

}  // namespace lumatix::gui
