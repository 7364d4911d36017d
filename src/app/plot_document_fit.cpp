// PlotDocument::fit: the "Fitting..." command.

#include <algorithm>

#include "app/fit_command.h"
#include "app/fit_session.h"
#include "app/fit_texts.h"
#include "app/plot_document.h"
#include "app/ui.h"
#include "datastore/history_entry.h"
#include "platform/build_info.h"

namespace lumatix::app {

std::optional<std::string> PlotDocument::fit(FitDialog& dialog, platform::SettingsStore* preferences) {
  if (selectedCount() == 0 && presentCount() == 1) {
    const auto one = std::find(set_.traceState.begin(), set_.traceState.end(), processing::kTracePresent);
    select(static_cast<int>(one - set_.traceState.begin()), true);
  }
  const std::vector<int> chosen = selection();
  const auto count = std::count(chosen.begin(), chosen.end(), 1);
  if (count != 1) {
    inform(count == 0 ? kSelectTraceFirst : kSelectOneTraceOnly);
    return std::nullopt;
  }
  const auto running = FitRunningFlag::acquire(ui_);
  if (!running) return std::nullopt;

  const int trace = static_cast<int>(std::find(chosen.begin(), chosen.end(), 1) - chosen.begin());
  const std::string& traceName = set_.traceNames[static_cast<std::size_t>(trace)];
  FitSession session(ui_, set_.xA, set_.yA[static_cast<std::size_t>(trace)].toDoubles(), preferences);
  session.Preselect(earlierFitEntries(set_.history, traceName));
  session.Begin();
  const std::string title = plotWindowTitle(filePath_);
  // A data set of one unnamed trace has nothing to add to the window's name.
  const std::string caption = traceName.empty() ? title : title + " (" + traceName + ")";
  if (!dialog.run(session, {caption, title, traceName, set_.xLabel, set_.yLabel})) return std::nullopt;

  std::string failure;
  try {
    const FitResults results = session.Results();
    std::vector<int> only(chosen.size(), 0);
    only[static_cast<std::size_t>(trace)] = 1;
    const processing::CDataSet fitted =
        set_.CF_Fit(only, results.functionIndex, results.values, results.from, results.to, results.includeResiduals);
    std::optional<std::string> residual;
    if (results.includeResiduals) residual = fitted.traceNames.at(1);
    std::string text = fittingHistoryText(results, traceName, fitted.traceNames.at(0), residual);
    processing::CDataSet updated = set_;
    // The source hands its selection over to the new traces.
    std::fill(updated.selected.begin(), updated.selected.end(), 0);
    // Append checks everything before it changes the store, so a refusal leaves the plot as it was.
    if (!updated.Append(fitted, *store_)) return std::nullopt;
    updated.AddHistory(datastore::makeHistoryEntry(kFittingHistoryTitle, text));
    set_ = std::move(updated);
    changed();
    return text;
  } catch (const std::exception& e) {
    failure = std::string("curve fit failure (") + e.what() + "), please reset view\n";
  } catch (...) {
    failure = "curve fit failure (unknown), please reset view\n";
  }
  ui_.showMessage(failure, platform::kProductName, Icon::Warning, Buttons::Ok);
  return std::nullopt;
}

}  // namespace lumatix::app
