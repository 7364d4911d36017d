#pragma once
// Where the program keeps its per-session sockets and pipes.

#include <string>

namespace lumatix::platform {

// $XDG_RUNTIME_DIR when it is set to an absolute path, else /tmp/lumatix-<uid>; the folder
// is created (mode 0700) when missing. Throws std::runtime_error when it cannot be made or
// is not a folder owned by this user.
std::string runtimeDirectory();

}  // namespace lumatix::platform
