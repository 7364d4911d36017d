#include "platform/trusted_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumatix::platform {

TrustedRead readTrustedFile(const std::string& path, std::size_t maxBytes, uid_t trustedOwner) {
  TrustedRead result;
  // O_NOFOLLOW: a symbolic link could point the check at one file and the read at another.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return result;
    result.exists = true;
    result.warning = path + " ignored: " + std::strerror(errno);
    return result;
  }
  result.exists = true;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    result.warning = path + " ignored: not a regular file";
  } else if (st.st_uid != trustedOwner) {
    result.warning = path + " ignored: not owned by uid " + std::to_string(trustedOwner);
  } else if ((st.st_mode & S_IWOTH) || ((st.st_mode & S_IWGRP) && st.st_gid != 0)) {
    result.warning = path + " ignored: writable by other users";
  } else if (static_cast<std::size_t>(st.st_size) > maxBytes) {
    result.warning = path + " ignored: larger than " + std::to_string(maxBytes) + " bytes";
  } else {
    std::string text(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    while (got < text.size()) {
      ssize_t n = ::read(fd, text.data() + got, text.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    result.text = std::move(text);
  }
  ::close(fd);
  return result;
}

}  // namespace lumatix::platform
