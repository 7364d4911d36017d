#pragma once
// The check every text fuzz target makes on a store a reader accepted: it writes as a
// LumatixStore file and reads back with the same shape and the same values to 6 digits.

#include <cstdlib>
#include <sstream>
#include <string>

#include "datastore/data_store.h"
#include "datastore/lumatix_store.h"
#include "datastore/text_number.h"

namespace lumatix::fuzz {

// Names are whole lines of the file, found after skipping white space: a name of nothing
// but white space cannot be told from the empty lines around it.
inline bool lineSafe(const std::string& name) { return name.find_first_not_of(" \t\r\n\v\f") != std::string::npos; }

inline bool namesSurviveText(const datastore::DataStore& store) {
  for (const auto& p : store.properties)
    if (!lineSafe(p)) return false;
  for (const auto& d : store.dimensions)
    if (!lineSafe(d.name)) return false;
  return true;
}

inline bool sameText(float a, float b) { return datastore::text::floatText(a) == datastore::text::floatText(b); }

inline void checkLumatixStoreRoundTrip(datastore::DataStore& store) {
  if (!namesSurviveText(store) || store.dimensions.size() < 1) return;
  std::ostringstream out;
  datastore::writeLumatixStore(store, out, false);
  datastore::DataStore again(true);
  std::istringstream back(out.str());
  try {
    datastore::readLumatixStore(again, back, false);
  } catch (const std::exception&) {
    std::abort();
  }
  if (back.fail() || again.dimensions.size() != store.dimensions.size() ||
      again.properties.size() != store.properties.size() || again.data.count != store.data.count ||
      again.options.size() != store.options.size())
    std::abort();
  for (std::int32_t k = 0; k < store.dimensions.size(); ++k) {
    const auto& a = store.dimensions[k].values;
    const auto& b = again.dimensions[k].values;
    if (a.size() != b.size()) std::abort();
    for (std::int32_t i = 0; i < a.size(); ++i)
      if (!sameText(a[i], b[i])) std::abort();
  }
  for (std::int32_t i = 0; i < store.data.count; ++i)
    if (!sameText(store.data.data[i], again.data.data[i])) std::abort();
}

}  // namespace lumatix::fuzz
