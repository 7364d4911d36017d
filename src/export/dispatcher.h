#pragma once
// Saving a store in any of the ten formats, and the plot window's save dispatcher.
// Writers never talk to the person themselves: refusals, warnings and advice go to a
// Reporter that the caller supplies (the GUI shows message boxes, the command line prints).

#include <string>
#include <vector>

#include "export/reporter.h"

namespace lumatix::datastore {
class DataStore;
}
namespace lumatix::processing {
class CDataSet;
}

namespace lumatix::exports {

struct ExportFormat {
  const char* name;       // "LumBinaryX", ..., "LumatixTSV"
  const char* extension;  // ".dsx", ...
};

// The ten formats in the order of the save dialog; filter index 1 is the first row.
const std::vector<ExportFormat>& exportFormats();

// Writes the whole store to path in the named format, atomically. Returns false when a
// writer refused (after telling the reporter, e.g. "Error! Unknown format!\n" or a CDNN
// refusal). Throws std::runtime_error carrying the user text when the file cannot be written
// ("Can't open <path> for writing." and the like).
bool writeStore(datastore::DataStore& store, const std::string& formatName, const std::string& path,
                Reporter& reporter);

// The plot window's dispatcher, after the person chose the file: records the "Saved data :"
// entry in the data set's history (when one is given), refuses a ".glb" file that cannot be
// expressed as a spectra-kinetic set, then writes as writeStore. formatIndex counts from 1 in
// exportFormats() order.
bool Export(int formatIndex, const std::string& fileName, processing::CDataSet* dataSet,
            datastore::DataStore& store, Reporter& reporter);

}  // namespace lumatix::exports
