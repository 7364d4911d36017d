#include "platform/documents_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace lumatix::platform {

namespace {

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
  return {};
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Papers" or an absolute path in quotes.
std::string documentsFromUserDirs(const std::string& home) {
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
    config = xdg;
  else
    config = home + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_DOCUMENTS_DIR=\"";
  while (std::getline(in, line)) {
    if (line.compare(0, key.size(), key) != 0 || line.size() < key.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.compare(0, 5, "$HOME") == 0) return home + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return {};
}

}  // namespace

DocumentsFolder documentsFolder() {
  DocumentsFolder result;
  std::string home = homeFolder();
  if (home.empty()) {
    result.code = ENOENT;
    return result;
  }
  result.path = documentsFromUserDirs(home);
  if (result.path.empty()) result.path = home + "/Documents";
  // A desktop session makes the folder at log-on; a fresh account without one (a server, a
  // container) has none yet, and the working directory inside it could not be made.
  ::mkdir(result.path.c_str(), 0755);
  result.ok = true;
  return result;
}

}  // namespace lumatix::platform
