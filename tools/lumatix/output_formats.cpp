#include "output_formats.h"

#include <filesystem>

#include "cli_support.h"
#include "datastore/lum_binary.h"
#include "platform/atomic_file.h"

namespace lumatix::cli {
namespace {

using Writer = std::ostream& (*)(datastore::DataStore&, std::ostream&, bool);

std::function<void(datastore::DataStore&, const std::string&)> streamWriter(Writer writer) {
  return [writer](datastore::DataStore& store, const std::string& path) {
    platform::AtomicFile file(path);
    writer(store, file.stream(), false);
    file.commit();
  };
}

}  // namespace

const std::vector<OutputFormat>& outputFormats() {
  static const std::vector<OutputFormat> formats{
      {"LumBinaryX", ".dsx", true, streamWriter(datastore::writeLumBinaryX)},
      {"LumBinary", ".dsb", true, streamWriter(datastore::writeLumBinary)},
      {"LumatixStore", ".dsa", false, {}},
      {"QVL-ASCII-SPECTRAKINETIC", ".glb", false, {}},
      {"QVL-ASCII", ".kin", false, {}},
      {"JCAMP-DX 5.0", ".jdx", false, {}},
      {"CDNN", ".txt", false, {}},
      {"SimpleCSV", ".csv", false, {}},
      {"LumatixCSV", ".csv", false, {}},
      {"LumatixTSV", ".txt", false, {}},
  };
  return formats;
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
