// The global fit against a dense solve of the same normal equations, against
// scipy.optimize.least_squares on the stacked problem, and against the single-trace fit.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fit_test_support.h"
#include "fitting/block_normal_equations.h"
#include "fitting/fit_funx.h"
#include "fitting/global_fit.h"
#include "fitting/marquardx.h"
#include "support/temp_dir.h"

namespace lumatix::fitting {
namespace {

const FitFunction& singleExponential() { return FitFunx()[1]; }  // c, a, k

// Traces c_t + a_t.exp(-k.x) with one rate and per-trace offsets and amplitudes.
std::vector<GlobalTrace> exponentialSet(double k, int traces, int points, double noise, unsigned seed) {
  std::vector<GlobalTrace> set;
  for (int t = 0; t < traces; ++t) {
    const double c = 0.1 * t - 0.2, a = 1.0 + 0.5 * t;
    const auto trace = test::synthetic(singleExponential(), {c, a, k}, test::evenly(0.0, 5.0, points), noise,
                                       seed + static_cast<unsigned>(t));
    set.push_back({trace.x, trace.y});
  }
  return set;
}

TEST(BlockNormalEquations, SchurStepEqualsTheDenseSolve) {
  // Random blocks of 2 shared and 3 local unknowns over 4 traces, assembled densely as well.
  const int s = 2, l = 3, traces = 4, points = 12;
  std::mt19937 random(5);
  std::normal_distribution<double> gauss;
  BlockNormalEquations blocks(s, l, traces);
  Eigen::MatrixXd dense = Eigen::MatrixXd::Zero(s + l * traces, s + l * traces);
  Eigen::VectorXd beta = Eigen::VectorXd::Zero(s + l * traces);
  for (int t = 0; t < traces; ++t) {
    Eigen::MatrixXd js(points, s), jl(points, l);
    Eigen::VectorXd r(points);
    for (int i = 0; i < points; ++i) {
      for (int c = 0; c < s; ++c) js(i, c) = gauss(random) * (c == 0 ? 1000.0 : 1e-3);
      for (int c = 0; c < l; ++c) jl(i, c) = gauss(random);
      r(i) = gauss(random);
    }
    blocks.add(t, js, jl, r);
    Eigen::MatrixXd j = Eigen::MatrixXd::Zero(points, s + l * traces);
    j.leftCols(s) = js;
    j.middleCols(s + l * t, l) = jl;
    dense += j.transpose() * j;
    beta += j.transpose() * r;
  }
  blocks.updateScale();
  const Eigen::VectorXd scale = dense.diagonal();
  for (double lambda : {0.0, 1e-3, 10.0}) {
    SCOPED_TRACE(lambda);
    Eigen::VectorXd dS;
    Eigen::MatrixXd dL;
    ASSERT_TRUE(blocks.solve(lambda, dS, dL));
    Eigen::MatrixXd damped = dense;
    damped.diagonal() += lambda * scale;
    const Eigen::VectorXd expected = damped.ldlt().solve(beta);
    for (int c = 0; c < s; ++c) EXPECT_NEAR(dS(c), expected(c), 1e-9 * std::abs(expected(c)) + 1e-14);
    for (int t = 0; t < traces; ++t)
      for (int c = 0; c < l; ++c) EXPECT_NEAR(dL(c, t), expected(s + l * t + c), 1e-9 * std::abs(expected(s + l * t + c)));
    Eigen::VectorXd delta(s + l * traces);
    delta << dS, Eigen::Map<const Eigen::VectorXd>(dL.data(), l * traces);
    EXPECT_NEAR(blocks.predictedDecrease(dS, dL), 2.0 * delta.dot(beta) - delta.dot(dense * delta),
                1e-9 * std::abs(delta.dot(beta)));
  }
  Eigen::VectorXd sharedDiagonal;
  Eigen::MatrixXd localDiagonal;
  ASSERT_TRUE(blocks.inverseDiagonal(sharedDiagonal, localDiagonal));
  const Eigen::VectorXd inverse = dense.inverse().diagonal();
  for (int c = 0; c < s; ++c) EXPECT_NEAR(sharedDiagonal(c), inverse(c), 1e-8 * inverse(c));
  for (int t = 0; t < traces; ++t)
    for (int c = 0; c < l; ++c) EXPECT_NEAR(localDiagonal(c, t), inverse(s + l * t + c), 1e-8 * inverse(s + l * t + c));
}

TEST(GlobalFit, OneTraceEqualsTheSingleFit) {
  const auto set = exponentialSet(1.3, 1, 200, 0.02, 3);
  const auto& f = singleExponential();
  Marquardx single(set[0].x, set[0].y, f);
  const std::vector<double> start = single.GetParameters();
  single.SetSigma(1.0);
  ASSERT_TRUE(single.Start());
  for (int i = 0; i < 200 && !single.Converged(); ++i) ASSERT_TRUE(single.Step());
  ASSERT_TRUE(single.Converged());
  single.SetSigma(single.SignalNoise());
  ASSERT_GT(single.Finish(), 0.0);

  GlobalFit global(set, f, {false, false, true}, {0, 0, 0}, {start});
  ASSERT_EQ(global.Run(200), FitEndReason::Converged);
  const auto values = global.Parameters(0), errors = global.Errors(0);
  const auto expected = single.GetParameters(), expectedErrors = single.ParameterErrors();
  for (std::size_t j = 0; j < 3; ++j) {
    EXPECT_NEAR(values[j], expected[j], 1e-7 * std::abs(expected[j]));
    EXPECT_NEAR(errors[j], expectedErrors[j], 1e-5 * expectedErrors[j]);
  }
  EXPECT_NEAR(global.ChiSquare(), single.ChiSquare() * single.SignalNoise() * single.SignalNoise(),
              1e-8 * global.ChiSquare());
}

TEST(GlobalFit, AgreesWithScipyOnTheStackedProblem) {
  const char* python = "/usr/bin/python3";
  if (!std::filesystem::exists(python)) GTEST_SKIP() << python << " is missing";
  const auto set = exponentialSet(0.8, 5, 150, 0.05, 21);
  const auto& f = singleExponential();
  auto start = GlobalFit::Estimate(set, f, {false, false, true});
  GlobalFit global(set, f, {false, false, true}, {0, 0, 0}, start);
  ASSERT_EQ(global.Run(200), FitEndReason::Converged);

  lumatix::testing::TempDir dir;
  const auto data = dir.path() / "traces.txt";
  {
    std::ofstream out(data);
    out.precision(17);
    for (const auto& trace : set) {
      for (std::size_t i = 0; i < trace.x.size(); ++i) out << trace.x[i] << ' ' << trace.y[i] << '\n';
      out << '\n';
    }
  }
  const auto answer = dir.path() / "answer.txt";
  const std::string command = std::string(python) + " " + LUMATIX_FITTING_TEST_DIR + "/global_scipy_reference.py " +
                              data.string() + " " + std::to_string(start[0][2]) + " > " + answer.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(answer);
  double k = 0, kError = 0, reduced = 0;
  in >> k >> kError >> reduced;
  const auto close = [](double ours, double theirs) { EXPECT_NEAR(ours, theirs, 1e-4 * std::abs(theirs)); };
  close(global.Parameters(0)[2], k);
  close(global.Errors(0)[2], kError);
  close(global.ReducedChiSquare(), reduced);
  for (int t = 0; t < global.TraceCount(); ++t) {
    SCOPED_TRACE(t);
    double c = 0, a = 0, cError = 0, aError = 0;
    in >> c >> a >> cError >> aError;
    const auto values = global.Parameters(t), errors = global.Errors(t);
    close(values[0], c);
    close(values[1], a);
    close(errors[0], cError);
    close(errors[1], aError);
    EXPECT_EQ(values[2], global.Parameters(0)[2]);
  }
}

TEST(GlobalFit, LockedParametersStayAndCarryNoError) {
  const auto set = exponentialSet(0.8, 3, 100, 0.01, 9);
  const auto& f = singleExponential();
  GlobalFit global(set, f, {false, false, true}, {0, 0, 1}, {{0, 1, 0.75}, {0, 1, 0.75}, {0, 1, 0.75}});
  global.Run(200);
  for (int t = 0; t < 3; ++t) {
    EXPECT_EQ(global.Parameters(t)[2], 0.75);
    EXPECT_EQ(global.Errors(t)[2], 0.0);
    EXPECT_GT(global.Errors(t)[1], 0.0);
  }
  EXPECT_EQ(global.FreeParameterCount(), 6);
}

TEST(GlobalFit, UndeterminedParametersEndAsASingularSystem) {
  // At one x a shared offset c and each trace's slope term b.x are the same column: only
  // their sums are determined.
  const auto& f = FitFunx()[2];  // c, a, k, b
  std::vector<GlobalTrace> set(2, GlobalTrace{std::vector<double>(20, 1.0), std::vector<double>(20, 2.0)});
  GlobalFit global(set, f, {true, false, true, false}, {0, 0, 0, 0}, {{1, 1, 1, 0}, {1, 1, 1, 0}});
  EXPECT_EQ(global.Run(50), FitEndReason::SingularSystem);
  EXPECT_TRUE(std::isnan(global.Errors(0)[0]));
}

struct BadInput {
  const char* name;
  std::vector<GlobalTrace> traces;
  std::vector<bool> shared;
  std::vector<std::vector<double>> start;
  const char* message;
};

class GlobalFitRefuses : public ::testing::TestWithParam<BadInput> {};

TEST_P(GlobalFitRefuses, WithAMessage) {
  const auto& c = GetParam();
  try {
    GlobalFit fit(c.traces, singleExponential(), c.shared, {0, 0, 0}, c.start);
    FAIL() << "accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
  }
}

const GlobalTrace kGood{{0, 1, 2}, {3, 2, 1}};
INSTANTIATE_TEST_SUITE_P(
    Rows, GlobalFitRefuses,
    ::testing::Values(BadInput{"NoTraces", {}, {0, 0, 1}, {}, "at least one trace"},
                      BadInput{"UnequalLengths", {kGood, {{0, 1}, {1}}}, {0, 0, 1}, {{0, 1, 1}, {0, 1, 1}}, "Trace 2 has x and y"},
                      BadInput{"NaN", {{{0, 1}, {1, NAN}}}, {0, 0, 1}, {{0, 1, 1}}, "not a finite number"},
                      BadInput{"FlagsShort", {kGood}, {0, 1}, {{0, 1, 1}}, "every parameter"},
                      BadInput{"StartRowsShort", {kGood, kGood}, {0, 0, 1}, {{0, 1, 1}}, "one row of start values"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::fitting
