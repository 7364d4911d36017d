// The fitting dialog in the picture gallery: over the first trace of a plot window, as it
// opens, part-way through a fit with live update, and after the fit.

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <algorithm>
#include <limits>

#include "app/fit_session.h"
#include "app/plot_document.h"
#include "app/ui.h"
#include "gui/multi_fit_dialog.h"
#include "gui/screenshots.h"
#include "app/unattended_ui.h"

namespace lumatix::gui {
namespace {

QString grab(QWidget& w, const QString& folder, const QString& name) {
  QApplication::processEvents();  // the queued preview
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  return w.grab().save(path) ? path : QString();
}

// The function that fits the trace best among a few common shapes, so that the pictures show
// a fit that makes sense for whatever file the gallery opened.
int likelyFunction(const std::vector<double>& x, const std::vector<double>& y) {
  app::UnattendedUi ui;
  int best = 1;
  double bestVariance = std::numeric_limits<double>::infinity();
  for (int candidate : {1, 10, 15, 0}) {  // single exponential, Gaussian, sigmoid, line
    app::FitSession trial(ui, x, y, nullptr);
    trial.Begin();
    trial.SelectFunction(candidate);
    if (!trial.Estimate()) continue;
    app::FitProgress progress = trial.StartFit();
    while (progress == app::FitProgress::Running) progress = trial.Iterate();
    if (progress == app::FitProgress::Converged && trial.NormalisedVariance() < bestVariance) {
      bestVariance = trial.NormalisedVariance();
      best = candidate;
    }
  }
  return best;
}

}  // namespace

QStringList saveFittingDialogScreenshots(const QString& folder, const app::PlotDocument& document) {
  const processing::CDataSet& set = document.dataSet();
  const auto present = std::find(set.traceState.begin(), set.traceState.end(), processing::kTracePresent);
  if (present == set.traceState.end() || set.xA.size() < 2) return {};
  const auto trace = static_cast<std::size_t>(present - set.traceState.begin());
  QDir().mkpath(folder);
  app::UnattendedUi ui;
  app::FitSession session(ui, set.xA, set.yA[trace].toDoubles(), nullptr);
  session.Begin();
  session.SelectFunction(likelyFunction(set.xA, set.yA[trace].toDoubles()));
  session.Estimate();
  const std::string title = app::plotWindowTitle(document.filePath());
  MultiFitDialog dialog(session, {title + " (" + set.traceNames[trace] + ")", title, set.traceNames[trace], set.xLabel, set.yLabel},
                        ui);
  dialog.setModal(false);
  dialog.show();
  QStringList written;
  written << grab(dialog, folder, QStringLiteral("fittingDialog-open"));

  // Part-way: the session stepped by hand from a poor start, so that the picture shows the
  // controls disabled and the preview under way.
  session.SetLiveUpdate(true);
  std::vector<double> start = session.Values();
  for (double& v : start) v *= 0.5;
  session.SetValues(start);
  app::FitProgress progress = session.StartFit();
  for (int i = 0; i < 2 && progress == app::FitProgress::Running; ++i) progress = session.Iterate();
  written << grab(dialog, folder, QStringLiteral("fittingDialog-fitting"));
  while (progress == app::FitProgress::Running) progress = session.Iterate();
  written << grab(dialog, folder, QStringLiteral("fittingDialog-fitted"));
  dialog.reject();
  written.removeAll(QString());
  return written;
}

}  // namespace lumatix::gui
