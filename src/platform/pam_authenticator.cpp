#include "platform/pam_authenticator.h"

#include <security/pam_appl.h>

#include <cstdlib>
#include <cstring>

namespace lumatix::platform {

namespace {

// Answers every password prompt with the one password; other prompts get no answer text.
int converse(int count, const pam_message** messages, pam_response** responses, void* data) {
  if (count <= 0 || count > PAM_MAX_NUM_MSG) return PAM_CONV_ERR;
  auto* replies = static_cast<pam_response*>(std::calloc(static_cast<std::size_t>(count), sizeof(pam_response)));
  if (!replies) return PAM_BUF_ERR;
  const auto* password = static_cast<const std::string*>(data);
  for (int i = 0; i < count; ++i) {
    if (messages[i]->msg_style == PAM_PROMPT_ECHO_OFF) {
      replies[i].resp = ::strdup(password->c_str());
      if (!replies[i].resp) {
        for (int j = 0; j < i; ++j) std::free(replies[j].resp);
        std::free(replies);
        return PAM_BUF_ERR;
      }
    }
  }
  *responses = replies;
  return PAM_SUCCESS;
}

}  // namespace

bool PamAuthenticator::authenticate(const std::string& userName, const std::string& password) {
  if (userName.empty()) return false;
  std::string secret = password;
  pam_conv conversation{converse, &secret};
  pam_handle_t* handle = nullptr;
  int rc = ::pam_start(service_.c_str(), userName.c_str(), &conversation, &handle);
  if (rc == PAM_SUCCESS) rc = ::pam_authenticate(handle, PAM_DISALLOW_NULL_AUTHTOK);
  if (rc == PAM_SUCCESS) rc = ::pam_acct_mgmt(handle, PAM_DISALLOW_NULL_AUTHTOK);
  if (handle) ::pam_end(handle, rc);
  // Wipe our copy; PAM scrubs its own.
  volatile char* p = secret.data();
  for (std::size_t i = 0; i < secret.size(); ++i) p[i] = 0;
  return rc == PAM_SUCCESS;
}

}  // namespace lumatix::platform
