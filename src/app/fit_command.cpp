#include "app/fit_command.h"

#include <algorithm>
#include <atomic>

#include "app/fit_texts.h"
#include "datastore/data_store.h"
#include "platform/build_info.h"
#include "processing/data_set.h"

namespace lumatix::app {
namespace {

std::atomic<bool> fitRunning{false};

void tell(Ui& ui, const std::string& text) {
  ui.showMessage(text, platform::kProductName, Icon::Information, Buttons::Ok);
}

}  // namespace

std::optional<int> chooseFitTrace(processing::CDataSet& set, Ui& ui) {
  const auto count = std::count(set.selected.begin(), set.selected.end(), 1);
  if (count == 0 && set.TraceCount() == 1 && set.selected.size() == 1) {
    set.selected[0] = 1;
    return 0;
  }
  if (count == 0) {
    tell(ui, kSelectTraceFirst);
    return std::nullopt;
  }
  if (count > 1) {
    tell(ui, kSelectOneTraceOnly);
    return std::nullopt;
  }
  return static_cast<int>(std::find(set.selected.begin(), set.selected.end(), 1) - set.selected.begin());
}

std::unique_ptr<FitRunningFlag> FitRunningFlag::acquire(Ui& ui) {
  if (fitRunning.exchange(true)) {
    tell(ui, kFitAlreadyRunning);
    return nullptr;
  }
  return std::unique_ptr<FitRunningFlag>(new FitRunningFlag());
}

FitRunningFlag::~FitRunningFlag() { fitRunning = false; }

std::optional<std::string> applyFitResults(processing::CDataSet& set, datastore::DataStore& windowStore, int trace,
                                           const FitResults& results, Ui& ui) {
  std::string failure;
  try {
    if (trace < 0 || trace >= set.TraceCount()) throw std::out_of_range("There is no trace " + std::to_string(trace) + ".");
    std::vector<int> selection(static_cast<std::size_t>(set.TraceCount()), 0);
    selection[static_cast<std::size_t>(trace)] = 1;
    const processing::CDataSet fit =
        set.CF_Fit(selection, results.functionIndex, results.values, results.from, results.to, results.includeResiduals);
    const std::string original = set.traceNames[static_cast<std::size_t>(trace)];
    const std::string fitted = fit.traceNames.at(0);
    std::optional<std::string> residual;
    if (results.includeResiduals) residual = fit.traceNames.at(1);
    std::string text = fittingHistoryText(results, original, fitted, residual);
    const datastore::HistoryEntry entry = datastore::makeHistoryEntry(kFittingHistoryTitle, text);
    // Append checks everything before it changes anything, so a refusal leaves the window
    // as it was.
    if (!set.Append(fit, windowStore)) return std::nullopt;
    set.AddHistory(entry);
    return text;
  } catch (const std::exception& e) {
    failure = std::string("curve fit failure (") + e.what() + "), please reset view\n";
  } catch (...) {
    failure = "curve fit failure (unknown), please reset view\n";
  }
  ui.showMessage(failure, platform::kProductName, Icon::Warning, Buttons::Ok);
  return std::nullopt;
}

}  // namespace lumatix::app
