#pragma once
// Local time of the machine, replaceable in tests.

#include <ctime>
#include <functional>
#include <string>

namespace lumatix::platform {

using TimeSource = std::function<std::tm()>;

// The current local time (the C library's localtime of now, unless a test installed a source).
std::tm localTime();

// Installs a replacement time source; an empty function restores the system clock.
void setTimeSource(TimeSource source);

// The C library's asctime form: "Sun Dec  6 19:16:54 2026\n".
std::string asctimeText(const std::tm& t);

// asctimeText of the current local time (ctime form, with its trailing newline).
std::string ctimeNow();

// strftime of the given time with a format given by the program (never user text).
std::string formatTime(const std::tm& t, const char* format);

}  // namespace lumatix::platform
