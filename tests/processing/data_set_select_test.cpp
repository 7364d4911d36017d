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

class SelectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto store = makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210}}, {"Temperature", {10, 20, 30, 40}}},
                           placeValue);
    store->attributes.cfrCompliant = false;
    set.Load(*store, 0, 1, 0, -1);
    set.AddHistory(datastore::makeHistoryEntry("Note", "text\r\n"));
  }
  testing::FixedProviders providers;
  CDataSet set;
};

TEST_F(SelectTest, SubsetNeverCopiesTheBaseline) {
  ASSERT_TRUE(set.SetTraceStates({1, 2, 1, 1}));
  CDataSet subset = set.Subset({1, 1, 0, 1});
  EXPECT_THAT(subset.traceNames, ElementsAre("10", "40"));
  EXPECT_THAT(subset.zValues, ElementsAre(10, 40));
  EXPECT_THAT(subset.yA[1], ElementsAre(3000, 3001));
  EXPECT_THAT(subset.traceState, ElementsAre(1, 1));
  EXPECT_EQ(subset.traceCount, 2);
  EXPECT_EQ(subset.subsetFlag, 1);
  EXPECT_TRUE(subset.hasTraceDim);
  EXPECT_EQ(subset.yLabel, set.yLabel);
  EXPECT_EQ(subset.segments, set.segments);
  EXPECT_TRUE(subset.IsValid());
}

TEST_F(SelectTest, SubsetCarriesTheHistoryAndTheComplianceFlag) {
  CDataSet subset = set.Subset({0, 1, 0, 0});
  EXPECT_EQ(subset.history, set.history);
  EXPECT_FALSE(subset.compliant);
  EXPECT_FALSE(subset.hasTraceDim);
}

TEST_F(SelectTest, EmptySubset) {
  CDataSet subset = set.Subset({0, 0, 0, 0});
  EXPECT_EQ(subset.TraceCount(), 0);
  EXPECT_FALSE(subset.hasTraceDim);
  EXPECT_THAT(subset.xA, ElementsAre(200, 210));
  EXPECT_TRUE(subset.IsValid());
}

TEST_F(SelectTest, SubsetOfTheWrongSizeIsRefused) {
  for (const std::vector<int>& selection : {std::vector<int>{1, 1, 1}, std::vector<int>{1, 1, 1, 1, 1}})
    EXPECT_THAT([&] { set.Subset(selection); },
                ThrowsMessage<std::invalid_argument>("CDataSet::Subset : size mismatch in Z axis"));
}

TEST_F(SelectTest, SelectedOnlyTakesTheSelectedRowsInOrder) {
  set.selected = {0, 1, 0, 1};
  CDataSet only = set.SelectedOnly();
  EXPECT_THAT(only.traceNames, ElementsAre("20", "40"));
  EXPECT_THAT(only.yA[0], ElementsAre(1000, 1001));
  EXPECT_THAT(only.yA[1], ElementsAre(3000, 3001));
  EXPECT_THAT(only.selected, ElementsAre(1, 1));
}

TEST_F(SelectTest, SelectedOnlyFailsWhenTheBaselineIsAmongTheFirstTraces) {
  set.SetTraceStates({2, 1, 1, 1});
  set.selected = {0, 1, 0, 1};
  EXPECT_THAT([&] { set.SelectedOnly(); }, ThrowsMessage<std::runtime_error>("Could not create valid dataset"));
}

TEST_F(SelectTest, SetTraceStates) {
  EXPECT_FALSE(set.SetTraceStates({1, 1}));
  EXPECT_THAT(set.traceState, ElementsAre(1, 1, 1, 1));
  EXPECT_TRUE(set.SetTraceStates({0, 2, 1, 7}));
  EXPECT_THAT(set.traceState, ElementsAre(0, 2, 1, 0));
  EXPECT_EQ(set.baselineIndex, 1);
  EXPECT_EQ(set.traceCount, 1);
}

}  // namespace
}  // namespace lumatix::processing
