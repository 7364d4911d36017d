#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/fit_session.h"
#include "fitting/fit_funx.h"
#include "fitting/fit_test_support.h"
#include "support/scripted_ui.h"

namespace lumatix::app {
namespace {

using fitting::test::evenly;
using fitting::test::synthetic;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kLinear = 0;
constexpr int kSingleExponential = 1;

const fitting::FitFunction& function(int index) { return fitting::FitFunx()[static_cast<std::size_t>(index)]; }

FitProgress runToEnd(FitSession& session) {
  FitProgress progress = session.StartFit();
  while (progress == FitProgress::Running) progress = session.Iterate();
  return progress;
}

// ---- estimate and range ----

struct RangeRow {
  const char* name;
  float from, to;
  std::size_t inRange;
};

class EstimateRange : public ::testing::TestWithParam<RangeRow> {};

TEST_P(EstimateRange, NeedsTwoPointsInTheRangeWithBothEndsIncluded) {
  const RangeRow& row = GetParam();
  testing::ScriptedUi ui;
  FitSession session(ui, {0, 1, 2, 3, 4}, {1, 3, 5, 7, 9}, nullptr);
  session.Begin();
  session.SelectFunction(kLinear);
  session.SetRange(row.from, row.to);
  EXPECT_EQ(session.RangeX().size(), row.inRange);
  const bool estimated = session.Estimate();
  EXPECT_EQ(estimated, row.inRange >= 2);
  if (estimated) {
    EXPECT_THAT(ui.texts(), IsEmpty());
    EXPECT_THAT(session.Values(), ElementsAre(2.0, 1.0));
  } else {
    EXPECT_THAT(ui.texts(), ElementsAre("Please select a suitable range"));
    EXPECT_THAT(session.Values(), ElementsAre(0.0, 0.0));
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, EstimateRange,
                         ::testing::Values(RangeRow{"Whole", 0, 4, 5}, RangeRow{"TwoPointsAtTheEnds", 3, 4, 2},
                                           RangeRow{"OnePoint", 2, 2, 1}, RangeRow{"Reversed", 4, 0, 0},
                                           RangeRow{"BeyondTheData", 5, 9, 0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FitSession, ResetPutsTheDataExtentBackRoundedOutwardsToHoldEveryPoint) {
  testing::ScriptedUi ui;
  // None of these is a single-precision number.
  FitSession session(ui, {0.3, 0.1, 0.2, 0.7}, {0, 0, 0, 0}, nullptr);
  session.Begin();
  EXPECT_EQ(session.RangeX().size(), 4u);
  session.SetRange(0.15f, 0.25f);
  EXPECT_THAT(session.RangeX(), ElementsAre(0.2));
  session.ResetRange();
  EXPECT_LE(session.RangeFrom(), 0.1);
  EXPECT_GE(session.RangeTo(), 0.7);
  EXPECT_THAT(session.RangeX(), ElementsAre(0.3, 0.1, 0.2, 0.7));  // in trace order
}

// ---- fitting ----

TEST(FitSession, FitsASingleExponentialFromItsEstimateAndReportsTheFinalStatistics) {
  const auto trace = synthetic(function(kSingleExponential), {0.25, 0.18, 12.5}, evenly(0.001, 2.0, 400), 0.0015);
  testing::ScriptedUi ui;
  FitSession session(ui, trace.x, trace.y, nullptr);
  session.Begin();
  session.SelectFunction(kSingleExponential);
  ASSERT_TRUE(session.Estimate());
  EXPECT_EQ(runToEnd(session), FitProgress::Converged);
  EXPECT_THAT(ui.texts(), IsEmpty());
  EXPECT_FALSE(session.Fitting());
  EXPECT_NEAR(session.Values()[2], 12.5, 0.3);
  EXPECT_NEAR(session.Values()[0], 0.25, 1e-3);
  EXPECT_EQ(session.StallCount(), 1);
  EXPECT_EQ(session.EndReason(), fitting::FitEndReason::Converged);
  EXPECT_LT(session.Iterations(), kDefaultMaxIterations);
  // The final chi-square is taken with the noise estimate as every point's sigma.
  EXPECT_NEAR(session.ReducedChiSquare(), 1.0, 1e-6);
  EXPECT_NEAR(session.SignalNoise(), 0.0015, 2e-4);
  EXPECT_NEAR(session.NormalisedVariance(), session.SignalNoise() * session.SignalNoise(), 1e-15);
  EXPECT_EQ(session.DampingFactor(), 0.0);
  for (double e : session.Errors()) EXPECT_GT(e, 0.0);

  const FitResults results = session.Results();
  EXPECT_TRUE(results.converged);
  EXPECT_EQ(results.values, session.Values());
  EXPECT_EQ(results.errors, session.Errors());
}

TEST(FitSession, LockedParameterKeepsItsValue) {
  const auto trace = synthetic(function(kSingleExponential), {0.25, 0.18, 12.5}, evenly(0.001, 2.0, 200), 0.001);
  testing::ScriptedUi ui;
  FitSession session(ui, trace.x, trace.y, nullptr);
  session.Begin();
  session.SelectFunction(kSingleExponential);
  session.SetValues({0.2, 0.1, 10.0});
  session.SetLocks({0, 0, 1});
  runToEnd(session);
  EXPECT_EQ(session.Values()[2], 10.0);
  EXPECT_NE(session.Values()[0], 0.2);
  EXPECT_EQ(session.Errors()[2], 0.0);
}

TEST(FitSession, IterationLimitOfOneEndsAsNotConvergedWithTheWarning) {
  const auto trace = synthetic(function(kSingleExponential), {0.25, 0.18, 12.5}, evenly(0.001, 2.0, 200), 0.001);
  testing::ScriptedUi ui;
  FitSession session(ui, trace.x, trace.y, nullptr);
  session.Begin();
  session.SelectFunction(kSingleExponential);
  ASSERT_TRUE(session.Estimate());
  const std::vector<double> estimate = session.Values();
  ASSERT_TRUE(session.SetMaxIterations(1));
  EXPECT_EQ(runToEnd(session), FitProgress::NotConverged);
  EXPECT_EQ(session.Iterations(), 1);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text,
            "Warning!\n\nThe fitting process may not have converged properly.\nPlease check selected equation and try "
            "again.\n");
  EXPECT_EQ(ui.shown[0].icon, Icon::Warning);
  // The values are taken over all the same; errors and statistics keep their last values.
  EXPECT_NE(session.Values(), estimate);
  EXPECT_THAT(session.Errors(), ElementsAre(0.0, 0.0, 0.0));
  EXPECT_EQ(session.SignalNoise(), 0.0);
  EXPECT_FALSE(session.Results().converged);
}

TEST(FitSession, PerfectFitConvergesAtOnce) {
  testing::ScriptedUi ui;
  // y = 2x + 1 exactly, started at the answer: nothing is left to take, so the test holds.
  FitSession session(ui, {0, 1, 2, 3}, {1, 3, 5, 7}, nullptr);
  session.Begin();
  session.SelectFunction(kLinear);
  session.SetValues({2.0, 1.0});
  EXPECT_EQ(runToEnd(session), FitProgress::Converged);
  EXPECT_EQ(session.Iterations(), 1);
  EXPECT_THAT(ui.texts(), IsEmpty());
  // No noise: no error either.
  EXPECT_EQ(session.SignalNoise(), 0.0);
  EXPECT_THAT(session.Errors(), ElementsAre(0.0, 0.0));
  EXPECT_THAT(session.Values(), ElementsAre(2.0, 1.0));
}

TEST(FitSession, IterationLimitIsTheReasonOfAFitThatDidNotConverge) {
  const auto trace = synthetic(function(kSingleExponential), {0.25, 0.18, 12.5}, evenly(0.001, 2.0, 200), 0.001);
  testing::ScriptedUi ui;
  FitSession session(ui, trace.x, trace.y, nullptr);
  session.Begin();
  session.SelectFunction(kSingleExponential);
  session.SetValues({0.0, 1.0, 1.0});
  ASSERT_TRUE(session.SetMaxIterations(2));
  EXPECT_EQ(runToEnd(session), FitProgress::NotConverged);
  EXPECT_EQ(session.EndReason(), fitting::FitEndReason::IterationLimit);
  EXPECT_EQ(session.Results().reason, fitting::FitEndReason::IterationLimit);
}

TEST(FitSession, SlopeWithoutAnyDerivativeIsNeverAFloatingPointFailure) {
  testing::ScriptedUi ui;
  // Every x is 0: the slope has no derivative anywhere. The offset is fitted; the slope is not
  // determined, so there is no covariance and the fit ends with the convergence warning.
  FitSession session(ui, {0, 0, 0}, {1, 2, 3}, nullptr);
  session.Begin();
  session.SelectFunction(kLinear);
  session.SetValues({0.5, 0.25});
  EXPECT_EQ(runToEnd(session), FitProgress::NotConverged);
  EXPECT_EQ(session.EndReason(), fitting::FitEndReason::SingularSystem);
  EXPECT_FALSE(session.Fitting());
  EXPECT_DOUBLE_EQ(session.Values()[0], 0.5);
  // The test stops within a small part of the offset's standard error (0.8).
  EXPECT_NEAR(session.Values()[1], 2.0, 1e-5);
  EXPECT_THAT(ui.texts(), ElementsAre(kNotConvergedMessage));
}

TEST(FitSession, FinalCovarianceThatCannotBeComputedGivesTheWarningNotAResult) {
  // Every x is 1: slope and offset have the same derivative; the minimum is a line of
  // parameters, which the steps reach, but the final statistics have no covariance.
  testing::ScriptedUi ui;
  FitSession session(ui, {1, 1, 1, 1}, {1, 2, 3, 4.5}, nullptr);
  session.Begin();
  session.SelectFunction(kLinear);
  EXPECT_EQ(runToEnd(session), FitProgress::NotConverged);
  EXPECT_EQ(session.EndReason(), fitting::FitEndReason::SingularSystem);
  EXPECT_THAT(ui.texts(), ElementsAre(kNotConvergedMessage));
  EXPECT_NEAR(session.Values()[0] + session.Values()[1], 2.625, 1e-5);
  EXPECT_THAT(session.Errors(), ElementsAre(0.0, 0.0));
  EXPECT_EQ(session.SignalNoise(), 0.0);
  EXPECT_FALSE(session.Results().converged);
}

struct DegenerateRow {
  const char* name;
  std::vector<double> start;  // c, a1, k1, a2, k2
};

class DegenerateDoubleExponential : public ::testing::TestWithParam<DegenerateRow> {};

// Two phases at one rate, or a rate so large that its exponential is 0 at every x: a fitted
// answer or the convergence warning, never the floating-point failure.
TEST_P(DegenerateDoubleExponential, EndsWithAnAnswerOrTheWarning) {
  constexpr int kDoubleExponential = 3;
  const auto trace = synthetic(function(kDoubleExponential), {0.1, 1.0, 5.0, 0.5, 0.5}, evenly(0, 10, 500), 0.002);
  testing::ScriptedUi ui;
  FitSession session(ui, trace.x, trace.y, nullptr);
  session.Begin();
  session.SelectFunction(kDoubleExponential);
  session.SetValues(GetParam().start);
  const FitProgress end = runToEnd(session);
  EXPECT_NE(end, FitProgress::Failed);
  EXPECT_NE(session.EndReason(), fitting::FitEndReason::StepFailed);
  for (const auto& text : ui.texts()) EXPECT_EQ(text, kNotConvergedMessage);
  for (double v : session.Values()) EXPECT_TRUE(std::isfinite(v));
}

INSTANTIATE_TEST_SUITE_P(Rows, DegenerateDoubleExponential,
                         ::testing::Values(DegenerateRow{"EqualRates", {0.0, 0.7, 1.0, 0.7, 1.0}},
                                           DegenerateRow{"RateThatUnderflows", {0.0, 1.0, 1e6, 1.0, 1.0}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FitSession, LiveUpdateShowsTheValuesOfEveryStep) {
  const auto trace = synthetic(function(kSingleExponential), {0.25, 0.18, 12.5}, evenly(0.001, 2.0, 200), 0.001);
  for (bool live : {false, true}) {
    testing::ScriptedUi ui;
    FitSession session(ui, trace.x, trace.y, nullptr);
    session.Begin();
    session.SelectFunction(kSingleExponential);
    session.SetValues({0.2, 0.1, 10.0});
    session.SetLiveUpdate(live);
    ASSERT_EQ(session.StartFit(), FitProgress::Running);
    ASSERT_EQ(session.Iterate(), FitProgress::Running);
    EXPECT_EQ(session.Values() != std::vector<double>({0.2, 0.1, 10.0}), live) << "live update " << live;
    EXPECT_EQ(session.Preview().x.size(), live ? trace.x.size() : 0u);
  }
}

TEST(FitSession, PreviewHoldsTheModelAndResidualsOverTheRange) {
  testing::ScriptedUi ui;
  FitSession session(ui, {0, 1, 2, 3}, {1, 4, 5, 9}, nullptr);
  session.Begin();
  session.SelectFunction(kLinear);
  EXPECT_EQ(session.Preview().residualLow, -0.1f);
  EXPECT_EQ(session.Preview().residualHigh, 0.1f);
  session.SetRange(1, 2);
  session.SetValues({2.0, 1.0});
  session.PlotEvaluation();
  EXPECT_THAT(session.Preview().x, ElementsAre(1.0, 2.0));
  EXPECT_THAT(session.Preview().fit, ElementsAre(3.0, 5.0));
  EXPECT_THAT(session.Preview().residuals, ElementsAre(1.0, 0.0));
  EXPECT_EQ(session.Preview().residualLow, 0.0f);
  EXPECT_EQ(session.Preview().residualHigh, 1.0f);
}

TEST(FitSession, ChoosingAnotherFunctionStartsItsParametersAfresh) {
  testing::ScriptedUi ui;
  FitSession session(ui, {0, 1}, {0, 1}, nullptr);
  session.Begin();
  session.SelectFunction(kLinear);
  session.SetValues({2.0, 1.0});
  session.SetLocks({1, 0});
  session.SelectFunction(kLinear);
  EXPECT_THAT(session.Values(), ElementsAre(2.0, 1.0));
  session.SelectFunction(kSingleExponential);
  EXPECT_THAT(session.Values(), ElementsAre(0.0, 0.0, 0.0));
  EXPECT_THAT(session.Locks(), ElementsAre(0, 0, 0));
  EXPECT_THROW(session.SelectFunction(20), std::out_of_range);
  EXPECT_THROW(session.SetValues({1.0}), std::invalid_argument);
}

}  // namespace
}  // namespace lumatix::app
