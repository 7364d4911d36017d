// The decomposition against numpy.linalg.svd, the shape of its stores, and its refusals.

#include "processing/svd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "processing/data_set.h"
#include "support/temp_dir.h"

namespace lumatix::processing {
namespace {

const char* kPython = "/usr/bin/python3";

CDataSet traces(const std::vector<std::vector<double>>& rows) {
  CDataSet set;
  set.xDimName = "Wavelength";
  set.traceDimName = "Temperature";
  set.valueName = "CD";
  for (std::size_t j = 0; j < (rows.empty() ? 0 : rows[0].size()); ++j) set.xA.push_back(200.0 + static_cast<double>(j));
  for (std::size_t t = 0; t < rows.size(); ++t) {
    set.yA.emplace_back(rows[t].begin(), rows[t].end());
    set.yB.emplace_back();
    set.zValues.push_back(20.0 + static_cast<double>(t));
    set.traceState.push_back(kTracePresent);
    set.selected.push_back(1);
    set.traceKind.push_back(0);
    set.traceNames.push_back(std::to_string(t));
  }
  return set;
}

std::vector<std::vector<double>> randomMatrix(int m, int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> value(0.0, 1.0);
  std::vector<std::vector<double>> rows(static_cast<std::size_t>(m), std::vector<double>(static_cast<std::size_t>(n)));
  for (auto& row : rows)
    for (double& v : row) v = value(rng);
  return rows;
}

struct Shape {
  const char* name;
  int rows;
  int columns;
};

class AgreesWithNumpy : public ::testing::TestWithParam<Shape> {};

TEST_P(AgreesWithNumpy, ValuesAndBasisUpToSign) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << kPython << " is missing";
  const Shape shape = GetParam();
  const auto rows = randomMatrix(shape.rows, shape.columns, 5);
  lumatix::testing::TempDir dir;
  {
    std::ofstream in(dir.file("in.txt"));
    in.precision(17);
    in << shape.rows << ' ' << shape.columns << '\n';
    for (const auto& row : rows)
      for (double v : row) in << v << '\n';
  }
  const std::string command = std::string(kPython) + " " + LUMATIX_PROCESSING_TEST_DIR + "/svd_numpy_reference.py " +
                              dir.file("in.txt") + " " + dir.file("out.txt") + " 2>" + dir.file("err.txt");
  const int status = std::system(command.c_str());
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "numpy is not installed";
  ASSERT_EQ(status, 0) << lumatix::testing::readFile(dir.file("err.txt"));
  std::ifstream out(dir.file("out.txt"));
  const int count = std::min(shape.rows, shape.columns);
  std::vector<double> values(static_cast<std::size_t>(count));
  for (double& v : values) out >> v;

  const int components = std::min(3, count);
  const SvdResult result = DecomposeTraces(traces(rows), components, "random.dsx", nullptr, true);
  ASSERT_EQ(result.singularValues.size(), values.size());
  for (std::size_t k = 0; k < values.size(); ++k)
    EXPECT_NEAR(result.singularValues[k], values[k], 1e-5 * values[k]) << "value " << k;

  const auto n = static_cast<std::size_t>(shape.columns);
  for (int k = 0; k < components; ++k) {
    std::vector<double> theirs(n);
    for (double& v : theirs) out >> v;
    const float* ours = result.basis->data.data + static_cast<std::size_t>(k) * n;
    const double sign = (ours[0] * theirs[0] < 0) ? -1.0 : 1.0;
    for (std::size_t j = 0; j < n; ++j)
      EXPECT_NEAR(sign * ours[j], theirs[j], 1e-5 * values[0]) << "component " << k << " point " << j;
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, AgreesWithNumpy,
                         ::testing::Values(Shape{"Tall", 40, 12}, Shape{"Wide", 8, 71}, Shape{"Square", 25, 25}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(DecomposeTraces, RebuildsARankTwoMatrixExactlyAndNamesItsStores) {
  std::vector<std::vector<double>> rows;
  for (int t = 0; t < 6; ++t) {
    std::vector<double> row;
    for (int j = 0; j < 9; ++j) row.push_back(std::sin(0.3 * j) * (t + 1) + std::cos(0.2 * j) * (t * t - 2));
    rows.push_back(row);
  }
  const SvdResult result = DecomposeTraces(traces(rows), 2, "melt.dsx", nullptr, true);
  EXPECT_EQ(result.values->dimensions[0].name, "Component");
  EXPECT_EQ(result.values->dimensions[0].size(), 6);
  EXPECT_EQ(result.basis->dimensions[0].name, "Wavelength");
  EXPECT_EQ(result.basis->dimensions[1].name, "Component");
  EXPECT_EQ(result.amplitudes->dimensions[0].name, "Temperature");
  EXPECT_EQ(result.amplitudes->dimensions[1].size(), 2);
  EXPECT_EQ(result.rebuilt->properties[1], "Residual");
  const std::int64_t count = result.rebuilt->valuesPerProperty();
  for (std::int64_t i = 0; i < count; ++i) {
    const auto t = static_cast<std::size_t>(i / 9);
    const auto j = static_cast<std::size_t>(i % 9);
    EXPECT_NEAR(result.rebuilt->data.data[i], rows[t][j], 1e-4);
    EXPECT_NEAR(result.rebuilt->data.data[count + i], 0.0, 1e-4);
  }
  ASSERT_FALSE(result.rebuilt->history.empty());
  EXPECT_EQ(result.rebuilt->history.back().title, "Singular Value Decomposition :");
  EXPECT_NE(result.rebuilt->history.back().text.find("melt.dsx"), std::string::npos);
  EXPECT_NE(result.rebuilt->history.back().text.find("Components : 2"), std::string::npos);
}

struct Refusal {
  const char* name;
  std::vector<std::vector<double>> rows;
  int components;
  const char* message;
};

class RefusesBadInput : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusesBadInput, WithAMessage) {
  const Refusal& refusal = GetParam();
  try {
    DecomposeTraces(traces(refusal.rows), refusal.components, "bad.dsx", nullptr, true);
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(refusal.message), std::string::npos) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusesBadInput,
    ::testing::Values(Refusal{"OneTrace", {{1, 2, 3}}, 1, "at least two traces"},
                      Refusal{"ComponentsAboveRank", {{1, 2, 3}, {2, 4, 6}}, 2, "rank of the traces (1)"},
                      Refusal{"NoComponent", {{1, 2, 3}, {2, 5, 6}}, 0, "between 1 and"},
                      Refusal{"NotANumber", {{1, std::numeric_limits<double>::quiet_NaN(), 3}, {2, 5, 6}}, 1,
                              "not finite"},
                      Refusal{"UnequalLengths", {{1, 2, 3}, {2, 5}}, 1, "same number of points"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::processing
