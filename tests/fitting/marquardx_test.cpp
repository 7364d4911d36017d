#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "fit_test_support.h"
#include "fitting/fit_estimates.h"
#include "fitting/fit_funx.h"
#include "fitting/fit_models.h"
#include "fitting/marquardx.h"

namespace lumatix::fitting {
namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;
using test::CapturedDiagnostics;

const FitFunction& linearFunction() { return FitFunx()[0]; }

std::string constructionError(const std::vector<double>& x, const std::vector<double>& y,
                              const std::vector<std::int32_t>& locks, const std::vector<double>& start) {
  try {
    Marquardx fitter(x, y, linearFunction(), locks, start);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(Marquardx, RefusesMismatchedInput) {
  EXPECT_EQ(constructionError({1, 2, 3}, {1, 2}, {0, 0}, {0, 0}), "Marquardt : unmatched size in x and y");
  EXPECT_EQ(constructionError({1, 2}, {1, 2}, {0, 0}, {0}), "Marquardt : unmatched size in estimate");
  EXPECT_EQ(constructionError({1, 2}, {1, 2}, {0}, {0, 0}), "Marquardt : unmatched size in estimate");
  Marquardx fitter({1, 2}, {1, 2}, linearFunction(), {0, 0}, {0, 0});
  try {
    fitter.SetParameters({1, 2, 3});
    FAIL() << "took three values for two parameters";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Marquardt : unmatched size in estimate");
  }
  EXPECT_THAT(fitter.GetParameters(), ElementsAre(0.0, 0.0));
}

TEST(Marquardx, StartsFromTheEstimateWhenGivenNoValues) {
  Marquardx fitter({0, 2}, {1, 5}, linearFunction());
  EXPECT_THAT(fitter.GetParameters(), ElementsAre(2.0, 1.0));
  EXPECT_EQ(fitter.Lambda(), -1.0);
  EXPECT_EQ(fitter.ChiSquare(), 0.0);
}

TEST(Marquardx, FitsAStraightLineFromZero) {
  const std::vector<double> x = test::evenly(0, 9, 10);
  std::vector<double> y;
  for (double xi : x) y.push_back(2 * xi + 1);
  Marquardx fitter(x, y, linearFunction(), {0, 0}, {0, 0});
  ASSERT_TRUE(fitter.Start());
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(fitter.Step());
  EXPECT_THAT(fitter.GetParameters(), ElementsAre(DoubleNear(2.0, 1e-12), DoubleNear(1.0, 1e-12)));
  EXPECT_NEAR(fitter.ChiSquare(), 0.0, 1e-20);
  EXPECT_NEAR(fitter.SignalNoise(), 0.0, 1e-10);
  EXPECT_NEAR(fitter.Evaluate(20.0), 41.0, 1e-10);
  EXPECT_THAT(fitter.FittedCurve(), ::testing::Pointwise(DoubleNear(1e-10), y));
}

TEST(Marquardx, DampingFollowsTheGainOfAcceptedAndRefusedSteps) {
  const std::vector<double> x{0, 1, 2, 3};
  // A straight line: the quadratic model is exact (gain 1), so lambda shrinks by the largest
  // factor, 10.
  Marquardx fitter(x, {1, 3, 5, 7}, linearFunction(), {0, 0}, {0, 0});
  ASSERT_TRUE(fitter.Start());
  EXPECT_DOUBLE_EQ(fitter.Lambda(), 0.1);
  // All locked: the empty system moves nothing, so every trial ties and is refused; lambda
  // grows by 2, then by 4 (nu doubles on each refusal).
  Marquardx locked(x, {1, 3, 5, 7}, linearFunction(), {1, 1}, {0.5, 0.25});
  ASSERT_TRUE(locked.Start());
  EXPECT_DOUBLE_EQ(locked.Lambda(), 2.0);
  ASSERT_TRUE(locked.Step());
  EXPECT_DOUBLE_EQ(locked.Lambda(), 8.0);
  EXPECT_THAT(locked.GetParameters(), ElementsAre(0.5, 0.25));
}

TEST(Marquardx, LockedParameterStaysAndHasNoError) {
  const FitFunction& f = FitFunx()[1];
  const test::Trace trace = test::synthetic(f, {1, 10, 0.05}, test::evenly(0, 100, 200), 0.05);
  Marquardx fitter(trace.x, trace.y, f, {0, 1, 7}, {0.5, 10.0, 0.1});
  ASSERT_TRUE(test::runToStop(fitter, 100).converged);
  fitter.SetSigma(fitter.SignalNoise());
  ASSERT_GT(fitter.Finish(), 0.0);
  EXPECT_EQ(fitter.GetParameters()[1], 10.0);
  const auto errors = fitter.ParameterErrors();
  EXPECT_GT(errors[0], 0.0);
  EXPECT_EQ(errors[1], 0.0);
  EXPECT_GT(errors[2], 0.0);
}

TEST(Marquardx, NoiseAndVarianceAreThoseOfTheCurrentParameters) {
  const FitFunction& f = FitFunx()[3];
  const test::Trace trace = test::synthetic(f, {0.5, 3, 1, 2, 0.1}, test::evenly(0, 50, 700), 0.02);
  CapturedDiagnostics notes;
  Marquardx fitter(trace.x, trace.y, f);
  auto direct = [&] {
    double sum = 0.0;
    for (std::size_t i = 0; i < trace.x.size(); ++i) {
      const double r = trace.y[i] - fitter.Evaluate(trace.x[i]);
      sum += r * r;
    }
    return sum / static_cast<double>(trace.x.size() - 5);
  };
  // The fit's own sums run in lanes with a vectorised exp, so they agree to rounding.
  auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-12 * std::fabs(b); };
  EXPECT_PRED2(near, fitter.NormalisedVariance(), direct());
  test::runToStop(fitter, 50);
  EXPECT_PRED2(near, fitter.NormalisedVariance(), direct());
  EXPECT_PRED2(near, fitter.SignalNoise(), std::sqrt(direct()));
  fitter.SetParameters({0.4, 3, 1, 2, 0.1});
  EXPECT_PRED2(near, fitter.NormalisedVariance(), direct());
  fitter.SetSigma(0.5);
  const double reduced = fitter.Finish();
  EXPECT_EQ(reduced, fitter.ReducedChiSquare());
  EXPECT_PRED2(near, fitter.NormalisedVariance(), direct());
}

TEST(Marquardx, StatisticsPerDegreeOfFreedomAreNotFiniteWhenNEqualsM) {
  Marquardx fitter({0, 2}, {1, 5}, linearFunction(), {0, 0}, {0, 0});
  ASSERT_TRUE(fitter.Start());
  for (int i = 0; i < 5; ++i) fitter.Step();
  EXPECT_FALSE(std::isfinite(fitter.ReducedChiSquare()));
  EXPECT_FALSE(std::isfinite(fitter.SignalNoise()));
  EXPECT_FALSE(std::isfinite(fitter.NormalisedVariance()));
}

TEST(Marquardx, StepAfterFinishStartsOver) {
  const FitFunction& f = FitFunx()[1];
  const test::Trace trace = test::synthetic(f, {1, 10, 0.05}, test::evenly(0, 100, 200), 0.05);
  Marquardx fitter(trace.x, trace.y, f);
  test::runToStop(fitter, 100);
  fitter.SetSigma(fitter.SignalNoise());
  const double reduced = fitter.Finish();
  EXPECT_NEAR(reduced, 1.0, 1e-6);
  EXPECT_EQ(fitter.Lambda(), 0.0);
  ASSERT_TRUE(fitter.Step());
  // Re-initialised to 1 and then one trial: never the stale 0 (which would stay 0).
  EXPECT_TRUE((fitter.Lambda() >= 0.1 && fitter.Lambda() < 1.0) || fitter.Lambda() == 2.0) << fitter.Lambda();
}

TEST(Marquardx, RankDeficientStepsGoOnButAreNeverCalledConverged) {
  // Every x is 0: the slope has no curvature at all. The steps fit the offset and leave the
  // slope alone (the minimum-norm step), which is then small without the slope being fitted:
  // the fit is not converged, ends as a singular system, and has no covariance.
  Marquardx fitter({0, 0, 0}, {1, 2, 3}, linearFunction(), {0, 0}, {0.5, 0.25});
  CapturedDiagnostics notes;
  EXPECT_TRUE(fitter.Start());
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(fitter.Step());
  EXPECT_EQ(notes.str(), "");
  EXPECT_THAT(fitter.GetParameters(), ElementsAre(0.5, DoubleNear(2.0, 1e-9)));
  EXPECT_FALSE(fitter.Converged());
  EXPECT_EQ(fitter.EndReason(false), FitEndReason::Running);
  EXPECT_EQ(fitter.EndReason(true), FitEndReason::SingularSystem);
  EXPECT_EQ(fitter.Finish(), -1.0);
  EXPECT_EQ(notes.str(), "Numerical Recipes run-time error...\ngaussj: Singular Matrix-2\n");
}

TEST(Marquardx, FinishFailsWhenOnlyTheUndampedSystemIsSingular) {
  // Two parameters that always act together: damping keeps the system solvable, the final
  // undamped solve for the covariance is not.
  auto model = [](double x, const double* p, double& y, double* dyda, std::int32_t) {
    y = (p[1] + p[2]) * x;
    if (dyda) dyda[1] = dyda[2] = x;
  };
  FitFunction f(model, estimates::linear, "Twins", 2, "(a+b).x", "a,b");
  Marquardx fitter({1, 2, 3}, {2, 4, 7}, f, {0, 0}, {0, 0});
  ASSERT_TRUE(fitter.Start());
  CapturedDiagnostics notes;
  EXPECT_EQ(fitter.Finish(), -1.0);
  EXPECT_EQ(notes.str(), "Numerical Recipes run-time error...\ngaussj: Singular Matrix-2\n");
}

TEST(Marquardx, NanChiSquareIsRejected) {
  // A model undefined past a = 1.2: the first damped step, to a = 1.5, lands there.
  auto model = [](double x, const double* p, double& y, double* dyda, std::int32_t) {
    y = p[1] > 1.2 ? std::nan("") : p[1] * x;
    if (dyda) dyda[1] = x;
  };
  FitFunction f(model, estimates::linear, "Capped", 1, "a.x", "a");
  Marquardx fitter({1, 2, 3}, {2, 4, 6}, f, {0}, {1.0});
  ASSERT_TRUE(fitter.Start());
  EXPECT_EQ(fitter.GetParameters()[0], 1.0);
  EXPECT_EQ(fitter.Lambda(), 2.0);
  EXPECT_EQ(fitter.ChiSquare(), 14.0);
  EXPECT_FALSE(fitter.Converged());
  EXPECT_EQ(fitter.EndReason(false), FitEndReason::NonFiniteStep);
}

// NIST StRD Misra1a: y = b1.(1 - exp(-b2.x)), the "Inverted Exponential" with c held at 0.
// Certified values: b1 = 2.3894212918E+02 (sd 2.7070075241E+00), b2 = 5.5015643181E-04
// (sd 7.2668688436E-06), residual sum of squares 1.2455138894E-01 with 12 degrees of freedom.
TEST(Marquardx, ReproducesTheMisra1aCertifiedValues) {
  const std::vector<double> x{77.6, 114.9, 141.1, 190.8, 239.9, 289.0, 332.8,
                              378.4, 434.8, 477.3, 536.8, 593.1, 689.1, 760.0};
  const std::vector<double> y{10.07, 14.73, 17.94, 23.93, 29.61, 35.18, 40.02,
                              44.82, 50.76, 55.05, 61.01, 66.40, 75.47, 81.78};
  for (const std::vector<double>& start : {std::vector<double>{0, 500, 1e-4}, std::vector<double>{0, 250, 5e-4}}) {
    Marquardx fitter(x, y, FitFunx()[6], {1, 0, 0}, start);
    ASSERT_TRUE(fitter.Start());
    for (int i = 0; i < 200 && fitter.Step(); ++i) {
    }
    const auto p = fitter.GetParameters();
    EXPECT_NEAR(p[1], 2.3894212918E+02, 2.39e-4) << start[1];
    EXPECT_NEAR(p[2], 5.5015643181E-04, 5.5e-10) << start[1];
    EXPECT_TRUE(fitter.Converged());
    // The statistics divide by n minus the fitted parameters: 12 (the held offset is not one).
    EXPECT_NEAR(fitter.NormalisedVariance() * 12, 1.2455138894E-01, 1.3e-10);
    fitter.SetSigma(fitter.SignalNoise());
    ASSERT_GT(fitter.Finish(), 0.0);
    const auto errors = fitter.ParameterErrors();
    EXPECT_EQ(errors[0], 0.0);
    EXPECT_NEAR(errors[1], 2.7070075241E+00, 2.7e-6);
    EXPECT_NEAR(errors[2], 7.2668688436E-06, 7.3e-12);
  }
}

TEST(GaussJordan, InvertsWithPivotingAndSolves) {
  // A zero in the first diagonal element forces the row and column interchanges.
  std::vector<double> a{0, 0, 0, 0,  //
                        0, 0, 2, 1,  //
                        0, 1, 0, 0,  //
                        0, 3, 0, 1};
  std::vector<double> b{0, 5, 1, 4};  // a.(1, 2, 1) = (5, 1, 4)
  GaussJordanWork work(3);
  gaussJordan(a.data(), 3, 4, b.data(), work);
  EXPECT_THAT(std::vector<double>(b.begin() + 1, b.end()),
              ElementsAre(DoubleNear(1, 1e-15), DoubleNear(2, 1e-15), DoubleNear(1, 1e-15)));
  // The inverse of [[0,2,1],[1,0,0],[3,0,1]] is [[0,1,0],[0.5,1.5,-0.5],[0,-3,1]].
  const double inverse[3][3] = {{0, 1, 0}, {0.5, 1.5, -0.5}, {0, -3, 1}};
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c) EXPECT_NEAR(a[static_cast<std::size_t>(r * 4 + c)], inverse[r - 1][c - 1], 1e-15);
}

TEST(GaussJordan, ReportsANanMatrixAsSingular) {
  const double nan = std::nan("");
  std::vector<double> a{0, 0, 0, 0, nan, nan, 0, nan, nan};
  std::vector<double> b{0, 1, 1};
  GaussJordanWork work(2);
  CapturedDiagnostics notes;
  EXPECT_THROW(
      {
        try {
          gaussJordan(a.data(), 2, 3, b.data(), work);
        } catch (const std::exception& e) {
          EXPECT_STREQ(e.what(), "gaussj: Singular Matrix-2");
          throw;
        }
      },
      std::runtime_error);
}

}  // namespace
}  // namespace lumatix::fitting
