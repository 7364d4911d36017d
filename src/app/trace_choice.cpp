#include "app/trace_choice.h"

#include <charconv>

namespace lumatix::app {
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
  throw TraceChoiceError("The file has no dimension \"" + text + "\" (its dimensions: " + names + ").\n");
}

TraceAxes resolveAxes(const datastore::DataStore& store, const TraceChoice& choice) {
  const int dimensionCount = store.dimensions.size();
  if (dimensionCount < 1) throw TraceChoiceError("The file has no dimensions to draw traces along.\n");

  TraceAxes axes;
  axes.x = choice.x.empty() ? viewAxis(store, 0) : resolveDimension(store, choice.x);
  if (axes.x < 0) axes.x = 0;
  if (choice.traces == "none") {
    axes.traces = -1;
  } else if (!choice.traces.empty()) {
    axes.traces = resolveDimension(store, choice.traces);
  } else {
    // The saved view's second axis, or else the first dimension the x axis leaves free.
    axes.traces = viewAxis(store, 1);
    if (axes.traces == axes.x || axes.traces < 0) {
      axes.traces = -1;
      for (std::size_t axis = 0; axes.traces < 0 && static_cast<int>(axis) < dimensionCount; ++axis) {
        int d = viewAxis(store, axis);
        if (d < 0) d = static_cast<int>(axis);
        if (d != axes.x) axes.traces = d;
      }
    }
  }
  if (axes.traces == axes.x) throw TraceChoiceError("The x axis and the traces cannot be along the same dimension.\n");
  return axes;
}

namespace {

// Sets the store's current indices as chosen; returns the axes.
TraceAxes holdDimensions(datastore::DataStore& store, const TraceChoice& choice) {
  const TraceAxes axes = resolveAxes(store, choice);
  for (auto& d : store.dimensions) d.currentIndex = 0;
  for (const auto& item : choice.at) {
    const auto equals = item.find('=');
    if (equals == std::string::npos) throw TraceChoiceError("--at takes DIM=INDEX, not \"" + item + "\".\n");
    const int d = resolveDimension(store, item.substr(0, equals));
    if (d == axes.x || d == axes.traces)
      throw TraceChoiceError("--at cannot hold dimension " + store.dimensions[d].shortName() +
                             ": it is the x axis or the trace axis.\n");
    int index = -1;
    const std::string indexText = item.substr(equals + 1);
    if (!parseIndex(indexText, index) || index < 0 || index >= store.dimensions[d].size())
      throw TraceChoiceError("Index " + indexText + " of dimension " + store.dimensions[d].name +
                             " does not exist (it has " + std::to_string(store.dimensions[d].size()) + " points).\n");
    store.dimensions[d].currentIndex = index;
  }
  return axes;
}

}  // namespace

processing::CDataSet loadTraces(datastore::DataStore& store, const TraceChoice& choice) {
  const TraceAxes axes = holdDimensions(store, choice);
  processing::CDataSet set;
  set.Load(store, axes.x, axes.traces, 0, choice.option);
  return set;
}

processing::TraceCut loadTraceShape(datastore::DataStore& store, const TraceChoice& choice, processing::CDataSet& set) {
  const TraceAxes axes = holdDimensions(store, choice);
  return set.LoadShape(store, axes.x, axes.traces, 0, choice.option);
}

}  // namespace lumatix::app
