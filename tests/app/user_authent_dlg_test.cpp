#include "app/user_authent_dlg.h"

#include <map>

#include <gtest/gtest.h>

#include "support/scripted_ui.h"

namespace lumatix::app {
namespace {

// Accepts the passwords it knows and counts the calls.
struct FakeAuthenticator : platform::Authenticator {
  std::map<std::string, std::string> passwords{{"jsmith", "Secret1"}};
  std::vector<std::string> asked;
  bool authenticate(const std::string& user, const std::string& password) override {
    asked.push_back(user);
    auto it = passwords.find(user);
    return it != passwords.end() && it->second == password;
  }
};

Credentials typed(std::string user, std::string password, bool agreed = true) {
  return {std::move(user), std::move(password), agreed};
}

TEST(UserAuthentDlg, Outcomes) {
  struct Row {
    const char* name;
    std::vector<std::optional<Credentials>> script;
    bool result;
    int sorries;
    std::size_t logons;  // calls that reached the authenticator
  };
  const Row rows[] = {
      {"right at once", {typed("jsmith", "Secret1")}, true, 0, 1},
      {"right at the third try", {typed("jsmith", "x"), typed("jsmith", "y"), typed("jsmith", "Secret1")}, true, 2, 3},
      {"three wrong passwords", {typed("jsmith", "a"), typed("jsmith", "b"), typed("jsmith", "c")}, false, 2, 3},
      {"name in another case is wrong and never tried", {typed("JSmith", "Secret1"), std::nullopt}, false, 1, 0},
      {"another user is refused", {typed("mjones", "Secret1"), std::nullopt}, false, 1, 0},
      {"cancel at once", {std::nullopt}, false, 0, 0},
      {"OK without I Agree does not count", {typed("jsmith", "Secret1", false), typed("jsmith", "Secret1")}, true, 0,
       1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeAuthenticator auth;
    testing::ScriptedUi ui;
    ui.credentials.assign(row.script.begin(), row.script.end());
    CUserAuthentDlg dlg(auth, "jsmith", true);
    EXPECT_EQ(dlg.run(ui), row.result);
    EXPECT_EQ(dlg.authenticated(), row.result);
    EXPECT_EQ(ui.shown.size(), static_cast<std::size_t>(row.sorries));
    for (const auto& s : ui.shown) {
      EXPECT_EQ(s.text, "Sorry! Error in username and/or password.\nPlease try again.");
      EXPECT_EQ(s.caption, "User Authentication");
    }
    EXPECT_EQ(auth.asked.size(), row.logons);
    EXPECT_TRUE(ui.credentials.empty());
  }
}

TEST(UserAuthentDlg, FieldsAfterEachKindOfFailure) {
  FakeAuthenticator auth;
  testing::ScriptedUi ui;
  ui.credentials = {typed("jsmith", "wrong"), typed("JSMITH", "Secret1"), std::nullopt};
  CUserAuthentDlg dlg(auth, "jsmith", true);
  EXPECT_FALSE(dlg.run(ui));
  ASSERT_EQ(ui.prompts.size(), 3u);
  EXPECT_EQ(ui.prompts[0].userName, "jsmith");
  EXPECT_EQ(ui.prompts[0].focus, CredentialsFocus::UserName);
  EXPECT_EQ(ui.prompts[0].caption, "User Authentication");
  EXPECT_EQ(ui.prompts[0].heading, "Enter your username and password");
  EXPECT_EQ(ui.prompts[1].userName, "jsmith");  // wrong password: name kept, password field focused
  EXPECT_EQ(ui.prompts[1].focus, CredentialsFocus::Password);
  EXPECT_EQ(ui.prompts[2].userName, "");  // wrong name: both fields emptied
  EXPECT_EQ(ui.prompts[2].focus, CredentialsFocus::UserName);
  EXPECT_EQ(ui.prompts[2].attemptsLeft, 1);
}

TEST(UserAuthentDlg, WithoutExpectedNameAnyUserMayLogOn) {
  FakeAuthenticator auth;
  auth.passwords["mjones"] = "pw";
  testing::ScriptedUi ui;
  ui.credentials = {typed("mjones", "pw")};
  CUserAuthentDlg dlg(auth);
  EXPECT_TRUE(dlg.run(ui));
  EXPECT_EQ(ui.prompts[0].userName, "");
}

}  // namespace
}  // namespace lumatix::app
