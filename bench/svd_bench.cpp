// The singular value decomposition of a data set's traces (processing::DecomposeTraces): the
// whole command, from the traces to its four stores, and the decomposition alone. Compare
// with numpy.linalg.svd on the same shape in the same run: bench/svd_numpy_compare.py.

#include <benchmark/benchmark.h>

#include <Eigen/SVD>
#include <random>

#include "datastore/data_store.h"
#include "processing/data_set.h"
#include "processing/svd.h"

namespace {

using lumatix::processing::CDataSet;

// rows traces of cols points of Gaussian noise from a fixed seed.
CDataSet randomTraces(int rows, int cols) {
  std::mt19937_64 random(5);
  std::normal_distribution<double> gauss;
  CDataSet set;
  set.xDimName = "Wavelength";
  set.traceDimName = "Time";
  set.valueName = "Absorbance";
  for (int j = 0; j < cols; ++j) set.xA.push_back(200.0 + j);
  for (int t = 0; t < rows; ++t) {
    std::vector<double> row(static_cast<std::size_t>(cols));
    for (double& v : row) v = gauss(random);
    set.yA.emplace_back(row.begin(), row.end());
    set.yB.emplace_back();
    set.zValues.push_back(t);
    set.traceState.push_back(lumatix::processing::kTracePresent);
    set.selected.push_back(1);
    set.traceKind.push_back(0);
    set.traceNames.push_back(std::to_string(t));
  }
  return set;
}

void BM_DecomposeTraces(benchmark::State& state) {
  const CDataSet set = randomTraces(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    auto result = lumatix::processing::DecomposeTraces(set, 5, "bench", nullptr, false);
    benchmark::DoNotOptimize(result.singularValues.data());
  }
}
BENCHMARK(BM_DecomposeTraces)->Args({2000, 500})->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_EigenBdcSvd(benchmark::State& state) {
  const Eigen::MatrixXd a = Eigen::MatrixXd::Random(state.range(0), state.range(1));
  for (auto _ : state) {
    Eigen::BDCSVD<Eigen::MatrixXd> svd(a, Eigen::ComputeThinU | Eigen::ComputeThinV);
    benchmark::DoNotOptimize(svd.singularValues().data());
  }
}
BENCHMARK(BM_EigenBdcSvd)->Args({2000, 500})->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
