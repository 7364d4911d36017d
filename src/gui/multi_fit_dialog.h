#pragma once
// MultiFitDialog (CMultiFitDlg): the modal curve-fitting dialog of a plot window. It binds its
// widgets to an app::FitSession and redraws from the session's notices: the function list,
// the parameter grid (value, error, lock; up to ten rows), the range with "Set" and "Reset",
// the options, the read-outs with a sentence on how the last fit ended, and the preview of
// the data, the fit and the residuals.
//
// A fit runs from a 10 ms timer: each tick runs iterations for at most 10 ms of work and then
// lets the window answer (paint the preview, take a click on Cancel), so no fit freezes it.
// While a fit runs only Cancel, the live-update box and the preview's buttons stay enabled;
// Cancel, Escape or closing the window stop the fit and end the dialog as cancelled.

#include <QDialog>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/change_notifier.h"
#include "app/fit_command.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;
class QSpinBox;

namespace lumatix::app {
class FitSession;
class Ui;
}  // namespace lumatix::app

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::gui {

class LinePlotWidget;
class PlotWindow;

class MultiFitDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kParameterRows = 10;
  // Time between the ticks of a running fit, and the work one tick may do.
  static constexpr int kTickMilliseconds = 10;

  // session: begun (FitSession::Begin), outlives the dialog. ui: where the printing failure
  // is told.
  MultiFitDialog(app::FitSession& session, const app::FitDialogContext& context, app::Ui& ui,
                 QWidget* parent = nullptr);
  ~MultiFitDialog() override;

  LinePlotWidget* preview() const { return preview_; }
  LinePlotWidget* residualPlot() const { return residualPlot_; }
  bool fitting() const;

  // How the print button finds its printer; the default asks with the platform's print
  // dialog. False: nothing is printed.
  std::function<bool(QPrinter&)> choosePrinter;

 public slots:
  void accept() override;
  void reject() override;

 signals:
  // A fit ended (converged, not converged or failed), after its warning was answered.
  void fitEnded();

 private:
  struct ParameterRow {
    QLabel* name = nullptr;
    QLineEdit* value = nullptr;
    QLineEdit* error = nullptr;
    QCheckBox* lock = nullptr;
    QString shownValue;  // what the field showed of the session's value
    bool shownBad = false;
  };

  void build();
  QWidget* buildParameters();
  QWidget* buildPreview();
  void noticed(app::Change what);
  void showPending();
  void showFunction();
  void showParameters();
  void showRange();
  void showStatistics();
  void showData();
  void schedulePreview();
  void showPreview();
  void showReduced(LinePlotWidget& widget, const std::string& name, const std::vector<double>& x,
                   const std::vector<double>& y, std::uint32_t colour);
  void updateEnabling();

  // Hands the edited values and locks to the session; false (changing nothing) when a value
  // field holds no number.
  bool commitValues();
  bool valuesValid() const;
  bool rangeValid() const;

  void selectFunction(int row);
  void setRange();
  void resetRange();
  void estimate();
  void startFit();
  void iterate();
  void endFit();
  void plotEvaluation();
  void print();
  void setDataLineStyle(int style);

  app::FitSession& session_;
  app::FitDialogContext context_;
  app::Ui& ui_;
  QTimer ticks_;
  bool iterating_ = false;
  bool showing_ = false;  // widgets are being filled from the session: their signals are ours
  bool previewPending_ = false;
  app::Change pending_ = app::Change::None;
  // The preview's points on their way to the plots, kept between previews.
  std::vector<std::size_t> kept_;
  std::vector<std::pair<float, float>> buffer_;
  bool refreshQueued_ = false;
  int shownFunction_ = -1;
  app::ChangeNotifier::Subscription subscription_;

  QListWidget* functions_ = nullptr;
  QLabel* equation_ = nullptr;
  std::array<ParameterRow, kParameterRows> rows_;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  QPushButton* set_ = nullptr;
  QPushButton* reset_ = nullptr;
  QSpinBox* maxIterations_ = nullptr;
  QCheckBox* liveUpdate_ = nullptr;
  QCheckBox* residuals_ = nullptr;
  QLineEdit* chiSquare_ = nullptr;
  QLineEdit* variance_ = nullptr;
  QLineEdit* marquardt_ = nullptr;
  QLineEdit* iterations_ = nullptr;
  QLabel* endReason_ = nullptr;
  QPushButton* estimate_ = nullptr;
  QPushButton* fit_ = nullptr;
  QPushButton* evaluation_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  LinePlotWidget* preview_ = nullptr;
  LinePlotWidget* residualPlot_ = nullptr;
};

// The dialog's historical class name.
using CMultiFitDlg = MultiFitDialog;

// The viewer's fitting dialog for PlotDocument::fit: the modal MultiFitDialog over the
// parent window.
class QtFitDialog : public app::FitDialog {
 public:
  QtFitDialog(app::Ui& ui, QWidget* parent) : ui_(ui), parent_(parent) {}
  bool run(app::FitSession& session, const app::FitDialogContext& context) override;

 private:
  app::Ui& ui_;
  QWidget* parent_;
};

// The plot window's "Fitting..." command: the window's document fits its selected trace in the
// modal dialog over the window, keeping the dialog's preferences in `preferences` (may be null).
void runFitting(PlotWindow& window, platform::SettingsStore* preferences);

}  // namespace lumatix::gui
