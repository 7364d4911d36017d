#include "app/user_authent_dlg.h"

#include "app/ui.h"

namespace lumatix::app {

CUserAuthentDlg::CUserAuthentDlg(platform::Authenticator& authenticator, std::string expectedUserName, bool prefill)
    : authenticator_(authenticator), expected_(std::move(expectedUserName)), prefill_(prefill) {}

bool CUserAuthentDlg::run(Ui& ui) {
  attempts_ = kTries;
  AuthenticationPrompt prompt;
  prompt.caption = kAuthenticationCaption;
  prompt.heading = kAuthenticationHeading;
  prompt.statement = kAuthenticationStatement;
  prompt.userName = prefill_ ? expected_ : "";
  prompt.focus = CredentialsFocus::UserName;

  for (;;) {
    prompt.attemptsLeft = attempts_;
    auto typed = ui.askCredentials(prompt);
    if (!typed) return false;  // Cancel leaves the flag as it was
    if (!typed->agreed) continue;  // OK is not available until "I Agree" is ticked

    if (!expected_.empty() && typed->userName != expected_) {
      prompt.userName.clear();
      prompt.focus = CredentialsFocus::UserName;
    } else if (authenticator_.authenticate(typed->userName, typed->password)) {
      authenticated_ = true;
      return true;
    } else {
      authenticated_ = false;
      prompt.userName = typed->userName;
      prompt.focus = CredentialsFocus::Password;
    }

    if (--attempts_ <= 0) return false;
    ui.showMessage(kAuthenticationSorry, kAuthenticationCaption, Icon::Warning, Buttons::Ok);
  }
}

}  // namespace lumatix::app
