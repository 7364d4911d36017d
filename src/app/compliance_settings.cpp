#include "app/compliance_settings.h"

#include <chrono>
#include <thread>

namespace lumatix::app {

ComplianceSettings::Access::Access(ComplianceSettings& owner) : owner_(owner) {
  while (owner_.lock_.exchange(1, std::memory_order_acquire) == 1)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

ComplianceSettings::Access::~Access() { owner_.lock_.store(0, std::memory_order_release); }

ComplianceSettings& ComplianceSettings::instance() {
  static ComplianceSettings settings;
  return settings;
}

ComplianceFlags ComplianceSettings::snapshot() {
  Access a(*this);
  return *a;
}

void ComplianceSettings::confirmUser() {
  Access a(*this);
  a->controlPanelConfirmedUser = true;
}

void ComplianceSettings::reset(const ComplianceFlags& flags) {
  Access a(*this);
  *a = flags;
}

CurrentUserName& CurrentUserName::instance() {
  static CurrentUserName name;
  return name;
}

void CurrentUserName::set(const std::string& name) {
  std::lock_guard lock(mutex_);
  name_ = name;
}

std::string CurrentUserName::get() const {
  std::lock_guard lock(mutex_);
  return name_;
}

void confirmUserFromPipe(const std::string& message, CurrentUserName& user, ComplianceSettings& settings) {
  bool same = user.with([&](const std::string& name) { return !name.empty() && name == message; });
  if (same) settings.confirmUser();
}

}  // namespace lumatix::app
