#pragma once
// Tests that need the accounts of tests/support/run_wrapped.sh skip themselves elsewhere.

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace lumatix::testing {

inline bool underWrappers() {
  const char* on = std::getenv("LUMATIX_WRAPPED");
  return on && std::string(on) == "1";
}

// The folder with the driver's passwd, group, local-group and passdb files.
inline std::string wrapDir() {
  const char* dir = std::getenv("LUMATIX_WRAP_DIR");
  return dir ? dir : "";
}

#define LUMATIX_REQUIRE_WRAPPERS() \
  if (!::lumatix::testing::underWrappers()) GTEST_SKIP() << "runs under tests/support/run_wrapped.sh"

}  // namespace lumatix::testing
