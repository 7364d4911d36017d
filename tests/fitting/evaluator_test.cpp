#include "fitting/evaluator.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace lumatix::fitting {
namespace {

namespace p = programs;

struct ConversionCase {
  const char* name;
  Program toBase;
  Program fromBase;
  double input;
  double expected;
};

class ConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ConversionTest, GivesTheConvertedValue) {
  const auto& c = GetParam();
  EXPECT_NEAR(Convert({c.toBase, c.fromBase, true}, c.input), c.expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    BuiltInPrograms, ConversionTest,
    ::testing::Values(
        ConversionCase{"TransmissionFiftyToAbsorbance", p::percentToFraction, p::transmissionToAbsorbance, 50.0,
                       -std::log10(0.5)},
        ConversionCase{"AbsorbanceOneToTransmission", p::absorbanceToTransmission, p::fractionToPercent, 1.0, 10.0},
        ConversionCase{"ZeroTransmissionStopsAtTheDivisionFloor", p::percentToFraction, p::transmissionToAbsorbance,
                       0.0, 5.5},
        ConversionCase{"NegativeTransmissionStopsAtTheDivisionFloor", p::percentToFraction,
                       p::transmissionToAbsorbance, -20.0, 5.5},
        ConversionCase{"PolarisationToAnisotropy", p::polarisationToAnisotropy, p::identity, 0.5, 0.4},
        ConversionCase{"AnisotropyToPolarisation", p::anisotropyToPolarisation, p::identity2, 0.4, 0.5},
        ConversionCase{"NegativeAnisotropyIsRaisedToTheFloor", p::polarisationToAnisotropy, p::identity, -0.5,
                       kDivisionFloor},
        ConversionCase{"MissingToBaseActsAsIdentity", nullptr, p::fractionToPercent, 0.25, 25.0},
        ConversionCase{"MissingFromBaseActsAsIdentity", p::percentToFraction, nullptr, 25.0, 0.25},
        ConversionCase{"BothMissingKeepsTheValue", nullptr, nullptr, 7.5, 7.5}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ConvertTest, InactiveConversionReturnsTheValueBitForBit) {
  for (double x : {0.1, -0.0, 1e-300, std::numeric_limits<double>::quiet_NaN()}) {
    double y = Convert({p::percentToFraction, p::transmissionToAbsorbance, false}, x);
    EXPECT_EQ(std::memcmp(&x, &y, sizeof x), 0) << x;
  }
}

TEST(OperatorTest, SubtractAndDivideTakeTheirOperandsInOppositeOrders) {
  // Both programs push x first: Subtractfn yields 3 - x, Dividefn yields x / 100.
  static const CPushConst three(3.0), hundred(100.0);
  static const Subtractfn subtract;
  static const Dividefn divide;
  const CPushVar var;
  const CMathFn* const minus[] = {&var, &three, &subtract, nullptr};
  const CMathFn* const over[] = {&var, &hundred, &divide, nullptr};
  EvaluationStack stack;
  RunProgram(minus, stack, 1.0);
  ASSERT_EQ(stack.size(), 1u);
  EXPECT_EQ(stack.back(), 2.0);
  stack.clear();
  RunProgram(over, stack, 50.0);
  ASSERT_EQ(stack.size(), 1u);
  EXPECT_EQ(stack.back(), 0.5);
}

TEST(OperatorTest, DivisionOfZeroByZeroGivesTheFloor) {
  static const Dividefn divide;
  const CPushVar var;
  const CMathFn* const program[] = {&var, &var, &divide, nullptr};
  EvaluationStack stack;
  RunProgram(program, stack, 0.0);
  ASSERT_EQ(stack.size(), 1u);
  EXPECT_EQ(stack.back(), kDivisionFloor);
}

TEST(OperatorTest, OperatorWithTooFewOperandsThrowsStackError) {
  static const Addfn add;
  static const log10fn log;
  const CPushVar var;
  const CMathFn* const binary[] = {&var, &add, nullptr};
  const CMathFn* const unary[] = {&log, nullptr};
  EvaluationStack stack;
  EXPECT_THROW(RunProgram(binary, stack, 1.0), CMathFn::STACK_ERROR);
  stack.clear();
  EXPECT_THROW(RunProgram(unary, stack, 1.0), CMathFn::STACK_ERROR);
  EXPECT_THROW(Convert({binary, nullptr, true}, 1.0), CMathFn::STACK_ERROR);
}

TEST(ConvertTest, ProgramLeavingTwoValuesKeepsTheInput) {
  static const CPushConst three(3.0);
  const CPushVar var;
  const CMathFn* const twoValues[] = {&var, &three, nullptr};
  EXPECT_EQ(Convert({twoValues, nullptr, true}, 4.0), 4.0);
}

}  // namespace
}  // namespace lumatix::fitting
