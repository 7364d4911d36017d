#include "output_formats.h"

#include <filesystem>

#include "cli_support.h"
#include "datastore/lum_binary.h"
#include "datastore/lumatix_store.h"
#include "datastore/qvl_ascii.h"
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

std::ostream& writeSpectraKinetic(datastore::DataStore& store, std::ostream& out, bool) {
  return datastore::writeQvlSpectraKinetic(store, out);
}

// A QVL-ASCII file holds one trace: the one along the dimension of the saved view's first
// axis, as the plot window shows it, or along dimension 0 when the view names none.
std::ostream& writeSingleTrace(datastore::DataStore& store, std::ostream& out, bool) {
  std::int32_t dimension = 0;
  const auto& order = store.viewState.dimensionOrder;
  if (!order.empty() && order[0] >= 0 && order[0] < store.dimensions.size()) dimension = order[0];
  return datastore::writeQvlAscii(store, out, dimension);
}

}  // namespace

const std::vector<OutputFormat>& outputFormats() {
  static const std::vector<OutputFormat> formats{
      {"LumBinaryX", ".dsx", true, streamWriter(datastore::writeLumBinaryX)},
      {"LumBinary", ".dsb", true, streamWriter(datastore::writeLumBinary)},
      {"LumatixStore", ".dsa", true, streamWriter(datastore::writeLumatixStore)},
      {"QVL-ASCII-SPECTRAKINETIC", ".glb", true, streamWriter(writeSpectraKinetic)},
      {"QVL-ASCII", ".kin", true, streamWriter(writeSingleTrace)},
      {"JCAMP-DX 5.0", ".jdx", true, {}},
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
