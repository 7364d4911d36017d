#include "platform/local_message.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/runtime_dir.h"

namespace lumatix::platform {

namespace {
constexpr char kReceipt = '\x06';
constexpr int kSilentPeerMs = 1000;

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

std::string controlPanelSocketPath() { return runtimeDirectory() + "/lumatix/ControlPanel.sock"; }

bool isMessage(const std::string& text, const char* name) {
  const std::string_view line = !text.empty() && text.back() == '\n' ? std::string_view(text).substr(0, text.size() - 1)
                                                                     : std::string_view(text);
  return line == name;
}

bool sendLocalMessage(const std::string& path, const std::string& text, int timeoutMs, std::size_t maxBytes) {
  if (text.size() > maxBytes) return false;
  sockaddr_un addr{};
  if (!address(path, addr)) return false;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size()) &&
            ::shutdown(fd, SHUT_WR) == 0 && waitFor(fd, POLLIN, timeoutMs);
  char receipt = 0;
  ok = ok && ::recv(fd, &receipt, 1, 0) == 1 && receipt == kReceipt;
  ::close(fd);
  return ok;
}

bool LocalMessageServer::listen() {
  close();
  sockaddr_un addr{};
  if (!address(path_, addr)) return false;
  const std::string folder = path_.substr(0, path_.rfind('/'));
  if (!folder.empty() && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  // A socket file left by a listener that is gone; anything else at the path is not ours.
  if (::lstat(path_.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) return false;
    ::unlink(path_.c_str());
  }
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd_ < 0) return false;
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd_, 8) != 0) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

std::optional<std::string> LocalMessageServer::take(int timeoutMs, std::size_t maxBytes,
                                                    const std::function<bool(const std::string&)>& handle) {
  if (fd_ < 0 || !waitFor(fd_, POLLIN, timeoutMs)) return std::nullopt;
  int peer = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (peer < 0) return std::nullopt;
  ucred credentials{};
  socklen_t size = sizeof credentials;
  std::optional<std::string> message;
  if (::getsockopt(peer, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == ::geteuid()) {
    std::string text;
    char buffer[1024];
    bool complete = false;
    while (text.size() <= maxBytes && waitFor(peer, POLLIN, kSilentPeerMs)) {
      ssize_t n = ::recv(peer, buffer, sizeof buffer, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        complete = n == 0;
        break;
      }
      text.append(buffer, static_cast<std::size_t>(n));
    }
    if (complete && text.size() <= maxBytes && text.find('\0') == std::string::npos) {
      message = std::move(text);
      if (!handle || handle(*message)) ::send(peer, &kReceipt, 1, MSG_NOSIGNAL);
    }
  }
  ::close(peer);
  return message;
}

void LocalMessageServer::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(path_.c_str());
  fd_ = -1;
}

}  // namespace lumatix::platform
