#include "processing/datastore_ranges.h"

#include <limits>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "datastore/data_store.h"
#include "datastore/ds_subset.h"
#include "store_builder.h"
#include "support/fixed_providers.h"

namespace lumatix::processing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::ThrowsMessage;

class RangesTest : public ::testing::Test {
 protected:
  testing::FixedProviders providers;
  std::unique_ptr<datastore::DataStore> store = testing::makeStore(
      {"Voltage"}, {{"Time", {1, 2, 3}}, {"Cell", {5, 6}}, {"Repeat", {7, 9, 8}}}, testing::placeValue);
};

TEST_F(RangesTest, EveryDimensionStartsSecondaryWithAllItsIndices) {
  CDatastoreRanges ranges(store.get());
  EXPECT_THAT(ranges.secondaryDimensions(), ElementsAre(0, 1, 2));
  EXPECT_THAT(ranges.primaryDimensions(), IsEmpty());
  EXPECT_THAT(ranges.secondary()[2].indices, ElementsAre(0, 1, 2));
  EXPECT_THAT(ranges.secondary()[2].spare, IsEmpty());
  EXPECT_EQ(ranges.bounds(2), std::make_pair(9.0f, 7.0f));
}

TEST_F(RangesTest, MovesDimensionsBetweenTheLists) {
  CDatastoreRanges ranges(store.get());
  ranges.AddPrimaryDimensions(2);
  ranges.AddPrimaryDimensions(0);
  EXPECT_THAT(ranges.primaryDimensions(), ElementsAre(2, 0));
  EXPECT_THAT(ranges.secondaryDimensions(), ElementsAre(1));
  ranges.RemovePrimaryDimensions(2);
  EXPECT_THAT(ranges.primaryDimensions(), ElementsAre(0));
  EXPECT_THAT(ranges.secondaryDimensions(), ElementsAre(1, 2));
}

TEST_F(RangesTest, RefusalsCarryTheirMessagesAndChangeNothing) {
  const std::string prefix = "CDatastoreRanges::AddPrimaryDimensions - ";
  CDatastoreRanges ranges(store.get());
  ranges.AddPrimaryDimensions(1);
  EXPECT_THAT([&] { ranges.AddPrimaryDimensions(3); },
              ThrowsMessage<std::out_of_range>(prefix + "dimension index out of range "));
  EXPECT_THAT([&] { ranges.RemovePrimaryDimensions(-1); },
              ThrowsMessage<std::out_of_range>(prefix + "dimension index out of range "));
  EXPECT_THAT([&] { ranges.AddPrimaryDimensions(1); },
              ThrowsMessage<std::logic_error>(prefix + "There should only be one copy of this index "));
  EXPECT_THAT([&] { ranges.RemovePrimaryDimensions(0); },
              ThrowsMessage<std::logic_error>(prefix + "There should only be one copy of this index "));
  EXPECT_THAT(ranges.primaryDimensions(), ElementsAre(1));
  EXPECT_THAT(ranges.secondaryDimensions(), ElementsAre(0, 2));

  CDatastoreRanges detached(nullptr);
  EXPECT_THAT([&] { detached.AddPrimaryDimensions(0); },
              ThrowsMessage<std::logic_error>(prefix + "DataStore uninitialised "));
  EXPECT_THAT([&] { detached.RemovePrimaryDimensions(0); },
              ThrowsMessage<std::logic_error>(prefix + "DataStore uninitialised "));
}

TEST_F(RangesTest, NarrowedIndicesNarrowTheBounds) {
  CDatastoreRanges ranges(store.get());
  ranges.find(2)->indices = {0, 2};
  EXPECT_EQ(ranges.bounds(2), std::make_pair(8.0f, 7.0f));
  ranges.find(0)->indices.clear();
  auto nothing = ranges.bounds(0);
  EXPECT_LT(nothing.first, nothing.second);
  EXPECT_EQ(ranges.find(7), nullptr);
}

TEST_F(RangesTest, ServesAsTheRangeTableOfASubsetWalk) {
  CDatastoreRanges ranges(store.get());
  ranges.AddPrimaryDimensions(0);
  datastore::CDSSubset top(ranges);
  EXPECT_THAT(top.available(), ElementsAre(1, 2));
  datastore::CDSSubset level(top, 1);
  EXPECT_THAT(level.current(), ElementsAre(1));
  EXPECT_EQ(&level.ranges().store(), store.get());
}

}  // namespace
}  // namespace lumatix::processing
