#pragma once
// The log-on dialog's rules: the expected user name, the "I Agree" box, three tries and the
// "Sorry!" message. The dialog itself is the Ui's; this class drives it.

#include <string>

#include "platform/pam_authenticator.h"

namespace lumatix::app {

class Ui;

inline constexpr const char* kAuthenticationCaption = "User Authentication";
inline constexpr const char* kAuthenticationHeading = "Enter your username and password";
inline constexpr const char* kAuthenticationStatement =
    "By entering your username and password, you agree to those credentials being used to identify any created "
    "electronic records (files) as being electronically signed by yourself.";
inline constexpr const char* kAuthenticationSorry = "Sorry! Error in username and/or password.\nPlease try again.";

class CUserAuthentDlg {
 public:
  static constexpr int kTries = 3;

  // With an expected user name, only that name (exact, case-sensitive) may log on; prefill
  // puts it in the user name field when the dialog opens.
  CUserAuthentDlg(platform::Authenticator& authenticator, std::string expectedUserName = "", bool prefill = false);

  // Shows the dialog until the log-on succeeds (true), the person cancels, or the third
  // try fails (false). After each failed try but the last, "Sorry!" is shown.
  bool run(Ui& ui);

  bool authenticated() const { return authenticated_; }
  int attemptsLeft() const { return attempts_; }

 private:
  platform::Authenticator& authenticator_;
  std::string expected_;
  bool prefill_;
  bool authenticated_ = false;
  int attempts_ = kTries;
};

}  // namespace lumatix::app
