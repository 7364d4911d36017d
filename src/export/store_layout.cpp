#include "export/store_layout.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

#include "datastore/data_store.h"

namespace lumatix::exports {

std::vector<std::int32_t> outputOrder(const datastore::DataStore& store) {
  std::vector<std::int32_t> order(static_cast<std::size_t>(store.dimensions.size()));
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::int32_t>(i);
  // Stable: a later dimension moves ahead only when it is strictly larger.
  for (std::size_t pass = 0; pass + 1 < order.size(); ++pass)
    for (std::size_t i = 0; i + 1 < order.size() - pass; ++i)
      if (store.dimensions[order[i + 1]].size() > store.dimensions[order[i]].size()) std::swap(order[i], order[i + 1]);
  return order;
}

float splitValue(const datastore::DataStore& store, std::int32_t d) {
  const auto& ranges = store.viewState.ranges;
  if (d < 0 || static_cast<std::size_t>(d) >= ranges.size()) return std::numeric_limits<float>::infinity();
  return ranges[static_cast<std::size_t>(d)].first;
}

void requireValueBlock(const datastore::DataStore& store) {
  const std::int64_t perProperty = store.valuesPerProperty();
  const std::int64_t properties = store.properties.size();
  if (perProperty < 0 || perProperty * properties != store.data.count ||
      (store.data.count > 0 && store.data.data == nullptr))
    throw std::runtime_error("Datastore not valid");
}

std::int64_t baseOffset(const datastore::DataStore& store, std::int32_t p, const std::vector<std::int32_t>& walked) {
  std::int64_t offset = static_cast<std::int64_t>(p) * store.valuesPerProperty();
  for (std::int32_t d = 0; d < store.dimensions.size(); ++d) {
    if (std::find(walked.begin(), walked.end(), d) != walked.end()) continue;
    const auto& dimension = store.dimensions[d];
    const std::int32_t index = std::clamp(dimension.currentIndex, 0, std::max(dimension.size() - 1, 0));
    offset += index * store.stride(d);
  }
  return offset;
}

}  // namespace lumatix::exports
