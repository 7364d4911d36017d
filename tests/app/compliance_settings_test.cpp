#include "app/compliance_settings.h"

#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace lumatix::app {
namespace {

TEST(ComplianceSettings, PipeConfirmationNeedsTheExactLowerCaseName) {
  struct Row {
    const char* name;
    std::string current;
    std::string message;
    bool confirmed;
  };
  const Row rows[] = {
      {"same name", "jsmith", "jsmith", true},
      {"other case", "jsmith", "JSmith", false},
      {"other user", "jsmith", "mjones", false},
      {"no current user yet", "", "", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CurrentUserName user;
    user.set(row.current);
    ComplianceSettings settings;
    confirmUserFromPipe(row.message, user, settings);
    EXPECT_EQ(settings.snapshot().controlPanelConfirmedUser, row.confirmed);
  }
}

// The lock is held for the whole access: increments from many threads are never lost.
TEST(ComplianceSettings, AccessHoldsTheLockWhileItLives) {
  ComplianceSettings settings;
  int counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        auto a = settings.access();
        int seen = counter;
        std::this_thread::yield();
        counter = seen + 1;
        a->cfrCompliant = !a->cfrCompliant;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, 800);
  EXPECT_FALSE(settings.snapshot().cfrCompliant);
}

TEST(ComplianceSettings, CurrentUserNameLockIsRecursive) {
  CurrentUserName user;
  user.set("jsmith");
  EXPECT_EQ(user.with([&](const std::string& n) { return n + "/" + user.get(); }), "jsmith/jsmith");
}

}  // namespace
}  // namespace lumatix::app
