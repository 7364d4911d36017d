// CDataSet: selecting, appending and bookkeeping of traces.

#include "processing/data_set.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "datastore/data_store.h"
#include "processing/axis_labels.h"

namespace lumatix::processing {

using datastore::DataStore;

bool CDataSet::IsValid() const {
  const std::size_t traces = zValues.size();
  if (traceState.size() != traces || selected.size() != traces || traceKind.size() != traces ||
      traceNames.size() != traces || yA.size() != traces || yB.size() != traces)
    return false;
  for (std::size_t t = 0; t < traces; ++t) {
    if (yA[t].size() != xA.size() || yB[t].size() != xB.size()) return false;
    if (traceKind[t] < 0 || traceKind[t] >= kTraceKindCount) return false;
  }
  return baselineIndex >= -1 && baselineIndex < static_cast<int>(traces);
}

std::vector<double> CDataSet::XValues() const {
  std::vector<double> x(xA);
  x.insert(x.end(), xB.begin(), xB.end());
  return x;
}

std::vector<double> CDataSet::YValues(int t) const {
  if (t < 0 || t >= TraceCount()) throw std::out_of_range("There is no trace " + std::to_string(t) + ".");
  const auto ti = static_cast<std::size_t>(t);
  std::vector<double> y = yA.at(ti).toDoubles();
  const auto& b = yB.at(ti);
  y.insert(y.end(), b.begin(), b.end());
  return y;
}

CDataSet CDataSet::Frame() const {
  CDataSet result;
  result.typeName = typeName;
  result.xLabel = xLabel;
  result.yLabel = yLabel;
  result.traceAxisLabel = traceAxisLabel;
  result.xDimName = xDimName;
  result.valueName = valueName;
  result.traceDimName = traceDimName;
  result.xA = xA;
  result.unitCode = unitCode;
  // The audit trail and the compliance flag travel with the traces: an operation's result
  // is appended to the window with Append, which takes both over from it.
  result.history = history;
  result.compliant = compliant;
  result.dimNames = dimNames;
  return result;
}

CDataSet CDataSet::Subset(const std::vector<int>& selection) const {
  if (selection.size() != zValues.size() || !IsValid())
    throw std::invalid_argument("CDataSet::Subset : size mismatch in Z axis");

  CDataSet result = Frame();

  for (std::size_t t = 0; t < selection.size(); ++t) {
    if (selection[t] != 1 || static_cast<int>(t) == baselineIndex) continue;
    result.zValues.push_back(zValues[t]);
    result.traceNames.push_back(traceNames[t]);
    result.selected.push_back(selected[t]);
    result.traceKind.push_back(traceKind[t]);
    result.yA.push_back(yA[t]);
    result.yB.emplace_back();
  }
  const int kept = result.TraceCount();
  result.traceState.assign(static_cast<std::size_t>(kept), kTracePresent);
  result.pristineFlag = 0;
  result.subsetFlag = 1;
  result.traceCount = kept;
  result.hasTraceDim = kept > 1;
  result.segments = segments;
  return result;
}

CDataSet CDataSet::FirstTraces(int n) const {
  std::vector<int> selection(zValues.size(), 0);
  for (std::size_t t = 0; t < selection.size() && static_cast<std::int64_t>(t) < n; ++t) selection[t] = 1;
  return Subset(selection);
}

CDataSet CDataSet::SelectedOnly() const {
  const int n = static_cast<int>(std::count(selected.begin(), selected.end(), 1));
  CDataSet result = FirstTraces(n);
  if (result.TraceCount() != n) throw std::runtime_error("Could not create valid dataset");
  std::size_t k = 0;
  for (std::size_t t = 0; t < selected.size(); ++t) {
    if (selected[t] != 1) continue;
    result.yA[k] = yA[t];
    result.traceNames[k] = traceNames[t];
    result.traceKind[k] = traceKind[t];
    result.selected[k] = 1;
    ++k;
  }
  if (!result.IsValid()) throw std::runtime_error("Could not create valid dataset");
  return result;
}

namespace {

bool descending(const std::vector<double>& x) { return x.size() >= 2 && x.back() < x.front(); }

// Gives a one-dimensional store a trace dimension of one point. The new dimension is the
// slowest-varying one and has a single index, so every value keeps its place in the block.
void ensureTraceAxis(DataStore& store) {
  if (store.dimensions.size() == 1) store.dimensions.push_back(datastore::Dimension("Trace", {0.0f}));
  auto& view = store.viewState;
  if (view.axisCount < 2 && store.dimensions.size() >= 2) {
    view.axisCount = 2;
    if (view.dimensionOrder.size() < 2) view.dimensionOrder.resize(2, 1);
    if (view.ranges.size() < 2) view.ranges.resize(2, store.dimensions[1].range());
  }
  if (view.marks.size() < 2) view.marks.resize(2);
}

// Whether the entries of prefix are the first entries of whole.
bool startsWith(const std::vector<datastore::HistoryEntry>& whole,
                const std::vector<datastore::HistoryEntry>& prefix) {
  return prefix.size() <= whole.size() && std::equal(prefix.begin(), prefix.end(), whole.begin());
}

}  // namespace

bool CDataSet::Append(const CDataSet& other, DataStore& windowStore) {
  if (yLabel != other.yLabel) return false;
  if (!IsValid() || !other.IsValid())
    throw std::runtime_error("Could not create valid dataset");
  for (const auto& row : other.yA)
    if (row.size() != xA.size())
      throw std::runtime_error("The new traces have " + std::to_string(row.size()) +
                               " points where the plot has " + std::to_string(xA.size()) + ".");

  traceDimName += " -arb";
  const double origin = zValues.empty() ? 0.0 : *std::max_element(zValues.begin(), zValues.end());
  double step = zValues.size() >= 2 ? std::fabs(zValues[1] - zValues[0]) : 1.0;
  // Appended traces must lie beyond every existing coordinate, or a saved file would take
  // them for measured traces and lose their names.
  if (!(step > 0.0) || !std::isfinite(step)) step = 1.0;
  const bool flip = descending(xA) != descending(other.xA);

  ensureTraceAxis(windowStore);
  auto& marks = windowStore.viewState.marks[1];
  const int appended = other.TraceCount();
  for (int i = 0; i < appended; ++i) {
    const auto oi = static_cast<std::size_t>(i);
    const int kind = other.traceKind[oi];
    const auto ki = static_cast<std::size_t>(kind);
    const double z = origin + (i + 1) * step;
    const std::string name = other.defaultTraceName.empty()
                                 ? std::string(traceKindName(kind)) + ":" + gNumber(kindCounters[ki])
                                 : other.defaultTraceName + "::" + other.traceNames[oi];
    marks.push_back({static_cast<float>(z), kind, kindCounters[ki], name, true});
    if (kindCounters[ki] < std::numeric_limits<int>::max()) ++kindCounters[ki];

    zValues.push_back(z);
    traceNames.push_back(name);
    traceKind.push_back(kind);
    traceState.push_back(kTracePresent);
    selected.push_back(other.selected[oi]);
    yA.push_back(other.yA[oi]);
    if (flip) std::ranges::reverse(yA.back().edit());
    // An operation's result has no segment B; its points there are unknown.
    yB.emplace_back(xB.size(), std::numeric_limits<float>::quiet_NaN());
    ++traceCount;
  }

  compliant = other.compliant;
  modified = true;
  // An operation's result normally carries this history plus its own entries; one that
  // carries only its own entries must not wipe the audit trail.
  if (startsWith(other.history, history))
    history = other.history;
  else
    history.insert(history.end(), other.history.begin(), other.history.end());
  hasTraceDim = true;
  return true;
}

void CDataSet::AddHistory(const datastore::HistoryEntry& entry) {
  history.push_back(entry);
  modified = true;
}

bool CDataSet::SetTraceStates(const std::vector<int>& states) {
  if (states.size() != zValues.size()) return false;
  int present = 0;
  for (std::size_t t = 0; t < states.size(); ++t) {
    if (states[t] == kTracePresent) {
      traceState[t] = kTracePresent;
      ++present;
    } else if (states[t] == kTraceBaseline) {
      traceState[t] = kTraceBaseline;
      baselineIndex = static_cast<int>(t);
    } else {
      traceState[t] = kTraceExcluded;
    }
  }
  traceCount = present;
  return true;
}

}  // namespace lumatix::processing
