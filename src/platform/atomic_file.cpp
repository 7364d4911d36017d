#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <streambuf>
#include <vector>

namespace lumatix::platform {
namespace {

constexpr const char kMarker[] = ".lmxtmp-";

// The temporaries of saves in progress, for a signal handler: fixed storage, no allocation.
constexpr int kSlots = 32;
struct TemporarySlot {
  std::atomic<bool> used{false};
  char path[PATH_MAX + 1] = {};
};
TemporarySlot slots[kSlots];

int registerTemporary(const std::string& path) {
  if (path.size() > PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    if (slots[i].used.load()) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].used.store(true);
    return i;
  }
  return -1;
}

void releaseTemporary(int slot) {
  if (slot >= 0) slots[slot].used.store(false);
}

[[noreturn]] void refuse(const std::string& target, const std::string& reason) {
  throw OpenRefused(target, reason);
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with every symbolic link of its last part followed; a dangling link gives the
// path it points to, which the save then makes.
std::string followLinks(const std::string& target) {
  std::string path = target;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::vector<char> link(PATH_MAX + 1);
    const ssize_t n = ::readlink(path.c_str(), link.data(), PATH_MAX);
    if (n <= 0) return path;
    std::string next(link.data(), static_cast<std::size_t>(n));
    if (next.front() != '/') next = folderOf(path) + "/" + next;
    path = next;
  }
  refuse(target, "Too many levels of symbolic links.");
}

// The part of a temporary's name before the process id: the target's name, or when that
// would make the name too long for the folder, its start and a hash of the whole name.
std::string temporaryStem(const std::string& folder, const std::string& name) {
  long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  if (limit <= 0) limit = NAME_MAX;
  const std::size_t suffix = sizeof kMarker - 1 + 10 + 1 + 6;  // marker, pid, '-', XXXXXX
  if (name.size() + suffix <= static_cast<std::size_t>(limit)) return name;
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  char hex[10];
  std::snprintf(hex, sizeof hex, "~%08x", hash);
  const std::size_t keep = static_cast<std::size_t>(limit) - suffix - 9;
  return name.substr(0, std::min(keep, name.size())) + hex;
}

// Removes "<stem>.lmxtmp-<pid>-XXXXXX" files whose process no longer runs, and the older
// "<stem>.lmxtmp-XXXXXX" ones not touched for ten minutes.
void removeStaleTemporaries(const std::string& folder, const std::string& stem) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const std::string prefix = stem + kMarker;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const std::string path = folder + "/" + name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) continue;
    bool stale = false;
    const auto dash = rest.find('-');
    if (dash != std::string::npos && dash > 0 && rest.size() == dash + 7 &&
        rest.find_first_not_of("0123456789") == dash) {
      const long pid = std::strtol(rest.substr(0, dash).c_str(), nullptr, 10);
      stale = pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    } else if (rest.size() == 6) {
      stale = std::time(nullptr) - info.st_mtime > 600;
    }
    if (stale) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

}  // namespace

// An output buffer over a file descriptor; large blocks bypass the buffer.
class AtomicFile::Buffer : public std::streambuf {
 public:
  explicit Buffer(int fd) : fd_(fd), space_(1 << 20) { setp(space_.data(), space_.data() + space_.size()); }

  int error() const { return error_; }

 protected:
  int_type overflow(int_type ch) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }

  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n < epptr() - pptr()) {
      std::memcpy(pptr(), s, static_cast<std::size_t>(n));
      pbump(static_cast<int>(n));
      return n;
    }
    if (!drain() || !writeAll(s, static_cast<std::size_t>(n))) return 0;
    return n;
  }

  int sync() override { return drain() ? 0 : -1; }

 private:
  bool drain() {
    std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
    bool ok = writeAll(pbase(), pending);
    setp(space_.data(), space_.data() + space_.size());
    return ok;
  }

  bool writeAll(const char* data, std::size_t n) {
    while (n > 0 && error_ == 0) {
      ssize_t written = ::write(fd_, data, n);
      if (written < 0) {
        if (errno == EINTR) continue;
        error_ = errno;
        break;
      }
      data += written;
      n -= static_cast<std::size_t>(written);
    }
    return error_ == 0;
  }

  int fd_;
  std::vector<char> space_;
  int error_ = 0;
};

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  if (target_.empty()) refuse(target_, "No file name was given.");
  written_ = followLinks(target_);

  // Only a regular file is replaced: renaming over a device, FIFO or socket would swap a
  // regular file in for it.
  struct stat existing {};
  const bool exists = ::stat(written_.c_str(), &existing) == 0;
  if (exists) {
    if (S_ISDIR(existing.st_mode)) refuse(target_, "It is a folder, not a file.");
    if (!S_ISREG(existing.st_mode))
      refuse(target_, S_ISFIFO(existing.st_mode)   ? "It is a named pipe, not a regular file; it was left alone."
                      : S_ISSOCK(existing.st_mode) ? "It is a socket, not a regular file; it was left alone."
                                                   : "It is a device, not a regular file; it was left alone.");
    // The folder's permission would let the rename through; a read-only file is the
    // person's wish not to have it replaced (root included, as cp does not ask root either
    // but the write bits are all off).
    if (::access(written_.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0)
      refuse(target_, "The file is read-only; save it under another name or make it writable first.");
  } else if (errno != ENOENT) {
    refuse(target_, std::strerror(errno));
  }

  const std::string folder = folderOf(written_);
  const std::string stem = temporaryStem(folder, nameOf(written_));
  removeStaleTemporaries(folder, stem);
  std::string pattern = folder + "/" + stem + kMarker + std::to_string(::getpid()) + "-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) refuse(target_, std::strerror(errno));
  temporary_ = name.data();
  slot_ = registerTemporary(temporary_);

  // Keep the permissions of a file being replaced; a new file gets the usual 0666 less umask.
  mode_t mode;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd_, mode);

  buffer_ = std::make_unique<Buffer>(fd_);
  stream_ = std::make_unique<std::ostream>(buffer_.get());
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
  releaseTemporary(slot_);
}

void AtomicFile::removeTemporariesNow() noexcept {
  for (auto& slot : slots)
    if (slot.used.load()) ::unlink(slot.path);
}

std::ostream& AtomicFile::stream() { return *stream_; }

void AtomicFile::commit() {
  auto fail = [&](int error) {
    throw std::runtime_error("Can't write " + target_ + ": " + std::strerror(error));
  };
  stream_->flush();
  if (buffer_->error() != 0) fail(buffer_->error());
  if (!*stream_) fail(EIO);
  if (::fsync(fd_) != 0) fail(errno);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail(errno);
  if (::rename(temporary_.c_str(), written_.c_str()) != 0) fail(errno);
  committed_ = true;
  releaseTemporary(slot_);
  slot_ = -1;
}

}  // namespace lumatix::platform
