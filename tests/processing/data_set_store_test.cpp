#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "datastore/lum_binary.h"
#include "processing/data_set.h"
#include "store_builder.h"
#include "support/fixed_providers.h"

namespace lumatix::processing {
namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;
using testing::makeStore;
using testing::placeValue;

std::vector<float> valuesOf(const datastore::Dimension& d) { return {d.values.begin(), d.values.end()}; }

// Writes the store as LumBinaryX and reads it back, as saving and reopening a file would.
std::unique_ptr<datastore::DataStore> throughFile(datastore::DataStore& store) {
  std::stringstream file;
  datastore::writeLumBinaryX(store, file, false);
  auto back = std::make_unique<datastore::DataStore>();
  std::string magic;
  std::getline(file, magic);
  datastore::readLumBinaryX(*back, file, false);
  return back;
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = makeStore({"CircularDichroism -me"},
                       {{"Wavelength", {200, 210, 220}}, {"Temperature", {10, 20, 30, 40}}}, placeValue);
    set.Load(*window, 0, 1, 0, -1);
  }

  // Appends n traces of the kind, as an operation's result would be appended.
  void appendResult(int kind, std::vector<int> from) {
    std::vector<int> selection(static_cast<std::size_t>(set.TraceCount()), 0);
    for (int t : from) selection[static_cast<std::size_t>(t)] = 1;
    CDataSet result = set.Subset(selection);
    for (std::size_t i = 0; i < result.traceKind.size(); ++i) {
      result.traceKind[i] = kind;
      for (float& y : result.yA[i].edit()) y = -y - 0.5f;
    }
    ASSERT_TRUE(set.Append(result, *window));
  }

  testing::FixedProviders providers;
  std::unique_ptr<datastore::DataStore> window;
  CDataSet set;
};

TEST_F(StoreTest, BuildsAStoreOfThePresentTraces) {
  set.AddHistory(datastore::makeHistoryEntry("Note", "n\r\n"));
  set.compliant = false;
  set.SetTraceStates({1, 0, 1, 1});
  auto store = set.ToDataStore();
  EXPECT_EQ(store->title, "Time Stamp : 2026/12/06 19:16:54");
  ASSERT_EQ(store->properties.size(), 1);
  EXPECT_EQ(store->properties[0], "CircularDichroism -me");
  ASSERT_EQ(store->dimensions.size(), 2);
  EXPECT_EQ(store->dimensions[0].name, "Wavelength");
  EXPECT_EQ(store->dimensions[1].name, "Temperature");
  EXPECT_THAT(valuesOf(store->dimensions[0]), ElementsAre(200, 210, 220));
  EXPECT_THAT(valuesOf(store->dimensions[1]), ElementsAre(10, 30, 40));
  EXPECT_EQ(store->data.count, 9);
  EXPECT_EQ(store->data[3], 2000);
  EXPECT_EQ(store->data[8], 3002);
  EXPECT_EQ(store->history, set.history);
  EXPECT_FALSE(store->attributes.cfrCompliant);
}

TEST_F(StoreTest, SelectionLeavesTracesOut) {
  auto store = set.ToDataStore({0, 1, 0, 1});
  EXPECT_THAT(valuesOf(store->dimensions[1]), ElementsAre(20, 40));
  EXPECT_EQ(store->data[0], 1000);
}

TEST_F(StoreTest, SelectionOfTheWrongSizeIsRefused) {
  EXPECT_THAT([&] { set.ToDataStore({1, 1}); }, ThrowsMessage<std::runtime_error>("Cannot create datastore"));
}

TEST_F(StoreTest, EveryTraceExcludedGivesAnEmptyTraceDimension) {
  set.SetTraceStates({0, 0, 0, 0});
  auto store = set.ToDataStore();
  ASSERT_EQ(store->dimensions.size(), 2);
  EXPECT_EQ(store->dimensions[1].size(), 0);
  EXPECT_EQ(store->data.count, 0);
}

TEST_F(StoreTest, EmptySubsetGivesAnEmptyTraceDimension) {
  auto store = set.Subset({0, 0, 0, 0}).ToDataStore();
  ASSERT_EQ(store->dimensions.size(), 2);
  EXPECT_EQ(store->dimensions[1].size(), 0);
}

TEST_F(StoreTest, AppendedTracesReadBackWithTheirNamesAndKinds) {
  set.kindCounters[2] = 3;
  appendResult(2, {0, 1});
  appendResult(7, {2});
  ASSERT_THAT(set.traceNames, ElementsAre("10", "20", "30", "40", "Subtracted:3", "Subtracted:4", "Average:0"));
  // Leave out one measured and one appended trace: the marks must stay with the traces that remain.
  set.SetTraceStates({1, 0, 1, 1, 0, 1, 1});

  auto store = set.ToDataStore();
  auto back = throughFile(*store);
  CDataSet reloaded;
  reloaded.Load(*back, 0, 1, 0, -1);
  EXPECT_THAT(reloaded.traceNames, ElementsAre("10", "30", "40", "Subtracted:4", "Average:0"));
  EXPECT_THAT(reloaded.traceKind, ElementsAre(0, 0, 0, 2, 7));
  EXPECT_EQ(reloaded.kindCounters[2], 5);
  EXPECT_EQ(reloaded.kindCounters[7], 1);
  EXPECT_EQ(reloaded.yA[3], set.yA[5]);
  EXPECT_EQ(reloaded.yA[4], set.yA[6]);
  EXPECT_EQ(reloaded.yA[1], set.yA[2]);
  EXPECT_EQ(reloaded.valueName, set.valueName);
}

TEST_F(StoreTest, LoneMeasuredTraceKeepsItsNameThroughAFile) {
  appendResult(6, {3});
  set.SetTraceStates({0, 0, 0, 1, 1});
  auto back = throughFile(*set.ToDataStore());
  CDataSet reloaded;
  reloaded.Load(*back, 0, 1, 0, -1);
  EXPECT_THAT(reloaded.traceNames, ElementsAre("40", "Multiply:0"));
  EXPECT_THAT(reloaded.traceKind, ElementsAre(0, 6));
}

TEST_F(StoreTest, SegmentBStaysBeyondTheSplitThroughAFile) {
  auto store = makeStore({"Absorbance"}, {{"Time", {1, 2, 3, 4}}, {"Cell", {1, 2}}},
                         [](int, const std::vector<int>&) { return 1.0f; });
  store->viewState.ranges[0].first = 2.0f;
  CDataSet shown;
  shown.Load(*store, 0, 1, 0, 1);  // as transmission: segment A shows 10 %
  auto back = throughFile(*shown.ToDataStore());
  CDataSet reloaded;
  reloaded.Load(*back, 0, 1, 0, -1);
  EXPECT_EQ(reloaded.yLabel, "Transmission (%)");
  EXPECT_THAT(reloaded.xA, ElementsAre(1, 2));
  EXPECT_THAT(reloaded.xB, ElementsAre(3, 4));
  EXPECT_THAT(reloaded.yA[0], ElementsAre(10, 10));
  EXPECT_THAT(reloaded.yB[1], ElementsAre(1, 1));
  EXPECT_THAT(reloaded.traceNames, ElementsAre("1", "2"));
}

TEST_F(StoreTest, SingleTraceWithoutTraceDimensionHasOneDimension) {
  auto store = makeStore({"Fluorescence"}, {{"Time", {0, 1, 2}}}, placeValue);
  CDataSet single;
  single.Load(*store, 0, -1, 0, -1);
  auto written = single.ToDataStore();
  EXPECT_EQ(written->dimensions.size(), 1);
  EXPECT_THAT(std::vector<float>(written->data.data, written->data.data + written->data.count),
              ElementsAre(0, 1, 2));
}

}  // namespace
}  // namespace lumatix::processing
