#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "processing/data_set.h"
#include "processing/trace_row.h"
#include "store_builder.h"
#include "support/fixed_providers.h"

namespace lumatix::processing {
namespace {

using ::testing::ElementsAre;
using testing::makeStore;
using testing::placeValue;

TEST(TraceRow, CopiesShareUntilOneOfThemChanges) {
  TraceRow row{1, 2, 3};
  const float* own = row.data();
  // Alone in holding its values, a row changes them in place.
  row.edit()[0] = 10;
  EXPECT_EQ(row.data(), own);

  TraceRow copy = row;
  EXPECT_TRUE(copy.sharesWith(row));
  copy.edit()[1] = 20;
  EXPECT_FALSE(copy.sharesWith(row));
  EXPECT_THAT(row, ElementsAre(10, 2, 3));
  EXPECT_THAT(copy, ElementsAre(10, 20, 3));
}

TEST(TraceRow, RowsOfABlockChangeOneByOne) {
  TraceBlock block(3, 2);
  for (std::size_t r = 0; r < 3; ++r) {
    block.values(r)[0] = static_cast<float>(r);
    block.values(r)[1] = static_cast<float>(r) + 0.5f;
  }
  std::vector<TraceRow> rows = block.rows();
  rows[1].edit()[0] = -1;
  EXPECT_THAT(rows[0], ElementsAre(0, 0.5));
  EXPECT_THAT(rows[1], ElementsAre(-1, 1.5));
  EXPECT_THAT(rows[2], ElementsAre(2, 2.5));
  EXPECT_THAT(TraceBlock(0, 5).rows(), ::testing::IsEmpty());
  EXPECT_THAT(TraceBlock(2, 0).rows(), ElementsAre(TraceRow(), TraceRow()));
}

class TraceRowDataSetTest : public ::testing::Test {
 protected:
  testing::FixedProviders providers;
  std::unique_ptr<datastore::DataStore> store =
      makeStore({"Absorbance"}, {{"Wavelength", {200, 210, 220}}, {"Temperature", {20, 30, 40}}}, placeValue);
};

// The reset copy, a subset and the operations' frames hold no values of their own; an operation
// that changes values changes its result's, never the source's.
TEST_F(TraceRowDataSetTest, CopiesOfADataSetShareTheLoadedValues) {
  CDataSet set;
  set.Load(*store, 0, 1, 0, -1);
  const CDataSet copy = set;
  EXPECT_TRUE(copy.yA[2].sharesWith(set.yA[2]));
  const CDataSet subset = set.Subset({0, 1, 0});
  EXPECT_TRUE(subset.yA[0].sharesWith(set.yA[1]));

  const CDataSet shifted = set.AddConstant({1, 1, 0}, 0.5f);
  EXPECT_THAT(shifted.yA[1], ElementsAre(1000.5, 1001.5, 1002.5));
  EXPECT_THAT(set.yA[1], ElementsAre(1000, 1001, 1002));
  EXPECT_THAT(copy.yA[1], ElementsAre(1000, 1001, 1002));
}

TEST_F(TraceRowDataSetTest, ResultsAreKeptInSinglePrecision) {
  CDataSet set;
  set.Load(*store, 0, 1, 0, -1);
  // 1/3 of the sum is not a float; the row holds the float nearest to the mean.
  const CDataSet mean = set.Average({1, 1, 0});
  EXPECT_FLOAT_EQ(mean.yA[0][0], 500.0f);
  const CDataSet third = set.Multiply({0, 1, 0}, 1.0f / 3.0f);
  EXPECT_EQ(third.yA[0][1], static_cast<float>(1001.0 * static_cast<double>(1.0f / 3.0f)));
}

}  // namespace
}  // namespace lumatix::processing
