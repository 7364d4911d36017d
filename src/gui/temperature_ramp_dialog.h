#pragma once
// "Extract temperature ramp data": the explanation, the three output formats and "Save As...",
// which asks for the output folder's name in the save dialog.

#include <QDialog>

#include <string>

#include "app/temperature_ramp.h"

class QButtonGroup;

namespace lumatix::gui {

class TemperatureRampDialog : public QDialog {
  Q_OBJECT
 public:
  TemperatureRampDialog(app::Ui& ui, app::RampFormat format, QWidget* parent = nullptr);

  QButtonGroup* formats() const { return formats_; }
  app::RampFormat format() const;
  // The output folder chosen by "Save As..." once the dialog was accepted.
  const std::string& outputPath() const { return output_; }

 private:
  app::Ui& ui_;
  QButtonGroup* formats_;
  std::string output_;
};

}  // namespace lumatix::gui
