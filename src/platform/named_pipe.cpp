#include "platform/named_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/runtime_dir.h"

namespace lumatix::platform {

namespace {

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// A reader that goes away between our open and our write must not kill the program with
// SIGPIPE: the signal is held back on this thread and a pending one is consumed.
ssize_t writeWithoutSigpipe(int fd, const char* data, std::size_t size) {
  sigset_t pipeOnly, old;
  sigemptyset(&pipeOnly);
  sigaddset(&pipeOnly, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeOnly, &old);
  ssize_t written = ::write(fd, data, size);
  int saved = errno;
  if (written < 0 && saved == EPIPE) {
    timespec zero{};
    while (sigtimedwait(&pipeOnly, nullptr, &zero) > 0) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  errno = saved;
  return written;
}

}  // namespace

CNamedPipe::~CNamedPipe() { close(); }

void CNamedPipe::Init(const std::string& machine, const std::string& name) {
  machine_ = machine;
  name_ = name;
  try {
    path_ = runtimeDirectory() + "/lumatix/" + name;
  } catch (const std::exception&) {
    path_.clear();  // Open fails later; a missing runtime folder is not an error here
  }
}

void CNamedPipe::close() {
  if (stopWrite_ >= 0) closeFd(stopWrite_);  // wakes the listener's poll
  if (listener_.joinable()) listener_.join();
  closeFd(readFd_);
  if (created_) ::unlink(fifoPath().c_str());
  created_ = false;
}

bool CNamedPipe::Open(bool serverEnd, const std::string& quitText, Callback callback) {
  close();
  serverEnd_ = serverEnd;
  quitText_ = quitText;
  if (!callback || machine_ != "." || name_.empty() || path_.empty()) return false;
  if (name_.find('/') != std::string::npos) return false;
  const std::string fifo = fifoPath();

  if (serverEnd) {
    std::string folder = path_.substr(0, path_.rfind('/'));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(fifo.c_str(), &st) == 0) {
      if (!S_ISFIFO(st.st_mode)) return false;  // never remove something that is not ours to replace
      ::unlink(fifo.c_str());
    }
    if (::mkfifo(fifo.c_str(), 0600) != 0) return false;
    created_ = true;
    return true;
  }

  int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode)) {
    ::close(fd);
    return false;
  }
  int stop[2];
  if (::pipe2(stop, O_CLOEXEC) != 0) {
    ::close(fd);
    return false;
  }
  readFd_ = fd;
  stopWrite_ = stop[1];
  int stopRead = stop[0];
  listener_ = std::thread([fd, stopRead, cb = std::move(callback)] {
    listen(fd, stopRead, cb);
    ::close(stopRead);
  });
  return true;
}

void CNamedPipe::listen(int readFd, int stopFd, Callback callback) {
  char buffer[kMaxMessage];
  for (;;) {
    pollfd fds[2] = {{readFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    int ready = ::poll(fds, 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;  // the owner closes or reopens the pipe
    if (fds[0].revents & POLLIN) {
      ssize_t n = ::read(readFd, buffer, sizeof buffer);
      if (n > 0) {
        std::size_t length = ::strnlen(buffer, static_cast<std::size_t>(n));
        try {
          callback(std::string(buffer, length));
        } catch (...) {
          // An exception leaving a thread ends the program; the message is simply spent.
        }
        return;
      }
      if (n == 0) return;  // the writer went away without a message: the pipe is broken
      if (errno == EAGAIN || errno == EINTR) continue;
      return;
    }
    // Hang-up or error with nothing to read: ending here keeps a broken pipe from spinning.
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return;
  }
}

bool CNamedPipe::Write(const std::string& text) {
  if (!serverEnd_ || !created_) return false;
  if (text.size() + 1 > kMaxMessage) return false;
  // Non-blocking open: with no reader it fails at once (ENXIO) instead of waiting.
  int fd = ::open(fifoPath().c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
  if (ok) {
    // text.c_str() carries the zero byte; a message within PIPE_BUF is written whole or not at all.
    ssize_t written = writeWithoutSigpipe(fd, text.c_str(), text.size() + 1);
    ok = written == static_cast<ssize_t>(text.size() + 1);
  }
  ::close(fd);
  return ok;
}

}  // namespace lumatix::platform
