#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "fitting/fit_estimates.h"
#include "fitting/fit_funx.h"
#include "fitting/fit_models.h"

namespace lumatix::fitting {
namespace {

using ::testing::ElementsAre;

TEST(FitFunx, HoldsTheFunctionsInTheirStoredOrder) {
  const auto& table = FitFunx();
  ASSERT_EQ(table.size(), 20u);
  const char* names[] = {"Linear", "Single Exponential", "Single Exponential + Slope", "Double Exponential",
                         "Triple Exponential", "Quadruple Exponential", "Inverted Exponential",
                         "Stretched Exponential", "Hyperbolic", "Second order", "Single Gaussian", "1 Gaussian",
                         "2 Gaussians", "3 Gaussians", "pH Titration curve", "Sigmoid curve", "Sigmoid curve 2",
                         "Sigmoid curve + slope", "Double Sigmoid curve", "Two-state unfolding"};
  const int counts[] = {2, 3, 4, 5, 7, 9, 3, 4, 3, 4, 4, 4, 7, 10, 3, 4, 5, 5, 7, 6};
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].name, names[i]) << i;
    EXPECT_EQ(table[i].count, counts[i]) << i;
    EXPECT_EQ(table[i].parameterNames.size(), static_cast<std::size_t>(counts[i])) << i;
  }
  EXPECT_THAT(table[13].parameterNames, ElementsAre("a1", "a2", "a3", "b1", "b2", "b3", "c1", "c2", "c3", "d"));
  EXPECT_EQ(table[5].equation, "a1.exp(-k1.x)+a2.exp(-k2.x)+a3.exp(-k3.x)+c+a4.exp(-k4.x)+c");
  EXPECT_EQ(table[12].equation, "--");
  EXPECT_EQ(&table, &FitFunx());
}

TEST(FitFunction, SplitsTheParameterListWithoutTrimming) {
  FitFunction f(models::linear, estimates::linear, "Test", 3, "e", "a, b,c");
  EXPECT_THAT(f.parameterNames, ElementsAre("a", " b", "c"));
}

TEST(FitFunction, PadsMissingNamesWithEmptyOnes) {
  FitFunction f(models::linear, estimates::linear, "Test", 4, "e", "a,,c");
  EXPECT_THAT(f.parameterNames, ElementsAre("a", "", "c", ""));
}

TEST(FitFunction, RefusesMoreNamesThanParameters) {
  try {
    FitFunction f(models::linear, estimates::linear, "Test", 2, "e", "a,b,c");
    FAIL() << "built a descriptor with three names for two parameters";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Incorrect number of parameters for fitting function");
  }
}

}  // namespace
}  // namespace lumatix::fitting
