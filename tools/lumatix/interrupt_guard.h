#pragma once
// While alive, Ctrl+C (SIGINT), SIGTERM and SIGHUP only raise a flag that long work checks between
// two files, so an interrupted command ends with every written file whole and no temporary
// left behind. The previous handlers come back afterwards.

#include <csignal>

namespace lumatix::cli {

class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  static bool interrupted();

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
  struct sigaction oldHup_ {};
};

}  // namespace lumatix::cli
