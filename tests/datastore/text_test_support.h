#pragma once
// Small stores and in-memory files for the text format tests.

#include <sstream>
#include <string>
#include <vector>

#include "datastore/data_store.h"

namespace lumatix::testing {

// A store with the given dimensions and properties whose value block holds 0, 1, 2, ...
// scaled by step.
inline datastore::DataStore makeStore(const std::vector<datastore::Dimension>& dimensions,
                                      const std::vector<std::string>& properties, float step = 1.0f) {
  datastore::DataStore store(true);
  store.title = "Test store";
  for (const auto& d : dimensions) store.dimensions.push_back(d);
  for (const auto& p : properties) store.properties.push_back(p);
  store.initialise();
  for (std::int32_t i = 0; i < store.data.count; ++i) store.data.data[i] = static_cast<float>(i) * step;
  store.computeRange();
  return store;
}

inline std::vector<float> valuesOf(const datastore::DataStore& store) {
  return {store.data.data, store.data.data + store.data.count};
}

inline std::vector<float> valuesOf(const datastore::Array<float>& a) { return {a.begin(), a.end()}; }

// Runs a reader over text; returns whether the stream was left good.
template <class Reader>
bool readText(const std::string& text, Reader reader) {
  std::istringstream in(text);
  reader(in);
  return !in.fail() && !in.bad();
}

}  // namespace lumatix::testing
