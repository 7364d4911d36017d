#include "processing/sg_filter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

#include "processing/smoothing.h"

namespace lumatix::processing {
namespace {

using ::testing::ThrowsMessage;

TEST(SavgolTest, FivePointQuadraticHasTheTextbookWeightsInItsLayout) {
  std::vector<float> c;
  savgol(c, 5, 2, 2, 0, 2);
  // (-3, 12, 17, 12, -3) / 35: centre, then left 1, 2, then right 2, 1.
  ASSERT_EQ(c.size(), 6u);
  EXPECT_NEAR(c[1], 17.0 / 35, 1e-7);
  EXPECT_NEAR(c[2], 12.0 / 35, 1e-7);
  EXPECT_NEAR(c[3], -3.0 / 35, 1e-7);
  EXPECT_NEAR(c[4], -3.0 / 35, 1e-7);
  EXPECT_NEAR(c[5], 12.0 / 35, 1e-7);
}

TEST(SavgolTest, AsymmetricWindowPutsTheRightmostPointFirst) {
  std::vector<float> c;
  savgol(c, 4, 1, 2, 0, 1);      // a straight line through offsets -1 .. 2, read at offset 0
  EXPECT_NEAR(c[1], 0.3, 1e-7);  // offset 0
  EXPECT_NEAR(c[2], 0.4, 1e-7);  // offset -1
  EXPECT_NEAR(c[3], 0.1, 1e-7);  // offset 2
  EXPECT_NEAR(c[4], 0.2, 1e-7);  // offset 1
}

TEST(SavgolTest, RefusesImpossibleArguments) {
  std::vector<float> c;
  for (auto [np, nl, nr, ld, m] :
       {std::array{3, 2, 2, 0, 2}, std::array{5, -1, 2, 0, 2}, std::array{5, 2, 2, 3, 2}, std::array{5, 1, 1, 0, 3}})
    EXPECT_THAT([&] { savgol(c, np, nl, nr, ld, m); }, ThrowsMessage<std::runtime_error>("bad args in savgol"));
}

TEST(LudcmpTest, RefusesAZeroRow) {
  std::vector<std::vector<double>> a{{0, 0, 0}, {0, 1, 2}, {0, 0, 0}};
  std::vector<int> indx(3);
  double d = 0;
  EXPECT_THAT([&] { ludcmp(a, 2, indx, d); }, ThrowsMessage<std::runtime_error>("Singular matrix in routine ludcmp"));
}

TEST(CSGFilterTest, ConstructionFillsTheTableUpTo53) {
  CSGFilter filter(4, 2);
  EXPECT_EQ(filter.Window(), 5) << "an even window is used as the next odd one";
  EXPECT_EQ(filter.MaxWindow(), 53);
  EXPECT_NE(filter.Coefficients(53), nullptr);
  EXPECT_EQ(filter.Coefficients(55), nullptr);
  EXPECT_EQ(filter.Coefficients(4), nullptr);
}

TEST(CSGFilterTest, SetWindowGrowsTheTableAndKeepsTheOldWindow) {
  CSGFilter filter(3, 2);
  EXPECT_FALSE(filter.SetWindow(2, 2));
  ASSERT_TRUE(filter.SetWindow(4, 2));
  EXPECT_EQ(filter.Window(), 5);
  ASSERT_TRUE(filter.SetWindow(100, 2));
  EXPECT_EQ(filter.Window(), 101);
  EXPECT_EQ(filter.MaxWindow(), 101);
  EXPECT_EQ(filter.PreviousWindow(), 5);
  for (int np = 55; np <= 101; np += 2) EXPECT_NE(filter.Coefficients(np), nullptr) << np;
  ASSERT_TRUE(filter.SetWindow(21, 2));
  EXPECT_EQ(filter.MaxWindow(), 101);
}

TEST(CSGFilterTest, FivePointsWithWindowFiveKeepTheEndsAndShrinkNearThem) {
  CSGFilter filter(5, 2);
  const std::vector<float> x{1.0f, 4.0f, 2.0f, 8.0f, 3.0f};
  std::vector<float> out;
  ASSERT_TRUE(filter.Filter(x, out));
  EXPECT_EQ(out[0], 1.0f);
  EXPECT_EQ(out[4], 3.0f);
  // Window 3 with order 2 is an interpolation: points 1 and 3 come back as they were.
  EXPECT_NEAR(out[1], 4.0f, 1e-5);
  EXPECT_NEAR(out[3], 8.0f, 1e-5);
  EXPECT_NEAR(out[2], (-3 * 1 + 12 * 4 + 17 * 2 + 12 * 8 - 3 * 3) / 35.0, 1e-5);
}

TEST(CSGFilterTest, WindowLongerThanTheTraceStaysInsideIt) {
  CSGFilter filter(3, 2);
  ASSERT_TRUE(filter.SetWindow(21, 2));
  const std::vector<float> x{1, 2, 3, 4, 5, 6, 7};
  std::vector<float> out;
  ASSERT_TRUE(filter.Filter(x, out));
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(out[i], x[i], 1e-5);
}

TEST(CSGFilterTest, BlockedFilterGivesTheSameFloatsAsPointByPoint) {
  CSGFilter filter(3, 2);
  ASSERT_TRUE(filter.SetWindow(41, 2));
  std::mt19937 rng(5);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  std::vector<float> x(3000);
  for (auto& v : x) v = noise(rng);
  std::vector<float> out;
  ASSERT_TRUE(filter.Filter(x, out));
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    float one = 0;
    ASSERT_TRUE(filter.FilterPoint(x, i, one));
    ASSERT_EQ(one, out[static_cast<std::size_t>(i)]) << "point " << i;
  }
}

struct ValueRow {
  const char* name;
  int typed;
  int points;
  int expected;
};

class SmoothingValue : public ::testing::TestWithParam<ValueRow> {};

TEST_P(SmoothingValue, IsClamped) {
  EXPECT_EQ(smoothingValue(GetParam().typed, GetParam().points), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Typed, SmoothingValue,
                         ::testing::Values(ValueRow{"ZeroBecomesOne", 0, 50, 1},
                                           ValueRow{"NegativeBecomesOne", -7, 50, 1},
                                           ValueRow{"FortyOfFiftyPointsIsTwentyFive", 40, 50, 25},
                                           ValueRow{"OddPointCountRoundsDown", 40, 51, 25},
                                           ValueRow{"SpinRangeLimit", 5000, 1000000, 1000},
                                           ValueRow{"Kept", 10, 50, 10}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SmoothSGTest, ResidualOfAStraightLineIsZeroEverywhere) {
  CSGFilter filter(3, 2);
  std::vector<double> line(200);
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = 0.25 * static_cast<double>(i) - 3.0;
  const SmoothedRows rows = SmoothSG(filter, 12, {line});
  ASSERT_EQ(rows.residual.size(), 1u);
  for (double r : rows.residual[0]) EXPECT_NEAR(r, 0.0, 1e-4);
  EXPECT_EQ(filter.Window(), 25);
}

TEST(SmoothSGTest, AWindowThatCannotBeHadFails) {
  CSGFilter filter(3, 2);
  EXPECT_THAT(
      [&] {
        (void)SmoothSG(filter, 0, {{1, 2, 3}});
      },
      ThrowsMessage<std::runtime_error>("CDataSet::SmoothSG : filter fails to do convolution\n"));
}

}  // namespace
}  // namespace lumatix::processing
