#pragma once
// The ten file formats a store can be saved in, in the order of the save dialog, and how
// the command line picks one for an output file.

#include <functional>
#include <string>
#include <vector>

#include "datastore/data_store.h"

namespace lumatix::cli {

struct OutputFormat {
  std::string name;
  std::string extension;
  bool readable;  // DataStore::load reads files of this format
  // Writes the store to the file (atomically); empty when this build cannot write it.
  std::function<void(datastore::DataStore&, const std::string&)> write;
};

const std::vector<OutputFormat>& outputFormats();

// The format named by --format, or else the one the file's extension stands for
// (".csv" is LumatixCSV and ".txt" LumatixTSV). Throws CommandError when there is none.
const OutputFormat& chooseOutputFormat(const std::string& path, const std::string& formatName);

}  // namespace lumatix::cli
