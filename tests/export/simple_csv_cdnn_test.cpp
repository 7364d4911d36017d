#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "datastore/data_store.h"
#include "export/cdnn.h"
#include "export/simple_csv.h"
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
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kMoreThanOne =
    "Warning!\nThe current dataset contains more than one Dimension.\nThe saved data file will contain only the most "
    "significant\nDimension.\n";

TEST(SimpleCsvTest, OneDimensionWritesEveryPropertyAsItsOwnBlock) {
  DataStore store = makeStore({Dimension("Time", {0.5f, 1, 1.5f}), Dimension("Repeat", {1})}, {"A", "B"}, 0.25f);
  RecordingReporter reporter;
  std::ostringstream out;
  ASSERT_TRUE(writeSimpleCSV(out, store, reporter));
  EXPECT_EQ(out.str(), "0.5,0\n1,0.25\n1.5,0.5\n\n0.5,0.75\n1,1\n1.5,1.25\n\n");
  EXPECT_THAT(reporter.warnings, IsEmpty());
}

TEST(SimpleCsvTest, TwoDimensionsWarnAndWriteMeasuredColumnsOfTheLargerAsRows) {
  DataStore store = makeStore({Dimension("Temperature", {20, 30, 40}), Dimension("Wavelength", {200, 201, 202, 203})},
                              {"CD"});
  store.viewState.ranges[0].first = 30;  // 40 was appended
  RecordingReporter reporter;
  std::ostringstream out;
  ASSERT_TRUE(writeSimpleCSV(out, store, reporter));
  EXPECT_EQ(out.str(), "200,0,1\n201,3,4\n202,6,7\n203,9,10\n");
  EXPECT_THAT(reporter.warnings, ElementsAre(kMoreThanOne));
}

TEST(SimpleCsvTest, RefusesAStoreWithoutDimensions) {
  DataStore store(true);
  RecordingReporter reporter;
  std::ostringstream out;
  EXPECT_FALSE(writeSimpleCSV(out, store, reporter));
  EXPECT_EQ(out.str(), "");
  EXPECT_THAT(reporter.errors, ElementsAre("Sorry. The current dataset does not contain any data to save.\n"));
}

struct CdnnCase {
  const char* name;
  float first;
  float step;  // signed: negative runs from high to low wavelength
  int points;
  const char* refusal;  // empty when written
  bool advice;
};

class CdnnTest : public ::testing::TestWithParam<CdnnCase> {
  ::lumatix::testing::FixedProviders providers_;
};

TEST_P(CdnnTest, StepRangeAndPointRules) {
  const auto& row = GetParam();
  ::lumatix::testing::TempDir dir;
  DataStore store = makeStore({Dimension("Wavelength", ramp(row.first, row.step, row.points))}, {"CircularDichroism"});
  RecordingReporter reporter;
  const std::string path = dir.file("cd.txt");
  const bool written = exportCDNN(store, path, reporter);
  if (*row.refusal) {
    EXPECT_FALSE(written);
    EXPECT_THAT(reporter.errors, ElementsAre(row.refusal));
    EXPECT_FALSE(std::filesystem::exists(path));
    return;
  }
  ASSERT_TRUE(written);
  EXPECT_THAT(reporter.errors, IsEmpty());
  if (row.advice)
    EXPECT_THAT(reporter.advice, ElementsAre("For best results, the wavelength range should start at 260nm or above "
                                             "and end at 190nm or below."));
  else
    EXPECT_THAT(reporter.advice, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CdnnTest,
    ::testing::Values(CdnnCase{"OneNmDownTo190", 260, -1, 71, "", false},
                      CdnnCase{"HalfNm", 260, -0.5f, 141, "", false},
                      CdnnCase{"TenthNm", 260, -0.1f, 801, "", false},
                      CdnnCase{"DownTo200Advises", 260, -1, 61, "", true},
                      CdnnCase{"Ascending", 190, 1, 71, "Sorry! The step size is not appropriate for CDNN export.\n",
                               false},
                      CdnnCase{"SevenTenths", 260, -0.7f, 120, "Sorry! The step size is not appropriate for CDNN export.\n",
                               false},
                      CdnnCase{"TwoNm", 260, -2, 60, "Sorry! The step size is not appropriate for CDNN export.\n", false},
                      CdnnCase{"ThreeTenths", 260, -0.3f, 240, "The step size is not a factor of 1.", false},
                      CdnnCase{"FiftyPoints", 260, -1, 50,
                               "This spectrum does not have enough points to export as CDNN data.", false},
                      CdnnCase{"From250To200", 250, -1, 51,
                               "The wavelength range must start at 260nm or above and end at 210nm or below.", false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CdnnFileTest, WritesTheRangeFrom180To260Ascending) {
  ::lumatix::testing::FixedProviders providers;
  ::lumatix::testing::TempDir dir;
  DataStore store = makeStore({Dimension("Wavelength", ramp(270, -1, 100))}, {"CircularDichroism"});
  RecordingReporter reporter;
  ASSERT_TRUE(exportCDNN(store, dir.file("cd.txt"), reporter));
  const std::string text = ::lumatix::testing::readFile(dir.file("cd.txt"));
  // Wavelength w sits at index 270 - w.
  EXPECT_THAT(text, ::testing::StartsWith("180\t90\n181\t89\n"));
  EXPECT_THAT(text, ::testing::EndsWith("259\t11\n260\t10\n\n"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 82);
}

TEST(CdnnFileTest, UnwritableFolderIsReportedWithTheCdnnText) {
  DataStore store = makeStore({Dimension("Wavelength", ramp(260, -1, 71))}, {"CircularDichroism"});
  RecordingReporter reporter;
  try {
    exportCDNN(store, "/nonexistent/cd.txt", reporter);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Sorry. Can't open /nonexistent/cd.txt for writing.");
  }
}

}  // namespace
}  // namespace lumatix::exports
