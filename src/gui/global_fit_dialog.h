#pragma once
// "Global Fitting": the traces of a plot fitted at once (app::GlobalFitSession). The person
// picks the function and, per parameter, whether it is shared by every trace, locked, and
// its start value (or the traces' own estimates); "Fit" runs the fit in slices on the event
// loop with its progress and a "Stop" button, and OK hands the results over. The rules and
// messages are app's; this dialog binds widgets to them.

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/global_fit_command.h"
#include "datastore/smart_ptr.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace lumatix::datastore {
class DataStore;
}
namespace lumatix::processing {
class CDataSet;
}

namespace lumatix::gui {

class PlotWindow;

class GlobalFitDialog : public QDialog {
  Q_OBJECT
 public:
  // set and selection: the plot's traces and the ones to fit (one entry per trace, 1 = fit).
  GlobalFitDialog(const processing::CDataSet& set, std::vector<int> selection, app::Ui& ui,
                  QWidget* parent = nullptr);
  ~GlobalFitDialog() override;

  // The results of the last fit that ended; none before, or after a fit was stopped.
  const std::optional<app::GlobalFitResults>& results() const { return results_; }

  // The settings the widgets show; nullopt after telling the person what is wrong.
  std::optional<app::GlobalFitSettings> settings();
  // Starts a fit (as "Fit" does); false when it was refused.
  bool startFit();
  bool fitting() const;

  QComboBox* functionBox() const { return function_; }
  QTableWidget* parameterTable() const { return table_; }
  QCheckBox* estimateBox() const { return estimate_; }
  QSpinBox* iterationBox() const { return iterations_; }
  QCheckBox* residualBox() const { return residuals_; }
  QPushButton* fitButton() const { return fit_; }
  QPushButton* stopButton() const { return stop_; }
  QPushButton* okButton() const { return ok_; }
  QLabel* statusLabel() const { return status_; }

 signals:
  // A fit ended (converged or not) and results() holds it.
  void fitEnded();

 private:
  void showFunction(int index);
  void step();
  void stop();
  void showResults();
  void updateButtons();

  const processing::CDataSet& set_;
  std::vector<int> selection_;
  app::Ui& ui_;
  std::unique_ptr<app::GlobalFitSession> session_;
  std::optional<app::GlobalFitResults> results_;
  QComboBox* function_;
  QTableWidget* table_;
  QCheckBox* estimate_;
  QSpinBox* iterations_;
  QCheckBox* residuals_;
  QLabel* status_;
  QPushButton* fit_;
  QPushButton* stop_;
  QPushButton* ok_;
  QTimer* timer_;
};

// Opens a result store in a plot window of its own under a suggested file name; false when
// that failed.
using ResultOpener = std::function<bool(datastore::smart_ptr<datastore::DataStore>, const std::string&)>;

// "Global Fit..." of a plot window: the selected traces (all present ones when fewer than two
// are selected) in the dialog; on OK the fitted traces with their fit, residual and folded
// fraction open in a new window, as a file beside the plot's.
void runGlobalFitDialog(PlotWindow& window, bool compliantNow, const ResultOpener& open);

}  // namespace lumatix::gui
