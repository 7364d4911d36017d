#include "platform/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/runtime_dir.h"

namespace lumatix::platform {

namespace {
constexpr char kReceipt = '\x06';

bool address(const std::string& path, sockaddr_un& out) {
  std::memset(&out, 0, sizeof out);
  out.sun_family = AF_UNIX;
  if (path.size() >= sizeof out.sun_path) return false;
  std::memcpy(out.sun_path, path.data(), path.size());
  return true;
}

bool waitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  int rc;
  while ((rc = ::poll(&p, 1, timeoutMs)) < 0 && errno == EINTR) {
  }
  return rc > 0 && (p.revents & events);
}
}  // namespace

SingleInstance::SingleInstance(std::string name, std::string folder) : name_(std::move(name)), folder_(std::move(folder)) {}

SingleInstance::~SingleInstance() { release(); }

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
  sockaddr_un addr{};
  if (!address(socketPath(), addr)) return Result::Failed;
  ::unlink(socketPath().c_str());
  listen_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listen_ < 0 || ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listen_, 8) != 0) {
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
  sockaddr_un addr{};
  if (!address(socketPath(), addr)) return false;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            ::send(fd, request.fileName.data(), request.fileName.size(), MSG_NOSIGNAL) ==
                static_cast<ssize_t>(request.fileName.size()) &&
            ::shutdown(fd, SHUT_WR) == 0 && waitFor(fd, POLLIN, timeoutMs);
  char receipt = 0;
  ok = ok && ::recv(fd, &receipt, 1, 0) == 1 && receipt == kReceipt;
  ::close(fd);
  return ok;
}

std::optional<SingleInstance::HandOver> SingleInstance::takeRequest(int timeoutMs) {
  if (listen_ < 0 || !waitFor(listen_, POLLIN, timeoutMs)) return std::nullopt;
  int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return std::nullopt;
  ucred peer{};
  socklen_t size = sizeof peer;
  std::optional<HandOver> request;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid()) {
    // A peer that connects and then says nothing must not hold the program: one second at most.
    std::string text;
    char buffer[1024];
    bool complete = false;
    while (text.size() <= kMaxFileName && waitFor(fd, POLLIN, 1000)) {
      ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        complete = n == 0;
        break;
      }
      text.append(buffer, static_cast<std::size_t>(n));
    }
    if (complete && text.size() <= kMaxFileName && text.find('\0') == std::string::npos) {
      request = HandOver{text};
      ::send(fd, &kReceipt, 1, MSG_NOSIGNAL);
    }
  }
  ::close(fd);
  return request;
}

void SingleInstance::release() {
  if (listen_ >= 0) {
    ::close(listen_);
    ::unlink(socketPath().c_str());
  }
  listen_ = -1;
  if (lock_ >= 0) ::close(lock_);
  lock_ = -1;
}

}  // namespace lumatix::platform
