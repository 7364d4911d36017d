// The two-state unfolding model: its derivatives, its plateaus, its estimate from a melt,
// and a global fit of several melts against scipy least_squares on the stacked problem.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "fit_test_support.h"
#include "fitting/fit_funx.h"
#include "fitting/global_fit.h"
#include "fitting/thermal_unfolding.h"
#include "support/temp_dir.h"

namespace lumatix::fitting {
namespace {

constexpr std::size_t kUnfolding = 19;
const FitFunction& unfoldingFunction() { return FitFunx().at(kUnfolding); }

double valueAt(double x, const std::vector<double>& params) {
  std::vector<double> p{0.0};
  p.insert(p.end(), params.begin(), params.end());
  double y = 0.0;
  unfolding::model(x, p.data(), y, nullptr, 6);
  return y;
}

TEST(TwoStateUnfolding, JoinsTheLibraryLastWithItsParameters) {
  const auto& f = unfoldingFunction();
  EXPECT_EQ(FitFunx().size(), kUnfolding + 1);
  EXPECT_EQ(f.name, "Two-state unfolding");
  EXPECT_EQ(f.count, 6);
  EXPECT_EQ(f.parameterNames, (std::vector<std::string>{"aF", "bF", "aU", "bU", "Tm", "dH"}));
}

TEST(TwoStateUnfolding, DerivativesMatchCentralDifferences) {
  // dH is some 1e5 times larger than the baselines, so each derivative is checked relative
  // to its own size, with a floor of the rounding error of its own difference quotient.
  for (const std::vector<double>& params : {std::vector<double>{-18, 0.04, -3, -0.02, 62.5, 4.2e5},
                                            std::vector<double>{5, -0.1, 12, 0.05, 45, 1.5e5}}) {
    for (double x : {20.0, 40.0, 44.0, 61.0, 63.5, 75.0, 90.0}) {
      std::vector<double> p{0.0};
      p.insert(p.end(), params.begin(), params.end());
      std::vector<double> dyda(7, 0.0);
      double y = 0.0;
      unfolding::model(x, p.data(), y, dyda.data(), 6);
      EXPECT_EQ(y, valueAt(x, params));
      for (std::size_t j = 0; j < 6; ++j) {
        const double h = 1e-6 * std::max(1.0, std::fabs(params[j]));
        auto up = params, down = params;
        up[j] += h;
        down[j] -= h;
        const double numeric = (valueAt(x, up) - valueAt(x, down)) / (2 * h);
        const double rounding = 10 * std::numeric_limits<double>::epsilon() * (std::fabs(y) + 1) / h;
        EXPECT_NEAR(dyda[j + 1], numeric, 1e-6 * std::fabs(numeric) + rounding)
            << unfoldingFunction().parameterNames[j] << " at " << x << " C";
      }
    }
  }
}

TEST(TwoStateUnfolding, ValuesAtTheMidpointAndOnThePlateaus) {
  const std::vector<double> p{-18, 0.04, -3, -0.02, 62.5, 4.2e5};
  // Half folded at Tm: the mean of the two baselines there.
  EXPECT_NEAR(valueAt(62.5, p), 0.5 * ((-18 + 0.04 * 62.5) + (-3 - 0.02 * 62.5)), 1e-12);
  EXPECT_DOUBLE_EQ(unfolding::foldedFraction(62.5, 62.5, 4.2e5), 0.5);
  // Computed independently: 1/(1 + exp(dH/R (1/333.15 - 1/T))) with T in kelvin.
  EXPECT_NEAR(unfolding::foldedFraction(50.0, 60.0, 3e5), 0.966154897049225, 1e-13);
  EXPECT_NEAR(unfolding::foldedFraction(70.0, 60.0, 3e5), 0.04084803548139152, 1e-13);
  // An enthalpy so large that K overflows: the baselines themselves, finite derivatives.
  const std::vector<double> sharp{-18, 0.04, -3, -0.02, 62.5, 1e9};
  EXPECT_DOUBLE_EQ(valueAt(20.0, sharp), -18 + 0.04 * 20);
  EXPECT_DOUBLE_EQ(valueAt(90.0, sharp), -3 - 0.02 * 90);
  std::vector<double> a{0.0, -18, 0.04, -3, -0.02, 62.5, 1e9}, dyda(7, 0.0);
  double y = 0.0;
  for (double x : {20.0, 90.0}) {
    unfolding::model(x, a.data(), y, dyda.data(), 6);
    for (std::size_t j = 1; j <= 6; ++j) EXPECT_TRUE(std::isfinite(dyda[j])) << j << " at " << x;
  }
}

struct EstimateCase {
  const char* name;
  std::vector<double> truth;
  double noise;
  bool descending;  // temperatures recorded from hot to cold
};

class UnfoldingEstimate : public ::testing::TestWithParam<EstimateCase> {};

TEST_P(UnfoldingEstimate, FindsTheMidpointAndEnthalpyNearTheTruth) {
  const auto& c = GetParam();
  auto x = test::evenly(20.0, 90.0, 141);
  if (c.descending) std::reverse(x.begin(), x.end());
  const auto trace = test::synthetic(unfoldingFunction(), c.truth, x, c.noise, 17);
  const auto start = unfoldingFunction().estimate(trace.x, trace.y, 6);
  ASSERT_EQ(start.size(), 6u);
  EXPECT_NEAR(start[4], c.truth[4], 2.0);
  EXPECT_NEAR(start[5], c.truth[5], 0.3 * c.truth[5]);
  EXPECT_NEAR(start[0] + start[1] * 20.0, c.truth[0] + c.truth[1] * 20.0, 0.1 * std::fabs(c.truth[0] - c.truth[2]));
  EXPECT_NEAR(start[2] + start[3] * 90.0, c.truth[2] + c.truth[3] * 90.0, 0.1 * std::fabs(c.truth[0] - c.truth[2]));
  // And the single fit from there reaches the truth within a few errors.
  Marquardx fitter(trace.x, trace.y, unfoldingFunction(), {0, 0, 0, 0, 0, 0}, start);
  ASSERT_TRUE(test::runToStop(fitter, 200).converged);
  fitter.SetSigma(fitter.SignalNoise());
  ASSERT_GT(fitter.Finish(), 0.0);
  const auto values = fitter.GetParameters(), errors = fitter.ParameterErrors();
  EXPECT_NEAR(values[4], c.truth[4], 4 * errors[4]);
  EXPECT_NEAR(values[5], c.truth[5], 4 * errors[5]);
}

INSTANTIATE_TEST_SUITE_P(
    Melts, UnfoldingEstimate,
    ::testing::Values(EstimateCase{"Sloping", {-18, 0.04, -3, -0.02, 62.5, 4.2e5}, 0.15, false},
                      EstimateCase{"Descending", {-18, 0.04, -3, -0.02, 62.5, 4.2e5}, 0.15, true},
                      EstimateCase{"BroadRising", {2, 0.0, 14, 0.03, 48, 1.6e5}, 0.1, false},
                      EstimateCase{"EarlySharp", {-30, 0.1, -8, 0, 38, 6e5}, 0.2, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(UnfoldingEstimate, DegenerateDataGiveFiniteStartValues) {
  const auto& f = unfoldingFunction();
  const auto flat = f.estimate(test::evenly(20, 90, 50), std::vector<double>(50, 3.0), 6);
  for (double v : flat) EXPECT_TRUE(std::isfinite(v));
  EXPECT_DOUBLE_EQ(flat[4], 55.0);
  EXPECT_GT(flat[5], 0.0);
  const auto two = f.estimate({20, 90}, {1, 2}, 6);
  for (double v : two) EXPECT_TRUE(std::isfinite(v));
  EXPECT_EQ(f.estimate({}, {}, 6), std::vector<double>(6, 0.0));
}

// Melts over the wavelengths of a CD spectrum: one Tm and dH, baselines per wavelength.
std::vector<GlobalTrace> meltSet(double tm, double dH, int traces, double noise) {
  std::vector<GlobalTrace> set;
  for (int t = 0; t < traces; ++t) {
    const double aF = -20.0 + 3.0 * t, aU = -4.0 + 0.5 * t;
    const auto trace = test::synthetic(unfoldingFunction(), {aF, 0.03 - 0.01 * t, aU, -0.015, tm, dH},
                                       test::evenly(20.0, 90.0, 71), noise, 40u + static_cast<unsigned>(t));
    set.push_back({trace.x, trace.y});
  }
  return set;
}

TEST(GlobalUnfolding, GivesBackTheMidpointAndEnthalpyAndAgreesWithScipy) {
  const double tm = 58.0, dH = 3.4e5;
  const auto set = meltSet(tm, dH, 6, 0.2);
  const std::vector<bool> shared{false, false, false, false, true, true};
  const auto start = GlobalFit::Estimate(set, unfoldingFunction(), shared);
  GlobalFit global(set, unfoldingFunction(), shared, {0, 0, 0, 0, 0, 0}, start);
  ASSERT_EQ(global.Run(200), FitEndReason::Converged);
  const auto values = global.Parameters(0), errors = global.Errors(0);
  EXPECT_NEAR(values[4], tm, 3 * errors[4]);
  EXPECT_NEAR(values[5], dH, 3 * errors[5]);

  const char* python = "/usr/bin/python3";
  if (!std::filesystem::exists(python)) GTEST_SKIP() << python << " is missing";
  lumatix::testing::TempDir dir;
  {
    std::ofstream data(dir.file("traces.txt")), rows(dir.file("start.txt"));
    data.precision(17);
    rows.precision(17);
    for (const auto& trace : set) {
      for (std::size_t i = 0; i < trace.x.size(); ++i) data << trace.x[i] << ' ' << trace.y[i] << '\n';
      data << '\n';
    }
    rows << start[0][4] << ' ' << start[0][5] << '\n';
    for (const auto& row : start) rows << row[0] << ' ' << row[1] << ' ' << row[2] << ' ' << row[3] << '\n';
  }
  const std::string command = std::string(python) + " " + LUMATIX_FITTING_TEST_DIR + "/global_melt_reference.py " +
                              dir.file("traces.txt") + " " + dir.file("start.txt") + " > " + dir.file("answer.txt") +
                              " 2> " + dir.file("err.txt");
  ASSERT_EQ(std::system(command.c_str()), 0) << lumatix::testing::readFile(dir.file("err.txt"));
  std::ifstream in(dir.file("answer.txt"));
  double theirTm = 0, theirDH = 0, tmError = 0, dHError = 0, reduced = 0;
  in >> theirTm >> theirDH >> tmError >> dHError >> reduced;
  const auto close = [](double ours, double theirs, const char* what) {
    EXPECT_NEAR(ours, theirs, 1e-4 * std::fabs(theirs)) << what;
  };
  close(values[4], theirTm, "Tm");
  close(values[5], theirDH, "dH");
  close(errors[4], tmError, "error of Tm");
  close(errors[5], dHError, "error of dH");
  close(global.ReducedChiSquare(), reduced, "reduced chi-square");
  for (int t = 0; t < global.TraceCount(); ++t) {
    SCOPED_TRACE(t);
    const auto ours = global.Parameters(t), ourErrors = global.Errors(t);
    for (std::size_t j = 0; j < 4; ++j) {
      double value = 0;
      in >> value;
      close(ours[j], value, "baseline");
    }
    for (std::size_t j = 0; j < 4; ++j) {
      double error = 0;
      in >> error;
      close(ourErrors[j], error, "baseline error");
    }
    EXPECT_EQ(ours[4], values[4]);
  }
}

}  // namespace
}  // namespace lumatix::fitting
