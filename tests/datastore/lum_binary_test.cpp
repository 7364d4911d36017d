#include <gtest/gtest.h>

#include <sstream>

#include "binary_fixtures.h"
#include "support/fixed_providers.h"

namespace lumatix::datastore {
namespace {

using testing::after;
using testing::le32;
using testing::sampleStore;
using testing::writeOld;

DataStore readOld(const std::string& bytes, bool& failed, bool headerOnly = false) {
  DataStore s(true);
  std::istringstream in(bytes);
  readLumBinary(s, in, headerOnly);
  failed = in.fail();
  return s;
}

TEST(LumBinary, RoundTripKeepsValuesAndTurnsHistoryIntoOldComments) {
  testing::FixedProviders fixed;
  DataStore s = sampleStore();
  s.formatName = "before";
  s.saved = false;
  std::string bytes = writeOld(s);
  EXPECT_EQ(bytes.rfind("LumBinary\n", 0), 0u);
  EXPECT_EQ(s.formatName, "before");  // the old writer leaves both alone
  EXPECT_FALSE(s.saved);

  bool failed = true;
  DataStore back = readOld(bytes, failed);
  ASSERT_FALSE(failed);
  EXPECT_FALSE(back.attributes.cfrCompliant);
  EXPECT_EQ(back.title, s.title);
  EXPECT_EQ(back.remarks, s.remarks);
  EXPECT_EQ(back.properties, s.properties);
  EXPECT_EQ(back.dimensions[0].values, s.dimensions[0].values);
  EXPECT_EQ(back.data[5], s.data[5]);
  ASSERT_EQ(back.history.size(), 1 + s.history.size());
  EXPECT_EQ(back.history[0].title, "DataStore initialized :");
  for (std::size_t i = 0; i < s.history.size(); ++i) {
    EXPECT_TRUE(back.history[i + 1].isOldStyle);
    EXPECT_EQ(back.history[i + 1].title, "Old Comment");
    EXPECT_EQ(back.history[i + 1].text, historyText(s.history[i]));
  }
}

TEST(LumBinary, BadMagicOrCountsLeaveTheStreamFailed) {
  testing::FixedProviders fixed;
  DataStore s = sampleStore();
  std::string bytes = writeOld(s);
  std::size_t properties = after(bytes, "buffer: 10 mM phosphate") + 1;  // after the empty remark
  ASSERT_EQ(bytes.substr(properties, 4), le32(2));

  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"magic in another case", "lumbinary\n" + bytes.substr(10)},
      {"no properties", bytes.substr(0, properties) + le32(0) + bytes.substr(properties + 4)},
      {"256 properties", bytes.substr(0, properties) + le32(256) + bytes.substr(properties + 4)},
      {"truncated count", bytes.substr(0, properties + 2)},
  };
  for (const auto& c : cases) {
    bool failed = false;
    readOld(c.bytes, failed);
    EXPECT_TRUE(failed) << c.name;
  }
}

TEST(LumBinary, StringCutOffByTheEndIsCorrupt) {
  testing::FixedProviders fixed;
  DataStore s = sampleStore();
  std::string bytes = writeOld(s);
  bool failed = false;
  try {
    readOld(bytes.substr(0, 13), failed);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "The file is corrupt.\n");
  }
}

TEST(LumBinary, UnusualHistoryCountsAreReadAsOneText) {
  testing::FixedProviders fixed;
  DataStore s = sampleStore();
  s.history.clear();
  std::string head = writeOld(s);
  head.resize(head.size() - 4);  // drop the count 0
  struct Case {
    const char* name;
    std::string tail;
    std::vector<std::string> texts;
  } cases[] = {
      {"missing", "", {}},
      {"zero count", le32(0) + std::string(1, '\0'), {""}},
      {"text where the count stands", "An old comment" + std::string(1, '\0'), {"An old comment"}},
      {"two texts", le32(2) + "a" + std::string(1, '\0') + "b" + std::string(1, '\0'), {"a", "b"}},
  };
  for (const auto& c : cases) {
    bool failed = true;
    DataStore back = readOld(head + c.tail, failed);
    EXPECT_FALSE(failed) << c.name;
    ASSERT_EQ(back.history.size(), 1 + c.texts.size()) << c.name;
    for (std::size_t i = 0; i < c.texts.size(); ++i) EXPECT_EQ(back.history[i + 1].text, c.texts[i]) << c.name;
  }
}

TEST(LumBinary, ValueByteCountMustMatchTheDimensions) {
  testing::FixedProviders fixed;
  DataStore s = sampleStore();
  std::string bytes = writeOld(s);
  std::size_t at = bytes.find(le32(48));
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, 4, le32(40));
  bool failed = false;
  EXPECT_THROW(readOld(bytes, failed), std::runtime_error);
}

TEST(LumBinary, EveryTruncationFailsOrThrows) {
  testing::FixedProviders fixed;
  DataStore s = sampleStore();
  std::string bytes = writeOld(s);
  std::size_t historyAt = bytes.size();
  for (const auto& e : s.history) historyAt -= historyText(e).size() + 1;
  historyAt -= 4;
  for (std::size_t n = 0; n < historyAt; ++n) {
    bool failed = false;
    try {
      readOld(bytes.substr(0, n), failed);
    } catch (const std::runtime_error&) {
      failed = true;
    }
    EXPECT_TRUE(failed) << n;
  }
}

}  // namespace
}  // namespace lumatix::datastore
