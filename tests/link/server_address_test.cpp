#include "link/server_address.h"

#include <gtest/gtest.h>

namespace instrument_link {
namespace {

TEST(ServerAddress, HostWithOptionalPort) {
  struct Row {
    const char* text;
    const char* target;  // nullptr: refused
  };
  const Row rows[] = {
      {"", "127.0.0.1:50491"},
      {"  ", "127.0.0.1:50491"},
      {"10.0.0.7", "10.0.0.7:50491"},
      {"panel.lab:6000", "panel.lab:6000"},
      {"[::1]:7000", "[::1]:7000"},
      {"[::1]", "[::1]:50491"},
      {"fe80::1", "[fe80::1]:50491"},
      {"host:", nullptr},
      {"host:0", nullptr},
      {"host:65536", nullptr},
      {"host:12x", nullptr},
      {":5000", nullptr},
      {"[::1", nullptr},
      {"[::1]x", nullptr},
  };
  for (const Row& row : rows) {
    const auto address = parseServerAddress(row.text);
    if (row.target == nullptr) {
      EXPECT_FALSE(address) << row.text;
    } else {
      ASSERT_TRUE(address) << row.text;
      EXPECT_EQ(address->target(), row.target) << row.text;
    }
  }
}

TEST(ServerAddress, PreferencePortIsTheDefault) {
  EXPECT_EQ(parseServerAddress("10.0.0.7", 6001)->target(), "10.0.0.7:6001");
  EXPECT_EQ(parseServerAddress("10.0.0.7:6002", 6001)->target(), "10.0.0.7:6002");
}

}  // namespace
}  // namespace instrument_link
