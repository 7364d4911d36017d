// Every readable format either writes a store so that it reads back, or refuses it before
// anything is written, with the reason.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

#include "datastore/data_store.h"
#include "datastore/history_entry.h"
#include "export/dispatcher.h"
#include "export_test_support.h"
#include "support/fixed_providers.h"
#include "support/temp_dir.h"

namespace lumatix::exports {
namespace {

using datastore::DataStore;
using datastore::Dimension;
using ::lumatix::testing::makeStore;
using ::lumatix::testing::ramp;
using ::lumatix::testing::RecordingReporter;
using ::lumatix::testing::valuesOf;

DataStore spectra() {
  return makeStore({Dimension("Wavelength", ramp(260, -1, 11)), Dimension("Time", {0, 1, 2})}, {"CircularDichroism"},
                   0.5f);
}

struct Refusal {
  const char* name;
  const char* format;
  std::function<void(DataStore&)> spoil;
  std::string message;
};

class ReadBackTest : public ::testing::Test {
 protected:
  ::lumatix::testing::FixedProviders providers_;
  ::lumatix::testing::TempDir dir_;
};

TEST_F(ReadBackTest, StoresAFormatCannotHoldAreRefusedAndNothingIsWritten) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::string keep = "Save it as LumBinaryX, which keeps them all.\n";
  const Refusal rows[] = {
      {"RemarksDsb", "LumBinary", [](DataStore& s) { for (int i = 0; i < 65536; ++i) s.remarks.push_back("r"); },
       "This data has 65536 remarks; the LumBinary format keeps at most 65535. " + keep},
      {"HistoryDsb", "LumBinary",
       [](DataStore& s) { while (s.history.size() < 256) s.addHistory(datastore::makeHistoryEntry("t", "x\r\n")); },
       "This data has 256 history entries; the LumBinary format keeps at most 255. " + keep},
      {"HistoryDsa", "LumatixStore",
       [](DataStore& s) { s.history.resize(65536, datastore::makeHistoryEntry("t", "x\r\n")); },
       "This data has 65536 history entries; the LumatixStore format keeps at most 65535. " + keep},
      {"NaNJdx", "JCAMP-DX 5.0", [nan](DataStore& s) { s.data.data[3] = nan; },
       "The data holds values that are not finite numbers (NaN or infinity), which JCAMP-DX cannot hold. Save it "
       "as LumBinaryX.\n"},
      {"InfXJdx", "JCAMP-DX 5.0", [inf](DataStore& s) { s.dimensions[0].values[0] = inf; },
       "The dimension Wavelength holds values that are not finite numbers (NaN or infinity), which JCAMP-DX cannot "
       "hold. Save it as LumBinaryX.\n"},
      {"TitleJdx", "JCAMP-DX 5.0", [](DataStore& s) { s.title = "two\nlines"; },
       "The title contains a line break, which the JCAMP-DX 5.0 format cannot hold. Remove it, or save the data as "
       "LumBinaryX.\n"},
      {"PropertyGlb", "QVL-ASCII-SPECTRAKINETIC", [](DataStore& s) { s.properties[0] = "CD\r\nHV"; },
       "The property name CD contains a line break, which the QVL-ASCII-SPECTRAKINETIC format cannot hold. Remove "
       "it, or save the data as LumBinaryX.\n"},
      {"RemarkDsa", "LumatixStore", [](DataStore& s) { s.remarks.push_back("a\nb"); },
       "The remark a contains a line break, which the LumatixStore format cannot hold. Remove it, or save the data "
       "as LumBinaryX.\n"},
  };
  for (const auto& row : rows) {
    DataStore store = spectra();
    row.spoil(store);
    RecordingReporter reporter;
    const std::string path = dir_.file(row.name);
    EXPECT_FALSE(writeStore(store, row.format, path, reporter)) << row.name;
    ASSERT_EQ(reporter.errors.size(), 1u) << row.name;
    EXPECT_EQ(reporter.errors[0], row.message) << row.name;
    EXPECT_FALSE(std::filesystem::exists(path)) << row.name;
  }
}

TEST_F(ReadBackTest, DegenerateStoresAreRefusedByEveryReadableFormat) {
  DataStore noPoints(true);
  noPoints.properties.push_back("CircularDichroism");
  noPoints.dimensions.push_back(Dimension("Wavelength", {}));
  noPoints.initialise();
  DataStore noProperties(true);
  noProperties.dimensions.push_back(Dimension("Wavelength", {1, 2}));
  DataStore fourVarying = makeStore({Dimension("A", {1, 2}), Dimension("B", {1, 2}), Dimension("C", {1, 2})}, {"P"});
  for (const char* format : {"LumBinaryX", "LumBinary", "LumatixStore", "QVL-ASCII", "JCAMP-DX 5.0"}) {
    RecordingReporter reporter;
    EXPECT_FALSE(writeStore(noPoints, format, dir_.file("a"), reporter)) << format;
    EXPECT_FALSE(writeStore(noProperties, format, dir_.file("b"), reporter)) << format;
    ASSERT_EQ(reporter.errors.size(), 2u) << format;
    EXPECT_EQ(reporter.errors[0], "The dimension Wavelength has no points: there is nothing to save.\n");
    EXPECT_EQ(reporter.errors[1], "The data has no properties: there is nothing to save.\n");
  }
  RecordingReporter reporter;
  EXPECT_FALSE(writeStore(fourVarying, "JCAMP-DX 5.0", dir_.file("c.jdx"), reporter));
  ASSERT_EQ(reporter.errors.size(), 1u);
  EXPECT_EQ(reporter.errors[0],
            "JCAMP-DX holds one or two varying dimensions; this data varies along 3. Save it as LumBinaryX, or "
            "export the traces of one plot.\n");
  DataStore onePoint = makeStore({Dimension("A", {1}), Dimension("B", {2}), Dimension("C", {3})}, {"P"});
  EXPECT_FALSE(writeStore(onePoint, "JCAMP-DX 5.0", dir_.file("d.jdx"), reporter));
  ASSERT_EQ(reporter.errors.size(), 2u);
  EXPECT_NE(reporter.errors[1].find("this data varies along 0"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(ReadBackTest, WhatIsWrittenReadsBack) {
  for (const char* format : {"LumBinaryX", "LumBinary", "LumatixStore"}) {
    DataStore store = spectra();
    store.remarks.push_back("a remark");
    for (int i = 0; i < 300; ++i) store.addHistory(datastore::makeHistoryEntry("Step", "text\r\n"));
    if (std::string(format) == "LumBinary") store.history.resize(255);
    RecordingReporter reporter;
    const std::string path = dir_.file(std::string("out-") + format);
    ASSERT_TRUE(writeStore(store, format, path, reporter)) << format;
    DataStore back(true);
    ASSERT_TRUE(back.load(path, false)) << format;
    EXPECT_EQ(back.title, store.title) << format;
    EXPECT_EQ(valuesOf(back), valuesOf(store)) << format;
    // The older readers add an entry of their own on reading.
    EXPECT_GE(back.history.size(), store.history.size()) << format;
    EXPECT_LE(back.history.size(), store.history.size() + 1) << format;
    ASSERT_EQ(back.remarks.size(), 1) << format;
    EXPECT_EQ(back.remarks[0], "a remark") << format;
  }
}

}  // namespace
}  // namespace lumatix::exports
