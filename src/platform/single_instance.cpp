#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/local_message.h"
#include "platform/runtime_dir.h"

namespace lumatix::platform {

SingleInstance::SingleInstance(std::string name, std::string folder) : name_(std::move(name)), folder_(std::move(folder)) {}

SingleInstance::~SingleInstance() { release(); }

std::string SingleInstance::viewerSocketPath(const std::string& name) { return runtimeDirectory() + "/" + name; }

int SingleInstance::socketFd() const { return listen_ ? listen_->fd() : -1; }

SingleInstance::HandOver SingleInstance::parse(const std::string& text) {
  if (isMessage(text, kControlRequestAuthMessage)) return {"", Request::ControlRequestAuth};
  if (isMessage(text, kControlPanelRequestConnectMessage)) return {"", Request::ControlPanelRequestConnect};
  return {text, Request::OpenWindow};
}

SingleInstance::Result SingleInstance::acquire() {
  release();
  try {
    if (folder_.empty()) folder_ = runtimeDirectory();
  } catch (const std::exception&) {
    return Result::Failed;
  }
  lock_ = ::open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lock_ < 0) return Result::Failed;
  if (::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
    bool held = errno == EWOULDBLOCK;
    ::close(lock_);
    lock_ = -1;
    return held ? Result::AlreadyRunning : Result::Failed;
  }
  // We hold the lock: a socket file left behind by a crashed instance is stale.
  listen_ = std::make_unique<LocalMessageServer>(socketPath());
  if (!listen_->listen()) {
    release();
    return Result::Failed;
  }
  return Result::First;
}

bool SingleInstance::handOver(const HandOver& request, int timeoutMs) {
  if (request.fileName.size() > kMaxFileName) return false;
  if (folder_.empty()) {
    try {
      folder_ = runtimeDirectory();
    } catch (const std::exception&) {
      return false;
    }
  }
  return sendLocalMessage(socketPath(), request.fileName, timeoutMs, kMaxFileName);
}

std::optional<SingleInstance::HandOver> SingleInstance::takeRequest(int timeoutMs) {
  if (!listen_) return std::nullopt;
  std::optional<std::string> text = listen_->take(timeoutMs, kMaxFileName);
  if (!text) return std::nullopt;
  return parse(*text);
}

void SingleInstance::release() {
  listen_.reset();
  if (lock_ >= 0) ::close(lock_);
  lock_ = -1;
}

}  // namespace lumatix::platform
