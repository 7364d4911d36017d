#include "platform/runtime_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace lumatix::platform {

namespace {

void ensurePrivateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
    throw std::runtime_error("Can't create " + path + ": " + std::strerror(errno));
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
    throw std::runtime_error("The runtime folder " + path + " is not a private folder of this user.");
}

}  // namespace

std::string runtimeDirectory() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg && xdg[0] == '/') return xdg;
  std::string fallback = "/tmp/lumatix-" + std::to_string(::geteuid());
  ensurePrivateFolder(fallback);
  return fallback;
}

}  // namespace lumatix::platform
