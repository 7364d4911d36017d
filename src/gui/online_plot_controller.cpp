#include "gui/online_plot_controller.h"

#include <QAction>
#include <QDockWidget>
#include <QPlainTextEdit>

#include "app/main_frame.h"
#include "app/main_frame_link.h"
#include "app/menu_table.h"
#include "app/plot_document.h"
#include "gui/live_fit_dialog.h"
#include "gui/live_fit_overlay.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "platform/build_info.h"

namespace lumatix::gui {

OnlinePlotController::OnlinePlotController(PlotWindow& window, std::unique_ptr<app::OnlineWindow> model,
                                           std::function<app::MainFrame*()> frame)
    : QObject(&window), window_(&window), model_(std::move(model)), frame_(std::move(frame)) {
  setObjectName(QStringLiteral("onlinePlotController"));
  window.setDialog(app::PlotMenuCommand::LiveFit, [this](PlotWindow&) { chooseLiveFit(); });

  fitPane_ = new QDockWidget(tr("Live Fit"), &window);
  fitPane_->setObjectName(QStringLiteral("liveFitPane"));
  fitPane_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  fitText_ = new QPlainTextEdit(fitPane_);
  fitText_->setReadOnly(true);
  fitText_->setLineWrapMode(QPlainTextEdit::NoWrap);
  fitText_->setAccessibleName(tr("Live fit parameters"));
  fitText_->setMaximumHeight(fitText_->fontMetrics().lineSpacing() * 11);
  fitPane_->setWidget(fitText_);
  window.addDockWidget(Qt::BottomDockWidgetArea, fitPane_);
  fitPane_->hide();

  overlay_ = new LiveFitOverlay(*window.view(), [this] {
    LiveFitOverlay::Curve curve;
    if (const app::LiveFit* fit = model_->liveFit(); fit != nullptr && fit->hasResult())
      curve = {fit->curveX(), fit->curveY()};
    return curve;
  });

  // A new on-line window does not follow the data with its axes until asked to.
  app::PlotViewOptions options = window.document().viewOptions();
  options.onlineAutoscale = false;
  window.document().setViewOptions(options);
  window.document().setOnline(model_->online());
  subscription_ = model_->changes().subscribe([this](app::Change what) { noticed(what); });
  documentSubscription_ = window.document().changes().subscribe([this](app::Change what) {
    if (app::any(what, app::Change::View) && window_)
      model_->setAutoScale(window_->document().viewOptions().onlineAutoscale);
  });
  showOptions();
}

QAction* OnlinePlotController::autoScaleAction() const {
  return window_ ? window_->action(app::PlotMenuCommand::OnlineAutoscale) : nullptr;
}

QAction* OnlinePlotController::liveFitAction() const {
  return window_ ? window_->action(app::PlotMenuCommand::LiveFit) : nullptr;
}

OnlinePlotController::~OnlinePlotController() {
  subscription_.reset();
  documentSubscription_.reset();
}

void OnlinePlotController::noticed(app::Change what) {
  if (!window_) return;
  if (app::any(what, app::Change::Data)) {
    if (model_->store() && model_->store().get() != window_->document().store().get()) takeStore();
    else redraw();
  }
  if (app::any(what, app::Change::Options | app::Change::SavedState)) showOptions();
  if (app::any(what, app::Change::Parameters)) showFit();
}

void OnlinePlotController::takeStore() {
  app::PlotDocument& document = window_->document();
  document.replaceStore(model_->store());
  processing::CDataSet set;
  try {
    auto values = model_->link().lockData();
    set = app::onlineTraces(*model_->store(), model_->plotDimensions());
  } catch (const std::exception&) {
    return;  // a header the plot cannot cut: the window stays as it was, the data are still saved
  }
  // A new plot: its axes start from these values.
  document.setDataSet(std::move(set));
  ++redraws_;
  emit redrawn();
}

void OnlinePlotController::redraw() {
  app::PlotDocument& document = window_->document();
  if (!document.store() || document.store()->dimensions.size() == 0) return;
  processing::CDataSet set;
  try {
    auto values = model_->link().lockData();
    set = app::onlineTraces(*document.store(), model_->plotDimensions());
  } catch (const std::exception&) {
    return;
  }
  // The person's choice of traces outlives the new values.
  const processing::CDataSet& shown = document.dataSet();
  if (shown.TraceCount() == set.TraceCount()) {
    set.selected = shown.selected;
    set.traceState = shown.traceState;
    set.baselineIndex = shown.baselineIndex;
  }
  plot::Graph& graph = window_->view()->graph();
  const bool had = graph.ready();
  const double x0 = graph.xAxis().min, x1 = graph.xAxis().max, y0 = graph.yAxis().min, y1 = graph.yAxis().max;
  document.setDataSet(std::move(set));
  // The axes stay as the person sees them unless auto-scale is due.
  if (had && !model_->rescaleDue(app::OnlineWindow::Clock::now())) {
    graph.setXRange(x0, x1);
    graph.setYRange(y0, y1);
  }
  window_->view()->update();
  ++redraws_;
  emit redrawn();
}

void OnlinePlotController::showOptions() {
  if (!window_) return;
  window_->document().setOnline(model_->online());
  const QString title = QString::fromStdString(model_->title());
  if (window_->windowTitle() != title) {
    window_->setWindowTitle(title);
    window_->setAccessibleName(title);
  }
}

void OnlinePlotController::showFit() {
  const app::LiveFit* fit = model_->liveFit();
  fitPane_->setVisible(fit != nullptr);
  if (fit == nullptr) {
    fitText_->clear();
  } else {
    QString text = QString::fromStdString(fit->state());
    if (auto entry = fit->hasResult() ? fit->historyText(window_->document().dataSet()) : std::nullopt)
      text += QLatin1Char('\n') + QString::fromStdString(*entry).remove(QLatin1Char('\r')).trimmed();
    if (fitText_->toPlainText() != text) fitText_->setPlainText(text);
  }
  overlay_->update();
}

void OnlinePlotController::chooseLiveFit() {
  if (!window_ || !model_->online()) return;
  std::vector<std::string> names = window_->document().dataSet().traceNames;
  app::LiveFitSettings current;
  if (const app::LiveFit* fit = model_->liveFit()) current = fit->settings();
  LiveFitDialog dialog(current, names, window_);
  if (dialog.exec() != QDialog::Accepted) return;
  applyLiveFit(dialog.settings());
}

void OnlinePlotController::applyLiveFit(const app::LiveFitSettings& settings) {
  app::MainFrameLink* link = frame_ && frame_() ? frame_()->link() : nullptr;
  if (settings.functionIndex < 0) {
    model_->stopLiveFit();
    if (link) link->setLiveFitChoice(std::nullopt);
    return;
  }
  model_->startLiveFit(settings);
  if (link) link->setLiveFitChoice(settings);
}

}  // namespace lumatix::gui
