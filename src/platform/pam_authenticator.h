#pragma once
// Proving who the user is: a user name and password checked by PAM.

#include <string>

namespace lumatix::platform {

class Authenticator {
 public:
  virtual ~Authenticator() = default;
  // True when the password is right for the user and the account may be used now.
  virtual bool authenticate(const std::string& userName, const std::string& password) = 0;
};

// PAM service "lumatix-viewer" (or another): pam_authenticate, then pam_acct_mgmt.
class PamAuthenticator : public Authenticator {
 public:
  explicit PamAuthenticator(std::string service = "lumatix-viewer") : service_(std::move(service)) {}
  bool authenticate(const std::string& userName, const std::string& password) override;

 private:
  std::string service_;
};

}  // namespace lumatix::platform
