#include "app/decomposition.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <system_error>

#include "app/launch_pad_paths.h"
#include "app/parallel_store_writer.h"
#include "app/ui.h"
#include "app/user_pref.h"
#include "datastore/data_store.h"
#include "datastore/datastore_extractor.h"
#include "datastore/ds_subset.h"
#include "datastore/lum_binary.h"
#include "platform/atomic_file.h"
#include "processing/datastore_ranges.h"

namespace lumatix::app {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDecomposed = "Datastore Successfully decomposed and saved";

// A name's extension, when it has one: a dot followed by a letter. The values in sub-store
// names ("Wavelength=200.5") keep their decimals.
std::string withoutExtension(const std::string& name) {
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot + 1 >= name.size() || !std::isalpha(static_cast<unsigned char>(name[dot + 1])))
    return name;
  return name.substr(0, dot);
}

void writeLumBinaryXFile(datastore::DataStore& store, const std::string& path) {
  std::unique_ptr<platform::AtomicFile> file;
  try {
    file = std::make_unique<platform::AtomicFile>(path);
  } catch (const std::runtime_error&) {
    throw std::runtime_error("Could not open output file " + path + " for writing.");
  }
  datastore::writeLumBinaryX(store, file->stream(), false);
  file->commit();
}

// Names of files handed to the writer but perhaps not on the disk yet.
class Walker {
 public:
  Walker(Ui& ui, const WorkHooks& hooks, std::size_t total)
      : ui_(ui),
        hooks_(hooks),
        total_(total),
        writer_(hooks.write ? hooks.write : StoreWriter(writeLumBinaryXFile), kWriterThreads) {}

  void run(const datastore::CDSSubset& top, const std::string& folder) {
    try {
      walk(top, folder);
    } catch (...) {
      // The files in hand are finished (or dropped) before the failure is told.
      try {
        writer_.finish();
      } catch (const std::exception&) {
      }
      throw;
    }
    writer_.finish();
    ui_.progress("Decomposing", 1.0);
  }

  std::size_t written() const { return writer_.written(); }

 private:
  // Syncing each file dominates; a few at once let the file system commit them together.
  static constexpr unsigned kWriterThreads = 8;

  void walk(const datastore::CDSSubset& parent, const std::string& folder) {
    datastore::CDSSubset level(parent, 1);
    datastore::CDataStoreExtractor extractor(level);
    const bool last = level.available().empty();
    do {
      if (writer_.failed()) writer_.finish();
      if (hooks_.cancelled && hooks_.cancelled()) throw std::runtime_error("Decomposition stopped.");
      auto sub = extractor.extractNext();
      std::string name = outputName(sub->title);
      if (last) {
        std::string path = freeFileName(folder, name, reserved_);
        reserved_.insert(path);
        writer_.submit(std::move(sub), path);
        ui_.progress("Decomposing",
                     total_ == 0 ? 1.0 : static_cast<double>(writer_.written()) / static_cast<double>(total_));
      } else {
        sub.reset();
        walk(level, makeFolder(folder, name));
      }
    } while (!++extractor);
  }

  static std::string makeFolder(const std::string& parent, const std::string& name) {
    for (int n = 0;; ++n) {
      std::string path = joinPath(parent, n == 0 ? name : name + "_" + std::to_string(n));
      std::error_code e;
      if (fs::create_directory(path, e)) return path;
      if (!pathTaken(path)) throw std::runtime_error("Failed to create directory " + path);
    }
  }

  Ui& ui_;
  const WorkHooks& hooks_;
  std::size_t total_;
  std::set<std::string> reserved_;
  ParallelStoreWriter writer_;
};

}  // namespace

std::vector<DimensionChoice> defaultChoice(const datastore::DataStore& store) {
  std::vector<DimensionChoice> rows;
  for (std::int32_t d = 0; d < store.dimensions.size(); ++d) {
    auto [upper, lower] = store.dimensions[d].range();
    rows.push_back({lower, upper, false});
  }
  return rows;
}

std::string freeFileName(const std::string& folder, const std::string& name, const std::set<std::string>& reserved) {
  const std::string stem = joinPath(folder, withoutExtension(name));
  std::string path = stem + ".dsx";
  for (int n = 1; pathTaken(path) || reserved.count(path) != 0; ++n) path = stem + "_" + std::to_string(n) + ".dsx";
  return path;
}

std::size_t decompose(datastore::DataStore& store, const std::vector<DimensionChoice>& rows, const std::string& folder,
                      Ui& ui, const WorkHooks& hooks) {
  std::error_code e;
  if (!fs::is_directory(folder, e)) throw std::runtime_error("Failed to Move to directory " + folder);
  if (rows.size() != static_cast<std::size_t>(store.dimensions.size()))
    throw std::runtime_error("Error! The decomposition needs one row per dimension.");

  processing::CDatastoreRanges ranges(&store);
  for (std::size_t d = 0; d < rows.size(); ++d) {
    const int index = static_cast<int>(d);
    if (rows[d].primary) ranges.AddPrimaryDimensions(index);
    processing::CDSRangeDim* range = ranges.find(index);
    const datastore::Dimension& dimension = store.dimensions[index];
    range->indices.clear();
    for (std::int32_t j = 0; j < dimension.size(); ++j)
      if (dimension.values[j] >= rows[d].rangeMin && dimension.values[j] <= rows[d].rangeMax)
        range->indices.push_back(j);
  }

  datastore::CDSSubset top(ranges);
  // The number of files, for the progress shown: the kept positions of every split dimension.
  std::size_t total = 1;
  {
    datastore::CDataStoreExtractor whole(top);
    for (int d : top.available())
      total *= std::max<std::size_t>(1, whole.keptPositions()[static_cast<std::size_t>(d)].size());
  }
  Walker walker(ui, hooks, total);
  walker.run(top, folder);
  return walker.written();
}

bool decomposeStore(datastore::DataStore& store, const std::vector<DimensionChoice>& rows, const std::string& folder,
                    Ui& ui, const WorkHooks& hooks) {
  try {
    decompose(store, rows, folder, ui, hooks);
  } catch (const std::exception& e) {
    ui.showMessage(e.what(), kShowMessageCaption, Icon::Error, Buttons::Ok);
    return false;
  }
  ui.showMessage(kDecomposed, kShowMessageCaption, Icon::Information, Buttons::Ok);
  return true;
}

std::string decompositionTop(const std::string& dirFile) {
  fs::path top = fs::path(dirFile).replace_extension();
  std::error_code e;
  fs::create_directory(top, e);
  return top.string();
}

namespace {

bool runDecomposition(const std::string& file, bool allowCary, const std::vector<DimensionChoice>& rows,
                      const std::string& folder, Ui& ui, const WorkHooks& hooks) {
  auto store = loadSelectedFile(file, allowCary, ui);
  if (!store) return false;
  return decomposeStore(*store, rows, folder, ui, hooks);
}

}  // namespace

bool decomposeIntoFolder(const std::string& file, bool allowCary, const std::vector<DimensionChoice>& rows,
                         const std::string& rootFolder, Ui& ui, const WorkHooks& hooks) {
  return runDecomposition(file, allowCary, rows, rootFolder, ui, hooks);
}

std::optional<std::string> askDecompositionName(Ui& ui) {
  auto choice = ui.chooseSaveFile("Save As", "", {{kDirectoryTreeFilter, ""}}, 1);
  if (!choice) return std::nullopt;
  if (fs::path(choice->path).extension() != ".dir") return choice->path + ".dir";
  return choice->path;
}

bool decomposeSaveAs(const std::string& file, bool allowCary, const std::vector<DimensionChoice>& rows,
                     const std::string& dirFile, Ui& ui, const WorkHooks& hooks) {
  return runDecomposition(file, allowCary, rows, decompositionTop(dirFile), ui, hooks);
}

}  // namespace lumatix::app
