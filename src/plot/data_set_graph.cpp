#include "plot/data_set_graph.h"

namespace lumatix::plot {

void showDataSet(Graph& graph, const processing::CDataSet& set) {
  const int n = set.TraceCount();
  // The graph shares the data set's rows: a plot window holds its traces' values once. Only
  // a trace with points in segment B is joined into a row of its own.
  std::vector<double> x = set.XValues();
  std::vector<processing::TraceRow> y(static_cast<std::size_t>(n));
  std::vector<bool> shown, selected;
  for (int t = 0; t < n; ++t) {
    const auto i = static_cast<std::size_t>(t);
    const processing::TraceRow* a = i < set.yA.size() ? &set.yA[i] : nullptr;
    const processing::TraceRow* b = i < set.yB.size() ? &set.yB[i] : nullptr;
    if (a && (!b || b->empty())) {
      y[i] = *a;
    } else {
      std::vector<float> row;
      row.reserve((a ? a->size() : 0) + (b ? b->size() : 0));
      if (a) row.insert(row.end(), a->begin(), a->end());
      if (b) row.insert(row.end(), b->begin(), b->end());
      y[i] = processing::TraceRow(std::move(row));
    }
    const int state = i < set.traceState.size() ? set.traceState[i] : processing::kTraceExcluded;
    shown.push_back(state == processing::kTracePresent || state == processing::kTraceBaseline);
    selected.push_back(i < set.selected.size() && set.selected[i] == 1);
  }
  graph.SetDataRows(std::move(x), std::move(y), set.traceNames, shown, selected);
  graph.SetTitles(set.xLabel.c_str(), set.yLabel.c_str());
  graph.SetHeading(set.typeName);
}

}  // namespace lumatix::plot
