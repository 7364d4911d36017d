// The fitter on NIST StRD nonlinear regression problems, in double precision from both of
// NIST's starting points with up to 1000 steps, through every fitting function that can
// express the problem's model (other parameters held): the certified values to 6
// significant digits, the certified standard deviations to 4, and never a wrong answer
// reported as converged.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "fitting/fit_funx.h"
#include "fitting/marquardx.h"

namespace lumatix::fitting {
namespace {

struct NistProblem {
  std::vector<double> start1, start2, certified, deviations;
  std::vector<double> x, y;
};

NistProblem readNist(const std::string& name) {
  std::ifstream in(std::string(LUMATIX_FITTING_TEST_DIR) + "/data/nist/" + name + ".dat");
  if (!in) throw std::runtime_error("cannot read " + name);
  NistProblem p;
  std::string line;
  int dataHeaders = 0;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string first, equals;
    words >> first >> equals;
    if (dataHeaders == 2) {
      std::istringstream values(line);
      double y = 0, x = 0;
      if (values >> y >> x) {
        p.y.push_back(y);
        p.x.push_back(x);
      }
    } else if (first.size() >= 2 && first[0] == 'b' && equals == "=") {
      double s1 = 0, s2 = 0, c = 0, d = 0;
      words >> s1 >> s2 >> c >> d;
      p.start1.push_back(s1);
      p.start2.push_back(s2);
      p.certified.push_back(c);
      p.deviations.push_back(d);
    } else if (first == "Data:") {
      ++dataHeaders;
    }
  }
  return p;
}

using Values = std::vector<double>;
using Mapping = std::function<Values(const Values&)>;

struct NistRow {
  const char* name;  // the row's name: problem and function
  const char* problem;
  int function;
  std::vector<std::int32_t> locks;
  Mapping toLibrary;    // NIST's b to the function's parameters
  Mapping fromLibrary;  // and back
  Mapping errorsBack;   // the function's errors to the b whose deviation is one of them
  // A start from which no local method reaches the solution; the fit must then end
  // unconverged rather than right.
  int hopelessStart = 0;
};

void PrintTo(const NistRow& row, std::ostream* out) { *out << row.name; }

class NistProblems : public ::testing::TestWithParam<NistRow> {};

TEST_P(NistProblems, CertifiedValuesFromBothStarts) {
  const NistRow& row = GetParam();
  const NistProblem problem = readNist(row.problem);
  ASSERT_FALSE(problem.x.empty());
  const FitFunction& f = FitFunx().at(static_cast<std::size_t>(row.function));
  for (int startNumber : {1, 2}) {
    SCOPED_TRACE("start " + std::to_string(startNumber));
    const Values& start = startNumber == 1 ? problem.start1 : problem.start2;
    Marquardx fitter(problem.x, problem.y, f, row.locks, row.toLibrary(start));
    ASSERT_TRUE(fitter.Start());
    int steps = 0;
    while (!fitter.Converged() && steps < 1000 && fitter.Step()) ++steps;
    const Values b = row.fromLibrary(fitter.GetParameters());
    bool right = true;
    for (std::size_t j = 0; j < b.size(); ++j)
      right = right && std::fabs(b[j] - problem.certified[j]) <= 1e-6 * std::fabs(problem.certified[j]);
    // The test that stopped it must not have called a wrong answer converged.
    EXPECT_TRUE(right || !fitter.Converged()) << "after " << steps << " steps, b1 = " << b[0];
    if (startNumber == row.hopelessStart) {
      EXPECT_FALSE(fitter.Converged());
      continue;
    }
    EXPECT_TRUE(right) << "after " << steps << " steps, b1 = " << b[0];
    if (!fitter.Converged()) continue;
    fitter.SetSigma(fitter.SignalNoise());
    ASSERT_GT(fitter.Finish(), 0.0);
    const Values sd = row.errorsBack(fitter.ParameterErrors());
    for (std::size_t j = 0; j < sd.size(); ++j)
      EXPECT_NEAR(sd[j], problem.deviations[j], 1e-4 * problem.deviations[j]) << "sd of b" << j + 1;
  }
}

Values withZeroFirst(const Values& b) {
  Values p{0.0};
  p.insert(p.end(), b.begin(), b.end());
  return p;
}
Values dropFirst(const Values& p) { return {p.begin() + 1, p.end()}; }
Values none(const Values&) { return {}; }
// b1 = a.b of the Gaussian enters through two parameters: its deviation is not one error of
// the function, so only b2 and b3 are compared with theirs.
Values gaussianB(const Values& p) { return {p[0] * p[1], p[1], p[2]}; }
// Rat42's b1 / (1 + exp(b2 - b3 x)) is the sigmoid At / (1 + exp((x0 - x)/w)) with x0 = b2/b3
// and w = 1/b3; only b1 = At has its deviation among the function's errors.
Values sigmoidFromB(const Values& b) { return {0.0, b[0], b[1] / b[2], 1.0 / b[2]}; }
Values bFromSigmoid(const Values& p) { return {p[1], p[2] / p[3], 1.0 / p[3]}; }
Values appendValue(Values v, double value) {
  v.push_back(value);
  return v;
}

constexpr int kInverted = 6, kDouble = 3, kTriple = 4, kQuadruple = 5, kHyperbolic = 8, kSingleGaussian = 10,
              kOneGaussian = 11, kTwoGaussians = 12, kSigmoid = 15, kSigmoid2 = 16, kSigmoidSlope = 17,
              kDoubleSigmoid = 18;

const std::vector<std::int32_t> kTripleLocks{1, 0, 0, 0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    EveryFunctionThatCanExpressOne, NistProblems,
    ::testing::Values(
        // b1 (1 - exp(-b2 x)) is c + a (1 - exp(-k x)) with c held at 0.
        NistRow{"Misra1a_InvertedExponential", "Misra1a", kInverted, {1, 0, 0}, withZeroFirst, dropFirst, dropFirst},
        // From start 1 (b2 = 1) the first step leaves the exponential 0 at every x (b2 near
        // 115): a plateau on which the curvature no longer determines b2.
        NistRow{"BoxBOD_InvertedExponential", "BoxBOD", kInverted, {1, 0, 0}, withZeroFirst, dropFirst, dropFirst, 1},
        // b1 + b2 exp(-b4 x) + b3 exp(-b5 x): c = b1, a1 = b2, k1 = b4, a2 = b3, k2 = b5.
        NistRow{"MGH17_DoubleExponential", "MGH17", kDouble, {0, 0, 0, 0, 0},
                [](const Values& b) { return Values{b[0], b[1], b[3], b[2], b[4]}; },
                [](const Values& p) { return Values{p[0], p[1], p[3], p[2], p[4]}; },
                [](const Values& e) { return Values{e[0], e[1], e[3], e[2], e[4]}; }},
        // Lanczos1's data are exact to 13 digits: its deviations (about 1e-13) measure rounding
        // and cannot be reproduced in double precision.
        NistRow{"Lanczos1_TripleExponential", "Lanczos1", kTriple, kTripleLocks, withZeroFirst, dropFirst, none},
        NistRow{"Lanczos2_TripleExponential", "Lanczos2", kTriple, kTripleLocks, withZeroFirst, dropFirst, dropFirst},
        NistRow{"Lanczos3_TripleExponential", "Lanczos3", kTriple, kTripleLocks, withZeroFirst, dropFirst, dropFirst},
        // The fourth phase held at amplitude 0.
        NistRow{"Lanczos3_QuadrupleExponential", "Lanczos3", kQuadruple, {1, 0, 0, 0, 0, 0, 0, 1, 1},
                [](const Values& b) { return appendValue(appendValue(withZeroFirst(b), 0.0), 1.0); },
                [](const Values& p) { return Values{p.begin() + 1, p.begin() + 7}; },
                [](const Values& e) { return Values{e.begin() + 1, e.begin() + 7}; }},
        // b1 b2 x / (1 + b2 x) = a x / (k + x) + c with a = b1, k = 1/b2 and c held at 0.
        NistRow{"Misra1d_Hyperbolic", "Misra1d", kHyperbolic, {0, 0, 1},
                [](const Values& b) { return Values{b[0], 1.0 / b[1], 0.0}; },
                [](const Values& p) { return Values{p[0], 1.0 / p[1]}; },
                [](const Values& e) { return Values{e[0]}; }},
        // (b1/b2) exp(-0.5 ((x - b3)/b2)^2): a = b1/b2, b = b2, c = b3, d held at 0.
        NistRow{"Eckerle4_SingleGaussian", "Eckerle4", kSingleGaussian, {0, 0, 0, 1},
                [](const Values& b) { return Values{b[0] / b[1], b[1], b[2], 0.0}; }, gaussianB, none},
        NistRow{"Eckerle4_OneGaussian", "Eckerle4", kOneGaussian, {0, 0, 0, 1},
                [](const Values& b) { return Values{b[0] / b[1], b[1], b[2], 0.0}; }, gaussianB, none},
        // The second Gaussian held at amplitude 0: (a1, a2, b1, b2, c1, c2, d).
        NistRow{"Eckerle4_TwoGaussians", "Eckerle4", kTwoGaussians, {0, 1, 0, 1, 0, 1, 1},
                [](const Values& b) { return Values{b[0] / b[1], 0.0, b[1], 1.0, b[2], 0.0, 0.0}; },
                [](const Values& p) { return Values{p[0] * p[2], p[2], p[4]}; }, none},
        NistRow{"Rat42_Sigmoid", "Rat42", kSigmoid, {1, 0, 0, 0}, sigmoidFromB, bFromSigmoid,
                [](const Values& e) { return Values{e[1]}; }},
        NistRow{"Rat42_Sigmoid2", "Rat42", kSigmoid2, {1, 0, 0, 0, 1},
                [](const Values& b) { return appendValue(sigmoidFromB(b), 1.0); }, bFromSigmoid,
                [](const Values& e) { return Values{e[1]}; }},
        NistRow{"Rat42_SigmoidSlope", "Rat42", kSigmoidSlope, {1, 0, 0, 0, 1},
                [](const Values& b) { return appendValue(sigmoidFromB(b), 0.0); }, bFromSigmoid,
                [](const Values& e) { return Values{e[1]}; }},
        // The first step held flat (Ab = Am = 0): (Ab, Am, At, x0, x1, w0, w1).
        NistRow{"Rat42_DoubleSigmoid", "Rat42", kDoubleSigmoid, {1, 1, 0, 1, 0, 1, 0},
                [](const Values& b) { return Values{0.0, 0.0, b[0], 0.0, b[1] / b[2], 1.0, 1.0 / b[2]}; },
                [](const Values& p) { return Values{p[2], p[4] / p[6], 1.0 / p[6]}; },
                [](const Values& e) { return Values{e[2]}; }}),
    [](const ::testing::TestParamInfo<NistRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::fitting
