#pragma once

// LinkThread: the one thread that receives acquisitions from the control panel. It waits for an
// acquisition to start, opens a session, reads the name, the header and the data blocks into
// the CClientInfo record, and tells the CBRegister's callbacks at each step (codes in
// link_state.h). Every reply is checked before use; a reply that breaks the protocol ends the
// link as a failed call does, with code 1.
//
// Stopping: stop() asks the thread to end and returns within a second in every phase: the
// thread ends at its next check (closing its session), and a call still in flight after a
// short grace is cancelled. A stopped link makes no notification.
//
// Callbacks run on the link thread and must not call goOnLine() or stop().

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "link/cb_register.h"
#include "link/client_info.h"
#include "link/control_panel_client.h"
#include "link/link_state.h"
#include "link/server_address.h"

namespace instrument_link {

// Makes the transport for an address; may throw (a certificate that cannot be read).
using ClientFactory = std::function<std::unique_ptr<ControlPanelClient>(const ServerAddress&)>;

class LinkThread {
 public:
  LinkThread(CClientInfo& info, CBRegister& callbacks, ClientFactory factory);
  ~LinkThread();
  LinkThread(const LinkThread&) = delete;
  LinkThread& operator=(const LinkThread&) = delete;

  // Starts the thread on the address; false (and nothing else) while a thread still runs.
  bool goOnLine(const ServerAddress& address);
  bool running() const { return running_.load(std::memory_order_acquire); }
  // Ends the thread and waits for it; returns within a second.
  void stop();

  // Holds the thread before its next call to the control panel until resume(), as while the
  // person chooses where an acquisition goes; a stop request still ends it.
  void suspend();
  void resume();
  bool suspended() const { return suspended_.load(std::memory_order_acquire); }

  LinkState state() const { return state_.load(std::memory_order_acquire); }
  // Why the link was lost last (the failed call or the protocol fault), for logs.
  std::string lastError() const;
  // Acquisitions whose session was closed since the thread started.
  int acquisitionsDone() const { return done_.load(std::memory_order_acquire); }

  // How long stop() lets the thread end by itself before cancelling the call in flight.
  static constexpr int kStopGraceMs = 300;

 private:
  struct Stopped {};
  void run(ServerAddress address);
  void loop(ControlPanelClient& client);
  void acquire(ControlPanelClient& client, const std::string& session);
  // The checks before every call of the header, data and second-header phases: true when
  // the acquisition was aborted; throws Stopped on a stop request.
  bool abortedOrStopped(ControlPanelClient& client, const std::string& session);
  // Waits while the thread is suspended (a stop request ends the wait).
  void holdWhileSuspended();
  // Throws Stopped on a stop request, after waiting out a suspension.
  void checkStop();
  // Sleeps, or returns at once on a stop request.
  void pause(int ms);
  void setState(LinkState s) { state_.store(s, std::memory_order_release); }

  CClientInfo& info_;
  CBRegister& callbacks_;
  ClientFactory factory_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> suspended_{false};
  std::atomic<LinkState> state_{LinkState::Offline};
  std::atomic<int> done_{0};
  mutable std::mutex mutex_;  // guards client_, lastError_ and the stop and resume wake-ups
  std::condition_variable wake_;
  std::shared_ptr<ControlPanelClient> client_;
  std::string lastError_;
};

}  // namespace instrument_link
