#include "app/online_window.h"

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "app/fit_texts.h"
#include "app/store_output.h"
#include "app/ui.h"
#include "datastore/history_entry.h"
#include "datastore/lum_binary.h"
#include "processing/data_set.h"
#include "platform/atomic_file.h"
#include "platform/build_info.h"

namespace lumatix::app {

std::string linkLostText(const std::string& address) {
  return "Sorry.\n\nThe Lumatix Viewer application lost its link to the Control Panel\n at IP Address " + address +
         ".\n\n Please make sure Morvath Control Panel is up and running and the IP Address is correct,\n and then try "
         "to connect again.\n\nTry to reconnect?";
}

std::string acquisitionPath(const std::string& workingDirectory, const std::string& name) {
  if (name.empty()) return {};
  return workingDirectory + "/" + name;
}

std::pair<int, int> largestDimensions(const datastore::DataStore& store) {
  int first = -1, second = -1;
  for (int k = 0; k < store.dimensions.size(); ++k)
    if (first < 0 || store.dimensions[k].size() > store.dimensions[first].size()) first = k;
  for (int k = 0; k < store.dimensions.size(); ++k)
    if (k != first && (second < 0 || store.dimensions[k].size() > store.dimensions[second].size())) second = k;
  return {first, second};
}

processing::CDataSet onlineTraces(const datastore::DataStore& store, std::pair<int, int> dims) {
  processing::CDataSet set;
  set.Load(store, dims.first, dims.second, 0, -1);
  if (!set.IsValid()) throw std::runtime_error("Could not create valid dataset");
  return set;
}

OnlineWindow::OnlineWindow(instrument_link::CClientInfo& link, Ui& ui, std::string path)
    : link_(link), ui_(ui), path_(std::move(path)), title_(path_.empty() ? "Empty" : path_) {}

void OnlineWindow::headerReady(instrument_link::StorePtr store) {
  if (!store) return;
  store_ = store;
  dims_ = largestDimensions(*store_);
  firstRefreshPending_ = true;
  // The pause runs from the header, so that the first values are drawn within one tick of it.
  pauseEnds_ = Clock::now() + kFirstRefreshPause;
  changes_.notify(Change::Data | Change::View);
}

void OnlineWindow::secondHeaderReady(instrument_link::StorePtr store) {
  if (!store) return;
  store_ = store;
  changes_.notify(Change::Data);
}

bool OnlineWindow::refresh(Clock::time_point now) {
  if (!online_ || !store_) return false;
  if (firstRefreshPending_) {
    if (now < pauseEnds_) return false;
    firstRefreshPending_ = false;
  }
  ChangeNotifier::Batch batch(changes_);
  changes_.notify(Change::Data);
  updateLiveFit();
  return true;
}

bool OnlineWindow::tick(Clock::time_point now) {
  if (!refreshing()) return false;
  // Taken before the redraw reads the values: a block stored meanwhile gets the next tick.
  const std::uint64_t generation = link_.dataGeneration();
  if (!firstRefreshPending_ && generation == drawnGeneration_) return false;
  if (!refresh(now)) return false;
  drawnGeneration_ = generation;
  return true;
}

void OnlineWindow::startLiveFit(const LiveFitSettings& settings) {
  liveFit_ = std::make_unique<LiveFit>(settings);
  ChangeNotifier::Batch batch(changes_);
  changes_.notify(Change::Parameters);
  updateLiveFit();
}

void OnlineWindow::stopLiveFit() {
  if (!liveFit_) return;
  liveFit_.reset();
  changes_.notify(Change::Parameters);
}

void OnlineWindow::updateLiveFit() {
  if (!liveFit_ || !store_) return;
  {
    auto values = link_.lockData();
    // A store the link has since replaced (the second header) is complete: every point counts.
    if (store_.get() == link_.store().get()) {
      liveFit_->update(*store_, dims_, link_.receivedUnderLock());
    } else {
      std::int64_t tuples = store_->valuesPerProperty();
      liveFit_->update(*store_, dims_, std::vector<std::uint8_t>(tuples > 0 ? static_cast<std::size_t>(tuples) : 0, 1));
    }
  }
  changes_.notify(Change::Parameters);
}

void OnlineWindow::writeFitEntry() {
  if (!liveFit_ || !store_) return;
  updateLiveFit();
  if (!liveFit_->hasResult()) return;
  processing::CDataSet set;
  try {
    auto values = link_.lockData();
    set = onlineTraces(*store_, dims_);
  } catch (const std::exception&) {
    return;  // a store the plot cannot cut holds no trace to name the fit after
  }
  fitEntry_ = liveFit_->historyText(set);
  if (!fitEntry_) return;
  store_->history.push_back(datastore::makeHistoryEntry(kFittingHistoryTitle, *fitEntry_));
  store_->saved = false;
  changes_.notify(Change::History);
}

void OnlineWindow::toggleAutoScale() {
  if (!online_) return;
  autoScale_ = !autoScale_;
  changes_.notify(Change::Options);
}

bool OnlineWindow::rescaleDue(Clock::time_point now) {
  if (!autoScale_) return false;
  if (rescaled_ && now - lastRescale_ < kAutoScaleInterval) return false;
  rescaled_ = true;
  lastRescale_ = now;
  return true;
}

bool OnlineWindow::mayClose() {
  if (!online_) return true;
  ui_.showMessage("Acquistion in progress.  Please wait for the data acquisition to finish.\n", platform::kProductName,
                  Icon::Warning, Buttons::Ok);
  return false;
}

void OnlineWindow::linkLost() {
  online_ = false;
  changes_.notify(Change::Options);
}

bool OnlineWindow::finished(const std::function<void()>& suspend, const std::function<void()>& resume) {
  // The blocks since the last tick are drawn too: the window ends showing what is saved.
  if (online_ && store_) changes_.notify(Change::Data);
  online_ = false;
  changes_.notify(Change::Options);
  if (const auto skipped = link_.skippedRecords(); skipped > 0)
    ui_.showMessage(std::to_string(skipped) +
                        " data records lay outside the dimensions of the acquisition and were not stored.\n",
                    platform::kProductName, Icon::Warning, Buttons::Ok);
  if (!store_) return false;
  writeFitEntry();
  std::string target = path_;
  if (target.empty() || pathTaken(target)) {
    if (suspend) suspend();
    const std::string name = target.empty() ? std::string("Untitled.dsx") : std::filesystem::path(target).filename().string();
    const auto choice = ui_.chooseSaveFile("Save As", name, {{"LumBinaryX  (*.dsx)", "*.dsx"}}, 1);
    if (resume) resume();
    if (!choice) return false;
    target = choice->path;
  }
  try {
    std::unique_ptr<platform::AtomicFile> file;
    try {
      file = std::make_unique<platform::AtomicFile>(target);
    } catch (const std::exception&) {
      throw std::runtime_error("Error! Can't open " + target + " for writing.");
    }
    auto values = link_.lockData();
    datastore::writeLumBinaryX(*store_, file->stream(), false);
    file->commit();
  } catch (const std::exception& e) {
    store_->saved = false;
    ui_.showMessage("Sorry. An error occurred while trying to save the data in the chosen format.\n\n" +
                        std::string(e.what()) + "\n\nThe file was not saved.",
                    platform::kProductName, Icon::Information, Buttons::Ok);
    return false;
  }
  path_ = target;
  title_ = target;
  changes_.notify(Change::SavedState);
  return true;
}

}  // namespace lumatix::app
