#include "export/dispatcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "datastore/data_store.h"
#include "export_test_support.h"
#include "processing/data_set.h"
#include "support/fixed_providers.h"
#include "support/temp_dir.h"

namespace lumatix::exports {
namespace {

using datastore::DataStore;
using datastore::Dimension;
using ::lumatix::testing::makeStore;
using ::lumatix::testing::ramp;
using ::lumatix::testing::readFile;
using ::lumatix::testing::RecordingReporter;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DispatcherTest : public ::testing::Test {
 protected:
  DataStore spectra() {
    return makeStore({Dimension("Wavelength", ramp(260, -1, 71)), Dimension("Time", {0, 1})}, {"CircularDichroism"},
                     0.01f);
  }
  ::lumatix::testing::FixedProviders providers_;
  ::lumatix::testing::TempDir dir_;
  RecordingReporter reporter_;
};

TEST_F(DispatcherTest, TableOrderIsTheDialogOrder) {
  std::vector<std::string> rows;
  for (const auto& f : exportFormats()) rows.push_back(std::string(f.name) + " " + f.extension);
  EXPECT_THAT(rows, ElementsAre("LumBinaryX .dsx", "LumBinary .dsb", "LumatixStore .dsa",
                                "QVL-ASCII-SPECTRAKINETIC .glb", "QVL-ASCII .kin", "JCAMP-DX 5.0 .jdx", "CDNN .txt",
                                "SimpleCSV .csv", "LumatixCSV .csv", "LumatixTSV .txt"));
}

TEST_F(DispatcherTest, EveryFormatWritesAndTheReadableOnesReadBack) {
  for (const auto& format : exportFormats()) {
    DataStore store = spectra();
    const std::string path = dir_.file(std::string("out") + format.extension);
    ASSERT_TRUE(writeStore(store, format.name, path, reporter_)) << format.name;
    ASSERT_TRUE(std::filesystem::exists(path)) << format.name;
    const std::string name = format.name;
    if (name == "CDNN" || name == "SimpleCSV" || name == "LumatixCSV" || name == "LumatixTSV") continue;
    DataStore back(true);
    EXPECT_TRUE(back.load(path, false)) << format.name;
    EXPECT_GT(back.dimensions.size(), 0) << format.name;
  }
  EXPECT_THAT(reporter_.errors, IsEmpty());
}

TEST_F(DispatcherTest, UnknownNameIsRefused) {
  DataStore store = spectra();
  EXPECT_FALSE(writeStore(store, "Excel", dir_.file("x.xls"), reporter_));
  EXPECT_THAT(reporter_.errors, ElementsAre("Error! Unknown format!\n"));
  EXPECT_FALSE(std::filesystem::exists(dir_.file("x.xls")));
}

TEST_F(DispatcherTest, RefusalLeavesAnExistingFileAsItWas) {
  DataStore store(true);
  ::lumatix::testing::writeFile(dir_.file("old.csv"), "old");
  EXPECT_FALSE(writeStore(store, "SimpleCSV", dir_.file("old.csv"), reporter_));
  EXPECT_EQ(readFile(dir_.file("old.csv")), "old");
}

TEST_F(DispatcherTest, UnwritableFileThrowsTheOpenMessage) {
  DataStore store = spectra();
  try {
    writeStore(store, "LumatixCSV", "/nonexistent/out.csv", reporter_);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Can't open /nonexistent/out.csv for writing.");
  }
}

TEST_F(DispatcherTest, ExportRecordsTheSaveAndDispatchesByIndex) {
  DataStore store = spectra();
  processing::CDataSet dataSet;
  const std::string path = dir_.file("out.csv");
  ASSERT_TRUE(Export(9, path, &dataSet, store, reporter_));
  ASSERT_EQ(dataSet.history.size(), 1u);
  EXPECT_EQ(dataSet.history[0].title, "Saved data :");
  EXPECT_EQ(dataSet.history[0].text, "The data was saved to file :" + path + ".\r\n");
  EXPECT_THAT(readFile(path), ::testing::StartsWith("LumatixCSV\n\n"));
}

TEST_F(DispatcherTest, GlbNeedsASpectraKineticStoreButTheSaveIsStillRecorded) {
  DataStore store = makeStore({Dimension("Temperature", {20, 30})}, {"CD"});
  processing::CDataSet dataSet;
  EXPECT_FALSE(Export(4, dir_.file("out.glb"), &dataSet, store, reporter_));
  EXPECT_THAT(reporter_.errors, ElementsAre("Error! Cannot convert this plot to Spectra-Kinetic format."));
  EXPECT_EQ(dataSet.history.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("out.glb")));
}

TEST_F(DispatcherTest, IndexOutsideTheTableIsAnUnknownFormat) {
  DataStore store = spectra();
  EXPECT_FALSE(Export(11, dir_.file("out.x"), nullptr, store, reporter_));
  EXPECT_FALSE(Export(0, dir_.file("out.x"), nullptr, store, reporter_));
  EXPECT_THAT(reporter_.errors, ElementsAre("Error! Unknown format!\n", "Error! Unknown format!\n"));
}

}  // namespace
}  // namespace lumatix::exports
