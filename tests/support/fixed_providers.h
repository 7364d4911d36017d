#pragma once
// Deterministic clock, user, GUID and build stamp for the length of a test.

#include <ctime>
#include <string>

#include "platform/build_info.h"
#include "platform/clock.h"
#include "platform/file_id.h"
#include "platform/identity.h"

namespace lumatix::testing {

// 2026-12-06 19:16:54, a Sunday, day 339 of the year.
inline std::tm fixedTime() {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 6;
  t.tm_hour = 19;
  t.tm_min = 16;
  t.tm_sec = 54;
  t.tm_wday = 0;
  t.tm_yday = 339;
  return t;
}

class FixedProviders {
 public:
  explicit FixedProviders(std::string user = "tester") {
    platform::setTimeSource([] { return fixedTime(); });
    platform::setLogonNameSource([user] { return user; });
    platform::setGuidSource([this] {
      platform::GuidBytes g{};
      g[15] = static_cast<std::uint8_t>(++guids_);
      g[6] = 0x4A;
      return g;
    });
    platform::setBuildStamp({"Dec  6 2026", "19:16:54"});
  }
  ~FixedProviders() {
    platform::setTimeSource({});
    platform::setLogonNameSource({});
    platform::setGuidSource({});
    platform::setBuildStamp({});
  }
  FixedProviders(const FixedProviders&) = delete;
  FixedProviders& operator=(const FixedProviders&) = delete;

 private:
  int guids_ = 0;
};

}  // namespace lumatix::testing
