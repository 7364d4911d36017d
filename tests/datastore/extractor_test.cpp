#include <gtest/gtest.h>

#include "datastore/data_store.h"
#include "datastore/datastore_extractor.h"
#include "datastore/ds_subset.h"
#include "support/fixed_providers.h"

namespace lumatix::datastore {
namespace {

// Wavelength (3) x Temperature (2) x Repeat (2); the value is 100*repeat + 10*temperature + wavelength index.
DataStore cube() {
  DataStore s("cube", 1, 3);
  s.properties[0] = "Absorbance";
  s.dimensions[0] = Dimension("Wavelength", {250, 260, 270});
  s.dimensions[1] = Dimension("Temperature", {20, 30});
  s.dimensions[2] = Dimension("Repeat", {1, 2});
  EXPECT_TRUE(s.initialise());
  for (int r = 0; r < 2; ++r)
    for (int t = 0; t < 2; ++t)
      for (int w = 0; w < 3; ++w) s.data[w + 3 * t + 6 * r] = static_cast<float>(100 * r + 10 * t + w);
  return s;
}

std::vector<float> values(const DataStore& s) { return {s.data.data, s.data.data + s.data.count}; }

TEST(CDSSubset, LevelsTakeDisjointDimensionsUntilNoneAreLeft) {
  testing::FixedProviders fixed;
  DataStore s = cube();
  WholeRangeTable table(s, {0});
  CDSSubset top(table);
  EXPECT_EQ(top.available(), (std::vector<int>{1, 2}));
  CDSSubset level(top, 1);
  EXPECT_EQ(level.current(), std::vector<int>{1});
  EXPECT_EQ(level.available(), std::vector<int>{2});
  EXPECT_TRUE(++level);
  EXPECT_EQ(level.current(), std::vector<int>{2});
  EXPECT_EQ(level.available(), std::vector<int>{1});
  EXPECT_FALSE(++level);

  CDSSubset inner(CDSSubset(top, 1), 1);
  EXPECT_EQ(inner.chosen(), std::vector<int>{1});
  EXPECT_TRUE(inner.available().empty());
  try {
    CDSSubset none(inner, 1);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Error! No more dimensions to select from.");
  }
}

TEST(CDataStoreExtractor, OneStorePerPositionOfTheFixedDimension) {
  testing::FixedProviders fixed;
  DataStore s = cube();
  s.addHistory(makeHistoryEntry("Marker", "x\r\n"));
  WholeRangeTable table(s, {0});
  CDSSubset level(CDSSubset(table), 1);  // Temperature fixed; Repeat and Wavelength kept
  CDataStoreExtractor extractor(level);
  EXPECT_EQ(extractor.keptDimensions(), (std::vector<int>{2, 0}));

  auto first = extractor.extractNext();
  EXPECT_EQ(first->title, "Temperature=20 ");
  ASSERT_EQ(first->dimensions.size(), 2);
  EXPECT_EQ(first->dimensions[0].name, "Repeat");
  EXPECT_EQ(first->dimensions[1].name, "Wavelength");
  EXPECT_EQ(values(*first), (std::vector<float>{0, 100, 1, 101, 2, 102}));
  EXPECT_EQ(first->history.back().title, "Marker");
  EXPECT_EQ(first->viewState.axisCount, 2);
  EXPECT_EQ(first->viewState.dimensionOrder, (std::vector<std::int32_t>{2, 0}));

  EXPECT_FALSE(++extractor);
  auto second = extractor.extractNext();
  EXPECT_EQ(second->title, "Temperature=30 ");
  EXPECT_EQ(values(*second), (std::vector<float>{10, 110, 11, 111, 12, 112}));
  EXPECT_TRUE(++extractor);
}

TEST(CDataStoreExtractor, DimensionsTakenByAnOuterLevelStayAtTheStoreIndex) {
  testing::FixedProviders fixed;
  DataStore s = cube();
  s.setCurrentIndex(1, 1);
  WholeRangeTable table(s, {0});
  CDSSubset inner(CDSSubset(CDSSubset(table), 1), 1);  // Temperature held, Repeat walked
  CDataStoreExtractor extractor(inner);
  auto a = extractor.extractNext();
  EXPECT_EQ(a->title, "Temperature=30 Repeat=1 ");
  EXPECT_EQ(values(*a), (std::vector<float>{10, 11, 12}));
  EXPECT_FALSE(++extractor);
  EXPECT_EQ(values(*extractor.extractNext()), (std::vector<float>{110, 111, 112}));
  EXPECT_TRUE(++extractor);
}

class NarrowTable : public WholeRangeTable {
 public:
  using WholeRangeTable::WholeRangeTable;
  std::pair<float, float> bounds(int d) const override {
    return d == 0 ? std::pair<float, float>{265, 255} : WholeRangeTable::bounds(d);
  }
};

TEST(CDataStoreExtractor, KeepsPositionsInsideTheBoundsOrBeyondTheSplitValue) {
  testing::FixedProviders fixed;
  DataStore s = cube();
  NarrowTable narrow(s, {0});
  CDataStoreExtractor a(CDSSubset(CDSSubset(narrow), 1));
  EXPECT_EQ(a.keptPositions()[0], std::vector<int>{1});

  s.viewState.ranges[0].first = 255;  // 260 and 270 were appended after the view was made
  CDataStoreExtractor b(CDSSubset(CDSSubset(narrow), 1));
  EXPECT_EQ(b.keptPositions()[0], (std::vector<int>{1, 2}));
}

TEST(CDataStoreExtractor, RefusesKeptDimensionsTheStoreDoesNotHave) {
  testing::FixedProviders fixed;
  DataStore s = cube();
  for (std::vector<int> primary : {std::vector<int>{0, 7}, std::vector<int>{0, 0}}) {
    WholeRangeTable table(s, primary);
    try {
      CDataStoreExtractor e{CDSSubset(table)};
      FAIL();
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "A primary dimension is out of range for the datastore ");
    }
  }
}

}  // namespace
}  // namespace lumatix::datastore
