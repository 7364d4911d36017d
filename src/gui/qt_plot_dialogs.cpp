#include "gui/qt_plot_dialogs.h"

#include <QApplication>

#include "gui/convert_units_dialog.h"
#include "gui/simple_math_dialog.h"
#include "gui/smoothing_dialog.h"

namespace lumatix::gui {

QWidget* QtPlotDialogs::owner() const { return parent_ ? parent_.data() : QApplication::activeWindow(); }

bool QtPlotDialogs::simpleMath(app::SimpleMathDialog& dialog) {
  SimpleMathDialogWindow window(dialog, owner());
  return window.exec() == QDialog::Accepted;
}

bool QtPlotDialogs::smoothing(app::SmoothingDialog& dialog) {
  SmoothingDialogWindow window(dialog, ui_, owner());
  return window.exec() == QDialog::Accepted;
}

bool QtPlotDialogs::convertUnits(app::ConvertDialog& dialog) {
  ConvertUnitsDialogWindow window(dialog, ui_, owner());
  return window.exec() == QDialog::Accepted;
}

}  // namespace lumatix::gui
