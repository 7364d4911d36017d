// Our smoothing against scipy.signal.savgol_filter(polyorder=2) on a noisy 2,000-point trace.
// The two differ only in how they treat the ends (ours shrinks the window, scipy fits a
// polynomial to the edge window), so only points a full window away from both ends count.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "processing/sg_filter.h"
#include "processing/smoothing.h"
#include "support/temp_dir.h"

namespace lumatix::processing {
namespace {

const char* kPython = "/usr/bin/python3";

class AgreesWithScipy : public ::testing::TestWithParam<int> {};

TEST_P(AgreesWithScipy, AwayFromTheEnds) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << kPython << " is missing";
  const int window = GetParam();
  std::mt19937 rng(17);
  std::normal_distribution<double> noise(0.0, 0.05);
  std::vector<double> y(2000);
  for (std::size_t i = 0; i < y.size(); ++i)
    y[i] = static_cast<double>(static_cast<float>(std::sin(static_cast<double>(i) * 0.01) + noise(rng)));

  lumatix::testing::TempDir dir;
  {
    std::ofstream in(dir.file("in.txt"));
    in.precision(9);
    in << window << '\n';
    for (double v : y) in << v << '\n';
  }
  const std::string command = std::string(kPython) + " " + LUMATIX_PROCESSING_TEST_DIR + "/sg_scipy_reference.py " +
                              dir.file("in.txt") + " " + dir.file("out.txt") + " 2>" + dir.file("err.txt");
  const int status = std::system(command.c_str());
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "numpy or scipy is not installed";
  ASSERT_EQ(status, 0) << lumatix::testing::readFile(dir.file("err.txt"));
  std::vector<double> theirs;
  std::ifstream out(dir.file("out.txt"));
  for (double v; out >> v;) theirs.push_back(v);
  ASSERT_EQ(theirs.size(), y.size());

  CSGFilter filter(3, 2);
  const SmoothedRows ours = SmoothSG(filter, window / 2, {y});
  const int half = window / 2;
  for (int i = half; i < static_cast<int>(y.size()) - half; ++i) {
    const auto k = static_cast<std::size_t>(i);
    // Single precision: a few float roundings of values near 1 (the largest seen is 4.6e-7).
    EXPECT_NEAR(ours.smoothed[0][k], theirs[k], 8 * FLT_EPSILON * std::max(1.0, std::fabs(theirs[k]))) << "point " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, AgreesWithScipy, ::testing::Values(5, 21, 101),
                         [](const auto& row) { return "Window" + std::to_string(row.param); });

}  // namespace
}  // namespace lumatix::processing
