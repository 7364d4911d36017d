#pragma once
// OnlinePlotController: what turns a plot window into an on-line one. It owns the window's
// app::OnlineWindow and follows its notices through the window's public parts:
//   - a header: the document takes the link's store and is cut along the plotted dimensions;
//   - a redraw: the traces are cut again from the values received so far, keeping the traces'
//     selection and the axes the person sees, unless "On-line Auto-scale" rescales them;
//   - on-line mode: the document refuses to close while it lasts;
//   - the save at the end: the window takes the saved file's path as its title;
//   - the live fit: its line drawn over the plot and its parameters in the "Live Fit" pane.
// The window's menu table has the commands "On-line Auto-scale\tShift+O" (Scale menu), whose
// state is the document's view option the model follows, and "Live Fit..." (Math menu), whose
// dialog the controller attaches; both are enabled only while the window is on-line.

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

#include "app/change_notifier.h"
#include "app/live_fit.h"
#include "app/online_window.h"

class QAction;
class QDockWidget;
class QMenu;
class QPlainTextEdit;

namespace lumatix::app {
class MainFrame;
}

namespace lumatix::gui {

class PlotWindow;
class LiveFitOverlay;

class OnlinePlotController : public QObject {
  Q_OBJECT
 public:
  // frame: where the live-fit choice is kept for the next acquisitions (may give null).
  OnlinePlotController(PlotWindow& window, std::unique_ptr<app::OnlineWindow> model,
                       std::function<app::MainFrame*()> frame);
  ~OnlinePlotController() override;

  app::OnlineWindow& model() { return *model_; }
  QAction* autoScaleAction() const;
  QAction* liveFitAction() const;
  QDockWidget* fitPane() const { return fitPane_; }
  QPlainTextEdit* fitText() const { return fitText_; }
  LiveFitOverlay* fitLine() const { return overlay_; }
  // Redraws done since the window was made, for tests and benchmarks.
  int redraws() const { return redraws_; }

  // "Live Fit...": the dialog, then the choice for this window and the next acquisitions.
  void chooseLiveFit();
  // The same without the dialog: a function index of -1 ends the live fit.
  void applyLiveFit(const app::LiveFitSettings& settings);

 signals:
  // The window drew the values received so far.
  void redrawn();

 private:
  void noticed(app::Change what);
  void takeStore();
  void redraw();
  void showOptions();
  void showFit();

  QPointer<PlotWindow> window_;
  std::unique_ptr<app::OnlineWindow> model_;
  std::function<app::MainFrame*()> frame_;
  QDockWidget* fitPane_ = nullptr;
  QPlainTextEdit* fitText_ = nullptr;
  LiveFitOverlay* overlay_ = nullptr;
  int redraws_ = 0;
  app::ChangeNotifier::Subscription subscription_;
  app::ChangeNotifier::Subscription documentSubscription_;
};

}  // namespace lumatix::gui
