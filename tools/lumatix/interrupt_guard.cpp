#include "interrupt_guard.h"

#include <atomic>

namespace lumatix::cli {

namespace {
volatile std::sig_atomic_t raised = 0;
extern "C" void onSignal(int) { raised = 1; }
}  // namespace

InterruptGuard::InterruptGuard() {
  raised = 0;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &oldInt_);
  sigaction(SIGTERM, &action, &oldTerm_);
  sigaction(SIGHUP, &action, &oldHup_);
}

InterruptGuard::~InterruptGuard() {
  sigaction(SIGINT, &oldInt_, nullptr);
  sigaction(SIGTERM, &oldTerm_, nullptr);
  sigaction(SIGHUP, &oldHup_, nullptr);
}

bool InterruptGuard::interrupted() { return raised != 0; }

}  // namespace lumatix::cli
