#include "link/reply_checks.h"

#include <gtest/gtest.h>

#include <string>

namespace instrument_link {
namespace {

TEST(ReplyChecks, BlockSizeMustMatchTheBufferAndStayWithinTheLimit) {
  const std::string full(kMaxBlockBytes, 'x');
  EXPECT_TRUE(blockSizeValid(full, kMaxBlockBytes));
  EXPECT_TRUE(blockSizeValid("", 0));
  EXPECT_FALSE(blockSizeValid(full + "x", kMaxBlockBytes + 1));
  EXPECT_FALSE(blockSizeValid("abc", 4));
  EXPECT_FALSE(blockSizeValid("abcd", 3));
  EXPECT_FALSE(blockSizeValid(std::string(1025, 'n'), 1025, kMaxNameBytes));
}

TEST(ReplyChecks, RecordCountTimesRecordSizeCannotWrapPastTheCount) {
  EXPECT_TRUE(recordsFit(3, 8, 24));
  EXPECT_FALSE(recordsFit(4, 8, 24));
  // 0x20000001 records of 8 bytes wrap to 8 in 32 bits.
  EXPECT_FALSE(recordsFit(0x20000001u, 8, 24576));
  EXPECT_FALSE(recordsFit(0xffffffffu, 0x100000000ull, 24576));
}

TEST(ReplyChecks, SessionAndHeaderCaps) {
  EXPECT_TRUE(sessionValid(std::string(20, 's')));
  EXPECT_FALSE(sessionValid(std::string(21, 's')));
  EXPECT_TRUE(headerGrowthValid(kMaxHeaderBytes - 10, 10));
  EXPECT_FALSE(headerGrowthValid(kMaxHeaderBytes - 10, 11));
  EXPECT_FALSE(headerGrowthValid(kMaxHeaderBytes + 1, 0));
}

TEST(ReplyChecks, AcquisitionNamesThatWouldLeaveTheWorkingDirectoryAreRefused) {
  struct Row {
    const char* label;
    std::string name;
    bool safe;
  };
  const Row rows[] = {
      {"plain", "shot_001.dsx", true},
      {"dots inside", "a..b", true},
      {"empty", "", false},
      {"dot", ".", false},
      {"parent", "..", false},
      {"separator", "../escape", false},
      {"absolute", "/tmp/x", false},
      {"nul", std::string("a\0b", 3), false},
      {"newline", "a\nb", false},
      {"delete", "a\x7f", false},
      {"at limit", std::string(255, 'a'), true},
      {"over limit", std::string(256, 'a'), false},
  };
  for (const Row& row : rows) EXPECT_EQ(acquisitionNameSafe(row.name), row.safe) << row.label;
}

}  // namespace
}  // namespace instrument_link
