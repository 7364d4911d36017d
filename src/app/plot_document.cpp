// PlotDocument: selection, baseline, removal and the arithmetic commands.

#include "app/plot_document.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/plot_dialogs.h"
#include "app/ui.h"
#include "datastore/history_entry.h"
#include "platform/build_info.h"
#include "processing/history_texts.h"

namespace lumatix::app {
namespace {

using processing::kTraceBaseline;
using processing::kTraceExcluded;
using processing::kTracePresent;

// The single-precision machine epsilon: the smallest divisor Simple Math accepts.
constexpr float kSmallestDivisor = 1.1920929e-07f;

}  // namespace

PlotDocument::PlotDocument(datastore::smart_ptr<datastore::DataStore> store, std::string filePath, Ui& ui,
                           bool compliantNow)
    : store_(std::move(store)), filePath_(std::move(filePath)), ui_(ui), compliantNow_(compliantNow) {
  if (!store_) throw std::invalid_argument("A plot document needs a store.");
}

void PlotDocument::load(int xDim, int traceDim, int valueIndex, int optionIndex) {
  processing::CDataSet set;
  set.Load(*store_, xDim, traceDim, valueIndex, optionIndex);
  set_ = std::move(set);
  loaded_ = set_;
  historySynced_ = set_.history.size();
  changes_.notify(Change::Data | Change::Selection);
}

void PlotDocument::setDataSet(processing::CDataSet set) {
  if (!set.IsValid()) throw std::invalid_argument("Could not create valid dataset");
  set_ = std::move(set);
  loaded_ = set_;
  historySynced_ = set_.history.size();
  changes_.notify(Change::Data | Change::Selection);
}

void PlotDocument::inform(const std::string& text) const {
  ui_.showMessage(text, platform::kProductName, Icon::Information, Buttons::Ok);
}

void PlotDocument::syncHistory() {
  const std::size_t from = std::min(historySynced_, set_.history.size());
  store_->history.insert(store_->history.end(), set_.history.begin() + static_cast<std::ptrdiff_t>(from),
                         set_.history.end());
  set_.history = store_->history;
  historySynced_ = set_.history.size();
}

void PlotDocument::changed() {
  syncHistory();
  store_->saved = false;
  changes_.notify(Change::Data | Change::Selection | Change::History | Change::SavedState);
}

void PlotDocument::setViewOptions(const PlotViewOptions& options) {
  const PlotViewOptions before = view_;
  view_ = options;
  if (!(before == view_)) changes_.notify(Change::View);
}

std::unique_ptr<PlotDocument> PlotDocument::newWindow() const {
  auto other = std::make_unique<PlotDocument>(store_, filePath_, ui_, compliantNow_);
  other->set_ = loaded_;
  other->set_.history = store_->history;
  other->loaded_ = other->set_;
  other->historySynced_ = other->set_.history.size();
  other->online_ = online_;
  return other;
}

// --- selection ---

bool PlotDocument::select(int t, bool on) {
  if (t < 0 || t >= set_.TraceCount()) return false;
  int& flag = set_.selected[static_cast<std::size_t>(t)];
  if (flag != (on ? 1 : 0)) {
    flag = on ? 1 : 0;
    changes_.notify(Change::Selection);
  }
  return true;
}

void PlotDocument::selectAll() {
  for (std::size_t t = 0; t < set_.selected.size(); ++t)
    if (set_.traceState[t] != kTraceExcluded) set_.selected[t] = 1;
  changes_.notify(Change::Selection);
}

void PlotDocument::deselectAll() {
  std::fill(set_.selected.begin(), set_.selected.end(), 0);
  changes_.notify(Change::Selection);
}

std::vector<int> PlotDocument::selection() const {
  std::vector<int> chosen(set_.selected.size(), 0);
  for (std::size_t t = 0; t < chosen.size(); ++t)
    chosen[t] = set_.selected[t] == 1 && set_.traceState[t] == kTracePresent ? 1 : 0;
  return chosen;
}

bool PlotDocument::isSelected(int t) const {
  const auto i = static_cast<std::size_t>(t);
  return t >= 0 && i < set_.selected.size() && i < set_.traceState.size() && set_.selected[i] == 1 &&
         set_.traceState[i] == kTracePresent;
}

int PlotDocument::selectedCount() const {
  const auto chosen = selection();
  return static_cast<int>(std::count(chosen.begin(), chosen.end(), 1));
}

int PlotDocument::presentCount() const {
  return static_cast<int>(std::count(set_.traceState.begin(), set_.traceState.end(), kTracePresent));
}

bool PlotDocument::isEnabled(PlotCommand command) const {
  const int selected = selectedCount();
  switch (command) {
    case PlotCommand::RemoveSelected:
    case PlotCommand::RemoveUnselected:
    case PlotCommand::SimpleMath:
    case PlotCommand::DeselectAll:
    case PlotCommand::Fitting:
    case PlotCommand::Average:
    case PlotCommand::Smooth:
      return selected >= 1;
    case PlotCommand::UnsetBaseline:
    case PlotCommand::AddBaseline:
    case PlotCommand::SubtractBaseline:
      return hasBaseline();
    case PlotCommand::ToggleBaseline:
      return selected == 1 || hasBaseline();
    case PlotCommand::Convert:
      return selected >= 1 && set_.valueName.find("CircularDichroism") != std::string::npos;
    case PlotCommand::SaveAll:
      return store_->dimensions.size() > 0 && store_->properties.size() > 0;
    case PlotCommand::SaveCurrentPlot:
    case PlotCommand::SaveSelectedTraces:
    case PlotCommand::AverageAll:
      return true;
  }
  return false;
}

// --- baseline ---

bool PlotDocument::setBaseline(int t) {
  if (t < 0 || t >= set_.TraceCount() || set_.traceState[static_cast<std::size_t>(t)] == kTraceExcluded) return false;
  if (t == set_.baselineIndex) return true;
  if (hasBaseline()) unsetBaseline();
  std::vector<int> states = set_.traceState;
  states[static_cast<std::size_t>(t)] = kTraceBaseline;
  set_.SetTraceStates(states);
  // The baseline leaves the selection; it never takes part in an operation.
  set_.selected[static_cast<std::size_t>(t)] = 0;
  set_.AddHistory(datastore::makeHistoryEntry(
      "Baseline Set", "Baseline set : " + set_.traceNames[static_cast<std::size_t>(t)] + " \r\n"));
  changed();
  return true;
}

bool PlotDocument::unsetBaseline() {
  if (!hasBaseline()) return false;
  const auto b = static_cast<std::size_t>(set_.baselineIndex);
  std::vector<int> states = set_.traceState;
  states[b] = kTracePresent;
  set_.SetTraceStates(states);
  set_.baselineIndex = -1;
  set_.AddHistory(datastore::makeHistoryEntry("Unset Baseline", "Baseline unset : " + set_.traceNames[b] + " \r\n"));
  changed();
  return true;
}

bool PlotDocument::toggleBaseline() {
  const auto chosen = selection();
  if (std::count(chosen.begin(), chosen.end(), 1) == 1)
    return setBaseline(static_cast<int>(std::find(chosen.begin(), chosen.end(), 1) - chosen.begin()));
  return unsetBaseline();
}

// --- removal ---

bool PlotDocument::removeTraces(bool selectedOnes) {
  if (selectedCount() < 1) {
    inform("Please select traces first.\n");
    return false;
  }
  const auto chosen = selection();
  std::vector<int> states = set_.traceState;
  std::string text = "Traces Removed :\r\n";
  for (std::size_t t = 0; t < chosen.size(); ++t) {
    if (set_.traceState[t] != kTracePresent || (chosen[t] == 1) != selectedOnes) continue;
    states[t] = kTraceExcluded;
    text += std::string(processing::kHistorySeparator) + set_.traceNames[t] + "\r\n";
  }
  set_.AddHistory(datastore::makeHistoryEntry("Traces Removed :", text));
  set_.SetTraceStates(states);
  // The baseline keeps its selection; every other trace loses it.
  for (std::size_t t = 0; t < set_.selected.size(); ++t)
    if (static_cast<int>(t) != set_.baselineIndex) set_.selected[t] = 0;
  changed();
  return true;
}

bool PlotDocument::removeSelected() { return removeTraces(true); }

bool PlotDocument::removeUnselected() { return removeTraces(false); }

// --- operations ---

bool PlotDocument::appendResult(const processing::CDataSet& result) {
  processing::CDataSet updated = set_;
  // The traces operated on hand their selection over to the new ones.
  std::fill(updated.selected.begin(), updated.selected.end(), 0);
  if (!updated.Append(result, *store_)) return false;
  set_ = std::move(updated);
  changed();
  return true;
}

bool PlotDocument::baselineOperation(bool subtract) {
  if (!hasBaseline()) {
    inform("Please select a baseline first \n");
    return false;
  }
  if (selectedCount() < 1) {
    inform("Please select traces first\n");
    return false;
  }
  try {
    const auto chosen = selection();
    return appendResult(subtract ? set_.Subtract(chosen) : set_.AddBaseline(chosen));
  } catch (const std::exception& e) {
    inform(e.what());
    return false;
  }
}

bool PlotDocument::addBaseline() { return baselineOperation(false); }

bool PlotDocument::subtractBaseline() { return baselineOperation(true); }

bool PlotDocument::average() {
  if (selectedCount() < 2) {
    inform("Please select at lest two traces first\n");
    return false;
  }
  try {
    return appendResult(set_.Average(selection()));
  } catch (const std::exception& e) {
    inform(e.what());
    return false;
  }
}

bool PlotDocument::averageAll() {
  selectAll();
  if (!average()) return false;
  deselectAll();
  set_.selected.back() = 1;
  return removeUnselected();
}

bool PlotDocument::ensureSelectionForMath() {
  if (selectedCount() == 0) {
    if (presentCount() != 1) {
      inform("Please select a trace first.\n");
      return false;
    }
    const auto one = std::find(set_.traceState.begin(), set_.traceState.end(), kTracePresent);
    set_.selected[static_cast<std::size_t>(one - set_.traceState.begin())] = 1;
    changes_.notify(Change::Selection);
  }
  if (selectedCount() < 1) {
    inform("Please select one or more traces first.\n");
    return false;
  }
  return true;
}

bool PlotDocument::simpleMath(PlotDialogs& dialogs) {
  if (!ensureSelectionForMath()) return false;
  SimpleMathDialog dialog;
  if (!dialogs.simpleMath(dialog)) return false;
  const auto chosen = selection();
  const float value = dialog.constant;
  try {
    processing::CDataSet result;
    switch (dialog.operation) {
      case SimpleMathDialog::kAdd:
        result = set_.AddConstant(chosen, value);
        break;
      case SimpleMathDialog::kSubtract:
        result = set_.AddConstant(chosen, -value);
        break;
      case SimpleMathDialog::kMultiply:
        result = set_.Multiply(chosen, value);
        break;
      case SimpleMathDialog::kDivide:
        if (!(std::fabs(value) >= kSmallestDivisor)) {
          inform("Cannot divide by zero. Please select a non-zero value to divide by.\n");
          return false;
        }
        result = set_.Multiply(chosen, 1.0f / value);
        break;
      default:
        return false;
    }
    if (!appendResult(result)) return false;
  } catch (const std::exception& e) {
    inform(e.what());
    return false;
  }
  deselectAll();
  return true;
}

bool PlotDocument::derivesModified() const { return set_.modified || !store_->attributes.dataUnmodified; }

}  // namespace lumatix::app
