#include "export/dispatcher.h"

#include <filesystem>
#include <functional>
#include <string_view>

#include "datastore/data_store.h"
#include "datastore/history_entry.h"
#include "datastore/lum_binary.h"
#include "datastore/lumatix_store.h"
#include "datastore/qvl_ascii.h"
#include "export/cdnn.h"
#include "export/jcamp_writer.h"
#include "export/lumatix_csv.h"
#include "export/readback_check.h"
#include "export/simple_csv.h"
#include "platform/atomic_file.h"
#include "processing/data_set.h"

namespace lumatix::exports {
namespace {

constexpr const char* kUnknownFormat = "Error! Unknown format!\n";

// A writer of an already open text file; false when it refused.
using StreamWriter = std::function<bool(datastore::DataStore&, std::ostream&, Reporter&)>;

// A QVL-ASCII file holds one trace: the one along the dimension of the saved view's first
// axis, as the plot window shows it, or along dimension 0 when the view names none.
std::int32_t singleTraceDimension(const datastore::DataStore& store) {
  const auto& order = store.viewState.dimensionOrder;
  if (!order.empty() && order[0] >= 0 && order[0] < store.dimensions.size()) return order[0];
  return 0;
}

StreamWriter streamWriterFor(std::string_view name) {
  using datastore::DataStore;
  if (name == "LumBinaryX")
    return [](DataStore& s, std::ostream& out, Reporter&) { return datastore::writeLumBinaryX(s, out, false), true; };
  if (name == "LumBinary")
    return [](DataStore& s, std::ostream& out, Reporter&) { return datastore::writeLumBinary(s, out, false), true; };
  if (name == "LumatixStore")
    return [](DataStore& s, std::ostream& out, Reporter&) { return datastore::writeLumatixStore(s, out, false), true; };
  if (name == "QVL-ASCII-SPECTRAKINETIC")
    return [](DataStore& s, std::ostream& out, Reporter&) { return datastore::writeQvlSpectraKinetic(s, out), true; };
  if (name == "QVL-ASCII")
    return [](DataStore& s, std::ostream& out, Reporter&) {
      return datastore::writeQvlAscii(s, out, singleTraceDimension(s)), true;
    };
  if (name == "JCAMP-DX 5.0")
    return [](DataStore& s, std::ostream& out, Reporter&) { return writeJcamp(s, out), true; };
  if (name == "LumatixCSV")
    return [](DataStore& s, std::ostream& out, Reporter&) { return writeLumatixCSV(out, s, false), true; };
  if (name == "LumatixTSV")
    return [](DataStore& s, std::ostream& out, Reporter&) { return writeLumatixTSV(out, s, false), true; };
  if (name == "SimpleCSV")
    return [](DataStore& s, std::ostream& out, Reporter& r) { return writeSimpleCSV(out, s, r); };
  return {};
}

}  // namespace

const std::vector<ExportFormat>& exportFormats() {
  static const std::vector<ExportFormat> formats{
      {"LumBinaryX", ".dsx"},   {"LumBinary", ".dsb"}, {"LumatixStore", ".dsa"}, {"QVL-ASCII-SPECTRAKINETIC", ".glb"},
      {"QVL-ASCII", ".kin"},    {"JCAMP-DX 5.0", ".jdx"}, {"CDNN", ".txt"},     {"SimpleCSV", ".csv"},
      {"LumatixCSV", ".csv"},   {"LumatixTSV", ".txt"},
  };
  return formats;
}

bool writeStore(datastore::DataStore& store, const std::string& formatName, const std::string& path,
                Reporter& reporter) {
  if (formatName == "CDNN") return exportCDNN(store, path, reporter);
  StreamWriter writer = streamWriterFor(formatName);
  if (!writer) {
    reporter.error(kUnknownFormat);
    return false;
  }
  if (const std::string why = whyNotWritable(store, formatName); !why.empty()) {
    reporter.error(why);
    return false;
  }
  // A refusal leaves whatever file was there untouched: the temporary is dropped uncommitted.
  platform::AtomicFile file(path);
  if (!writer(store, file.stream(), reporter)) return false;
  file.commit();
  return true;
}

bool Export(int formatIndex, const std::string& fileName, processing::CDataSet* dataSet,
            datastore::DataStore& store, Reporter& reporter) {
  if (dataSet)
    dataSet->AddHistory(
        datastore::makeHistoryEntry("Saved data :", "The data was saved to file :" + fileName + ".\r\n"));
  if (std::filesystem::path(fileName).extension() == ".glb" && !store.hasSpectraKineticShape()) {
    reporter.error("Error! Cannot convert this plot to Spectra-Kinetic format.");
    return false;
  }
  const auto& formats = exportFormats();
  if (formatIndex < 1 || static_cast<std::size_t>(formatIndex) > formats.size()) {
    reporter.error(kUnknownFormat);
    return false;
  }
  return writeStore(store, formats[static_cast<std::size_t>(formatIndex - 1)].name, fileName, reporter);
}

}  // namespace lumatix::exports
