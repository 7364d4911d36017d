#pragma once
// Configuration that decides who may run the program is believed only when nobody but the
// administrator can have written it.

#include <optional>
#include <string>
#include <sys/types.h>

namespace lumatix::platform {

struct TrustedRead {
  bool exists = false;            // false: the file is missing (not an error)
  std::optional<std::string> text;  // the contents when the file was trusted and read
  std::string warning;            // why an existing file was ignored
};

// Reads a regular file of at most maxBytes that is owned by trustedOwner (root in the
// program) and writable by nobody else: not by others, and by its group only when that is
// the root group. Otherwise text is empty and warning says why.
TrustedRead readTrustedFile(const std::string& path, std::size_t maxBytes, uid_t trustedOwner = 0);

}  // namespace lumatix::platform
