#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "processing/data_set.h"
#include "store_builder.h"
#include "support/fixed_providers.h"

namespace lumatix::processing {
namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;
using testing::makeStore;
using testing::placeValue;

class AppendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210, 220}}, {"Temperature", {10, 20, 30, 40}}},
                       placeValue);
    set.Load(*window, 0, 1, 0, -1);
    set.kindCounters[2] = 3;
  }

  // What a baseline subtraction would hand back: two traces of kind 2 with their history.
  CDataSet subtractionResult() const {
    CDataSet result = set.Subset({1, 1, 0, 0});
    for (int i = 0; i < result.TraceCount(); ++i) {
      result.traceKind[static_cast<std::size_t>(i)] = 2;
      result.traceNames[static_cast<std::size_t>(i)] = "Subtracted::" + std::to_string(3 + i);
      result.selected[static_cast<std::size_t>(i)] = 1;
      result.yA[static_cast<std::size_t>(i)] = {1, 2, 3};
      result.AddHistory(datastore::makeHistoryEntry("Baseline Subtraction:", "entry\r\n"));
    }
    return result;
  }

  testing::FixedProviders providers;
  std::unique_ptr<datastore::DataStore> window;
  CDataSet set;
};

TEST_F(AppendTest, NumbersTheNewTracesWithTheWindowsCounterAndMarksThem) {
  const CDataSet result = subtractionResult();
  ASSERT_TRUE(set.Append(result, *window));
  EXPECT_THAT(set.traceNames, ElementsAre("10", "20", "30", "40", "Subtracted:3", "Subtracted:4"));
  EXPECT_THAT(set.traceKind, ElementsAre(0, 0, 0, 0, 2, 2));
  EXPECT_THAT(set.zValues, ElementsAre(10, 20, 30, 40, 50, 60));
  EXPECT_THAT(set.selected, ElementsAre(0, 0, 0, 0, 1, 1));
  EXPECT_THAT(set.yA[5], ElementsAre(1, 2, 3));
  EXPECT_EQ(set.kindCounters[2], 5);
  EXPECT_EQ(set.traceCount, 6);
  EXPECT_EQ(set.traceDimName, "Temperature -arb");
  EXPECT_TRUE(set.modified);
  EXPECT_TRUE(set.IsValid());
  EXPECT_EQ(set.history, result.history);
  EXPECT_THAT(window->viewState.marks[1], ElementsAre(datastore::ViewMark{50, 2, 3, "Subtracted:3", true},
                                                      datastore::ViewMark{60, 2, 4, "Subtracted:4", true}));
}

TEST_F(AppendTest, DifferentYLabelChangesNothing) {
  CDataSet result = subtractionResult();
  result.yLabel = "Absorbance (AU)";
  const CDataSet before = set;
  EXPECT_FALSE(set.Append(result, *window));
  EXPECT_EQ(set.traceNames, before.traceNames);
  EXPECT_EQ(set.traceDimName, before.traceDimName);
  EXPECT_TRUE(window->viewState.marks[1].empty());
}

TEST_F(AppendTest, DefaultTraceNameOfTheResultPrefixesItsNames) {
  CDataSet result = subtractionResult();
  result.defaultTraceName = "sample.dsx";
  set.Append(result, *window);
  EXPECT_EQ(set.traceNames[4], "sample.dsx::Subtracted::3");
}

TEST_F(AppendTest, RowsAreReversedWhenExactlyOneDataSetIsDescending) {
  CDataSet result = subtractionResult();
  result.xA = {220, 210, 200};
  set.Append(result, *window);
  EXPECT_THAT(set.yA[4], ElementsAre(3, 2, 1));
}

TEST_F(AppendTest, RowsOfAnotherLengthAreRefused) {
  CDataSet result = subtractionResult();
  result.xA = {200, 210};
  result.yA = {{1, 2}, {3, 4}};
  const CDataSet before = set;
  EXPECT_THAT([&] { set.Append(result, *window); },
              ThrowsMessage<std::runtime_error>("The new traces have 2 points where the plot has 3."));
  EXPECT_EQ(set.TraceCount(), before.TraceCount());
  EXPECT_EQ(set.traceDimName, before.traceDimName);
  EXPECT_TRUE(window->viewState.marks[1].empty());
}

TEST_F(AppendTest, ResultWithoutTheWindowsHistoryDoesNotEraseIt) {
  CDataSet result = subtractionResult();
  result.history = {datastore::makeHistoryEntry("Averaged Traces :", "x\r\n")};
  const auto before = set.history;
  set.Append(result, *window);
  ASSERT_EQ(set.history.size(), before.size() + 1);
  EXPECT_EQ(set.history.back().title, "Averaged Traces :");
}

TEST_F(AppendTest, EqualCoordinatesStillPlaceNewTracesBeyondTheLast) {
  auto store = makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210, 220}}, {"Repeat", {5, 5}}}, placeValue);
  CDataSet twins;
  twins.Load(*store, 0, 1, 0, -1);
  CDataSet result = twins.Subset({1, 0});
  result.traceKind[0] = 7;
  twins.Append(result, *store);
  EXPECT_THAT(twins.zValues, ElementsAre(5, 5, 6));
}

TEST_F(AppendTest, SingleDimensionWindowGainsATraceAxisWithoutMovingItsValues) {
  auto single = makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210, 220}}}, placeValue);
  const std::vector<float> values(single->data.data, single->data.data + single->data.count);
  CDataSet one;
  one.Load(*single, 0, -1, 0, -1);
  CDataSet result = one.Subset({1});
  result.traceKind[0] = 6;
  ASSERT_TRUE(one.Append(result, *single));
  ASSERT_EQ(single->dimensions.size(), 2);
  EXPECT_EQ(single->dimensions[1].size(), 1);
  EXPECT_EQ(std::vector<float>(single->data.data, single->data.data + single->data.count), values);
  EXPECT_EQ(single->valuesPerProperty(), 3);
  ASSERT_EQ(single->viewState.marks.size(), 2u);
  EXPECT_EQ(single->viewState.marks[1].size(), 1u);
  EXPECT_EQ(one.traceNames[1], "Multiply:0");
  EXPECT_EQ(one.zValues[1], 1.0);
  EXPECT_TRUE(one.hasTraceDim);
}

}  // namespace
}  // namespace lumatix::processing
