// Smoothing whole traces and recording it.

#include "processing/smoothing.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <string>

#include "datastore/history_entry.h"
#include "processing/axis_labels.h"
#include "processing/history_texts.h"

namespace lumatix::processing {
namespace {

constexpr int kSmoothed = 8;
constexpr int kResidual = 9;

CDataSet derived(const CDataSet& window, const CDataSet& traces, const std::vector<std::vector<double>>& rows,
                 int kind) {
  CDataSet result = traces.FirstTraces(traces.TraceCount());
  result.xA = window.xA;
  const int first = window.kindCounters[static_cast<std::size_t>(kind)];
  result.kindCounters[static_cast<std::size_t>(kind)] = first;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    result.yA[i] = TraceRow(rows[i].begin(), rows[i].end());
    result.selected[i] = 1;
    result.traceState[i] = kTracePresent;
    result.traceKind[i] = kind;
    result.traceNames[i] = derivedTraceName(kind, first + static_cast<int>(i));
  }
  return result;
}

}  // namespace

int smoothingValue(int typed, int points) {
  int n = std::max(typed, 1);
  n = std::min(n, kMaxSmoothingValue);
  if (n > points / 2) n = points / 2;
  return n;
}

SmoothedRows SmoothSG(CSGFilter& filter, int n, const std::vector<std::vector<double>>& rows) {
  const char* failure = "CDataSet::SmoothSG : filter fails to do convolution\n";
  if (n < 1 || n > (std::numeric_limits<int>::max() - 1) / 2 || !filter.SetWindow(2 * n + 1, 2))
    throw std::runtime_error(failure);
  SmoothedRows out;
  std::vector<float> input, output;
  for (const auto& row : rows) {
    input.assign(row.begin(), row.end());
    if (!filter.Filter(input, output)) throw std::runtime_error(failure);
    std::vector<double> smoothed(output.begin(), output.end());
    std::vector<double> residual(row.size());
    for (std::size_t j = 0; j < row.size(); ++j)
      residual[j] = static_cast<double>(input[j]) - static_cast<double>(output[j]);
    out.smoothed.push_back(std::move(smoothed));
    out.residual.push_back(std::move(residual));
  }
  return out;
}

SmoothingResult makeSmoothingResult(const CDataSet& window, const CDataSet& traces, const SmoothedRows& rows, int n,
                                    bool replace) {
  const auto count = static_cast<std::size_t>(traces.TraceCount());
  if (rows.smoothed.size() != count || rows.residual.size() != count)
    throw std::invalid_argument("The smoothed rows do not match the traces.");
  for (std::size_t i = 0; i < count; ++i)
    if (rows.smoothed[i].size() != window.xA.size() || rows.residual[i].size() != window.xA.size())
      throw std::invalid_argument("The smoothed rows do not match the traces.");

  SmoothingResult result{derived(window, traces, rows.smoothed, kSmoothed),
                         derived(window, traces, rows.residual, kResidual)};
  const std::string sep = kHistorySeparator;
  const std::string end = kCrLf;
  const std::string size = "Window Size    :" + std::to_string(n) + end;
  result.smoothed.history = window.history;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string what =
        replace ? std::string("Replaced with smoothed line") : "Smoothed Trace :" + sep + result.smoothed.traceNames[i];
    result.smoothed.AddHistory(datastore::makeHistoryEntry(
        "Smooth", "Original Trace :" + sep + traces.traceNames[i] + end + what + end + size));
  }
  result.residual.history = result.smoothed.history;
  for (std::size_t i = 0; i < count; ++i)
    result.residual.AddHistory(datastore::makeHistoryEntry("Smooth:", "Original Trace :" + sep + traces.traceNames[i] +
                                                                          end + "Residual Trace :" + sep +
                                                                          result.residual.traceNames[i] + end + size));
  return result;
}

}  // namespace lumatix::processing
