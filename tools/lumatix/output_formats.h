#pragma once
// The ten file formats a store can be saved in, in the order of the save dialog, and how
// the command line picks one for an output file.

#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "export/reporter.h"

namespace lumatix::cli {

struct OutputFormat {
  std::string name;
  std::string extension;
  bool readable;  // DataStore::load reads files of this format
};

const std::vector<OutputFormat>& outputFormats();

// The format named by --format, or else the one the file's extension stands for
// (".csv" is LumatixCSV and ".txt" LumatixTSV). Throws CommandError when there is none.
const OutputFormat& chooseOutputFormat(const std::string& path, const std::string& formatName);

// Prints warnings and advice on standard error and keeps the first refusal, which the
// command turns into exit status 1.
class StderrReporter : public exports::Reporter {
 public:
  void error(const std::string& text) override;
  void warning(const std::string& text) override;
  void information(const std::string& text) override;
  const std::string& refusal() const { return refusal_; }

 private:
  std::string refusal_;
};

// Writes the store to path in the format (atomically); throws CommandError with the
// writer's message when it refused.
void writeOutput(datastore::DataStore& store, const OutputFormat& format, const std::string& path);

}  // namespace lumatix::cli
