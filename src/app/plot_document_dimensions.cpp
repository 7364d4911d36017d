// PlotDocument: the dimensions the plot holds at an index, and cutting the traces again at
// another index of one of them.

#include <algorithm>
#include <string>

#include "app/plot_document.h"
#include "app/trace_choice.h"
#include "app/ui.h"

namespace lumatix::app {
namespace {

// The store's first dimension of the name, skipping one; -1 when there is none.
int dimensionNamed(const datastore::DataStore& store, const std::string& name, int skip) {
  for (int d = 0; d < store.dimensions.size(); ++d)
    if (d != skip && store.dimensions[d].name == name) return d;
  return -1;
}

}  // namespace

PlotDocument::Axes PlotDocument::axes() const {
  Axes a;
  if (set_.TraceCount() == 0 && set_.xDimName.empty()) return a;
  a.x = dimensionNamed(*store_, set_.xDimName, -1);
  a.traces = set_.hasTraceDim ? dimensionNamed(*store_, set_.traceDimName, a.x) : -1;
  return a;
}

std::vector<int> PlotDocument::furtherDimensions() const {
  const Axes a = axes();
  std::vector<int> further;
  if (a.x < 0) return further;
  for (int d = 0; d < store_->dimensions.size(); ++d)
    if (d != a.x && d != a.traces) further.push_back(d);
  return further;
}

bool PlotDocument::showFurtherIndex(int dimension, int index) {
  const Axes a = axes();
  const auto further = furtherDimensions();
  if (std::find(further.begin(), further.end(), dimension) == further.end()) return false;
  TraceChoice choice;
  choice.x = std::to_string(a.x);
  choice.traces = a.traces >= 0 ? std::to_string(a.traces) : "none";
  choice.option = set_.optionIndex;
  for (int d : further)
    choice.at.push_back(std::to_string(d) + "=" +
                        std::to_string(d == dimension ? index : store_->dimensions[d].currentIndex));
  // The entries made so far belong to the store before the traces are cut again.
  syncHistory();
  const std::vector<std::int32_t> before = [&] {
    std::vector<std::int32_t> indices;
    for (const auto& d : store_->dimensions) indices.push_back(d.currentIndex);
    return indices;
  }();
  try {
    processing::CDataSet cut = loadTraces(*store_, choice);
    cut.history = store_->history;
    set_ = std::move(cut);
  } catch (const std::exception& e) {
    for (int d = 0; d < store_->dimensions.size(); ++d) store_->dimensions[d].currentIndex = before[static_cast<std::size_t>(d)];
    inform(e.what());
    return false;
  }
  loaded_ = set_;
  historySynced_ = set_.history.size();
  changes_.notify(Change::Data | Change::Selection | Change::View);
  return true;
}

}  // namespace lumatix::app
