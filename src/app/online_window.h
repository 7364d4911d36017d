#pragma once
// OnlineWindow: what a plot window does with an acquisition while the link receives it: it
// takes the link's store when the header is ready, plots it on its two largest dimensions,
// refreshes from it as data arrive (with a pause before the first refresh after a header),
// refuses to close while on-line, and at the end saves the acquired store by the on-line save
// rule. The viewer's on-line plot window and `lumatix acquire` both run it.
//
// A live fit (LiveFit) may follow the data: it is updated at each redraw, and when the
// acquisition ends its last result becomes a "Fitting" entry of the store's history before
// the store is saved. The window observes changes(): Data and View (a header: the plot is
// rebuilt), Data (a redraw), Options (on-line mode, auto-scale), Parameters (the live fit),
// SavedState (saved under a path).
//
// Threading: GUI thread only. The store's values are read and written to disk under the link's
// data lock, so the link thread never changes a value under it.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/change_notifier.h"
#include "app/live_fit.h"
#include "link/client_info.h"
#include "processing/data_set.h"

namespace lumatix::app {

class Ui;

// The link-lost question's text for the server address in use.
std::string linkLostText(const std::string& address);

// The path of an acquisition named name in the working directory; "" when the link refused
// the name (the save then asks for one).
std::string acquisitionPath(const std::string& workingDirectory, const std::string& name);

// The plotted dimensions of a store: the largest, then the largest of the others (on equal
// size the lower index); -1 where there is none.
std::pair<int, int> largestDimensions(const datastore::DataStore& store);

// The traces an on-line window shows: property 0 of store along the plotted dimensions, the
// others at their current index, the stored trace-type option. Throws the data set's messages.
// Call under the link's data lock for the link's store.
processing::CDataSet onlineTraces(const datastore::DataStore& store, std::pair<int, int> dims);

class OnlineWindow {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kFirstRefreshPause{250};
  static constexpr std::chrono::milliseconds kAutoScaleInterval{4000};

  OnlineWindow(instrument_link::CClientInfo& link, Ui& ui, std::string path);

  instrument_link::CClientInfo& link() { return link_; }
  const std::string& path() const { return path_; }
  const std::string& title() const { return title_; }
  bool online() const { return online_; }
  const instrument_link::StorePtr& store() const { return store_; }
  std::pair<int, int> plotDimensions() const { return dims_; }

  // Link notifications, delivered on the GUI thread, with the store the link held when it
  // notified (the link may have gone on to the next acquisition since); without one, the
  // link's store now.
  void headerReady(instrument_link::StorePtr store);
  void secondHeaderReady(instrument_link::StorePtr store);
  void headerReady() { headerReady(link_.store()); }
  void secondHeaderReady() { secondHeaderReady(link_.store()); }
  // Leaves on-line mode and saves by the rule: with no path, or a path whose file exists, the
  // save dialog asks for a name (suspend/resume bracket it, for the link thread); cancelling
  // saves nothing. On a save the path becomes the title. Records the link skipped are told.
  // Returns whether the store was saved.
  bool finished(const std::function<void()>& suspend = {}, const std::function<void()>& resume = {});
  void linkLost();

  // The refresh tick: true when the window is to redraw from the store now. After a header
  // the first redraw waits until kFirstRefreshPause has passed since it.
  bool refresh(Clock::time_point now);
  // The main frame's tick: a refresh when the link stored values since the last redraw (or
  // the first refresh after a header is pending); false while nothing changed.
  bool tick(Clock::time_point now);
  // The first refresh after a header waits out its pause; tick again once it is over.
  bool firstRefreshPending() const { return online_ && store_ && firstRefreshPending_; }
  // Registered for the refresh tick: on-line with a header received.
  bool refreshing() const { return online_ && store_; }
  // "On-line Auto-scale": while on, a redraw rescales when kAutoScaleInterval has passed
  // since the last rescale.
  bool autoScale() const { return autoScale_; }
  void toggleAutoScale();
  void setAutoScale(bool on) {
    if (on != autoScale_) toggleAutoScale();
  }
  bool rescaleDue(Clock::time_point now);

  // "Live Fit...": fits trace settings.trace with function settings.functionIndex at every
  // redraw from now on (at once when data are there); throws std::out_of_range for a
  // function outside the library. stopLiveFit() ends it; the line and entry go with it.
  void startLiveFit(const LiveFitSettings& settings);
  void stopLiveFit();
  const LiveFit* liveFit() const { return liveFit_.get(); }
  // The "Fitting" entry's text the end of the acquisition wrote, if any.
  const std::optional<std::string>& fitEntry() const { return fitEntry_; }

  // Closing: refused with "Acquistion in progress.  Please wait for the data acquisition to
  // finish.\n" while on-line.
  bool mayClose();

  ChangeNotifier& changes() { return changes_; }

 private:
  instrument_link::CClientInfo& link_;
  Ui& ui_;
  std::string path_;
  std::string title_;
  instrument_link::StorePtr store_;
  std::pair<int, int> dims_{-1, -1};
  bool online_ = true;
  bool firstRefreshPending_ = false;
  Clock::time_point pauseEnds_{};
  bool autoScale_ = false;
  Clock::time_point lastRescale_{};
  bool rescaled_ = false;
  std::uint64_t drawnGeneration_ = 0;
  std::unique_ptr<LiveFit> liveFit_;
  std::optional<std::string> fitEntry_;
  ChangeNotifier changes_;

  void updateLiveFit();
  void writeFitEntry();
};

}  // namespace lumatix::app
