#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <streambuf>
#include <vector>

namespace lumatix::platform {

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
  std::vector<char> name(target_.begin(), target_.end());
  const char suffix[] = ".lmxtmp-XXXXXX";
  name.insert(name.end(), suffix, suffix + sizeof suffix);
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) throw std::runtime_error("Can't open " + target_ + " for writing.");
  temporary_ = name.data();

  // Keep the permissions of a file being replaced; a new file gets the usual 0666 less umask.
  struct stat existing {};
  mode_t mode;
  if (::stat(target_.c_str(), &existing) == 0) {
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
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) fail(errno);
  committed_ = true;
}

}  // namespace lumatix::platform
