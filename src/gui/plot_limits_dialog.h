#pragma once
// "Set Plot Limits": the two ends of each axis, in data units, started from what the plot shows
// now. OK sets them on the plot view's graph (a logarithmic x axis takes their logarithms).

#include "app/plot_limits.h"
#include "gui/number_fields_dialog.h"

namespace lumatix::gui {

class PlotView;

class PlotLimitsDialog : public NumberFieldsDialog {
  Q_OBJECT
 public:
  PlotLimitsDialog(PlotView& view, QWidget* parent = nullptr);

  void accept() override;

 protected:
  QString problem() const override;

 private:
  std::optional<app::PlotLimits> limits() const;
  bool logX() const;

  PlotView& view_;
};

}  // namespace lumatix::gui
