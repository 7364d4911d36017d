#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fitting/fit_funx.h"
#include "fitting/fit_models.h"

namespace lumatix::fitting {
namespace {

using ::testing::ElementsAre;

// Parameters and derivatives are indexed from 1: element 0 carries a value the routines
// must never touch.
constexpr double kGuard = -12345.0;

std::vector<double> oneBased(const std::vector<double>& values) {
  std::vector<double> p{kGuard};
  p.insert(p.end(), values.begin(), values.end());
  return p;
}

double valueAt(const FitFunction& f, double x, const std::vector<double>& p) {
  double y = 0.0;
  f.model(x, p.data(), y, nullptr, f.count);
  return y;
}

struct DerivativeCase {
  const char* name;
  int index;
  std::vector<double> params;
  std::vector<double> xs;
};

class ModelDerivatives : public ::testing::TestWithParam<DerivativeCase> {};

// Every analytic derivative against a central difference, and the value the same with or
// without derivatives asked for.
TEST_P(ModelDerivatives, MatchCentralDifferences) {
  const DerivativeCase& c = GetParam();
  const FitFunction& f = FitFunx().at(static_cast<std::size_t>(c.index));
  ASSERT_EQ(static_cast<std::size_t>(f.count), c.params.size());
  for (double x : c.xs) {
    std::vector<double> p = oneBased(c.params);
    std::vector<double> dyda(p.size(), kGuard);
    double y = 0.0;
    f.model(x, p.data(), y, dyda.data(), f.count);
    EXPECT_EQ(y, valueAt(f, x, p)) << "x = " << x;
    EXPECT_EQ(dyda[0], kGuard);
    for (std::size_t j = 1; j < p.size(); ++j) {
      const double h = 1e-6 * std::max(1.0, std::fabs(p[j]));
      std::vector<double> up = p, down = p;
      up[j] += h;
      down[j] -= h;
      const double numeric = (valueAt(f, x, up) - valueAt(f, x, down)) / (2 * h);
      EXPECT_NEAR(dyda[j], numeric, 1e-6 * std::max(1.0, std::fabs(numeric)))
          << f.name << ": parameter " << f.parameterNames[j - 1] << " at x = " << x;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryFunction, ModelDerivatives,
    ::testing::Values(
        DerivativeCase{"Linear", 0, {2, 1}, {-1, 0.5, 3}},
        DerivativeCase{"SingleExponential", 1, {1, 10, 0.05}, {0, 3, 40}},
        DerivativeCase{"SingleExponentialSlope", 2, {1, 5, 0.1, 0.02}, {0, 7, 50}},
        DerivativeCase{"DoubleExponential", 3, {0.5, 3, 1, 2, 0.1}, {0.1, 2, 20}},
        DerivativeCase{"TripleExponential", 4, {0.2, 2, 5, 1.5, 0.5, 1, 0.05}, {0.05, 1, 30}},
        DerivativeCase{"QuadrupleExponential", 5, {0.1, 1, 2, 1, 0.5, 1, 0.1, 1, 0.02}, {0.2, 3, 60}},
        DerivativeCase{"InvertedExponential", 6, {1, 4, 0.2}, {0.5, 5, 25}},
        DerivativeCase{"StretchedExponential", 7, {0.5, 3, 0.3, 0.7}, {0.1, 2, 15}},
        DerivativeCase{"Hyperbolic", 8, {5, 2, 1}, {0.5, 4, 20}},
        DerivativeCase{"SecondOrder", 9, {0.5, 2, 1, 1}, {0, 1.5, 6}},
        DerivativeCase{"SingleGaussian", 10, {5, 2, 10, 1}, {7, 10.5, 14}},
        DerivativeCase{"OneGaussian", 11, {5, 2, 10, 1}, {7, 10.5, 14}},
        DerivativeCase{"TwoGaussians", 12, {3, 2, 1.5, 2, 8, 12, 0.5}, {6, 9, 13}},
        DerivativeCase{"ThreeGaussians", 13, {3, 2, 1, 1.5, 2, 1, 5, 10, 15, 0.5}, {4, 9, 14.5}},
        DerivativeCase{"PhTitration", 14, {1, 3, 7}, {5, 6.5, 8.2}},
        DerivativeCase{"Sigmoid", 15, {1, 5, 50, 5}, {35, 48, 60}},
        DerivativeCase{"Sigmoid2", 16, {1, 5, 50, 5, 1.3}, {35, 48, 60}},
        DerivativeCase{"SigmoidSlope", 17, {1, 5, 50, 5, 0.01}, {35, 48, 60}},
        DerivativeCase{"DoubleSigmoid", 18, {1, 3, 6, 30, 70, 4, 5}, {25, 50, 72}}),
    [](const ::testing::TestParamInfo<DerivativeCase>& row) { return std::string(row.param.name); });

struct ValueCase {
  const char* name;
  int index;
  std::vector<double> params;
  double x;
  double expected;
};

class ModelValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ModelValues, ComputeTheTabulatedValue) {
  const ValueCase& c = GetParam();
  const FitFunction& f = FitFunx().at(static_cast<std::size_t>(c.index));
  EXPECT_DOUBLE_EQ(valueAt(f, c.x, oneBased(c.params)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    SpecialCases, ModelValues,
    ::testing::Values(
        // The displayed equation shows c twice; the model adds it once.
        ValueCase{"QuadrupleExponentialAddsOffsetOnce", 5, {10, 1, 0, 2, 0, 3, 0, 4, 0}, 1.0, 20.0},
        ValueCase{"HyperbolicAtZeroIsOffset", 8, {5, 2, 1.5}, 0.0, 1.5},
        ValueCase{"HyperbolicComputesAxOverKPlusX", 8, {6, 2, 1}, 1.0, 3.0},
        ValueCase{"StretchedAtZeroWithExponentIsCPlusA", 7, {0.5, 3, 0.3, 0.7}, 0.0, 3.5},
        ValueCase{"StretchedAtZeroWithoutExponentIsC", 7, {0.5, 3, 0.3, 0.0}, 0.0, 0.5},
        ValueCase{"StretchedWithoutExponentUsesExpMinusK", 7, {0.5, 3, 0.3, 0.0}, 2.0, 0.5 + 3 * std::exp(-0.3)},
        ValueCase{"SecondOrder", 9, {1, 2, 0, 4}, 5.0, 3.0},
        ValueCase{"PhTitrationAtPka", 14, {1, 3, 7}, 7.0, 2.0},
        ValueCase{"SigmoidAtCentre", 15, {1, 5, 50, 5}, 50.0, 3.0},
        ValueCase{"DoubleSigmoidPlateau", 18, {1, 3, 6, 30, 70, 4, 5}, 1000.0, 6.0},
        // Zero width: 1e-05 stands in, so one width away from the centre is exp(-0.5).
        ValueCase{"SingleGaussianZeroWidth", 10, {2, 0, 1e-05, 0}, 0.0, 2 * std::exp(-0.5)},
        ValueCase{"GaussianSumZeroWidth", 12, {2, 1, 0, 1, 1e-05, 100, 0.25}, 0.0, 2 * std::exp(-0.5) + 0.25}),
    [](const ::testing::TestParamInfo<ValueCase>& row) { return std::string(row.param.name); });

TEST(StretchedExponential, DerivativesAtZeroAreOneOneZeroZero) {
  std::vector<double> p = oneBased({0.5, 3, 0.3, 0.7});
  std::vector<double> dyda(5, kGuard);
  double y = 0;
  models::stretchedExponential(0.0, p.data(), y, dyda.data(), 4);
  EXPECT_THAT(dyda, ElementsAre(kGuard, 1.0, 1.0, 0.0, 0.0));
  EXPECT_TRUE(std::isfinite(dyda[4]));
}

TEST(SingleExponential, DerivativesAreOneWhenTheGrowingExponentialUnderflows) {
  // k.x = -800: exp(k.x) is exactly 0 while the value's exp(-k.x) overflows.
  std::vector<double> p = oneBased({1, 2, -8});
  std::vector<double> dyda(4, kGuard);
  double y = 0;
  models::singleExponential(100.0, p.data(), y, dyda.data(), 3);
  EXPECT_THAT(dyda, ElementsAre(kGuard, 1.0, 1.0, 1.0));
}

TEST(SingleGaussian, ZeroWidthLeavesTheParameterAndGivesFiniteDerivatives) {
  std::vector<double> p = oneBased({2, 0, 1, 0});
  std::vector<double> dyda(5, kGuard);
  double y = 0;
  models::singleGaussian(1.0, p.data(), y, dyda.data(), 4);
  EXPECT_EQ(p[2], 0.0);
  EXPECT_EQ(y, 2.0);
  for (std::size_t j = 1; j < dyda.size(); ++j) EXPECT_TRUE(std::isfinite(dyda[j])) << j;
}

TEST(Sigmoid, FarOnAPlateauDerivativesStayFinite) {
  // (x0 - x)/w = 1000 overflows exp; the curve is flat there, not undefined.
  for (int index : {15, 16, 17, 18}) {
    const FitFunction& f = FitFunx()[static_cast<std::size_t>(index)];
    std::vector<double> params = index == 18 ? std::vector<double>{1, 3, 6, 30, 70, 0.01, 0.01}
                                             : std::vector<double>{1, 5, 50, 0.01, 1};
    params.resize(static_cast<std::size_t>(f.count), 1.0);
    std::vector<double> p = oneBased(params);
    std::vector<double> dyda(p.size(), kGuard);
    double y = 0;
    f.model(40.0, p.data(), y, dyda.data(), f.count);
    EXPECT_TRUE(std::isfinite(y)) << f.name;
    for (std::size_t j = 1; j < dyda.size(); ++j) EXPECT_TRUE(std::isfinite(dyda[j])) << f.name << " " << j;
  }
}

}  // namespace
}  // namespace lumatix::fitting
