#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "fit_test_support.h"
#include "fitting/fit_estimates.h"
#include "fitting/fit_funx.h"

namespace lumatix::fitting {
namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using test::CapturedDiagnostics;

std::vector<double> indexes(int n) { return test::evenly(0, n - 1, n); }

TEST(HalfChangeTime, IsOnePointPastTheFirstWindowWithinHalfTheAmplitude) {
  // A step from 10 to 0 at index 30: the window 27..34 (three tens, mean 3.75) is the first
  // closer than 5 to the level 0, so the result is x[32].
  std::vector<double> y(100, 0.0);
  for (int i = 0; i < 30; ++i) y[static_cast<std::size_t>(i)] = 10.0;
  EXPECT_EQ(estimates::halfChangeTime(y, indexes(100), 10.0, 0.0), 32.0);
}

TEST(HalfChangeTime, ZeroAmplitudeGivesTheFirstSpacing) {
  EXPECT_EQ(estimates::halfChangeTime({3, 3, 3}, {1.0, 1.5, 2.5}, 0.0, 3.0), 0.5);
}

TEST(HalfChangeTime, EndsInsideTheDataWhenNoWindowQualifies) {
  const std::vector<double> x{0, 1, 2, 3, 4, 5};
  EXPECT_EQ(estimates::halfChangeTime({0, 0, 0, 0, 0, 0}, x, 1.0, 5.0), 5.0);
  // Only the last window is close enough: one past it would be past the data.
  EXPECT_EQ(estimates::halfChangeTime({50, 50, 50, 50, 50, 50, -1000, 0, 0, 0, 0, 0}, indexes(12), 2.0, 0.0), 11.0);
}

TEST(LinearEstimate, JoinsTheEnds) {
  EXPECT_THAT(estimates::linear({0, 2}, {1, 5}, 2), ElementsAre(2.0, 1.0));
}

TEST(SingleExponentialEstimate, UsesTheTailLevelAndTheHalfChangeTime) {
  std::vector<double> y(100, 0.0);
  for (int i = 0; i < 30; ++i) y[static_cast<std::size_t>(i)] = 10.0;
  EXPECT_THAT(estimates::singleExponential(indexes(100), y, 3), ElementsAre(0.0, 10.0, 1.0 / 32.0));
}

TEST(SingleExponentialEstimate, ConstantTraceHasNoAmplitudeAndTheFirstSpacingAsTime) {
  EXPECT_THAT(estimates::singleExponential({0, 0.5, 1, 1.5}, {4, 4, 4, 4}, 3), ElementsAre(4.0, 0.0, 2.0));
}

TEST(ExponentialSlopeEstimate, NeedsFortyPoints) {
  const auto& f = FitFunx()[2];
  test::Trace trace = test::synthetic(f, {1, 5, 0.1, 0.02}, test::evenly(0, 100, 39));
  {
    CapturedDiagnostics notes;
    EXPECT_THAT(estimates::exponentialSlope(trace.x, trace.y, 4), ElementsAre(0.0, 0.0, 0.0, 0.0));
    EXPECT_EQ(notes.str(), "Error: not enough points to make an estimate\n");
  }
  trace = test::synthetic(f, {1, 5, 0.1, 0.02}, test::evenly(0, 100, 40));
  CapturedDiagnostics notes;
  const auto start = estimates::exponentialSlopeRule(trace.x, trace.y, 4);
  EXPECT_DOUBLE_EQ(start[2], std::log(2.0) / 10.0);
  EXPECT_THAT(notes.str(), HasSubstr("ret[3] is: "));
  EXPECT_THAT(notes.str(), HasSubstr("ret[1] is: "));
}

struct SlopeRow {
  const char* name;
  std::vector<double> truth;  // c, a, k, b
};

class ExponentialSlopePhase : public ::testing::TestWithParam<SlopeRow> {};

// The rule takes its rate from the x span alone (ln 2 / 10 here) and its amplitude from one
// point; the refined estimate finds the phase under the slope, either sign.
TEST_P(ExponentialSlopePhase, RefinedRateFindsThePhase) {
  const auto& f = FitFunx()[2];
  const std::vector<double>& truth = GetParam().truth;
  const test::Trace trace = test::synthetic(f, truth, test::evenly(0, 100, 500), 0.01);
  CapturedDiagnostics notes;
  const auto start = estimates::exponentialSlope(trace.x, trace.y, 4);
  EXPECT_THAT(notes.str(), HasSubstr("ret[2] is: "));
  EXPECT_THAT(notes.str(), HasSubstr("\nrefined par[3] = "));
  ASSERT_EQ(start.size(), 4u);
  EXPECT_NEAR(std::log(start[2] / truth[2]), 0.0, 0.45);
  EXPECT_GT(start[1] * truth[1], 0.0);
  EXPECT_NEAR(start[3], truth[3], 0.2 * std::fabs(truth[3]));
}

INSTANTIATE_TEST_SUITE_P(Rows, ExponentialSlopePhase,
                         ::testing::Values(SlopeRow{"FastFallOnARise", {1, 5, 0.8, 0.02}},
                                           SlopeRow{"SlowRiseOnAFall", {2, -3, 0.05, -0.01}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ExponentialSumEstimate, StartsEachRateFiveTimesSlowerThanTheLast) {
  const auto& f = FitFunx()[5];
  const test::Trace trace = test::synthetic(f, {0.1, 1, 2, 1, 0.5, 1, 0.1, 1, 0.02}, test::evenly(0, 100, 400));
  for (int m : {5, 7, 9}) {
    CapturedDiagnostics notes;
    const auto start = estimates::exponentialSumRule(trace.x, trace.y, m);
    ASSERT_EQ(start.size(), static_cast<std::size_t>(m));
    EXPECT_GT(start[2], 0.0);
    for (int term = 2; 2 * term < m; ++term)
      EXPECT_DOUBLE_EQ(start[static_cast<std::size_t>(2 * term)], start[2] / std::pow(5.0, term - 1)) << m;
    EXPECT_THAT(notes.str(), HasSubstr("max [imax = 0] = "));
    EXPECT_THAT(notes.str(), HasSubstr("\nrange = "));
    EXPECT_THAT(notes.str(), HasSubstr("\nend = "));
    EXPECT_THAT(notes.str(), HasSubstr("par[" + std::to_string(m - 1) + "] = "));
  }
}

struct PhaseRow {
  const char* name;
  int function;
  std::vector<double> truth;
};

class ExponentialSumPhases : public ::testing::TestWithParam<PhaseRow> {};

// The refined estimate lands within about a grid step (a factor of 1.35) of every true rate,
// with the signs of the amplitudes right, where the rule alone gets them wrong.
TEST_P(ExponentialSumPhases, RefinedRatesFindEveryPhase) {
  const PhaseRow& row = GetParam();
  const auto& f = FitFunx()[static_cast<std::size_t>(row.function)];
  const test::Trace trace = test::synthetic(f, row.truth, test::evenly(0, 10, 1000), 0.002);
  CapturedDiagnostics notes;
  const auto start = estimates::exponentialSum(trace.x, trace.y, f.count);
  EXPECT_THAT(notes.str(), HasSubstr("max [imax = "));
  EXPECT_THAT(notes.str(), HasSubstr("\nrefined par[0] = "));
  ASSERT_EQ(start.size(), row.truth.size());
  for (std::size_t j = 2; j < start.size(); j += 2) {
    EXPECT_NEAR(std::log(start[j] / row.truth[j]), 0.0, 0.45) << "rate " << j / 2;
    EXPECT_GT(start[j - 1] * row.truth[j - 1], 0.0) << "sign of amplitude " << j / 2;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExponentialSumPhases,
    ::testing::Values(PhaseRow{"RiseThenFall", 3, {0.2, -1.0, 8.0, 1.0, 0.8}},
                      PhaseRow{"TwoFalls", 3, {0.0, 0.5, 20.0, 1.0, 1.0}},
                      PhaseRow{"ThreePhases", 4, {0.1, 1.0, 30.0, -0.7, 3.0, 0.6, 0.4}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ExponentialSumEstimate, OffsetIsTheTailMean) {
  std::vector<double> y(20, 3.0);
  y[0] = 8.0;
  CapturedDiagnostics notes;
  EXPECT_EQ(estimates::exponentialSumRule(indexes(20), y, 5)[0], 3.0);
  EXPECT_EQ(estimates::exponentialSumRule(indexes(9), std::vector<double>(9, 3.0), 5)[0], 0.0);
}

TEST(ExponentialSumEstimate, NegatesTheFirstAmplitudeForAnEarlyPeak) {
  // Peak at x = 2 after a minimum at x = 0, tail level 20: 20/50 < 2 < 20/2.
  std::vector<double> y(100, 20.0);
  y[0] = 10.0;
  y[2] = 50.0;
  CapturedDiagnostics notes;
  const auto start = estimates::exponentialSumRule(indexes(100), y, 5);
  EXPECT_THAT(notes.str(), HasSubstr("Guessing that first rate should be negated\n"));
  EXPECT_THAT(notes.str(), ::testing::Not(HasSubstr("second rate")));
  // Index 0 never counts in the extremes' windows: Ymax = 26, Ymin = 30, and the range,
  // negated for the minimum coming first, is +4; the first amplitude alone is flipped.
  EXPECT_EQ(start[1], -2.0);
  EXPECT_EQ(start[3], 2.0);
}

// A step from 0 to 10 at index 30 over x = 0..99.
std::vector<double> risingStep() {
  std::vector<double> y(100, 10.0);
  for (int i = 0; i < 30; ++i) y[static_cast<std::size_t>(i)] = 0.0;
  return y;
}

TEST(SimpleEstimates, FollowTheirRules) {
  EXPECT_THAT(estimates::invertedExponential(indexes(100), risingStep(), 3), ElementsAre(0.0, 10.0, 1.0 / 32.0));
  EXPECT_THAT(estimates::hyperbolic(indexes(100), risingStep(), 3), ElementsAre(0.0, 1.0, 10.0));
  EXPECT_THAT(estimates::secondOrder(indexes(9), {1, 2, 3, 4, 5, 6, 7, 8, 9}, 4), ElementsAre(0.1, 1.0, 1.0, 8.0));
  EXPECT_THAT(estimates::stretchedExponential(indexes(100), risingStep(), 4).back(), 1.0);
}

TEST(DoubleSigmoidEstimate, FindsBothTransitions) {
  const auto& f = FitFunx()[18];
  const test::Trace trace = test::synthetic(f, {1, 3, 6, 30, 70, 4, 5}, test::evenly(0, 100, 300));
  const auto start = estimates::doubleSigmoid(trace.x, trace.y, 7);
  // The bands are coarse: each centre lands on the right side of the middle plateau.
  EXPECT_GT(start[3], 20.0);
  EXPECT_LT(start[3], 50.0);
  EXPECT_GT(start[4], 50.0);
  EXPECT_LT(start[4], 80.0);
  EXPECT_GT(start[1], start[0]);
  EXPECT_GT(start[2], start[1]);
}

TEST(PhTitrationEstimate, FallsBackToTheMiddleWhenTheCurveNeverCrossesHalfway) {
  // Ab = 0 and At = 0.3 (the tail sum over a third of the points), mid 0.15: never reached.
  EXPECT_THAT(estimates::phTitration({4, 5, 6, 7, 8}, {0, 0.1, 0.1, 0.1, 0.1}, 3),
              ElementsAre(0.0, DoubleNear(0.3, 1e-15), 6.0));
  EXPECT_THAT(estimates::phTitration({4, 5, 6, 7, 8, 9}, {1, 1, 2, 3, 3, 3}, 3), ElementsAre(1.0, 3.0, 7.0));
}

TEST(GaussianEstimate, FindsPeakAndDipWithHalfWidth) {
  const auto& f = FitFunx()[10];
  const auto x = test::evenly(0, 20, 201);
  test::Trace peak = test::synthetic(f, {5, 2, 10, 1}, x);
  auto start = estimates::singleGaussian(peak.x, peak.y, 4);
  EXPECT_NEAR(start[0], 5.0, 1e-3);
  EXPECT_NEAR(start[1], 2.0 * std::sqrt(2 * std::log(2.0)), 0.1);
  EXPECT_DOUBLE_EQ(start[2], 10.0);
  test::Trace dip = test::synthetic(f, {-5, 2, 12, 1}, x);
  start = estimates::singleGaussian(dip.x, dip.y, 4);
  EXPECT_NEAR(start[0], -5.0, 1e-3);
  EXPECT_NEAR(start[1], 2.0 * std::sqrt(2 * std::log(2.0)), 0.1);
  EXPECT_DOUBLE_EQ(start[2], 12.0);
}

TEST(GaussianSumEstimate, SpreadsTheCentresOverTheRange) {
  EXPECT_THAT(estimates::gaussianSum({0, 7}, {0, 0}, 7), ElementsAre(1, 1, 1, 1, 1.5, 4.5, 0));
}

TEST(SigmoidEstimate, CentresOnTheTransition) {
  const auto& f = FitFunx()[15];
  const test::Trace trace = test::synthetic(f, {1, 5, 50, 5}, test::evenly(0, 100, 200));
  const auto start = estimates::sigmoid(trace.x, trace.y, 4);
  EXPECT_NEAR(start[0], 1.0, 0.05);
  EXPECT_NEAR(start[1], 5.0, 0.05);
  EXPECT_NEAR(start[2], 50.0, 0.5);
  EXPECT_THAT(estimates::sigmoid2(trace.x, trace.y, 5).back(), 1.0);
  EXPECT_THAT(estimates::sigmoidSlope(trace.x, trace.y, 5).back(), 0.0);
}

TEST(SigmoidEstimate, EmptyBandStaysInsideTheData) {
  // Three points: no quarter to average, so no point lies in the band.
  const auto start = estimates::sigmoid({1, 2, 3}, {1, 2, 3}, 4);
  EXPECT_EQ(start[2], 0.0);
  EXPECT_TRUE(std::isinf(start[3]));
  const auto twin = estimates::doubleSigmoid({1, 2}, {1, 2}, 7);
  EXPECT_EQ(twin[3], 0.0);
  EXPECT_EQ(twin[4], 0.0);
}

// Every estimate returns one value per parameter, and zeros when there is nothing to
// estimate from.
TEST(EveryEstimate, GivesOneValuePerParameterAndZerosForEmptyData) {
  CapturedDiagnostics notes;
  for (const FitFunction& f : FitFunx()) {
    const auto x = test::evenly(1, 50, 60);
    const std::vector<double> y(x.size(), 2.0);
    EXPECT_EQ(f.estimate(x, y, f.count).size(), static_cast<std::size_t>(f.count)) << f.name;
    EXPECT_EQ(f.estimate({}, {}, f.count), std::vector<double>(static_cast<std::size_t>(f.count), 0.0)) << f.name;
  }
}

// Short and odd traces: every search must stay inside the data (run under the sanitizers).
TEST(EveryEstimate, StaysInsideShortAndRandomTraces) {
  CapturedDiagnostics notes;
  std::mt19937 random(3);
  std::uniform_real_distribution<double> value(-5.0, 5.0);
  for (int n = 1; n <= 45; ++n) {
    for (int round = 0; round < 3; ++round) {
      std::vector<double> x, y;
      for (int i = 0; i < n; ++i) {
        x.push_back(round == 2 ? -1.0 - i : i * 0.5);  // the last round has no x >= 0
        y.push_back(value(random));
      }
      // Exact capacities, so that a read one past the end leaves the allocation.
      x.shrink_to_fit();
      y.shrink_to_fit();
      for (const FitFunction& f : FitFunx())
        EXPECT_EQ(f.estimate(x, y, f.count).size(), static_cast<std::size_t>(f.count)) << f.name << " n=" << n;
    }
  }
}

}  // namespace
}  // namespace lumatix::fitting
