#include "app/command_line_info.h"

#include <array>
#include <string_view>

namespace lumatix::app {

namespace {
// The viewer's own flags and the shell verbs the desktop may pass; only these are read as
// flags when written with "/".
constexpr std::array<std::string_view, 8> kKnownFlags = {"OnLine", "SuppressBlank", "mi", "p", "pt", "dde",
                                                          "Embedding", "Automation"};

bool isKnownFlag(std::string_view name) {
  for (auto f : kKnownFlags)
    if (f == name) return true;
  return false;
}
}  // namespace

CKVCommandLineInfo CKVCommandLineInfo::parse(const std::vector<std::string>& args) {
  CKVCommandLineInfo info;
  for (const std::string& arg : args) {
    bool dashFlag = arg.size() > 1 && arg[0] == '-';
    bool slashFlag = arg.size() > 1 && arg[0] == '/' && isKnownFlag(std::string_view(arg).substr(1));
    if (dashFlag || slashFlag) {
      std::string_view flag = std::string_view(arg).substr(1);
      if (flag == "OnLine") info.onLine = true;
      if (flag == "SuppressBlank") info.suppressBlank = true;
      if (flag == "mi") info.multiInstance = true;
      continue;
    }
    if (!arg.empty()) info.fileName = arg;
  }
  return info;
}

CKVCommandLineInfo CKVCommandLineInfo::parse(int argc, const char* const argv[]) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return parse(args);
}

}  // namespace lumatix::app
