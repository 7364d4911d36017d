#include "datastore/lumatix_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "datastore/data_store.h"
#include "support/fixed_providers.h"
#include "text_test_support.h"

namespace lumatix::datastore {
namespace {

using ::lumatix::testing::makeStore;
using ::lumatix::testing::valuesOf;
using ::testing::ElementsAre;

std::string written(DataStore& store, bool headerOnly = false) {
  std::ostringstream out;
  writeLumatixStore(store, out, headerOnly);
  return out.str();
}

// Reads text; returns false when the reader left the stream failed.
bool read(DataStore& store, const std::string& text, bool headerOnly = false) {
  return ::lumatix::testing::readText(text, [&](std::istream& in) { readLumatixStore(store, in, headerOnly); });
}

std::string between(const std::string& text, const std::string& from, const std::string& to) {
  auto a = text.find(from);
  auto b = text.find(to, a);
  return text.substr(a + from.size(), b - a - from.size());
}

class LumatixStoreTest : public ::testing::Test {
  ::lumatix::testing::FixedProviders providers_;
};

TEST_F(LumatixStoreTest, ValueBlockAddsALineEndPerDimensionLevel) {
  DataStore store = makeStore({Dimension("A", {0, 1}), Dimension("B", {0, 1}), Dimension("C", {0, 1})}, {"CD"});
  std::string text = written(store);
  EXPECT_EQ(between(text, "Dimensions:\n", "History:"),
            "3\nA\n2\n0,1\n\nB\n2\n0,1\n\nC\n2\n0,1\n\n"
            "\n\n0,1\n2,3\n\n4,5\n6,7\n");
  EXPECT_EQ(text.substr(0, 51), "LumatixStore\nTest store\nRemarks:\n0\n0\nProperties:\n1\n");
  EXPECT_EQ(store.formatName, "LumatixStore");
}

TEST_F(LumatixStoreTest, WriteThenReadKeepsEverythingToSixDigits) {
  DataStore store = makeStore({Dimension("Wavelength (nm)", {260, 250.5f, 240}), Dimension("Time", {0.001f, 1e7f})},
                              {"CircularDichroism (mdeg)", "HV"}, 123.456789f);
  store.remarks.push_back("First remark");
  store.remarks.push_back("");
  store.remarks.push_back("Third, after an empty one");
  store.options.push_back("Bandwidth 1 nm");
  store.options.push_back("12 scans");
  store.addHistory(makeHistoryEntry("Saved data :", "Saved.\r\nTwo lines.\r\n"));
  store.saved = false;
  const std::string text = written(store);
  EXPECT_TRUE(store.saved);

  DataStore back(true);
  back.attributes.cfrCompliant = true;
  ASSERT_TRUE(read(back, text));
  EXPECT_FALSE(back.attributes.cfrCompliant);
  EXPECT_EQ(back.title, "Test store");
  EXPECT_EQ(std::vector<std::string>(back.remarks.begin(), back.remarks.end()),
            (std::vector<std::string>{"First remark", "", "Third, after an empty one"}));
  EXPECT_EQ(std::vector<std::string>(back.options.begin(), back.options.end()),
            (std::vector<std::string>{"Bandwidth 1 nm", "12 scans"}));
  EXPECT_EQ(back.properties, store.properties);
  ASSERT_EQ(back.dimensions.size(), 2);
  EXPECT_EQ(back.dimensions[0].name, "Wavelength (nm)");
  EXPECT_THAT(valuesOf(back.dimensions[0].values), ElementsAre(260.0f, 250.5f, 240.0f));
  EXPECT_THAT(valuesOf(back.dimensions[1].values), ElementsAre(0.001f, 1e7f));
  ASSERT_EQ(back.data.count, 12);
  EXPECT_FLOAT_EQ(back.data.data[1], 123.457f);
  for (std::int32_t i = 0; i < 12; ++i) EXPECT_NEAR(back.data.data[i], store.data.data[i], 1e-5 * (1 + i * 123.5));
  EXPECT_DOUBLE_EQ(back.maxValue, back.data.data[11]);

  // The initialisation of the reading store, then one old comment per stored text.
  ASSERT_EQ(back.history.size(), 3u);
  EXPECT_EQ(back.history[0].title, "DataStore initialized :");
  EXPECT_EQ(back.history[1].title, "Old Comment");
  EXPECT_TRUE(back.history[2].isOldStyle);
  EXPECT_EQ(back.history[2].text, historyText(store.history[1]));
  EXPECT_THAT(back.history[2].text, ::testing::StartsWith("User : tester"));
}

TEST_F(LumatixStoreTest, StoreWithoutOptionsIsWrittenInTheOldLayout) {
  DataStore store = makeStore({Dimension("X", {1, 2})}, {"Y"});
  EXPECT_EQ(between(written(store), "Dimensions:\n", "History:"), "1\nX\n2\n1,2\n\n0,1\n");
}

TEST_F(LumatixStoreTest, ReadsOldLayoutWithBareOptionLinesAndOldRemarkAndComment) {
  const std::string text =
      "LumatixStore 1.1\r\nOld title\r\nan old remark\r\n0\r\nProperties:\r\n1\r\nAbsorbance\r\nDimensions:\r\n1\r\n"
      "Wavelength\r\n3\r\n200,210,220\r\n\r\nSlit 2 nm\r\n1.5 nm bandwidth\r\n42\r\n1,2.5,-3e-2\r\nan old comment line\r\n";
  DataStore store(true);
  ASSERT_TRUE(read(store, text));
  EXPECT_EQ(store.title, "Old title");
  EXPECT_EQ(std::vector<std::string>(store.remarks.begin(), store.remarks.end()), std::vector<std::string>{"an old remark"});
  EXPECT_EQ(std::vector<std::string>(store.options.begin(), store.options.end()),
            (std::vector<std::string>{"Slit 2 nm", "1.5 nm bandwidth", "42"}));
  EXPECT_THAT(valuesOf(store), ElementsAre(1.0f, 2.5f, -0.03f));
  ASSERT_EQ(store.history.size(), 2u);
  EXPECT_EQ(store.history[1].text, "an old comment line");
  EXPECT_DOUBLE_EQ(store.minValue, -0.03f);
}

TEST_F(LumatixStoreTest, SingleValueDimensionAndOldStyleComment) {
  const std::string text = std::string(
                               "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n1\nX\n1\n5\n\n7\n"
                               "History:\n99999 comment from long ago") +
                           '\0' + "0\n";
  DataStore store(true);
  ASSERT_TRUE(read(store, text));
  EXPECT_THAT(valuesOf(store), ElementsAre(7.0f));
  ASSERT_EQ(store.history.size(), 2u);
  EXPECT_EQ(store.history[1].text, "99999 comment from long ago");
}

TEST_F(LumatixStoreTest, HeaderOnlyStopsAfterDimensionsAndOptions) {
  DataStore store = makeStore({Dimension("X", {1, 2, 3})}, {"Y"});
  store.options.push_back("an option");
  DataStore back(true);
  ASSERT_TRUE(read(back, written(store, true), true));
  EXPECT_EQ(back.dimensions[0].size(), 3);
  EXPECT_EQ(back.options.size(), 1);
  EXPECT_EQ(back.data.count, 0);
  EXPECT_TRUE(back.history.empty());
}

const std::string kHead = "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n1\nX\n2\n1,2\n\n";

struct BadFileRow {
  const char* name;
  std::string text;
};

class CorruptFiles : public ::testing::TestWithParam<BadFileRow> {};

TEST_P(CorruptFiles, AreRefusedWithTheCorruptMessage) {
  ::lumatix::testing::FixedProviders providers;
  DataStore store(true);
  const auto started = std::chrono::steady_clock::now();
  try {
    read(store, GetParam().text);
    FAIL() << "read without an exception";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "The file is corrupt.\n");
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CorruptFiles,
    ::testing::Values(
        BadFileRow{"wrongMagic", "LumatixStore 2\nT\n"}, BadFileRow{"wrongCase", "lumatixstore\nT\n"},
        BadFileRow{"remarkCountBeyondTheFile", "LumatixStore\nT\nRemarks:\n1000000000\nx\n"},
        BadFileRow{"noPropertiesLine", "LumatixStore\nT\nRemarks:\n0\n0\nProps:\n1\nP\n"},
        BadFileRow{"noProperty", "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n0\nDimensions:\n"},
        BadFileRow{"noDimension", "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n0\n"},
        BadFileRow{"tooManyDimensions", "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n256\n"},
        BadFileRow{"hugeDimensionInAOneLineFile",
                   "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n1\nX\n1000000000\n1,2\n"},
        BadFileRow{"hugeValueBlock",
                   "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n2\nX\n2\n1,2\n\nY\n2\n1,2\n\n"
                   "Options:\n0\n1,2\n"},
        BadFileRow{"dimensionCommaMissing", "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n1\nX\n2\n1 2\n"},
        BadFileRow{"valuesCutShort", kHead + "5"}, BadFileRow{"wordAmongValues", kHead + "5,abc\n"},
        BadFileRow{"optionCountBeyondTheFile", kHead + "Options:\n99999\nx\n"},
        BadFileRow{"historyTextWithoutNul", kHead + "1,2\nHistory:\n1\nUser : someone\r\n"},
        BadFileRow{"historyCountNotANumber", kHead + "1,2\nHistory:\nUser\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(LumatixStoreTest, MissingDimensionsLineOrValueCommaLeavesTheStreamFailed) {
  DataStore a(true);
  EXPECT_FALSE(read(a, "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nAxes:\n1\n"));
  DataStore b(true);
  // The first row decides where the values start, so the comma is missing from a later row.
  EXPECT_FALSE(read(b, "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n2\nX\n2\n1,2\n\nY\n2\n1,2\n\n"
                       "\n1,2\n3 4\nHistory:\n0\n0\n"));
}

}  // namespace
}  // namespace lumatix::datastore
