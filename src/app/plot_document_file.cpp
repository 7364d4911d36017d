// PlotDocument: opening a file into a window, Reset, "Save All" and closing.

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "app/plot_document.h"
#include "app/ui.h"
#include "datastore/history_entry.h"
#include "datastore/load_refusal.h"
#include "datastore/lum_binary.h"
#include "platform/atomic_file.h"
#include "platform/build_info.h"

namespace lumatix::app {
namespace {

const std::vector<FileFilter>& binaryFilter() {
  static const std::vector<FileFilter> filter{{"LumBinaryX  (*.dsx)", "*.dsx"}};
  return filter;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string saveErrorText(const std::string& reason) {
  return "Sorry. An error occurred while trying to save the data in the chosen format.\n\n" + reason +
         "\n\nThe file was not saved.";
}

}  // namespace

std::string plotWindowTitle(const std::string& filePath) { return filePath.empty() ? "Empty" : filePath; }

datastore::smart_ptr<datastore::DataStore> openPlotStore(const std::string& path, bool allowCaryFiles, Ui& ui) {
  auto store = std::make_unique<datastore::DataStore>(true);
  store->allowCary = allowCaryFiles;
  bool loaded = false;
  try {
    loaded = store->load(path, false);
  } catch (const std::exception&) {
    loaded = false;
  }
  if (!loaded) {
    // Why the file was refused follows the message, so a person can tell a damaged file
    // from one of a format the viewer does not read.
    const std::string& reason = datastore::lastLoadRefusal();
    ui.showMessage("Sorry!\n\nCan't open the file\n\n" + path + "\n\nfor reading.  Please check file permissions." +
                       (reason.empty() ? std::string() : "\n\n" + reason),
                   platform::kProductName, Icon::Information, Buttons::Ok);
    return datastore::smart_ptr<datastore::DataStore>();
  }
  return datastore::smart_ptr<datastore::DataStore>(store.release());
}

datastore::smart_ptr<datastore::DataStore> emptyPlotStore() {
  return datastore::smart_ptr<datastore::DataStore>(new datastore::DataStore(true));
}

void PlotDocument::reset() {
  processing::CDataSet restored = asLoaded();
  restored.history = set_.history;
  set_ = std::move(restored);
  // The data set is as loaded again: the copy goes until the next change.
  loadedNow();
  set_.AddHistory(
      datastore::makeHistoryEntry("Plot reset :", "The plot view was reset. All previous modifications undone."));
  changed();
}

void PlotDocument::writeWholeStore(const std::string& path) {
  std::unique_ptr<platform::AtomicFile> file;
  try {
    file = std::make_unique<platform::AtomicFile>(path);
  } catch (const std::exception&) {
    throw std::runtime_error("Error! Can't open " + path + " for writing.");
  }
  const bool wasSaved = store_->saved;
  try {
    datastore::writeLumBinaryX(*store_, file->stream(), false);
    file->commit();
  } catch (...) {
    // The writer marks the store saved before the file is on disk.
    store_->saved = wasSaved;
    throw;
  }
  store_->saved = true;
  changes_.notify(Change::SavedState | Change::History);
}

bool PlotDocument::saveAll() {
  const std::string name = std::filesystem::path(filePath_).filename().string();
  const auto choice = ui_.chooseSaveFile("Save All", "Copy of " + name, binaryFilter(), 1);
  if (!choice) return false;
  syncHistory();
  const auto kept = store_->history;
  try {
    if (!endsWith(choice->path, ".dsx"))
      throw std::runtime_error("Error! Can only save complete DataStore in LumBinaryX (.dsx) file format.\n");
    set_.AddHistory(datastore::makeHistoryEntry(
        "Saved data :",
        "Original file : " + filePath_ + ".\r\nThe data was saved to file : " + choice->path + ".\r\n"));
    syncHistory();
    writeWholeStore(choice->path);
  } catch (const std::exception& e) {
    // No entry may claim a save that did not happen.
    set_.history = kept;
    store_->history = kept;
    historySynced_ = kept.size();
    ui_.showMessage(saveErrorText(e.what()), platform::kProductName, Icon::Information, Buttons::Ok);
    return false;
  }
  return true;
}

bool PlotDocument::close() {
  if (online_) {
    ui_.showMessage("Acquistion in progress.  Please wait for the data acquisition to finish.\n",
                    platform::kProductName, Icon::Warning, Buttons::Ok);
    return false;
  }
  if (store_->saved) return true;
  if (ui_.showMessage("Data is not saved.  Would you like to save it now?\n", platform::kProductName, Icon::Question,
                      Buttons::YesNo) != Answer::Yes)
    return true;
  if (store_->dimensions.size() == 0 || store_->properties.size() == 0) {
    ui_.showMessage("Sorry!\n\nThere is no data to save.\n", platform::kProductName, Icon::Information, Buttons::Ok);
    return true;
  }
  std::string path = filePath_;
  if (path.empty() || std::filesystem::exists(path)) {
    const std::string name =
        path.empty() ? std::string("Untitled.dsx") : std::filesystem::path(path).filename().string();
    const auto choice = ui_.chooseSaveFile("Save As", name, binaryFilter(), 1);
    if (!choice) return true;
    path = choice->path;
  }
  try {
    writeWholeStore(path);
  } catch (const std::exception& e) {
    ui_.showMessage(saveErrorText(e.what()), platform::kProductName, Icon::Information, Buttons::Ok);
    return false;
  }
  return true;
}

}  // namespace lumatix::app
