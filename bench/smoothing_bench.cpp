// Savitzky-Golay smoothing of a 1,000,000-point trace with windows 5, 21 and 101, the whole
// smoothing step as the plot runs it (rows to float, filter, residuals), and growing the
// coefficient table from 53 to 1001. bench/smoothing_scipy_bench.py times
// scipy.signal.savgol_filter on the same trace length for comparison.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "processing/sg_filter.h"
#include "processing/smoothing.h"

namespace {

using lumatix::processing::CSGFilter;

constexpr int kPoints = 1000000;

std::vector<float> noisyTrace() {
  std::mt19937 rng(3);
  std::normal_distribution<float> noise(0.0f, 0.05f);
  std::vector<float> y(kPoints);
  for (int i = 0; i < kPoints; ++i)
    y[static_cast<std::size_t>(i)] = std::sin(static_cast<float>(i) * 1e-4f) + noise(rng);
  return y;
}

void BM_Filter(benchmark::State& state) {
  const int window = static_cast<int>(state.range(0));
  const std::vector<float> y = noisyTrace();
  CSGFilter filter(3, 2);
  if (!filter.SetWindow(window, 2)) state.SkipWithError("no coefficients");
  std::vector<float> out;
  for (auto _ : state) {
    filter.Filter(y, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_Filter)->Arg(5)->Arg(21)->Arg(101)->Unit(benchmark::kMillisecond);

void BM_SmoothSG(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<float> y = noisyTrace();
  const std::vector<std::vector<double>> rows{std::vector<double>(y.begin(), y.end())};
  CSGFilter filter(3, 2);
  for (auto _ : state) {
    auto smoothed = lumatix::processing::SmoothSG(filter, n, rows);
    benchmark::DoNotOptimize(smoothed.residual[0].data());
  }
}
BENCHMARK(BM_SmoothSG)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_GrowTableTo1001(benchmark::State& state) {
  for (auto _ : state) {
    CSGFilter filter(3, 2);
    if (!filter.SetWindow(1001, 2)) state.SkipWithError("no coefficients");
    benchmark::DoNotOptimize(filter.Coefficients(1001));
  }
}
BENCHMARK(BM_GrowTableTo1001)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
