#include "app/about_text.h"

namespace lumatix::app {

std::string aboutText(const platform::BuildStamp& stamp) {
  return std::string(platform::kApplicationName) + "\nVersion " + platform::kVersion + "\nBuilt " + stamp.date +
         " at " + stamp.time;
}

}  // namespace lumatix::app
