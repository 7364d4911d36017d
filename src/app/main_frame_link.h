#pragma once
// MainFrameLink: the main frame's side of the instrument link. It owns the acquisition record,
// the callbacks the link notifies and the link thread; it goes on-line, turns the link's
// notices into windows (a new acquisition opens an on-line window, the header, the data and
// the end go to it), asks the link-lost question, drives the on-line window from the main
// frame's 500 ms tick, and stops the link when the frame closes. The status texts go to the
// frame: "Ready (On-line)" once the link thread started, "Ready (Off-line)" when it is lost
// or has ended.
//
// Threading: every call on the GUI thread. The link thread's notices reach notified()
// through the poster, which runs a call later on the GUI thread (a queued call in the
// viewer). Notices still queued when the object is destroyed are dropped.

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/live_fit.h"
#include "link/cb_register.h"
#include "link/client_info.h"
#include "link/link_thread.h"

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::app {

class MainFrame;
class OnlineWindow;
class Ui;

inline constexpr const char* kReadyOnLine = "Ready (On-line)";
inline constexpr const char* kReadyOffLine = "Ready (Off-line)";

// The preference keys of the link, in "Preferences".
inline constexpr const char* kControlPanelPortKey = "ControlPanelPort";
inline constexpr const char* kControlPanelCaKey = "ControlPanelCA";

// The transport the viewer uses: gRPC to the address, TLS when "ControlPanelCA" names a
// certificate authority (an unreadable one loses the link with its reason).
instrument_link::ClientFactory controlPanelClientFactory(platform::SettingsStore& settings);
// The port an address without one gets: "ControlPanelPort", else 50491.
std::uint16_t controlPanelPort(platform::SettingsStore& settings);

class MainFrameLink {
 public:
  using Clock = std::chrono::steady_clock;
  // Runs the call later on the GUI thread, in the order posted.
  using Poster = std::function<void(std::function<void()>)>;

  // Registers with frame (MainFrame::link()) and with the link's callbacks.
  MainFrameLink(MainFrame& frame, Ui& ui, instrument_link::ClientFactory factory, Poster post,
                std::uint16_t defaultPort = instrument_link::kDefaultControlPanelPort);
  ~MainFrameLink();
  MainFrameLink(const MainFrameLink&) = delete;
  MainFrameLink& operator=(const MainFrameLink&) = delete;

  // Goes on-line to the address text (host with an optional ":port"; "" the local address).
  // Nothing happens while the link thread runs; false for an address that does not parse.
  bool goOnLine(const std::string& address);
  bool goOnLineLocal() { return goOnLine(std::string(instrument_link::kLocalAddress)); }
  bool running() const { return thread_.running(); }
  // The address in use, as the link-lost question names it ("127.0.0.1:50491").
  const std::string& serverAddress() const { return serverAddress_; }

  // The connect dialog's memory: the last remote address chosen (initially "127.0.0.1").
  const std::string& lastRemoteAddress() const { return lastRemote_; }
  void setLastRemoteAddress(std::string address) { lastRemote_ = std::move(address); }

  // A link notice, on the GUI thread (codes in link/link_state.h), with the store and the
  // name the link held when it notified.
  struct Notice {
    int code = 0;
    instrument_link::StorePtr store;
    std::string name;
  };
  void notified(Notice notice);
  // The main frame's 500 ms tick: redraws the on-line window when new values arrived, and
  // notices a link thread that ended by itself.
  void tick(Clock::time_point now = Clock::now());
  // The on-line window waits out the pause before its first refresh: the caller ticks again
  // after OnlineWindow::kFirstRefreshPause instead of a whole period later.
  bool firstRefreshPending() const;
  // Ends the link thread (within a second) and forgets the on-line window.
  void stop();

  // The live fit every new acquisition window starts with ("Live Fit..." sets it, "None"
  // clears it), so that each shot of a series is fitted alike.
  const std::optional<LiveFitSettings>& liveFitChoice() const { return liveFit_; }
  void setLiveFitChoice(std::optional<LiveFitSettings> choice) { liveFit_ = std::move(choice); }

  instrument_link::CClientInfo& clientInfo() { return info_; }
  instrument_link::LinkThread& thread() { return thread_; }

 private:
  static void callback(void* context, int code, std::int64_t parameter);
  OnlineWindow* onlineModel() const;
  void linkLost();
  void newAcquisition(const std::string& name);
  void finished();

  MainFrame& frame_;
  Ui& ui_;
  Poster post_;
  std::uint16_t defaultPort_;
  instrument_link::CClientInfo info_;
  instrument_link::CBRegister callbacks_;
  instrument_link::LinkThread thread_;
  std::string serverAddress_;
  std::string lastRemote_{instrument_link::kLocalAddress};
  std::optional<LiveFitSettings> liveFit_;
  std::deque<Notice> pending_;
  bool handling_ = false;
  // Lets a queued notice find out that the object it was posted for is gone.
  std::shared_ptr<MainFrameLink*> self_;
};

}  // namespace lumatix::app
