#include "platform/clock.h"

#include <array>
#include <cstdio>
#include <utility>

namespace lumatix::platform {
namespace {

TimeSource& installedSource() {
  static TimeSource source;
  return source;
}

}  // namespace

std::tm localTime() {
  if (const auto& source = installedSource()) return source();
  std::time_t now = std::time(nullptr);
  std::tm result{};
  localtime_r(&now, &result);
  return result;
}

void setTimeSource(TimeSource source) { installedSource() = std::move(source); }

std::string asctimeText(const std::tm& t) {
  // Written out rather than calling asctime(), which is not reentrant and
  // overflows its static buffer on out-of-range fields read from files.
  static constexpr std::array<const char*, 7> days{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* day = (t.tm_wday >= 0 && t.tm_wday < 7) ? days[t.tm_wday] : "???";
  const char* month = (t.tm_mon >= 0 && t.tm_mon < 12) ? months[t.tm_mon] : "???";
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", day, month, t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec, 1900 + t.tm_year);
  return buffer;
}

std::string ctimeNow() { return asctimeText(localTime()); }

std::string formatTime(const std::tm& t, const char* format) {
  char buffer[128];
  std::size_t n = std::strftime(buffer, sizeof buffer, format, &t);
  return std::string(buffer, n);
}

}  // namespace lumatix::platform
