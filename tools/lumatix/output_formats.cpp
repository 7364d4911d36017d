#include "output_formats.h"

#include <filesystem>
#include <iostream>

#include "cli_support.h"
#include "export/dispatcher.h"

namespace lumatix::cli {

const std::vector<OutputFormat>& outputFormats() {
  static const std::vector<OutputFormat> formats = [] {
    // Names and extensions come from the export table; which of them the loader reads back
    // is the command line's own knowledge.
    std::vector<OutputFormat> list;
    for (const auto& format : exports::exportFormats()) {
      const std::string name = format.name;
      const bool exportOnly = name == "CDNN" || name == "SimpleCSV" || name == "LumatixCSV" || name == "LumatixTSV";
      list.push_back({name, format.extension, !exportOnly});
    }
    return list;
  }();
  return formats;
}

void StderrReporter::error(const std::string& text) {
  if (refusal_.empty()) refusal_ = text;
}

void StderrReporter::warning(const std::string& text) { printText(std::cerr, text.ends_with('\n') ? text : text + "\n"); }

void StderrReporter::information(const std::string& text) {
  printText(std::cerr, text.ends_with('\n') ? text : text + "\n");
}

void writeOutput(datastore::DataStore& store, const OutputFormat& format, const std::string& path) {
  StderrReporter reporter;
  if (!exports::writeStore(store, format.name, path, reporter))
    throw CommandError(reporter.refusal().empty() ? "Error! Unknown format!\n" : reporter.refusal());
}

const OutputFormat& chooseOutputFormat(const std::string& path, const std::string& formatName) {
  const auto& formats = outputFormats();
  if (!formatName.empty()) {
    for (const auto& f : formats)
      if (f.name == formatName) return f;
    throw CommandError("Error! Unknown format!\n");
  }
  std::string extension = std::filesystem::path(path).extension().string();
  const char* byExtension = extension == ".dsx"   ? "LumBinaryX"
                            : extension == ".dsb" ? "LumBinary"
                            : extension == ".dsa" ? "LumatixStore"
                            : extension == ".glb" ? "QVL-ASCII-SPECTRAKINETIC"
                            : extension == ".kin" ? "QVL-ASCII"
                            : extension == ".jdx" ? "JCAMP-DX 5.0"
                            : extension == ".csv" ? "LumatixCSV"
                            : extension == ".txt" ? "LumatixTSV"
                                                  : nullptr;
  if (!byExtension) throw CommandError("Error! Unknown format!\n");
  return chooseOutputFormat(path, byExtension);
}

}  // namespace lumatix::cli
