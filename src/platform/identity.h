#pragma once
// Who runs the program.

#include <functional>
#include <string>

namespace lumatix::platform {

// The logon name of the operating-system user; when it cannot be had, the environment
// variable "USERNAME"; when that is missing too, "Unknown".
std::string logonName();

// Installs a replacement for tests; an empty function restores the system lookup.
void setLogonNameSource(std::function<std::string()> source);

}  // namespace lumatix::platform
