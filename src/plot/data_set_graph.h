#pragma once
// Showing a data set in the plot window's graph: its traces, their visibility and selection,
// the axis titles from its labels and its type name as the heading.

#include "plot/graph.h"
#include "processing/data_set.h"

namespace lumatix::plot {

// Present traces and the baseline are drawn, excluded ones are not; selected ones are bold.
// Throws the graph's data messages (std::invalid_argument), keeping its previous data.
void showDataSet(Graph& graph, const processing::CDataSet& set);

}  // namespace lumatix::plot
