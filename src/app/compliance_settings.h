#pragma once
// The process-wide compliance flags, shared between the start-up thread and the
// control-panel pipe listener, and the current user name that listener compares with.

#include <atomic>
#include <mutex>
#include <string>

namespace lumatix::app {

struct ComplianceFlags {
  bool cfrCompliant = false;               // "CFRCompliant" > 0: 21 CFR Part 11 mode
  bool cfrLocalAuthOnly = false;           // "CFRLocalAuthOnly" > 0: local groups only
  bool controlPanelConfirmedUser = false;  // the control software reported this same user
};

// The flags behind a spin lock. The lock is held for as long as the returned Access lives,
// so a read-modify-write through it is whole.
class ComplianceSettings {
 public:
  class Access {
   public:
    explicit Access(ComplianceSettings& owner);
    ~Access();
    Access(const Access&) = delete;
    Access& operator=(const Access&) = delete;
    ComplianceFlags* operator->() { return &owner_.flags_; }
    ComplianceFlags& operator*() { return owner_.flags_; }

   private:
    ComplianceSettings& owner_;
  };

  static ComplianceSettings& instance();

  Access access() { return Access(*this); }
  ComplianceFlags snapshot();
  // Only ever goes from off to on.
  void confirmUser();
  void reset(const ComplianceFlags& flags = {});

 private:
  std::atomic<int> lock_{0};
  ComplianceFlags flags_;
};

// The logon name in lower case, empty until the security-group check fills it. Read by the
// pipe listener; all access goes through a recursive lock so a caller holding it may call
// back in.
class CurrentUserName {
 public:
  static CurrentUserName& instance();

  void set(const std::string& name);
  std::string get() const;
  // Runs f(name) with the lock held.
  template <typename F>
  auto with(F&& f) const {
    std::lock_guard lock(mutex_);
    return f(name_);
  }

 private:
  mutable std::recursive_mutex mutex_;
  std::string name_;
};

// The callback both pipes are opened with: when the control software names the same user
// as this process (exact comparison with the lower-case current user name), the user counts
// as confirmed.
void confirmUserFromPipe(const std::string& message, CurrentUserName& user = CurrentUserName::instance(),
                         ComplianceSettings& settings = ComplianceSettings::instance());

}  // namespace lumatix::app
