#pragma once
// Saving a file without ever leaving a half-written one behind.

#include <memory>
#include <ostream>
#include <string>

namespace lumatix::platform {

// Writes to a temporary file beside the target; commit() flushes, syncs and renames it over
// the target. Without a successful commit the temporary is removed and the target is left
// as it was.
class AtomicFile {
 public:
  // Throws std::runtime_error "Can't open <path> for writing." when the temporary cannot be made.
  explicit AtomicFile(std::string target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  std::ostream& stream();
  const std::string& target() const { return target_; }

  // Throws std::runtime_error "Can't write <path>: <reason>" when any write, the sync or the
  // rename failed.
  void commit();

 private:
  class Buffer;
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  std::unique_ptr<Buffer> buffer_;
  std::unique_ptr<std::ostream> stream_;
  bool committed_ = false;
};

}  // namespace lumatix::platform
