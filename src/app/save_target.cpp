#include "app/save_target.h"

#include <filesystem>
#include <system_error>

#include "platform/atomic_file.h"

namespace lumatix::app {

std::string saveTargetRefusal(const std::string& path) {
  std::error_code e;
  if (std::filesystem::is_directory(path, e)) return "";
  try {
    // The save's own checks, with its temporary file made and removed again: the answer is
    // the one the save would give, the folder's permissions included.
    platform::AtomicFile probe(path);
  } catch (const platform::OpenRefused& refused) {
    return std::string(refused.what()) + "\n" + refused.reason();
  }
  return "";
}

}  // namespace lumatix::app
