#pragma once
// QtPlotDialogs: the viewer's app::PlotDialogs. Each call shows the Qt dialog over the model
// the plot document made, modal to the given window (the active window when none is given),
// and answers whether the person pressed OK.

#include <QPointer>
#include <QWidget>

#include "app/plot_dialogs.h"

namespace lumatix::app {
class Ui;
}

namespace lumatix::gui {

class QtPlotDialogs : public app::PlotDialogs {
 public:
  explicit QtPlotDialogs(app::Ui& ui, QWidget* parent = nullptr) : ui_(ui), parent_(parent) {}

  bool simpleMath(app::SimpleMathDialog& dialog) override;
  bool smoothing(app::SmoothingDialog& dialog) override;
  bool convertUnits(app::ConvertDialog& dialog) override;

 private:
  QWidget* owner() const;

  app::Ui& ui_;
  QPointer<QWidget> parent_;
};

}  // namespace lumatix::gui
