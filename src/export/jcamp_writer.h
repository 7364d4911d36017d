#pragma once
// JCAMP-DX 5.0 export: XYDATA blocks in the "(X++(Y..Y))" form with one y value per line.
// A store with several properties, or with a second dimension of traces, becomes a series
// of blocks, one per property and trace.

#include <ctime>
#include <ostream>
#include <string>

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::exports {

// The unit word of a dimension or property name ("NANOMETERS", "SECONDS", ...).
std::string jcampUnit(const std::string& name);

// The time the file names as its export time: the store's lastModified when it holds a
// readable time ("Sun Dec  6 19:16:54 2026" or "2026-12-06 19:16:54"), else its title when
// that does, else the current local time.
std::tm jcampExportTime(const datastore::DataStore& store);

// Writes the whole file and flushes. The owner is the environment's USERNAME ("Unknown"
// when unset). The current index of the trace dimension is walked and put back afterwards.
// Throws "Datastore not valid" when the value block does not match the dimensions.
void writeJcamp(datastore::DataStore& store, std::ostream& out);

}  // namespace lumatix::exports
