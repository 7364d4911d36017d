// CDataSet::ToDataStore: turning traces back into a store.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "datastore/data_store.h"
#include "platform/clock.h"
#include "processing/axis_labels.h"
#include "processing/data_set.h"

namespace lumatix::processing {
namespace {

using datastore::DataStore;
using datastore::ViewMark;

[[noreturn]] void cannotCreate() { throw std::runtime_error("Cannot create datastore"); }

float below(float value) { return std::nextafter(value, -std::numeric_limits<float>::infinity()); }

// The number a derived trace's name "Kind:N" carries, or -1 when the name has another form.
int numberInName(const std::string& name, int kind) {
  const std::string prefix = std::string(traceKindName(kind)) + ":";
  if (name.compare(0, prefix.size(), prefix) != 0) return -1;
  const std::string digits = name.substr(prefix.size());
  if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return -1;
  const int number = std::atoi(digits.c_str());
  return gNumber(number) == digits ? number : -1;
}

}  // namespace

std::unique_ptr<DataStore> CDataSet::ToDataStore() const {
  std::vector<int> all(zValues.size(), 1);
  return ToDataStore(all);
}

std::unique_ptr<DataStore> CDataSet::ToDataStore(const std::vector<int>& selection) const {
  if (selection.size() != zValues.size() || !IsValid()) cannotCreate();

  std::vector<std::size_t> written;
  for (std::size_t t = 0; t < zValues.size(); ++t)
    if (traceState[t] != kTraceExcluded && selection[t] == 1) written.push_back(t);
  // A single trace needs no trace dimension; anything else (no trace at all included) does,
  // so that the store never claims values it does not have.
  const bool withTraceDim = hasTraceDim || zValues.size() != 1 || written.size() != 1;

  const std::size_t points = xA.size() + xB.size();
  if (points > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
      written.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    cannotCreate();

  auto store = std::make_unique<DataStore>(
      "Time Stamp : " + platform::formatTime(platform::localTime(), "%Y/%m/%d %H:%M:%S"), 1, withTraceDim ? 2 : 1);
  store->properties[0] = valueName;
  auto& xDimension = store->dimensions[0];
  xDimension.set(xDimName, static_cast<std::int32_t>(points));
  for (std::size_t j = 0; j < points; ++j)
    xDimension.values[static_cast<std::int64_t>(j)] =
        static_cast<float>(j < xA.size() ? xA[j] : xB[j - xA.size()]);
  std::vector<float> z(written.size());
  for (std::size_t k = 0; k < written.size(); ++k) z[k] = static_cast<float>(zValues[written[k]]);
  if (withTraceDim) {
    auto& traceDimension = store->dimensions[1];
    traceDimension.set(traceDimName.empty() ? std::string("Trace") : traceDimName,
                       static_cast<std::int32_t>(written.size()));
    for (std::size_t k = 0; k < z.size(); ++k) traceDimension.values[static_cast<std::int64_t>(k)] = z[k];
  }
  if (!store->initialise()) cannotCreate();
  store->history = history;

  // The view: the x split keeps segment B beyond it, and the trace split leaves exactly the
  // traces that need a mark beyond it.
  auto& view = store->viewState;
  const int axes = store->dimensions.size();
  view.axisCount = axes;
  view.dimensionOrder.resize(static_cast<std::size_t>(axes));
  view.ranges.resize(static_cast<std::size_t>(axes));
  view.marks.assign(static_cast<std::size_t>(axes), {});
  for (int i = 0; i < axes; ++i) {
    view.dimensionOrder[static_cast<std::size_t>(i)] = i;
    view.ranges[static_cast<std::size_t>(i)] = store->dimensions[i].range();
  }
  if (!xB.empty()) {
    float split = below(static_cast<float>(*std::min_element(xB.begin(), xB.end())));
    if (!xA.empty()) split = static_cast<float>(*std::max_element(xA.begin(), xA.end()));
    view.ranges[0].first = split;
  }

  if (withTraceDim) {
    // Measured traces (kind 0, named by their coordinate) may lead without marks; the reader
    // names a lone leading trace by the default name, so one is not enough.
    std::size_t lead = 0;
    while (lead < written.size() && traceKind[written[lead]] == 0 &&
           traceNames[written[lead]] == coordinateName(z[lead]))
      ++lead;
    std::vector<float> minAfter(z.size() + 1, std::numeric_limits<float>::infinity());
    for (std::size_t k = z.size(); k-- > 0;) minAfter[k] = std::min(minAfter[k + 1], z[k]);
    std::vector<float> maxBefore(z.size() + 1, -std::numeric_limits<float>::infinity());
    for (std::size_t k = 0; k < z.size(); ++k) maxBefore[k + 1] = std::max(maxBefore[k], z[k]);
    while (lead > 0 && !(maxBefore[lead] < minAfter[lead])) --lead;
    if (lead == 1) lead = 0;

    if (lead >= 2)
      view.ranges[1].first = maxBefore[lead];
    else if (!z.empty())
      view.ranges[1].first = below(minAfter[0]);

    std::array<int, kTraceKindCount> unnamed{};
    auto& marks = view.marks[1];
    for (std::size_t k = lead; k < written.size(); ++k) {
      const std::size_t t = written[k];
      const int kind = traceKind[t];
      int number = kind == 0 ? 0 : numberInName(traceNames[t], kind);
      if (number < 0) number = unnamed[static_cast<std::size_t>(kind)]++;
      marks.push_back(ViewMark{z[k], kind, number, traceNames[t], true});
    }
  }

  if (points > 0 && !written.empty()) {
    float* block = store->data.data;
    for (std::size_t k = 0; k < written.size(); ++k) {
      const std::size_t t = written[k];
      float* row = block + k * points;
      const auto& a = yA[t];
      const auto& b = yB[t];
      for (std::size_t j = 0; j < a.size(); ++j) row[j] = static_cast<float>(a[j]);
      for (std::size_t j = 0; j < b.size(); ++j) row[a.size() + j] = static_cast<float>(b[j]);
    }
  }
  store->attributes.cfrCompliant = compliant;
  return store;
}

}  // namespace lumatix::processing
