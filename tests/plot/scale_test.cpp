#include <gtest/gtest.h>

#include "plot/scale.h"

namespace lumatix::plot {
namespace {

struct TickCase {
  const char* name;
  double min, max;
  double majorStep;
  int minorCount;
  double firstMajor;
  int majorCount;
};

void PrintTo(const TickCase& c, std::ostream* os) { *os << c.name; }

class ScaleTicks : public ::testing::TestWithParam<TickCase> {};

TEST_P(ScaleTicks, NiceStepsAndFirstTicks) {
  const TickCase& c = GetParam();
  CScale s(c.min, c.max);
  ASSERT_TRUE(s.valid);
  EXPECT_DOUBLE_EQ(s.majorStep, c.majorStep);
  EXPECT_EQ(s.minorCount, c.minorCount);
  EXPECT_DOUBLE_EQ(s.firstMajor, c.firstMajor);
  EXPECT_EQ(s.majorCount, c.majorCount);
  EXPECT_DOUBLE_EQ(s.minorStep, c.majorStep / c.minorCount);
  EXPECT_LE(s.firstMinor, s.min);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ScaleTicks,
    ::testing::Values(TickCase{"ZeroToOne", 0, 1, 0.1, 10, -0.1, 12}, TickCase{"ZeroToHundred", 0, 100, 10, 10, -10, 12},
                      TickCase{"ZeroToThreeHundred", 0, 300, 50, 5, -50, 8},
                      TickCase{"BillionPlusOne", 1e9, 1e9 + 1, 10, 10, 1e9, 1},
                      TickCase{"HalfStepStart", 2.5, 10.5, 1, 10, 2, 9}, TickCase{"Negative", -180, -20, 20, 2, -200, 10}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Scale, DegenerateRangeKeepsThePreviousOne) {
  CScale s(0, 1);
  EXPECT_FALSE(s.SetRange(5, 5));
  EXPECT_EQ(s.min, 0);
  EXPECT_EQ(s.max, 1);
  EXPECT_TRUE(s.SetRange(10, -10));
  EXPECT_EQ(s.min, -10);
  EXPECT_EQ(s.max, 10);
}

TEST(Scale, FewerThanTwoIntervalsFailButAreKept) {
  CScale s(0, 1);
  EXPECT_FALSE(s.SetIntervals(1));
  EXPECT_EQ(s.intervals, 1);
  EXPECT_EQ(s.appliedIntervals, 1);
  EXPECT_TRUE(s.SetIntervals(4));
  EXPECT_EQ(s.appliedIntervals, 4);
  EXPECT_DOUBLE_EQ(s.majorStep, 0.2);
}

}  // namespace
}  // namespace lumatix::plot
