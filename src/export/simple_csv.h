#pragma once
// SimpleCSV: bare comma-separated numbers without any header, for programs that read
// nothing else.

#include <ostream>

#include "export/reporter.h"

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::exports {

// The most significant dimension (most points) gives the rows. When only one dimension has
// more than one point, every property is written as "coordinate,value" lines, one block per
// property; otherwise one line per row of the current property: the coordinate, then the
// value of every measured (not appended) column of the second dimension. Refuses a store
// without dimensions (returns false, writes nothing); warns that a second dimension of
// more than one point is present. Throws "Datastore not valid" for a store whose value
// block does not match its dimensions.
bool writeSimpleCSV(std::ostream& out, const datastore::DataStore& store, Reporter& reporter);

}  // namespace lumatix::exports
