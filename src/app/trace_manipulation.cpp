#include "app/trace_manipulation.h"

#include "app/plot_document.h"

namespace lumatix::app {
namespace {

using processing::kTraceBaseline;
using processing::kTraceExcluded;
using processing::kTracePresent;

std::vector<int> tracesIn(const std::vector<int>& states, int state) {
  std::vector<int> traces;
  for (std::size_t t = 0; t < states.size(); ++t)
    if (states[t] == state) traces.push_back(static_cast<int>(t));
  return traces;
}

}  // namespace

const std::vector<TraceButtonLabel>& traceButtons() {
  static const std::vector<TraceButtonLabel> buttons{
      {TraceButton::Remove, "&Remove"},
      {TraceButton::RemoveOthers, "Remove Others"},
      {TraceButton::SelectAll, "Select &All"},
      {TraceButton::DeselectAll, "&Deselect All"},
      {TraceButton::SetBaseline, "Set Baseline"},
      {TraceButton::UnsetBaseline, "Unset Baseline"},
      {TraceButton::SubtractBaseline, "Subtract Baseline"},
      {TraceButton::Average, "Average"},
      {TraceButton::Smooth, "Smooth"},
      {TraceButton::Fit, "Fit"},
      {TraceButton::SimpleMaths, "Simple Maths"},
      {TraceButton::Convert, "Convert..."},
      {TraceButton::ThinData, "Thin Data"},
  };
  return buttons;
}

PlotMenuCommand menuCommandOf(TraceButton button) {
  using C = PlotMenuCommand;
  switch (button) {
    case TraceButton::Remove: return C::RemoveSelected;
    case TraceButton::RemoveOthers: return C::RemoveUnselected;
    case TraceButton::SelectAll: return C::SelectAll;
    case TraceButton::DeselectAll: return C::DeselectAll;
    case TraceButton::SetBaseline: return C::ToggleBaseline;
    case TraceButton::UnsetBaseline: return C::UnsetBaseline;
    case TraceButton::SubtractBaseline: return C::SubtractBaseline;
    case TraceButton::Average: return C::Average;
    case TraceButton::Smooth: return C::Smooth;
    case TraceButton::Fit: return C::Fitting;
    case TraceButton::SimpleMaths: return C::SimpleMath;
    case TraceButton::Convert: return C::Convert;
    case TraceButton::ThinData: return C::SelectRange;
  }
  return C::SelectRange;
}

std::vector<TraceManipulation::Item> TraceManipulation::visible() const {
  const auto& set = document_.dataSet();
  std::vector<Item> items;
  for (std::size_t t = 0; t < set.traceState.size(); ++t) {
    const int state = set.traceState[t];
    if (state == kTraceExcluded) continue;
    const bool baseline = state == kTraceBaseline;
    items.push_back({static_cast<int>(t), set.traceNames[t] + (baseline ? " (Baseline)" : ""),
                     document_.isSelected(static_cast<int>(t)), baseline});
  }
  return items;
}

std::vector<TraceManipulation::Item> TraceManipulation::removed() const {
  const auto& set = document_.dataSet();
  std::vector<Item> items;
  for (int t : tracesIn(set.traceState, kTraceExcluded))
    items.push_back({t, set.traceNames[static_cast<std::size_t>(t)], false, false});
  return items;
}

void TraceManipulation::selectVisible(const std::vector<int>& traces) {
  const auto& set = document_.dataSet();
  std::vector<bool> wanted(set.traceState.size(), false);
  for (int t : traces)
    if (t >= 0 && static_cast<std::size_t>(t) < wanted.size()) wanted[static_cast<std::size_t>(t)] = true;
  for (std::size_t t = 0; t < wanted.size(); ++t)
    if (set.traceState[t] == kTracePresent && wanted[t] != document_.isSelected(static_cast<int>(t)))
      document_.select(static_cast<int>(t), wanted[t]);
}

bool TraceManipulation::remove(const std::vector<int>& traces) { return document_.hideTraces(traces); }

bool TraceManipulation::restore(const std::vector<int>& traces) { return document_.restoreTraces(traces); }

bool TraceManipulation::removeAll() {
  return document_.hideTraces(tracesIn(document_.dataSet().traceState, kTracePresent));
}

bool TraceManipulation::restoreAll() {
  return document_.restoreTraces(tracesIn(document_.dataSet().traceState, kTraceExcluded));
}

bool TraceManipulation::canRemoveAll() const { return document_.presentCount() > 0; }

bool TraceManipulation::canRestoreAll() const {
  return !tracesIn(document_.dataSet().traceState, kTraceExcluded).empty();
}

bool TraceManipulation::enabled(TraceButton button) const {
  switch (button) {
    case TraceButton::Remove: return document_.isEnabled(PlotCommand::RemoveSelected);
    case TraceButton::RemoveOthers: return document_.isEnabled(PlotCommand::RemoveUnselected);
    case TraceButton::SelectAll: return document_.presentCount() > 0;
    case TraceButton::DeselectAll: return document_.isEnabled(PlotCommand::DeselectAll);
    // Setting takes the one selected trace; with a baseline set, the menu's toggle would unset.
    case TraceButton::SetBaseline: return document_.selectedCount() == 1;
    case TraceButton::UnsetBaseline: return document_.isEnabled(PlotCommand::UnsetBaseline);
    case TraceButton::SubtractBaseline: return document_.isEnabled(PlotCommand::SubtractBaseline);
    case TraceButton::Average: return document_.isEnabled(PlotCommand::Average);
    case TraceButton::Smooth: return document_.isEnabled(PlotCommand::Smooth);
    case TraceButton::Fit: return document_.isEnabled(PlotCommand::Fitting);
    case TraceButton::SimpleMaths: return document_.isEnabled(PlotCommand::SimpleMath);
    case TraceButton::Convert: return document_.isEnabled(PlotCommand::Convert);
    case TraceButton::ThinData: return document_.dataSet().TraceCount() > 0;
  }
  return false;
}

std::string visibleTraceRangeProblem(const VisibleTraceRange& range, int traceCount) {
  if (range.start < 1 || range.end < 1 || range.step < 1)
    return "Start Trace, End Trace and Step must be whole numbers of at least 1.";
  if (range.end < range.start) return "End Trace must not come before Start Trace.";
  if (range.start > traceCount)
    return "Start Trace must be one of the plot's " + std::to_string(traceCount) + " traces.";
  return "";
}

}  // namespace lumatix::app
