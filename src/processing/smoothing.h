#pragma once
// Savitzky-Golay smoothing of whole traces: the typed window value, the smoothed and
// residual rows, and the data sets (with their history entries) that the plot appends.

#include <vector>

#include "processing/data_set.h"
#include "processing/sg_filter.h"

namespace lumatix::processing {

// The largest window value the smoothing dialog's spin control offers.
inline constexpr int kMaxSmoothingValue = 1000;

// The typed window value n as smoothing uses it: below 1 it is 1; above points / 2 it is
// points / 2; above the spin control's range it is kMaxSmoothingValue. The window is 2n + 1.
int smoothingValue(int typed, int points);

struct SmoothedRows {
  std::vector<std::vector<double>> smoothed;  // one row per trace, float-rounded
  std::vector<std::vector<double>> residual;  // input minus smoothed, point by point
};

// Sets the filter's window to 2n + 1 (order 2) and smooths every row, each rounded to float
// first. Throws "CDataSet::SmoothSG : filter fails to do convolution\n" when the window
// cannot be had or a row cannot be filtered.
SmoothedRows SmoothSG(CSGFilter& filter, int n, const std::vector<std::vector<double>>& rows);

struct SmoothingResult {
  CDataSet smoothed;  // kind 8, "Smooth (s)"; history: the window's plus one entry per trace
  CDataSet residual;  // kind 9, "Smooth (r)"; history: the smoothed result's plus one per trace
};

// The results of smoothing `traces` (the selected traces of `window`, as Subset gives them)
// with window value n. In replace mode the smoothed entries say "Replaced with smoothed line"
// instead of naming a new trace. Throws std::invalid_argument when rows and traces differ.
SmoothingResult makeSmoothingResult(const CDataSet& window, const CDataSet& traces, const SmoothedRows& rows, int n,
                                    bool replace);

}  // namespace lumatix::processing
