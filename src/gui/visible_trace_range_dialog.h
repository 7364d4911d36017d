#pragma once
// "Visible Trace Range": "Start Trace", "End Trace" and "Step"; OK shows exactly the traces of
// that range through PlotDocument::showTraceRange.

#include "app/trace_manipulation.h"
#include "gui/number_fields_dialog.h"

namespace lumatix::app {
class PlotDocument;
}

namespace lumatix::gui {

class VisibleTraceRangeDialog : public NumberFieldsDialog {
  Q_OBJECT
 public:
  VisibleTraceRangeDialog(app::PlotDocument& document, QWidget* parent = nullptr);

  void accept() override;

 protected:
  QString problem() const override;

 private:
  std::optional<app::VisibleTraceRange> range() const;

  app::PlotDocument& document_;
};

}  // namespace lumatix::gui
