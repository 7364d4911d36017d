#include <gtest/gtest.h>

#include <numeric>

#include "datastore/array.h"
#include "datastore/combination.h"
#include "datastore/dimension.h"
#include "datastore/dpointer.h"

namespace lumatix::datastore {
namespace {

TEST(Array, StridedViewReadsAndWritesOnlyItsElements) {
  std::vector<float> block(12);
  std::iota(block.begin(), block.end(), 0.0f);
  Array<float> view(4, block.data(), 3);
  EXPECT_FALSE(view.owns());
  EXPECT_EQ(std::vector<float>(view.begin(), view.end()), (std::vector<float>{0, 3, 6, 9}));

  Array<float> values(std::vector<float>{-1, -2, -3, -4});
  view = values;
  EXPECT_EQ(block, (std::vector<float>{-1, 1, 2, -2, 4, 5, -3, 7, 8, -4, 10, 11}));
  EXPECT_EQ(view.size(), 4);
  EXPECT_EQ(view.stride(), 3);
}

TEST(Array, OwningTargetTakesTheSourceCountWithStrideOne) {
  std::vector<float> block{1, 2, 3, 4, 5, 6};
  Array<float> view(3, block.data(), 2), owned(7);
  owned = view;
  EXPECT_TRUE(owned.owns());
  EXPECT_EQ(owned.size(), 3);
  EXPECT_EQ(owned.stride(), 1);
  owned[0] = 100;
  EXPECT_EQ(block[0], 1);  // a copy, not a view
}

TEST(Array, IndexOutsideThrows) {
  Array<int> a(3);
  for (std::int64_t bad : {std::int64_t{-1}, std::int64_t{3}, std::int64_t{1} << 40}) {
    try {
      a[bad];
      FAIL() << bad;
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "Array out of bounds!");
    }
  }
}

TEST(Array, ResizingAViewMakesItOwnItsStorage) {
  std::vector<float> block{1, 2, 3, 4, 5, 6};
  Array<float> view(3, block.data(), 2);
  view.resize(4);
  EXPECT_TRUE(view.owns());
  EXPECT_EQ(std::vector<float>(view.begin(), view.end()), (std::vector<float>{1, 3, 5, 0}));
  view[0] = 42;
  EXPECT_EQ(block[0], 1);
}

TEST(Array, CopyOfAViewIsTheSameView) {
  std::vector<float> block{1, 2, 3};
  Array<float> view(3, block.data(), 1);
  Array<float> copy(view);
  copy[1] = 20;
  EXPECT_EQ(block[1], 20);
}

TEST(DPointer, ResizeKeepsTheFrontAndZeroFrees) {
  DPointer p;
  p.allocate(3);
  for (int i = 0; i < 3; ++i) p[i] = static_cast<float>(i + 1);
  p.resize(5);
  EXPECT_EQ(p.count, 5);
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[2], 3);
  p.resize(0);
  EXPECT_EQ(p.count, 0);
  EXPECT_EQ(p.data, nullptr);
  try {
    p[0];
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "Index out-of-range in DPointer::operator[]");
  }
}

TEST(DPointer, LargeZeroedBlocksAreZeroAndCopyDeeply) {
  DPointer p;
  p.allocateZeroed(1 << 20);
  EXPECT_EQ(p[0], 0.0f);
  EXPECT_EQ(p[(1 << 20) - 1], 0.0f);
  p[5] = 3;
  DPointer q(p);
  q[5] = 4;
  EXPECT_EQ(p[5], 3);
  EXPECT_THROW(p.allocate(-1), std::runtime_error);
}

TEST(Combination, ChoosesTwoOfFourInLexicographicOrder) {
  Combination<int> c({0, 1, 2, 3}, 2);
  std::vector<std::vector<int>> seen;
  std::vector<int> out;
  bool ok = true;
  for (c.next(out, ok); ok; c.next(out, ok)) seen.push_back(out);
  EXPECT_EQ(seen, (std::vector<std::vector<int>>{{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}));
}

TEST(Dimension, SubDimensionAcceptsAtMostItsOwnSize) {
  Dimension d("Wavelength (nm)", {260, 250, 240});
  d.currentIndex = 2;
  Dimension sub = d.subDimension({2, 0, 0});
  EXPECT_EQ(sub.name, "Wavelength (nm)");
  EXPECT_EQ(std::vector<float>(sub.values.begin(), sub.values.end()), (std::vector<float>{240, 260, 260}));
  EXPECT_EQ(sub.currentIndex, 0);
  try {
    d.subDimension({0, 1, 2, 0});
    FAIL();
  } catch (const std::length_error& e) {
    EXPECT_STREQ(e.what(), "Dimension:: There are too many indices in the new dimension");
  }
  EXPECT_THROW(d.subDimension({7}), std::out_of_range);
}

TEST(Dimension, RangeIsLargestThenSmallest) {
  EXPECT_EQ(Dimension("T", {5, -1, 9, 9, -1}).range(), (std::pair<float, float>{9, -1}));
  EXPECT_EQ(Dimension().range(), (std::pair<float, float>{0, 0}));
  EXPECT_EQ(Dimension().name, "UnInit");
  try {
    Dimension("T", {1})[1];
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "index out-of-range in Dimension::operator[].");
  }
}

}  // namespace
}  // namespace lumatix::datastore
