#include "plot/data_set_graph.h"

namespace lumatix::plot {

void showDataSet(Graph& graph, const processing::CDataSet& set) {
  const int n = set.TraceCount();
  std::vector<std::vector<double>> y;
  y.reserve(static_cast<std::size_t>(n));
  std::vector<bool> shown, selected;
  for (int t = 0; t < n; ++t) {
    const auto i = static_cast<std::size_t>(t);
    y.push_back(set.YValues(t));
    const int state = i < set.traceState.size() ? set.traceState[i] : processing::kTraceExcluded;
    shown.push_back(state == processing::kTracePresent || state == processing::kTraceBaseline);
    selected.push_back(i < set.selected.size() && set.selected[i] == 1);
  }
  graph.SetData(set.XValues(), y, set.traceNames, shown, selected);
  graph.SetTitles(set.xLabel.c_str(), set.yLabel.c_str());
  graph.SetHeading(set.typeName);
}

}  // namespace lumatix::plot
