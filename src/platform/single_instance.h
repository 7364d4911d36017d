#pragma once
// One running viewer per user session: a lock file decides who runs, and a local socket
// beside it lets a later start hand its file name to the running one, and the control panel
// send its one-line requests (platform/local_message.h).
// Both live in the runtime folder, named after the application ("Lumatix Viewer.lock",
// "Lumatix Viewer").

#include <memory>
#include <optional>
#include <string>

namespace lumatix::platform {

class LocalMessageServer;

class SingleInstance {
 public:
  enum class Result { First, AlreadyRunning, Failed };

  // What the running one is asked. OpenWindow: a later start's hand-over: come to the front,
  // and open the file when one is named (an absolute path). The others are the control
  // panel's: tell it the user, go on-line.
  enum class Request { OpenWindow, ControlRequestAuth, ControlPanelRequestConnect };
  struct HandOver {
    std::string fileName;
    Request request = Request::OpenWindow;
  };
  // What a text taken from the socket asks (a registered message's name, else a file name).
  static HandOver parse(const std::string& text);

  static constexpr std::size_t kMaxFileName = 4096;

  explicit SingleInstance(std::string name = "Lumatix Viewer", std::string folder = "");
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // First: this process holds the lock and listens for hand-overs. AlreadyRunning: another
  // process holds it. Failed: the runtime folder or the socket cannot be used (the caller
  // runs on without the rule).
  Result acquire();

  // Called when acquire() said AlreadyRunning: passes the request to the running instance
  // and waits at most timeoutMs for its receipt. True when it was taken.
  bool handOver(const HandOver& request, int timeoutMs = 2000);

  // The running instance: the listening socket for an event loop, and one request taken
  // from it (waiting at most timeoutMs). Requests of other users or over-long names are
  // refused.
  int socketFd() const;
  std::optional<HandOver> takeRequest(int timeoutMs);

  void release();

  std::string socketPath() const { return folder_ + "/" + name_; }
  // The running viewer's socket, for the control panel (the runtime folder must be usable).
  static std::string viewerSocketPath(const std::string& name = "Lumatix Viewer");
  std::string lockPath() const { return folder_ + "/" + name_ + ".lock"; }

 private:
  std::string name_;
  std::string folder_;
  int lock_ = -1;
  std::unique_ptr<LocalMessageServer> listen_;
};

}  // namespace lumatix::platform
