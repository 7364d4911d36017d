#pragma once
// What "About Lumatix Viewer" says: the program, its version and when it was built.

#include <string>

#include "platform/build_info.h"

namespace lumatix::app {

// "Lumatix Viewer\nVersion 4.4.2.0\nBuilt Dec  6 2026 at 19:16:54"
std::string aboutText(const platform::BuildStamp& stamp = platform::buildStamp());

}  // namespace lumatix::app
