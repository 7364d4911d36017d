// The fitter on NIST StRD nonlinear regression problems, in double precision from both of
// NIST's starting points with up to 1000 steps: the certified values to 6 significant digits,
// the certified standard deviations to 4, and never a wrong answer reported as converged.

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

using Mapping = std::function<std::vector<double>(const std::vector<double>&)>;

struct NistRow {
  const char* name;
  int function;
  std::vector<std::int32_t> locks;
  Mapping toLibrary;    // NIST's b to the function's parameters
  Mapping fromLibrary;  // and back
  Mapping errorsBack;   // the function's errors to b's standard deviations (first order)
};

class NistProblems : public ::testing::TestWithParam<NistRow> {};

TEST_P(NistProblems, CertifiedValuesFromBothStarts) {
  const NistRow& row = GetParam();
  const NistProblem problem = readNist(row.name);
  ASSERT_FALSE(problem.x.empty());
  const FitFunction& f = FitFunx().at(static_cast<std::size_t>(row.function));
  for (const auto* start : {&problem.start1, &problem.start2}) {
    SCOPED_TRACE(start == &problem.start1 ? "start 1" : "start 2");
    Marquardx fitter(problem.x, problem.y, f, row.locks, row.toLibrary(*start));
    ASSERT_TRUE(fitter.Start());
    int steps = 0;
    while (!fitter.Converged() && steps < 1000 && fitter.Step()) ++steps;
    const std::vector<double> b = row.fromLibrary(fitter.GetParameters());
    bool right = true;
    for (std::size_t j = 0; j < b.size(); ++j)
      right = right && std::fabs(b[j] - problem.certified[j]) <= 1e-6 * std::fabs(problem.certified[j]);
    EXPECT_TRUE(right) << "after " << steps << " steps, b1 = " << b[0];
    // The test that stopped it must not have called a wrong answer converged.
    EXPECT_TRUE(right || !fitter.Converged());
    if (!fitter.Converged()) continue;
    fitter.SetSigma(fitter.SignalNoise());
    ASSERT_GT(fitter.Finish(), 0.0);
    const std::vector<double> sd = row.errorsBack(fitter.ParameterErrors());
    for (std::size_t j = 0; j < sd.size(); ++j)
      EXPECT_NEAR(sd[j], problem.deviations[j], 1e-4 * problem.deviations[j]) << "sd of b" << j + 1;
  }
}

std::vector<double> withZeroFirst(const std::vector<double>& b) {
  std::vector<double> p{0.0};
  p.insert(p.end(), b.begin(), b.end());
  return p;
}
std::vector<double> dropFirst(const std::vector<double>& p) { return {p.begin() + 1, p.end()}; }

INSTANTIATE_TEST_SUITE_P(
    FourProblems, NistProblems,
    ::testing::Values(
        NistRow{"Misra1a", 6, {1, 0, 0}, withZeroFirst, dropFirst, dropFirst},
        NistRow{"Lanczos3", 4, {1, 0, 0, 0, 0, 0, 0}, withZeroFirst, dropFirst, dropFirst},
        // b1 = a.b enters through two parameters: its deviation is not one error of the function,
        // so only b2 and b3 are compared with theirs (b1's as b1's own value, from the others).
        NistRow{"Eckerle4", 10, {0, 0, 0, 1},
                [](const std::vector<double>& b) { return std::vector<double>{b[0] / b[1], b[1], b[2], 0.0}; },
                [](const std::vector<double>& p) { return std::vector<double>{p[0] * p[1], p[1], p[2]}; },
                [](const std::vector<double>&) { return std::vector<double>{}; }},
        NistRow{"Rat42", 15, {1, 0, 0, 0},
                [](const std::vector<double>& b) { return std::vector<double>{0.0, b[0], b[1] / b[2], 1.0 / b[2]}; },
                [](const std::vector<double>& p) { return std::vector<double>{p[1], p[2] / p[3], 1.0 / p[3]}; },
                [](const std::vector<double>& e) { return std::vector<double>{e[1]}; }}),
    [](const ::testing::TestParamInfo<NistRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::fitting
