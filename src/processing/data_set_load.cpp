// CDataSet::Load: cutting a DataStore into traces.

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstddef>
#include <stdexcept>
#include <string>

#include "datastore/data_store.h"
#include "processing/axis_labels.h"
#include "processing/data_set.h"
#include "processing/trace_cut.h"
#include "processing/trace_types.h"

namespace lumatix::processing {
namespace {

using datastore::DataStore;
using datastore::ViewState;

[[noreturn]] void refuse(const std::string& text) { throw std::runtime_error(text); }

// The saved view's entry for dimension d; the parts the view does not hold for d keep the
// defaults of an empty entry.
SegmentEntry entryFor(const ViewState& view, int d) {
  SegmentEntry entry;
  if (d < 0) return entry;
  const auto i = static_cast<std::size_t>(d);
  if (i < view.dimensionOrder.size()) entry.dimensionOrder = view.dimensionOrder[i];
  if (i < view.ranges.size()) entry.range = view.ranges[i];
  if (i < view.marks.size()) entry.marks = view.marks[i];
  return entry;
}

bool containsAutoscale(const DataStore& store) {
  if (store.properties.empty()) return false;
  std::string text = store.properties[0];
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text.find("autoscale") != std::string::npos;
}

}  // namespace

void CDataSet::Load(const DataStore& store, int xDim, int traceDim, int valueIndex, int option) {
  if (xDim < 0 || valueIndex < 0) return;
  CDataSet result;
  result.defaultTraceName = defaultTraceName;
  const TraceCut cut = result.LoadShape(store, xDim, traceDim, valueIndex, option);

  // The usual layout (x the fastest dimension, no appended points before measured ones)
  // copies each row in one sweep. All rows of a segment lie in one block.
  bool leadingContiguousA = !cut.conversion.active;
  for (std::size_t j = 0; leadingContiguousA && j < cut.offsetsA.size(); ++j)
    leadingContiguousA = cut.offsetsA[j] == static_cast<std::int64_t>(j);
  const auto traces = static_cast<std::size_t>(cut.traces);
  TraceBlock blockA(traces, cut.offsetsA.size()), blockB(traces, cut.offsetsB.size());
  for (std::size_t t = 0; t < traces; ++t) {
    float* rowA = blockA.values(t);
    if (leadingContiguousA) {
      const float* first = cut.first + static_cast<std::int64_t>(t) * cut.traceStride;
      std::copy(first, first + cut.offsetsA.size(), rowA);
    } else {
      for (std::size_t j = 0; j < cut.offsetsA.size(); ++j) rowA[j] = static_cast<float>(cut.a(static_cast<int>(t), j));
    }
    float* rowB = blockB.values(t);
    for (std::size_t j = 0; j < cut.offsetsB.size(); ++j) rowB[j] = static_cast<float>(cut.b(static_cast<int>(t), j));
  }
  result.yA = blockA.rows();
  result.yB = blockB.rows();
  if (!result.IsValid()) refuse("Could not create valid dataset");
  *this = std::move(result);
}

TraceCut CDataSet::LoadShape(const DataStore& store, int xDim, int traceDim, int valueIndex, int option) {
  TraceCut cut;
  if (xDim < 0 || valueIndex < 0) return cut;

  // Everything that could send a read outside the value block is refused up front.
  const int dimensionCount = store.dimensions.size();
  if (xDim >= dimensionCount)
    refuse("There is no dimension " + std::to_string(xDim) + " to use as the x axis: the data have " +
           std::to_string(dimensionCount) + " dimensions.");
  if (traceDim < -1 || traceDim >= dimensionCount)
    refuse("There is no dimension " + std::to_string(traceDim) + " to draw traces along: the data have " +
           std::to_string(dimensionCount) + " dimensions.");
  if (traceDim == xDim) refuse("The x axis and the traces cannot be along the same dimension.");
  if (valueIndex >= store.properties.size())
    refuse("There is no property " + std::to_string(valueIndex) + ": the data have " +
           std::to_string(store.properties.size()) + " properties.");
  const std::int64_t perProperty = store.valuesPerProperty();
  if (perProperty < 0 || perProperty * store.properties.size() != store.data.count)
    refuse("The values do not match the dimensions of the data.");
  std::int64_t base = valueIndex * perProperty;
  for (int k = 0; k < dimensionCount; ++k) {
    if (k == xDim || k == traceDim) continue;
    const auto& d = store.dimensions[k];
    if (d.currentIndex < 0 || d.currentIndex >= d.size())
      refuse("Index " + std::to_string(d.currentIndex) + " of dimension " + d.name + " does not exist.");
    base += d.currentIndex * store.stride(k);
  }

  CDataSet result;
  result.defaultTraceName = defaultTraceName;
  result.optionIndex = option;
  for (const auto& d : store.dimensions) result.dimNames.push_back(d.name);
  result.history = store.history;

  const auto& xDimension = store.dimensions[xDim];
  result.xDimName = xDimension.name;
  result.xLabel = xAxisLabel(result.xDimName);
  result.autoscale = containsAutoscale(store);

  const TraceInfo info = lookupTraceType(store, valueIndex, option);
  result.valueName = info.valueName;
  result.yLabel = info.yLabel;
  result.unitCode = info.unitCode;
  result.typeName = info.shortName;

  if (traceDim >= 0) {
    result.hasTraceDim = true;
    result.traceDimName = store.dimensions[traceDim].name;
    result.traceAxisLabel = processing::traceAxisLabel(result.traceDimName);
  }

  const ViewState& view = store.viewState;
  if (view.axisCount >= 1) {
    result.segments.push_back(entryFor(view, xDim));
    if (view.axisCount == 1)
      result.segments.push_back(SegmentEntry{});
    else
      result.segments.push_back(entryFor(view, traceDim >= 0 ? traceDim : 1 - xDim));
  }
  const float split = xDim < view.axisCount && !result.segments.empty() ? result.segments[0].range.first : 0.0f;

  // Where each point of the x axis goes; the order along the axis is kept in both segments.
  const int n = xDimension.size();
  std::vector<std::int64_t> offsetsA, offsetsB;
  const std::int64_t xStride = store.stride(xDim);
  for (int j = 0; j < n; ++j) {
    const float x = xDimension.values[j];
    if (x <= split) {
      result.xA.push_back(x);
      offsetsA.push_back(j * xStride);
    } else {
      result.xB.push_back(x);
      offsetsB.push_back(j * xStride);
    }
  }

  const int traces = traceDim >= 0 ? store.dimensions[traceDim].size() : 1;
  result.yA.assign(static_cast<std::size_t>(traces), {});
  result.yB.assign(static_cast<std::size_t>(traces), {});
  result.zValues.assign(static_cast<std::size_t>(traces), 0.0);
  if (traceDim >= 0)
    for (int t = 0; t < traces; ++t) result.zValues[static_cast<std::size_t>(t)] = store.dimensions[traceDim].values[t];
  cut.first = store.data.data + base;
  cut.traceStride = traceDim >= 0 ? store.stride(traceDim) : 0;
  cut.offsetsA = std::move(offsetsA);
  cut.offsetsB = std::move(offsetsB);
  cut.conversion = info.conversion();
  cut.traces = traces;

  result.traceNames.assign(static_cast<std::size_t>(traces), std::string());
  result.traceKind.assign(static_cast<std::size_t>(traces), 0);
  if (traces > 0) result.traceNames[0] = result.defaultTraceName;
  if (traceDim >= 0 && view.axisCount >= 2) {
    const auto& traceAxis = result.segments[1];
    for (const auto& mark : traceAxis.marks)
      if (mark.first < 0 || mark.first >= kTraceKindCount) refuse(kTraceKindOutOfRange);
    const auto& coordinates = store.dimensions[traceDim].values;
    const float traceSplit = traceAxis.range.first;
    const int measured =
        static_cast<int>(std::count_if(coordinates.begin(), coordinates.end(), [&](float z) { return z <= traceSplit; }));
    if (measured > 1)
      for (int t = 0; t < measured; ++t)
        result.traceNames[static_cast<std::size_t>(t)] = coordinateName(coordinates[t]);
    for (int t = measured; t < traces; ++t) {
      const auto ti = static_cast<std::size_t>(t);
      const auto m = static_cast<std::size_t>(t - measured);
      if (m >= traceAxis.marks.size()) {
        // A file may hold more traces past the split than it has marks for: name those by
        // their coordinate rather than read a mark that is not there.
        result.traceNames[ti] = coordinateName(coordinates[t]);
        continue;
      }
      const auto& mark = traceAxis.marks[m];
      result.traceKind[ti] = mark.first;
      result.traceNames[ti] =
          mark.first == 0 ? mark.label : std::string(traceKindName(mark.first)) + ":" + gNumber(mark.second);
      result.kindCounters[static_cast<std::size_t>(mark.first)] = mark.second < INT_MAX ? mark.second + 1 : INT_MAX;
    }
  }

  result.traceState.assign(static_cast<std::size_t>(traces), kTracePresent);
  result.selected.assign(static_cast<std::size_t>(traces), 0);
  result.traceCount = traces;
  result.compliant = store.attributes.cfrCompliant;
  result.pristineFlag = 0;
  *this = std::move(result);
  return cut;
}

}  // namespace lumatix::processing
