#include "export/lumatix_csv.h"

#include <gtest/gtest.h>

#include <sstream>

#include "datastore/data_store.h"
#include "export_test_support.h"
#include "support/fixed_providers.h"

namespace lumatix::exports {
namespace {

using datastore::DataStore;
using datastore::Dimension;
using ::lumatix::testing::between;
using ::lumatix::testing::makeStore;
using ::lumatix::testing::occurrences;

std::string csv(DataStore& store, bool appendOriginal = false) {
  std::ostringstream out;
  writeLumatixCSV(out, store, appendOriginal);
  return out.str();
}

class LumatixCsvTest : public ::testing::Test {
  ::lumatix::testing::FixedProviders providers_;
};

TEST_F(LumatixCsvTest, OneDimensionTsvFileWhole) {
  DataStore store = makeStore({Dimension("Wavelength", {250, 251, 252})}, {"CircularDichroism -me"}, 0.5f);
  store.history.clear();
  store.remarks.push_back("first remark");
  store.options.push_back("-opt 1");
  std::ostringstream out;
  writeLumatixTSV(out, store, false);
  EXPECT_EQ(out.str(),
            "LumatixTSV\n\nTitle: Test store\n\nRemarks:\nfirst remark\n\n"
            "Last Modified: Sun Dec  6 19:16:54 2026 by unknown.\n\nOptions:\n-opt 1\n\n"
            "\nAvailable Dimensions:\t1\nWavelength\tWavelength: 250nm - 252nm, Step Size: 1nm\n\n"
            "\nAvailable Properties: \t1\nCircularDichroism\t\n\nData:\n\n"
            "Wavelength\t\nCircularDichroism\n250\t0\n251\t0.5\n252\t1\n\n"
            "\n\nHistory: \n\n");
  EXPECT_EQ(store.formatName, "LumatixTSV");
  EXPECT_EQ(store.modifiedBy, "unknown");
  EXPECT_EQ(store.lastModified, "Sun Dec  6 19:16:54 2026");
}

TEST_F(LumatixCsvTest, KeepsAGivenUser) {
  DataStore store = makeStore({Dimension("Wavelength", {250})}, {"CD"});
  store.modifiedBy = "ann";
  EXPECT_NE(csv(store).find(" by ann.\n"), std::string::npos);
}

TEST_F(LumatixCsvTest, LargestDimensionsFirstEqualCountsInStoreOrder) {
  DataStore store = makeStore({Dimension("Alpha", ::lumatix::testing::ramp(0, 1, 5)),
                               Dimension("Beta", ::lumatix::testing::ramp(0, 1, 100)),
                               Dimension("Gamma", ::lumatix::testing::ramp(0, 1, 100))},
                              {"CD"});
  const std::string text = csv(store);
  EXPECT_EQ(between(text, "Available Dimensions:,3\n", "\n\n"), "Beta,Beta\nGamma,Gamma\nAlpha,Alpha");
  // Rows are Beta, columns Gamma, one table per Alpha value.
  EXPECT_EQ(occurrences(text, "Alpha:,"), 5);
  EXPECT_NE(text.find("Alpha:,0\n\nCD\nBeta,Gamma\n,0,1,2,"), std::string::npos);
  // Alpha index 3, Beta index 1, Gamma index j: 3 + 1*5 + j*500.
  const std::string table3 = between(text, "Alpha:,3\n", "Alpha:,4");
  EXPECT_NE(table3.find("\n1,8,508,1008,"), std::string::npos) << table3.substr(0, 600);
}

struct ManyDimensionCase {
  const char* name;
  int fourthSize;
  const char* warning;
  int unsaved;
};

class ManyDimensionsTest : public LumatixCsvTest, public ::testing::WithParamInterface<ManyDimensionCase> {};

TEST_P(ManyDimensionsTest, WarnsAndMarksUnsavedDimensions) {
  const auto& row = GetParam();
  DataStore store = makeStore({Dimension("Wavelength", {200, 201, 202, 203}), Dimension("Time", {1, 2, 3}),
                               Dimension("Cell", ::lumatix::testing::ramp(1, 1, row.fourthSize)),
                               Dimension("Repeat", {1, 2, 3})},
                              {"CD"});
  const std::string text = csv(store);
  EXPECT_NE(text.find(row.warning), std::string::npos);
  EXPECT_NE(text.find("(Unsaved dimensions are marked below with an asterix.)\n"), std::string::npos);
  EXPECT_EQ(occurrences(text, "(*),"), row.unsaved);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ManyDimensionsTest,
    ::testing::Values(ManyDimensionCase{"FourthOfOnePointIsKept", 1,
                                        "\nWarning! This DataStore contains four or more Dimensions.\nOutput will be "
                                        "truncated to the four most significant Dimensions.\n",
                                        0},
                      ManyDimensionCase{"FourthOfTwoPointsIsDropped", 2,
                                        "\nWarning! This DataStore contains more than three Dimensions.\nOutput will "
                                        "be truncated to the three most significant Dimensions.\n",
                                        1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(LumatixCsvTest, FourDimensionTablesNameTheSinglePointDimension) {
  DataStore store = makeStore({Dimension("Wavelength", {200, 201, 202}), Dimension("Time", {1, 2}),
                               Dimension("Temperature", {20}), Dimension("Repeat", {7, 8})},
                              {"CD"});
  const std::string text = csv(store);
  EXPECT_EQ(occurrences(text, "Temperature:,20\n"), 2);
  // Time comes before Repeat (same size, store order): rows Wavelength, columns Time, one
  // table per Repeat, each under the line of the single Temperature.
  EXPECT_NE(text.find("Temperature:,20\nRepeat:,8\n\nCD\nWavelength,Time\n,1,2,\n200,6,9\n"), std::string::npos)
      << text;
}

TEST_F(LumatixCsvTest, AppendedColumnsAndRowsCarryTheirMarkLabels) {
  DataStore store = makeStore({Dimension("Wavelength", {200, 201, 202}), Dimension("Temperature", {20, 30, 40})},
                              {"CD"});
  // Wavelength 202 and temperatures 30 and 40 were appended after the view was built.
  store.viewState.ranges[0].first = 201;
  store.viewState.ranges[1].first = 20;
  store.viewState.marks.resize(2);
  store.viewState.marks[0] = {{202, 0, 0, "extra row", true}};
  store.viewState.marks[1] = {{30, 0, 0, "Average", true}, {40, 0, 0, "hidden", false}};
  EXPECT_EQ(between(csv(store), "Data:\n\n", "\n\n\n"),
            "\nCD\nWavelength,Temperature\n,20,Average,,\n200,0,3,6\n201,1,4,7\nextra row,2,5,8");
}

TEST_F(LumatixCsvTest, HistoryLosesItsSeparators) {
  DataStore store = makeStore({Dimension("Wavelength", {200})}, {"CD"});
  store.history.clear();
  store.history.push_back(datastore::makeOldComment("Original Trace :\\..250\r\nAgain :\\..\\..x"));
  EXPECT_EQ(between(csv(store), "History: \n", "\n\n"), "Original Trace :250\r\nAgain :x");
}

TEST_F(LumatixCsvTest, StoreWithoutDimensionsWarnsAndWritesTheHistory) {
  DataStore store(true);
  store.history.push_back(datastore::makeOldComment("kept"));
  const std::string text = csv(store);
  EXPECT_NE(text.find("Available Dimensions:,0\n\nWarning! This DataStore doesn't contain any Dimensions.\n\n\nHistory: \nkept\n"),
            std::string::npos)
      << text;
}

TEST_F(LumatixCsvTest, AppendsTheOriginalStore) {
  DataStore store = makeStore({Dimension("A", {0, 1}), Dimension("B", {5, 6})}, {"CD -me"});
  store.options.push_back("-x 1");
  const std::string text = csv(store, true);
  EXPECT_EQ(text.substr(text.find("Original DataStore data below:")),
            "Original DataStore data below:\n\nProperties:\n1\nCD -me\nDimensions:\n2\nA\n2\n0,1\n\nB\n2\n5,6\n\n"
            "-x 1\n\n0,1\n2,3\n");
}

TEST_F(LumatixCsvTest, RefusesAValueBlockThatDoesNotMatch) {
  DataStore store = makeStore({Dimension("A", {0, 1})}, {"CD"});
  store.dimensions.push_back(Dimension("B", {0, 1}));
  try {
    csv(store);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Datastore not valid");
  }
}

}  // namespace
}  // namespace lumatix::exports
