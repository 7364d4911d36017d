#include "link/control_panel_handshake.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

#include "platform/single_instance.h"

namespace instrument_link {

namespace lp = lumatix::platform;

namespace {
// How long the serving thread waits for a peer before it looks at the stop flag again.
constexpr int kPollMs = 100;
// A request is one line.
constexpr std::size_t kMaxRequest = 256;
}  // namespace

ControlPanelHandshake::ControlPanelHandshake(std::string user)
    : user_(std::move(user)), socket_(lp::controlPanelSocketPath()) {
  pipe_.Init(".", "ControlPanelPipe");
  // The server end only writes; the callback is for the form's sake.
  if (!pipe_.Open(true, "QUIT", [](const std::string&) {}))
    throw std::runtime_error("Cannot make the pipe " + pipe_.fifoPath() + ".");
  if (!socket_.listen()) throw std::runtime_error("Cannot listen on " + socket_.path() + ".");
  thread_ = std::thread([this] { serve(); });
}

ControlPanelHandshake::~ControlPanelHandshake() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void ControlPanelHandshake::serve() {
  while (!stop_) {
    socket_.take(kPollMs, kMaxRequest, [this](const std::string& text) {
      if (!lp::isMessage(text, lp::kViewerRequestAuthMessage)) return false;
      // A viewer that has not opened its end of the pipe misses the name; it asks the
      // person to log on instead.
      if (pipe_.Write(user_)) ++delivered_;
      ++answered_;
      return true;
    });
  }
}

bool ControlPanelHandshake::requestConnect(int timeoutMs) {
  try {
    return lp::sendLocalMessage(lp::SingleInstance::viewerSocketPath(),
                                std::string(lp::kControlPanelRequestConnectMessage) + "\n", timeoutMs);
  } catch (const std::exception&) {
    return false;  // no runtime folder: no viewer either
  }
}

std::optional<std::string> ControlPanelHandshake::requestAuth(int timeoutMs) {
  std::mutex mutex;
  std::condition_variable arrived;
  std::optional<std::string> name;
  lp::CNamedPipe viewerPipe;
  viewerPipe.Init(".", "ViewerPipe");
  // The reading end is open before the request goes out, so the viewer's write finds it.
  if (!viewerPipe.Open(false, "QUIT", [&](const std::string& message) {
        std::lock_guard lock(mutex);
        name = message;
        arrived.notify_all();
      }))
    return std::nullopt;
  try {
    if (!lp::sendLocalMessage(lp::SingleInstance::viewerSocketPath(),
                              std::string(lp::kControlRequestAuthMessage) + "\n", timeoutMs))
      return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
  std::unique_lock lock(mutex);
  arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return name.has_value(); });
  return name;
}

}  // namespace instrument_link
