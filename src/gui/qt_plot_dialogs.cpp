#include "gui/qt_plot_dialogs.h"

#include "gui/convert_units_dialog.h"
#include "gui/simple_math_dialog.h"
#include "gui/smoothing_dialog.h"

namespace lumatix::gui {

bool QtPlotDialogs::simpleMath(app::SimpleMathDialog& dialog) {
  SimpleMathDialogWindow window(dialog, parent_);
  return window.exec() == QDialog::Accepted;
}

bool QtPlotDialogs::smoothing(app::SmoothingDialog& dialog) {
  SmoothingDialogWindow window(dialog, ui_, parent_);
  return window.exec() == QDialog::Accepted;
}

bool QtPlotDialogs::convertUnits(app::ConvertDialog& dialog) {
  ConvertUnitsDialogWindow window(dialog, ui_, parent_);
  return window.exec() == QDialog::Accepted;
}

}  // namespace lumatix::gui
