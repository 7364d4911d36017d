#include "platform/identity.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace lumatix::platform {
namespace {

std::function<std::string()>& installedSource() {
  static std::function<std::string()> source;
  return source;
}

std::optional<std::string> passwordDatabaseName() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_name && *found->pw_name)
    return std::string(found->pw_name);
  return std::nullopt;
}

std::string systemLogonName() {
  if (auto name = passwordDatabaseName()) return *name;
  if (const char* env = std::getenv("USERNAME")) return env;
  return "Unknown";
}

}  // namespace

std::string logonName() {
  if (const auto& source = installedSource()) return source();
  return systemLogonName();
}

std::optional<std::string> accountName() {
  if (const auto& source = installedSource()) return source();
  return passwordDatabaseName();
}

void setLogonNameSource(std::function<std::string()> source) { installedSource() = std::move(source); }

}  // namespace lumatix::platform
