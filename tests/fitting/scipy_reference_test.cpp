// Our fits against scipy.optimize.curve_fit on the same noisy data. The final statistics use
// the noise estimate as every point's sigma, which is what curve_fit's default scaling of
// pcov does, so the parameter errors must agree as well.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fit_test_support.h"
#include "fitting/fit_funx.h"
#include "fitting/marquardx.h"
#include "support/temp_dir.h"

namespace lumatix::fitting {
namespace {

const char* kPython = "/usr/bin/python3";

std::string referenceScript() { return std::string(LUMATIX_FITTING_TEST_DIR) + "/scipy_reference.py"; }

std::vector<double> numbers(const std::string& line) {
  std::istringstream in(line);
  std::vector<double> values;
  for (double v; in >> v;) values.push_back(v);
  return values;
}

struct ReferenceCase {
  const char* name;
  int index;
  std::vector<double> truth;
  double from, to;
  int points;
  double noise;
};

class AgreesWithScipy : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(AgreesWithScipy, OnParametersAndErrors) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << kPython << " is missing";
  const ReferenceCase& c = GetParam();
  const FitFunction& f = FitFunx().at(static_cast<std::size_t>(c.index));
  const test::Trace trace = test::synthetic(f, c.truth, test::evenly(c.from, c.to, c.points), c.noise, 11);

  test::CapturedDiagnostics notes;
  Marquardx fitter(trace.x, trace.y, f);
  const std::vector<double> start = fitter.GetParameters();
  ASSERT_TRUE(test::runToStop(fitter, 200).converged);
  fitter.SetSigma(fitter.SignalNoise());
  ASSERT_GT(fitter.Finish(), 0.0);
  const std::vector<double> ours = fitter.GetParameters();
  const std::vector<double> ourErrors = fitter.ParameterErrors();

  lumatix::testing::TempDir dir;
  {
    std::ofstream in(dir.file("in.txt"));
    in.precision(17);
    in << c.index << '\n';
    for (double v : start) in << v << ' ';
    in << '\n';
    for (std::size_t i = 0; i < trace.x.size(); ++i) in << trace.x[i] << ' ' << trace.y[i] << '\n';
  }
  const std::string command = std::string(kPython) + " " + referenceScript() + " " + dir.file("in.txt") + " " +
                              dir.file("out.txt") + " 2>" + dir.file("err.txt");
  const int status = std::system(command.c_str());
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "numpy or scipy is not installed";
  ASSERT_EQ(status, 0) << lumatix::testing::readFile(dir.file("err.txt"));
  std::ifstream out(dir.file("out.txt"));
  std::string paramsLine, errorsLine;
  std::getline(out, paramsLine);
  std::getline(out, errorsLine);
  const std::vector<double> theirs = numbers(paramsLine), theirErrors = numbers(errorsLine);
  ASSERT_EQ(theirs.size(), ours.size());
  ASSERT_EQ(theirErrors.size(), ours.size());
  for (std::size_t j = 0; j < ours.size(); ++j) {
    EXPECT_NEAR(ours[j], theirs[j], std::max(1e-6 * std::fabs(theirs[j]), 1e-9)) << f.parameterNames[j];
    EXPECT_NEAR(ourErrors[j], theirErrors[j], 1e-3 * theirErrors[j]) << "error of " << f.parameterNames[j];
  }
}

INSTANTIATE_TEST_SUITE_P(
    SixFunctions, AgreesWithScipy,
    ::testing::Values(ReferenceCase{"Linear", 0, {2, 1}, -5, 5, 100, 0.2},
                      ReferenceCase{"SingleExponential", 1, {1, 10, 0.05}, 0, 100, 500, 0.1},
                      ReferenceCase{"DoubleExponential", 3, {0.5, 3, 1, 2, 0.1}, 0, 50, 1000, 0.02},
                      ReferenceCase{"SigmoidCurve", 15, {1, 5, 50, 5}, 0, 100, 400, 0.05},
                      ReferenceCase{"SingleGaussian", 10, {5, 2, 10, 1}, 0, 20, 401, 0.05},
                      // A CD melt in mdeg: Tm 62.5 C, dH 420 kJ/mol, sloping baselines.
                      ReferenceCase{"TwoStateUnfolding", 19, {-18, 0.04, -3, -0.02, 62.5, 4.2e5}, 20, 90, 141, 0.15}),
    [](const ::testing::TestParamInfo<ReferenceCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::fitting
