#pragma once
// Who runs the program.

#include <functional>
#include <optional>
#include <string>

namespace lumatix::platform {

// The logon name of the operating-system user; when it cannot be had, the environment
// variable "USERNAME"; when that is missing too, "Unknown".
std::string logonName();

// The account name of the effective user from the password database only: no fallback to
// the environment, which anyone can set. nullopt when the account has no name. For the
// checks of who may run the program. An installed test source answers here too.
std::optional<std::string> accountName();

// Installs a replacement for tests; an empty function restores the system lookup.
void setLogonNameSource(std::function<std::string()> source);

}  // namespace lumatix::platform
