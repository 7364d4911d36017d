#pragma once
// What the running program is: its name, version and build stamp.

#include <string>

namespace lumatix::platform {

struct BuildStamp {
  std::string date;  // as the compiler's date stamp gives it: "Dec  6 2026"
  std::string time;  // "19:16:54"
};

inline constexpr const char* kProductName = "Morvath";
inline constexpr const char* kVersion = "4.4.2.0";
inline constexpr const char* kApplicationName = "Lumatix Viewer";

BuildStamp buildStamp();

// Installs a fixed stamp for tests; a stamp with an empty date restores the compiled one.
void setBuildStamp(BuildStamp stamp);

}  // namespace lumatix::platform
