#include <gtest/gtest.h>

#include <regex>

#include "platform/build_info.h"
#include "platform/clock.h"
#include "platform/file_id.h"
#include "support/fixed_providers.h"

namespace lumatix::platform {
namespace {

TEST(FileId, FormatsFieldsWithTheThirdInLowerCase) {
  GuidBytes g{0x12, 0x34, 0xAB, 0xCD, 0xEF, 0x01, 0x4A, 0xBC, 0x8D, 0xEF, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB};
  EXPECT_EQ(formatGuid(g), "{1234ABCD-EF01-4abc-8DEF-0123456789AB}");
}

TEST(FileId, AllZeroGuidIsTheEmptyIdentifier) { EXPECT_EQ(formatGuid(GuidBytes{}), ""); }

TEST(FileId, NewIdentifiersAreRandomVersion4) {
  std::regex shape("\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9a-f]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}");
  std::string a = newFileId(), b = newFileId();
  EXPECT_TRUE(std::regex_match(a, shape)) << a;
  EXPECT_NE(a, b);
}

TEST(Clock, AsctimeFormPadsTheDayAndEndsWithNewline) {
  std::tm t = testing::fixedTime();
  EXPECT_EQ(asctimeText(t), "Sun Dec  6 19:16:54 2026\n");
  t.tm_mday = 16;
  t.tm_wday = 9;  // out of range fields from a file must not reach an array
  EXPECT_EQ(asctimeText(t), "??? Dec 16 19:16:54 2026\n");
}

TEST(Clock, InstalledSourceReplacesTheSystemClockUntilRemoved) {
  {
    testing::FixedProviders fixed;
    EXPECT_EQ(ctimeNow(), "Sun Dec  6 19:16:54 2026\n");
    EXPECT_EQ(formatTime(localTime(), "%Y/%m/%d %H:%M:%S"), "2026/12/06 19:16:54");
  }
  EXPECT_NE(localTime().tm_year, 0);
}

TEST(BuildStamp, HasTheCompilerDateAndTimeForms) {
  auto stamp = buildStamp();
  EXPECT_TRUE(std::regex_match(stamp.date, std::regex("[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4}"))) << stamp.date;
  EXPECT_TRUE(std::regex_match(stamp.time, std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}"))) << stamp.time;
}

}  // namespace
}  // namespace lumatix::platform
