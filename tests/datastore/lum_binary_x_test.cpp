#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "binary_fixtures.h"
#include "datastore/crc32.h"
#include "datastore/diagnostics.h"
#include "support/fixed_providers.h"
#include "support/temp_dir.h"

namespace lumatix::datastore {
namespace {

using testing::after;
using testing::le32;
using testing::sampleStore;
using testing::writeX;

class LumBinaryX : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = setDiagnostics(&notes_); }
  void TearDown() override { setDiagnostics(previous_); }

  DataStore read(const std::string& bytes, bool headerOnly = false) {
    DataStore s(true);
    std::istringstream in(bytes);
    readLumBinaryX(s, in, headerOnly);
    return s;
  }
  void expectCorrupt(const std::string& bytes, const char* message = "The file is corrupt.\n") {
    try {
      read(bytes);
      FAIL() << "accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }

  testing::FixedProviders fixed_;
  std::ostringstream notes_;
  std::ostream* previous_ = nullptr;
};

TEST_F(LumBinaryX, RoundTripKeepsEverythingButUnselectedMarks) {
  DataStore s = sampleStore();
  std::string bytes = writeX(s);
  EXPECT_EQ(bytes.rfind("LumBinaryX\n", 0), 0u);
  EXPECT_EQ(s.formatName, "LumBinaryX");

  DataStore back = read(bytes);
  EXPECT_EQ(back.title, s.title);
  EXPECT_EQ(back.remarks, s.remarks);
  EXPECT_EQ(back.extraStrings, s.extraStrings);
  EXPECT_EQ(back.properties, s.properties);
  EXPECT_EQ(back.dimensions[1].values, s.dimensions[1].values);
  EXPECT_EQ(back.attributes, s.attributes);
  EXPECT_EQ(back.parent, s.parent);
  EXPECT_EQ(back.history, s.history);
  EXPECT_EQ(std::vector<float>(back.data.data, back.data.data + 12), std::vector<float>(s.data.data, s.data.data + 12));
  EXPECT_EQ(back.minValue, -2);
  EXPECT_EQ(back.maxValue, 3.5);
  ASSERT_EQ(back.viewState.marks[1].size(), 1u);
  EXPECT_EQ(back.viewState.marks[1][0], s.viewState.marks[1][0]);
  EXPECT_EQ(back.formatName, "LumBinaryX");
  EXPECT_EQ(notes_.str(), "reading 2 comments\n");
}

TEST_F(LumBinaryX, ChecksumCoversValuesButNotDimensionNames) {
  DataStore s = sampleStore();
  std::string bytes = writeX(s);

  std::string crc = bytes;
  crc[crc.size() - 1] = static_cast<char>(crc.back() ^ 1);
  expectCorrupt(crc);
  EXPECT_NO_THROW(read(crc, true));  // a header-only read does not check the sum

  std::string renamed = bytes;
  renamed.replace(renamed.find("Temperature"), 11, "Temperatur_");
  EXPECT_EQ(read(renamed).dimensions[1].name, "Temperatur_");

  std::string value = bytes;
  value[after(value, "Temperature") + 4] ^= 0x40;
  expectCorrupt(value);
}

TEST_F(LumBinaryX, ChecksumFollowsTheDocumentedFeedOrder) {
  DataStore s(true);
  s.title = "T";
  s.properties.push_back("P");
  s.dimensions.push_back(Dimension("D", {1.5f}));
  s.initialise();
  s.history.clear();
  std::string bytes = writeX(s);
  float one = 1.5f, zero = 0.0f;
  std::string fed = "LumBinaryX" + std::string("T") + le32(0) + le32(1) + "P" + le32(1) +
                    std::string(reinterpret_cast<char*>(&one), 4) + le32(4) + std::string(reinterpret_cast<char*>(&zero), 4);
  // Then the attribute, view-state and history bytes exactly as written.
  std::size_t attributesAt = after(bytes, "T");
  std::size_t remarksAt = bytes.find(le32(0) + le32(0) + le32(1) + "P", attributesAt);
  fed += bytes.substr(attributesAt, remarksAt - attributesAt) + le32(0);
  std::uint32_t expected = Crc32::bitwise(0, fed.data(), fed.size());
  EXPECT_EQ(bytes.substr(bytes.size() - 4), le32(expected));
}

TEST_F(LumBinaryX, ArbIsRemovedFromDimensionNamesInFileAndStore) {
  DataStore s = sampleStore();
  s.dimensions[0].name = "Wavelength-arb";
  std::string bytes = writeX(s);
  EXPECT_EQ(s.dimensions[0].name, "Wavelength");
  EXPECT_EQ(bytes.find("-arb"), std::string::npos);
  EXPECT_EQ(read(bytes).dimensions[0].name, "Wavelength");
}

TEST_F(LumBinaryX, RemarkCountOf256OrMoreStartsOneOldStyleRemark) {
  DataStore s = sampleStore();
  s.remarks.clear();
  std::string bytes = writeX(s);
  // Old files have the remark text where the count stands: its first four bytes read as a
  // count of at least 256 and are then read again as the start of the remark.
  std::size_t at = bytes.find(le32(0) + le32(1) + "extra");
  ASSERT_NE(at, std::string::npos);
  std::string old = bytes.substr(0, at) + "old style remark" + std::string(1, '\0') + bytes.substr(at + 4);
  DataStore back = read(old, true);
  ASSERT_EQ(back.remarks.size(), 1);
  EXPECT_EQ(back.remarks[0], "old style remark");
  EXPECT_EQ(back.extraStrings[0], "extra");
  EXPECT_EQ(notes_.str(), "reading old style comment.\n");
}

TEST_F(LumBinaryX, ZeroPropertiesAreAccepted) {
  DataStore s("none", 0, 1);
  s.dimensions[0] = Dimension("Time", {1, 2});
  s.viewState.axisCount = 1;
  s.viewState.dimensionOrder = {0};
  s.viewState.ranges = {{2, 1}};
  s.viewState.marks = {{}};
  DataStore back = read(writeX(s));
  EXPECT_EQ(back.properties.size(), 0);
  EXPECT_EQ(back.data.count, 0);
}

TEST_F(LumBinaryX, HeaderOnlyStopsAfterTheDimensionsWithZeroedValues) {
  DataStore s = sampleStore();
  std::string header = writeX(s, true);
  EXPECT_LT(header.size(), writeX(s).size());
  DataStore back = read(header, true);
  EXPECT_EQ(back.dimensions.size(), 2);
  EXPECT_EQ(back.data.count, 12);
  EXPECT_EQ(back.data[11], 0.0f);
  EXPECT_EQ(back.history.size(), 1u);  // the entry initialise logs
  EXPECT_THROW(read(header, false), std::runtime_error);
}

TEST_F(LumBinaryX, StoresItCannotReadBackAreRefusedBeforeWriting) {
  DataStore never("never", 1, 1);
  never.properties[0] = "P";
  never.dimensions[0] = Dimension("D", {1});
  std::ostringstream out;
  try {
    writeLumBinaryX(never, out, false);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Datastore not valid");
  }

  DataStore wide("wide", 1, 21);
  wide.properties[0] = "P";
  for (auto& d : wide.dimensions) d = Dimension("D", {1});
  wide.initialise();
  std::ostringstream nothing;
  EXPECT_THROW(writeLumBinaryX(wide, nothing, false), std::runtime_error);
  EXPECT_TRUE(nothing.str().empty());

  DataStore chatty = sampleStore();
  while (chatty.remarks.size() < 256) chatty.addRemark("again");
  EXPECT_THROW(writeX(chatty), std::runtime_error);
}

TEST_F(LumBinaryX, ValueByteCountMustMatchTheDimensions) {
  DataStore s = sampleStore();
  std::string bytes = writeX(s);
  std::size_t at = bytes.find(le32(48));
  ASSERT_NE(at, std::string::npos);
  for (std::uint32_t wrong : {44u, 52u, 0u}) {
    std::string bad = bytes;
    bad.replace(at, 4, le32(wrong));
    expectCorrupt(bad);
  }
}

TEST_F(LumBinaryX, HugeCountsInATinyFileAreRefusedWithoutAllocating) {
  DataStore s = sampleStore();
  std::string bytes = writeX(s);
  std::size_t dimensionCount = after(bytes, "HV");
  std::string huge = bytes.substr(0, dimensionCount) + le32(1) + "D" + std::string(1, '\0') + le32(268435456) +
                     std::string(16, '\0');
  auto start = std::chrono::steady_clock::now();
  expectCorrupt(huge);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));

  // Dimensions whose product needs far more values than the file holds.
  std::string product = bytes.substr(0, dimensionCount) + le32(3);
  for (int i = 0; i < 3; ++i) {
    product += "D" + std::string(1, '\0') + le32(1000);
    product += std::string(4000, '\0');
  }
  expectCorrupt(product);
}

TEST_F(LumBinaryX, EveryTruncationFailsCleanly) {
  DataStore s = sampleStore();
  std::string bytes = writeX(s);
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    DataStore back;
    std::istringstream in(bytes.substr(0, n));
    EXPECT_THROW(readLumBinaryX(back, in, false), std::runtime_error) << n;
  }
}

TEST_F(LumBinaryX, NegativeHistoryCountHasItsOwnMessage) {
  DataStore s = sampleStore();
  std::string bytes = writeX(s);
  std::size_t at = bytes.find(le32(2) + std::string(1, '\0') + "DataStore initialized :");
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, 4, le32(0xFFFFFFFF));
  expectCorrupt(bytes, "This file is corrupt");
}

TEST_F(LumBinaryX, LoaderDispatchesByTheFirstLine) {
  testing::TempDir dir;
  DataStore s = sampleStore();
  std::string bytes = writeX(s);
  std::string crlf = "LumBinaryX\r\n" + bytes.substr(11);
  testing::writeFile(dir.file("crlf.any"), crlf);
  DataStore a;
  EXPECT_TRUE(a.load(dir.file("crlf.any"), false));
  EXPECT_EQ(a.filePath, dir.file("crlf.any"));
  EXPECT_EQ(a.title, s.title);

  DataStore missing;
  EXPECT_FALSE(missing.load(dir.file("nothing.dsx"), false));

  struct Refusal {
    const char* firstLine;
    const char* message;
  };
  for (auto [line, message] : {Refusal{"SimpleCSV", "CSV is an export only format.\nIt cannot be imported.\n"},
                               Refusal{"LumatixCSV", "CSV is an export only format.\nIt cannot be imported.\n"},
                               Refusal{"JCAMP-DX 5.0", "JCAMP-DX is an export only format.\nIt cannot be imported.\n"},
                               Refusal{"lumbinaryx", "The file is of an unrecognised format\n"}}) {
    testing::writeFile(dir.file("f"), std::string(line) + "\n1,2\n");
    DataStore d;
    try {
      d.load(dir.file("f"), false);
      FAIL() << line;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }
}

}  // namespace
}  // namespace lumatix::datastore
