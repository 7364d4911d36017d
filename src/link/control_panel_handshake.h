#pragma once
// The control panel's side of the local hand-shake with the viewer, as the simulator plays
// it. It owns the pipe "ControlPanelPipe" (server end) and listens on its socket
// ($XDG_RUNTIME_DIR/lumatix/ControlPanel.sock, same user only) on a thread of its own: when a
// starting viewer asks who is logged on ("WM_VIEWER_REQUEST_AUTH_..."), the user name goes
// into the pipe before the viewer gets its receipt. The static calls send the control
// panel's own requests to a running viewer.

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "platform/local_message.h"
#include "platform/named_pipe.h"

namespace instrument_link {

class ControlPanelHandshake {
 public:
  // Throws std::runtime_error when the pipe or the socket cannot be made.
  explicit ControlPanelHandshake(std::string user);
  ~ControlPanelHandshake();
  ControlPanelHandshake(const ControlPanelHandshake&) = delete;
  ControlPanelHandshake& operator=(const ControlPanelHandshake&) = delete;

  const std::string& user() const { return user_; }
  // Requests answered so far, and how many of the names reached a reader of the pipe.
  int requestsAnswered() const { return answered_.load(); }
  int namesDelivered() const { return delivered_.load(); }

  // "WM_CONTROLPANEL_REQUEST_CONNECT_...": the running viewer is to go on-line to the local
  // address. False when no viewer took the request within timeoutMs.
  static bool requestConnect(int timeoutMs = 2000);
  // "WM_CONTROL_REQUEST_AUTH_...": asks the running viewer for its user, which it writes into
  // its pipe "ViewerPipe" (21 CFR Part 11 mode only). The name, or nothing when the viewer
  // did not answer within timeoutMs.
  static std::optional<std::string> requestAuth(int timeoutMs = 2000);

 private:
  void serve();

  std::string user_;
  lumatix::platform::CNamedPipe pipe_;
  lumatix::platform::LocalMessageServer socket_;
  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
  std::atomic<int> delivered_{0};
  std::thread thread_;
};

}  // namespace instrument_link
