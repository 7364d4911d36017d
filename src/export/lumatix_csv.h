#pragma once
// LumatixCSV and LumatixTSV: a whole store as a self-describing table for spreadsheets.
// A header (title, remarks, modification stamp, options, a readable line per dimension and
// property), the data of the three (or four) dimensions with the most points, one table
// per property, the history, and optionally the store itself in its text form. The two
// differ only in their first line and separator (comma or tab).

#include <ostream>

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::exports {

// Stamps the store's lastModified with the current time, sets its modifiedBy to "unknown"
// when empty and its formatName to the format written. Dimensions are written largest
// first; a store with more than three dimensions is cut to four (when the fourth has a
// single point) or three, with a warning in the file. Columns and rows past a dimension's
// split value are appended traces, labelled from the saved view's marks. Throws "Datastore
// not valid" when the value block does not match the dimensions.
void writeLumatixCSV(std::ostream& out, datastore::DataStore& store, bool appendOriginal);
void writeLumatixTSV(std::ostream& out, datastore::DataStore& store, bool appendOriginal);

}  // namespace lumatix::exports
