#pragma once
// LiveFitDialog: "Live Fit": which fitting function follows the data of an on-line window
// ("None" ends the live fit) and which of its traces it fits. It edits an app::LiveFitSettings.

#include <QDialog>

#include <string>
#include <vector>

#include "app/live_fit.h"

class QComboBox;

namespace lumatix::gui {

class LiveFitDialog : public QDialog {
  Q_OBJECT
 public:
  LiveFitDialog(const app::LiveFitSettings& current, const std::vector<std::string>& traceNames,
                QWidget* parent = nullptr);

  // The choice; functionIndex -1 for "None".
  app::LiveFitSettings settings() const;

  QComboBox* functionBox() const { return function_; }
  QComboBox* traceBox() const { return trace_; }

 private:
  QComboBox* function_;
  QComboBox* trace_;
};

}  // namespace lumatix::gui
