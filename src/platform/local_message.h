#pragma once
// Short messages between local programs of one user over Unix sockets in the runtime folder:
// a sender connects, writes its text, ends its side and waits for a one-byte receipt; the
// listener takes one text per connection from peers of the same user only (checked with the
// peer's credentials) and answers with the receipt once the text was handled.
//
// The viewer and the control panel send one another these messages, one line each.

#include <functional>
#include <optional>
#include <string>

namespace lumatix::platform {

inline constexpr const char* kOpenWindowMessage = "WM_OPEN_WINDOW_491AF086-71A8-4bf3-B9DA-7520191A39D8";
inline constexpr const char* kViewerRequestAuthMessage = "WM_VIEWER_REQUEST_AUTH_64cde57c-a24a-47ad-b3b0-0bb8eba1e942";
inline constexpr const char* kControlRequestAuthMessage = "WM_CONTROL_REQUEST_AUTH_479fb790-0412-4ad1-ac48-ccf2a5b27555";
inline constexpr const char* kControlPanelRequestConnectMessage =
    "WM_CONTROLPANEL_REQUEST_CONNECT_cc914aa5-810b-4216-ab7e-05226e0ef450";

// The control panel's socket: <runtime>/lumatix/ControlPanel.sock. Throws when the runtime
// folder cannot be used.
std::string controlPanelSocketPath();

// Whether text is the one-line message name (the name, with or without its line end).
bool isMessage(const std::string& text, const char* name);

// Sends text and waits for the receipt; false when nobody listens at path, the text is longer
// than maxBytes, or no receipt came within timeoutMs.
bool sendLocalMessage(const std::string& path, const std::string& text, int timeoutMs, std::size_t maxBytes = 4096);

class LocalMessageServer {
 public:
  explicit LocalMessageServer(std::string path) : path_(std::move(path)) {}
  ~LocalMessageServer() { close(); }
  LocalMessageServer(const LocalMessageServer&) = delete;
  LocalMessageServer& operator=(const LocalMessageServer&) = delete;

  // Listens at the path, replacing a socket file left there (the caller makes sure no other
  // listener owns it). False when the socket cannot be made.
  bool listen();
  // The listening socket for an event loop (-1 when not listening).
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  // Waits at most timeoutMs for a peer, then reads its text (at most maxBytes; a peer that
  // stays silent is given one second). A peer of another user, an over-long text or one
  // holding a NUL gives nothing. handle decides whether the text was taken, which the peer
  // learns from the receipt.
  std::optional<std::string> take(int timeoutMs, std::size_t maxBytes,
                                  const std::function<bool(const std::string&)>& handle = {});

  // Stops listening and removes the socket file.
  void close();

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace lumatix::platform
