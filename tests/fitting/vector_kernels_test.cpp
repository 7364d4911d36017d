#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "fit_test_support.h"
#include "fitting/batch_models.h"
#include "fitting/curvature_kernel.h"
#include "fitting/fit_models.h"
#include "fitting/lanes.h"

namespace lumatix::fitting {
namespace {

using lanes::kWidth;

// Distance in units in the last place of `expected`.
double ulps(double value, double expected) {
  const double unit = std::nextafter(std::fabs(expected), std::numeric_limits<double>::infinity()) - std::fabs(expected);
  return std::fabs(value - expected) / unit;
}

// lanes::exp over the arguments, one group at a time; `outside` tells which it flagged.
void laneExp(const std::vector<double>& x, std::vector<double>& result, std::vector<bool>& outside) {
  result.assign(x.size(), 0.0);
  outside.assign(x.size(), false);
  for (std::size_t i = 0; i < x.size(); i += kWidth) {
    lanes::Vec v, e;
    lanes::load(x.data() + i, v);
    lanes::Bits flags{};
    lanes::exp(v, e, flags);
    lanes::store(result.data() + i, e);
    for (std::size_t lane = 0; lane < kWidth; ++lane) outside[i + lane] = flags[lane] < 0;
  }
}

TEST(LaneExp, WithinOneUnitInTheLastPlaceAcrossItsRange) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> wide(-708.0, 709.4), narrow(-1.0, 1.0);
  std::vector<double> x;
  for (int i = 0; i < 200000; ++i) x.push_back(i % 2 ? wide(random) : narrow(random));
  // Both ends, zeros, and the points where the reduction changes its integer.
  for (double edge : {-708.0, -708.03, 709.0, 709.4, 0.0, -0.0, 1e-300, -1e-300, 0.5 * std::log(2.0),
                      -0.5 * std::log(2.0), 700.5 * std::log(2.0)})
    x.push_back(edge);
  while (x.size() % kWidth) x.push_back(1.0);
  std::vector<double> result;
  std::vector<bool> outside;
  laneExp(x, result, outside);
  double worst = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    ASSERT_FALSE(outside[i]) << x[i];
    worst = std::max(worst, ulps(result[i], std::exp(x[i])));
  }
  EXPECT_LE(worst, 1.0);
}

TEST(LaneExp, FlagsWhatItDoesNotCoverAndNothingElse) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const std::vector<double> x{-708.1, 709.5, 710.0, -745.2, nan, -nan, inf, -inf, 1e300, -1e300, 1.0, -1.0,
                              -708.0, 709.0, 0.0, 5.0};
  std::vector<double> result;
  std::vector<bool> outside;
  laneExp(x, result, outside);
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_EQ(outside[i], i < 10) << x[i];
}

// Runs a batch routine and the model routine over the same points and compares everything.
void expectBatchMatchesModel(BatchModelRoutine batch, ModelRoutine model, std::int32_t m, const std::vector<double>& p,
                             const std::vector<double>& x, double maxUlps) {
  const std::size_t n = x.size(), stride = n + 3;
  std::vector<double> y(n), columns((static_cast<std::size_t>(m) + 1) * stride), row(static_cast<std::size_t>(m) + 1);
  batch(x.data(), n, p.data(), m, y.data(), columns.data(), stride);
  for (std::size_t i = 0; i < n; ++i) {
    double expected = 0.0;
    model(x[i], p.data(), expected, row.data(), m);
    const auto close = [&](double value, double wanted) {
      if (std::isnan(wanted)) return std::isnan(value);
      if (std::isinf(wanted) || wanted == 0.0) return value == wanted;
      return ulps(value, wanted) <= maxUlps;
    };
    EXPECT_PRED2(close, y[i], expected) << "point " << i << " x " << x[i];
    for (std::int32_t l = 1; l <= m; ++l)
      EXPECT_PRED2(close, columns[static_cast<std::size_t>(l) * stride + i], row[static_cast<std::size_t>(l)])
          << "point " << i << " parameter " << l;
  }
}

TEST(BatchModels, AgreeWithTheModelRoutinesIncludingTheirSpecialPoints) {
  // 37 points: four whole groups and a tail, with x from 0 to 90.
  std::vector<double> x = test::evenly(0.0, 90.0, 37);
  // Parameters are indexed from 1.
  expectBatchMatchesModel(batch::singleExponential, models::singleExponential, 3, {0, 1.5, 10.0, 0.07}, x, 4);
  expectBatchMatchesModel(batch::exponentialSum, models::exponentialSum, 5, {0, 0.5, 3.0, 1.0, 2.0, 0.1}, x, 4);
  expectBatchMatchesModel(batch::exponentialSum, models::exponentialSum, 9,
                          {0, 0.5, 3.0, 1.0, 2.0, 0.1, -1.0, 0.01, 4.0, 0.3}, x, 64);
  expectBatchMatchesModel(batch::exponentialSumSlope, models::exponentialSumSlope, 4, {0, 0.5, 3.0, 0.2, 0.01}, x, 4);

  // A growing exponential that overflows in the last groups (the single exponential then
  // takes its derivatives from exp(k.x)), a NaN and an infinite point in the middle of a group.
  x[5] = std::numeric_limits<double>::quiet_NaN();
  x[6] = std::numeric_limits<double>::infinity();
  expectBatchMatchesModel(batch::singleExponential, models::singleExponential, 3, {0, 1.0, 2.0, -9.0}, x, 4);
  expectBatchMatchesModel(batch::exponentialSum, models::exponentialSum, 5, {0, 0.5, 3.0, -9.0, 2.0, 0.1}, x, 4);
  expectBatchMatchesModel(batch::exponentialSumSlope, models::exponentialSumSlope, 4, {0, 0.5, 3.0, 9.0, 0.01}, x, 4);
}

// The naive sums, point by point in plain order.
struct Naive {
  std::vector<double> alpha, beta;
  double chi = 0.0, squares = 0.0;
};

Naive naiveSums(const std::vector<std::vector<double>>& columns, const std::vector<double>& model,
                const std::vector<double>& y, double weight) {
  const std::size_t free = columns.size();
  Naive sums;
  sums.alpha.assign(free * (free + 1) / 2, 0.0);
  sums.beta.assign(free, 0.0);
  for (std::size_t i = 0; i < y.size(); ++i) {
    const double dy = y[i] - model[i];
    std::size_t k = 0;
    for (std::size_t j = 0; j < free; ++j) {
      for (std::size_t l = 0; l <= j; ++l) sums.alpha[k++] += columns[j][i] * weight * columns[l][i];
      sums.beta[j] += dy * columns[j][i] * weight;
    }
    sums.chi += dy * dy * weight;
    sums.squares += dy * dy;
  }
  return sums;
}

TEST(CurvatureSums, EqualTheNaiveSumsAndDoNotDependOnTheBlocks) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> value(-2.0, 2.0);
  const std::size_t n = 1003;
  const double weight = 1.0 / (0.3 * 0.3);
  // Every term is below 4.weight in size: the two orders of summation agree to about n ulps of that.
  const double tolerance = 1e-13 * static_cast<double>(n) * 4.0 * weight;
  for (std::int32_t free : {0, 1, 3, 7, 9}) {
    std::vector<std::vector<double>> columns(static_cast<std::size_t>(free), std::vector<double>(n));
    std::vector<double> model(n), y(n);
    for (auto& column : columns)
      for (double& d : column) d = value(random);
    for (std::size_t i = 0; i < n; ++i) {
      model[i] = value(random);
      y[i] = value(random);
    }
    const Naive naive = naiveSums(columns, model, y, weight);

    detail::CurvatureSums sums(10);
    std::vector<double> firstAlpha;
    for (std::size_t blockSize : {n, std::size_t{8}, std::size_t{256}, std::size_t{64}}) {
      sums.reset(free);
      for (std::size_t first = 0; first < n; first += blockSize) {
        std::vector<const double*> pointers;
        for (const auto& column : columns) pointers.push_back(column.data() + first);
        sums.add({pointers.data(), model.data() + first, y.data() + first, weight,
                  std::min(blockSize, n - first)});
      }
      std::vector<double> alpha(naive.alpha.size()), beta(naive.beta.size());
      double chi = 0.0, squares = 0.0;
      sums.totals(alpha.data(), beta.data(), chi, squares);
      for (std::size_t k = 0; k < alpha.size(); ++k) EXPECT_NEAR(alpha[k], naive.alpha[k], tolerance) << free << " " << k;
      for (std::size_t j = 0; j < beta.size(); ++j) EXPECT_NEAR(beta[j], naive.beta[j], tolerance) << free << " " << j;
      EXPECT_NEAR(chi, naive.chi, tolerance);
      EXPECT_NEAR(squares, naive.squares, tolerance);
      // Bit for bit the same whatever the block size.
      if (firstAlpha.empty()) firstAlpha = alpha;
      EXPECT_EQ(alpha, firstAlpha) << "free " << free << " blocks of " << blockSize;
    }
  }
}

TEST(CurvatureSums, RefuseMoreFreeParametersThanTheyHaveRoomFor) {
  detail::CurvatureSums sums(3);
  EXPECT_NO_THROW(sums.reset(3));
  EXPECT_THROW(sums.reset(4), std::logic_error);
}

// A fit through the batch routine and the same fit through the model routine alone reach the
// same parameters and statistics, so the two ways of filling the derivative block agree.
TEST(BatchModels, FitAsTheirModelRoutinesDo) {
  for (std::size_t index : {1u, 2u, 3u}) {
    const FitFunction& withBatch = FitFunx()[index];
    ASSERT_NE(withBatch.batch, nullptr);
    FitFunction without = withBatch;
    without.batch = nullptr;
    const std::vector<std::vector<double>> truths{{}, {1, 10, 0.05}, {1, 10, 0.05, 0.01}, {0.5, 3, 1, 2, 0.1}};
    const test::Trace trace = test::synthetic(withBatch, truths[index], test::evenly(0, 60, 1001), 0.05);
    test::CapturedDiagnostics notes;
    Marquardx a(trace.x, trace.y, withBatch), b(trace.x, trace.y, without);
    // The same number of steps: the stopping rule may end the two a step apart.
    for (Marquardx* fitter : {&a, &b}) {
      ASSERT_TRUE(fitter->Start());
      for (int step = 0; step < 8; ++step) ASSERT_TRUE(fitter->Step());
    }
    const auto pa = a.GetParameters(), pb = b.GetParameters();
    // Rounding differences are amplified by the solve where offset and slope are nearly
    // collinear (about 1e-8 here); a wrong derivative would be off by far more.
    for (std::size_t j = 0; j < pa.size(); ++j) EXPECT_NEAR(pa[j], pb[j], 1e-6 * std::fabs(pb[j])) << withBatch.name;
    EXPECT_NEAR(a.ChiSquare(), b.ChiSquare(), 1e-9 * b.ChiSquare());
  }
}

}  // namespace
}  // namespace lumatix::fitting
