// PlotDocument: the trace selection dialog's moves, the visible trace range, printing and
// the texts of the store's info, remarks and history dialogs.

#include <sstream>

#include "app/plot_document.h"
#include "app/ui.h"
#include "datastore/history_entry.h"
#include "platform/build_info.h"
#include "processing/history_texts.h"

namespace lumatix::app {
namespace {

using processing::kTraceBaseline;
using processing::kTraceExcluded;
using processing::kTracePresent;

}  // namespace

bool PlotDocument::restoreTraces(const std::vector<int>& traces) {
  keepLoaded();
  std::vector<int> states = set_.traceState;
  std::vector<bool> shown(states.size(), false);
  std::string text = "Traces Added :\r\n";
  bool any = false;
  for (int t : traces) {
    if (t < 0 || t >= set_.TraceCount()) continue;
    const auto i = static_cast<std::size_t>(t);
    if (states[i] != kTraceExcluded) continue;
    states[i] = kTracePresent;
    shown[i] = true;
    any = true;
  }
  if (!any) return false;
  // Listed in data-set order whatever order the dialog handed them over in.
  for (std::size_t i = 0; i < shown.size(); ++i)
    if (shown[i]) {
      set_.selected[i] = 0;
      text += std::string(processing::kHistorySeparator) + set_.traceNames[i] + "\r\n";
    }
  set_.AddHistory(datastore::makeHistoryEntry("Traces Added :", text));
  set_.SetTraceStates(states);
  changed();
  return true;
}

bool PlotDocument::hideTraces(const std::vector<int>& traces) {
  keepLoaded();
  std::vector<int> states = set_.traceState;
  std::vector<bool> hidden(states.size(), false);
  bool any = false;
  for (int t : traces) {
    if (t < 0 || t >= set_.TraceCount()) continue;
    const auto i = static_cast<std::size_t>(t);
    if (states[i] != kTracePresent) continue;
    states[i] = kTraceExcluded;
    hidden[i] = true;
    any = true;
  }
  if (!any) return false;
  std::string text = "Traces Removed :\r\n";
  for (std::size_t i = 0; i < hidden.size(); ++i)
    if (hidden[i]) {
      set_.selected[i] = 0;
      text += std::string(processing::kHistorySeparator) + set_.traceNames[i] + "\r\n";
    }
  set_.AddHistory(datastore::makeHistoryEntry("Traces Removed :", text));
  set_.SetTraceStates(states);
  changed();
  return true;
}

bool PlotDocument::showTraceRange(int start, int end, int step) {
  if (start < 1 || end < 1 || step < 1) return false;
  const auto inRange = [&](std::size_t i) {
    const auto n = static_cast<long long>(i) + 1;
    return n >= start && n <= end && (n - start) % step == 0;
  };
  keepLoaded();
  // A hidden baseline could not be subtracted or unset any more.
  if (hasBaseline() && !inRange(static_cast<std::size_t>(set_.baselineIndex))) unsetBaseline();
  std::vector<int> states = set_.traceState;
  std::string text = " Traces Removed\r\n";
  for (std::size_t i = 0; i < states.size(); ++i) {
    if (inRange(i)) {
      if (states[i] == kTraceExcluded) states[i] = kTracePresent;
    } else if (states[i] != kTraceExcluded) {
      states[i] = kTraceExcluded;
      set_.selected[i] = 0;
      text += set_.traceNames[i] + "\r\n";
    }
  }
  set_.AddHistory(datastore::makeHistoryEntry("Trace Removed :", text));
  set_.SetTraceStates(states);
  changed();
  return true;
}

void PlotDocument::printed() {
  set_.AddHistory(datastore::makeHistoryEntry("Printed :", "Data was printed."));
  changed();
}

std::optional<std::string> PlotDocument::infoText() const {
  if (online_) {
    inform("Please wait for the current data acquisition to finish.\n");
    return std::nullopt;
  }
  std::ostringstream out;
  store_->describeAttributes(out);
  return out.str();
}

std::string PlotDocument::remarksText() const {
  std::string text;
  for (std::int32_t i = 0; i < store_->remarks.size(); ++i) text += store_->remarks[i] + "\r\n";
  return text;
}

std::string PlotDocument::historyText() const {
  std::string text;
  for (const auto& line : store_->historyLines()) text += line;
  return text;
}

}  // namespace lumatix::app
