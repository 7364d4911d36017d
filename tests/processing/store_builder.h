#pragma once
// Small stores for the data-set tests: an x dimension, an optional trace dimension and
// further dimensions, with every value a known function of its indices.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datastore/data_store.h"

namespace lumatix::testing {

struct Axis {
  std::string name;
  std::vector<float> values;
};

// value(property, index tuple) gives each stored value.
inline std::unique_ptr<datastore::DataStore> makeStore(
    const std::vector<std::string>& properties, const std::vector<Axis>& axes,
    const std::function<float(int, const std::vector<int>&)>& value) {
  auto store = std::make_unique<datastore::DataStore>("test store", static_cast<int>(properties.size()),
                                                      static_cast<int>(axes.size()));
  for (std::size_t p = 0; p < properties.size(); ++p) store->properties[static_cast<std::int64_t>(p)] = properties[p];
  for (std::size_t d = 0; d < axes.size(); ++d)
    store->dimensions[static_cast<std::int64_t>(d)] = datastore::Dimension(axes[d].name, axes[d].values);
  if (!store->initialise()) throw std::runtime_error("test store not initialised");
  std::vector<int> index(axes.size(), 0);
  std::int64_t position = 0;
  for (std::size_t p = 0; p < properties.size(); ++p) {
    std::fill(index.begin(), index.end(), 0);
    bool done = false;
    while (!done) {
      store->data[position++] = value(static_cast<int>(p), index);
      done = true;
      for (std::size_t d = 0; d < index.size(); ++d) {
        if (++index[d] < static_cast<int>(axes[d].values.size())) {
          done = false;
          break;
        }
        index[d] = 0;
      }
    }
  }
  return store;
}

// Value 1000 * trace + point, so every value names its place.
inline float placeValue(int, const std::vector<int>& index) {
  return static_cast<float>(1000 * (index.size() > 1 ? index[1] : 0) + index[0]);
}

}  // namespace lumatix::testing
