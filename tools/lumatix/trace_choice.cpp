#include "trace_choice.h"

#include <charconv>

#include "cli_support.h"

namespace lumatix::cli {
namespace {

bool parseIndex(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && ptr == end && !text.empty();
}

// The dimension shown on a view axis, when the saved view names one the store has.
int viewAxis(const datastore::DataStore& store, std::size_t axis) {
  const auto& view = store.viewState;
  if (static_cast<std::int64_t>(axis) >= view.axisCount || axis >= view.dimensionOrder.size()) return -1;
  const int d = view.dimensionOrder[axis];
  return d >= 0 && d < store.dimensions.size() ? d : -1;
}

}  // namespace

void addTraceChoiceOptions(CLI::App& command, TraceChoice& choice) {
  command.add_option("--x", choice.x, "The x dimension: short name or index (default: the saved view's x axis)");
  command.add_option("--traces", choice.traces,
                     "The dimension along which traces are cut, or 'none' (default: the saved view's second axis)");
  command.add_option("--at", choice.at, "DIM=INDEX: the index at which another dimension is held (default 0)");
  command.add_option("--option", choice.option, "The trace-type option row (default: the stored option)");
}

int resolveDimension(const datastore::DataStore& store, const std::string& text) {
  int index = -1;
  if (parseIndex(text, index)) {
    if (index >= 0 && index < store.dimensions.size()) return index;
  } else {
    for (int d = 0; d < store.dimensions.size(); ++d)
      if (store.dimensions[d].shortName() == text || store.dimensions[d].name == text) return d;
  }
  std::string names;
  for (const auto& d : store.dimensions) names += (names.empty() ? "" : ", ") + d.shortName();
  throw CommandError("The file has no dimension \"" + text + "\" (its dimensions: " + names + ").\n");
}

processing::CDataSet loadTraces(datastore::DataStore& store, const TraceChoice& choice) {
  const int dimensionCount = store.dimensions.size();
  if (dimensionCount < 1) throw CommandError("The file has no dimensions to draw traces along.\n");

  int x = choice.x.empty() ? viewAxis(store, 0) : resolveDimension(store, choice.x);
  if (x < 0) x = 0;
  int traces = -1;
  if (choice.traces == "none") {
    traces = -1;
  } else if (!choice.traces.empty()) {
    traces = resolveDimension(store, choice.traces);
  } else {
    // The saved view's second axis, or else the first dimension the x axis leaves free.
    traces = viewAxis(store, 1);
    if (traces == x || traces < 0) {
      traces = -1;
      for (std::size_t axis = 0; traces < 0 && static_cast<int>(axis) < dimensionCount; ++axis) {
        int d = viewAxis(store, axis);
        if (d < 0) d = static_cast<int>(axis);
        if (d != x) traces = d;
      }
    }
  }
  if (traces == x) throw CommandError("The x axis and the traces cannot be along the same dimension.\n");

  for (auto& d : store.dimensions) d.currentIndex = 0;
  for (const auto& item : choice.at) {
    const auto equals = item.find('=');
    if (equals == std::string::npos) throw CommandError("--at takes DIM=INDEX, not \"" + item + "\".\n");
    const int d = resolveDimension(store, item.substr(0, equals));
    if (d == x || d == traces)
      throw CommandError("--at cannot hold dimension " + store.dimensions[d].shortName() +
                         ": it is the x axis or the trace axis.\n");
    int index = -1;
    const std::string indexText = item.substr(equals + 1);
    if (!parseIndex(indexText, index) || index < 0 || index >= store.dimensions[d].size())
      throw CommandError("Index " + indexText + " of dimension " + store.dimensions[d].name +
                         " does not exist (it has " + std::to_string(store.dimensions[d].size()) + " points).\n");
    store.dimensions[d].currentIndex = index;
  }

  processing::CDataSet set;
  set.Load(store, x, traces, 0, choice.option);
  return set;
}

}  // namespace lumatix::cli
