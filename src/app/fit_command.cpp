#include "app/fit_command.h"

#include <atomic>

#include "platform/build_info.h"

namespace lumatix::app {
namespace {

std::atomic<bool> fitRunning{false};

}  // namespace

std::unique_ptr<FitRunningFlag> FitRunningFlag::acquire(Ui& ui) {
  if (fitRunning.exchange(true)) {
    ui.showMessage(kFitAlreadyRunning, platform::kProductName, Icon::Information, Buttons::Ok);
    return nullptr;
  }
  return std::unique_ptr<FitRunningFlag>(new FitRunningFlag());
}

FitRunningFlag::~FitRunningFlag() { fitRunning = false; }

}  // namespace lumatix::app
