#pragma once
// What the table writers share: the order in which dimensions are written, the split value
// between measured and appended coordinates, and the check that the value block matches.

#include <cstdint>
#include <vector>

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::exports {

// The dimension indices sorted by point count, largest first; equal counts keep store order.
std::vector<std::int32_t> outputOrder(const datastore::DataStore& store);

// The largest coordinate of dimension d that was measured rather than appended: the first
// number of its saved view range. A store without a view range for d has appended nothing,
// so every coordinate counts as measured.
float splitValue(const datastore::DataStore& store, std::int32_t d);

// Throws "Datastore not valid" unless the value block holds exactly one value per index
// tuple and property, so that every offset the writers compute lies inside it.
void requireValueBlock(const datastore::DataStore& store);

// The offset of property p with every dimension at its current index except those the
// caller walks (their current index is ignored).
std::int64_t baseOffset(const datastore::DataStore& store, std::int32_t p, const std::vector<std::int32_t>& walked);

}  // namespace lumatix::exports
