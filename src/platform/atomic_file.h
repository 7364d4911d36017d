#pragma once
// Saving a file without ever leaving a half-written one behind.

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

namespace lumatix::platform {

// The target cannot be written: what() is the program's own "Can't open <path> for
// writing.", reason() says why (the system's error text, or that the target is a folder,
// a device, a FIFO, a socket or read-only).
class OpenRefused : public std::runtime_error {
 public:
  OpenRefused(const std::string& target, std::string reason)
      : std::runtime_error("Can't open " + target + " for writing."), reason_(std::move(reason)) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// Writes to a temporary file beside the target; commit() flushes, syncs and renames it over
// the target. Without a successful commit the temporary is removed and the target is left
// as it was. A symbolic link is followed: the file it points to is replaced and the link
// stays. Temporaries are named "<target>.lmxtmp-<pid>-XXXXXX" (the target's name shortened
// and hashed when that would pass the folder's name limit); ones left by a process that no
// longer runs are removed by the next save to the same target.
class AtomicFile {
 public:
  // Throws OpenRefused when the temporary cannot be made, or when the target is not a
  // regular file (folder, device, FIFO, socket) or is read-only; such targets are left alone.
  explicit AtomicFile(std::string target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  std::ostream& stream();
  const std::string& target() const { return target_; }

  // Throws std::runtime_error "Can't write <path>: <reason>" when any write, the sync or the
  // rename failed.
  void commit();

  // Removes the temporaries of every save in progress. Only async-signal-safe calls: meant
  // for a handler of SIGINT, SIGTERM or SIGHUP that then ends the process.
  static void removeTemporariesNow() noexcept;

 private:
  class Buffer;
  std::string target_;
  std::string written_;  // the file replaced at commit: the target with its links followed
  std::string temporary_;
  int slot_ = -1;  // in the table removeTemporariesNow() works through
  int fd_ = -1;
  std::unique_ptr<Buffer> buffer_;
  std::unique_ptr<std::ostream> stream_;
  bool committed_ = false;
};

}  // namespace lumatix::platform
