// Drawing long traces. "per_point" is the time per input point (the reduction's target is at
// most 1 ns); the drawing of ten traces of 1,000,000 points on a 1920 x 1080 SVG graph should
// take under 100 ms and give an SVG of under 2 MB ("svg_bytes").

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "plot/column_reduction.h"
#include "plot/graph.h"
#include "plot/svg_canvas.h"

namespace {

using namespace lumatix::plot;

constexpr std::size_t kPoints = 1000000;
constexpr int kTraces = 10;

std::vector<double> axis() {
  std::vector<double> x(kPoints);
  for (std::size_t i = 0; i < kPoints; ++i) x[i] = 180.0 + 80.0 * static_cast<double>(i) / kPoints;
  return x;
}

std::vector<double> noisyTrace(unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise;
  std::vector<double> y(kPoints);
  for (std::size_t i = 0; i < kPoints; ++i)
    y[i] = std::sin(static_cast<double>(i) * 2e-5 + seed) + 0.05 * noise(random);
  return y;
}

void perPoint(benchmark::State& state, double points) {
  state.counters["per_point"] =
      benchmark::Counter(points, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One trace reduced to the 1800 columns of a full-HD plot area: with the order of x known
// (the graph finds it once for all its traces: BM_OrderOf), and when x may run in any order
// (a column for every point).
void BM_ReduceToColumns(benchmark::State& state, XOrder order) {
  const auto x = axis();
  const auto y = noisyTrace(1);
  std::vector<std::size_t> kept;
  kept.reserve(8000);
  for (auto _ : state) {
    kept.clear();
    reduceToColumns(x.data(), y.data(), 0, kPoints, 180.0, 1800.0 / 80.0, kept, order);
    benchmark::DoNotOptimize(kept.data());
  }
  perPoint(state, double(kPoints));
  state.counters["kept"] = double(kept.size());
}
BENCHMARK_CAPTURE(BM_ReduceToColumns, Monotonic, XOrder::Monotonic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReduceToColumns, AnyOrder, XOrder::Any)->Unit(benchmark::kMillisecond);

void BM_OrderOf(benchmark::State& state) {
  const auto x = axis();
  for (auto _ : state) benchmark::DoNotOptimize(orderOf(x.data(), 0, kPoints));
  perPoint(state, double(kPoints));
}
BENCHMARK(BM_OrderOf)->Unit(benchmark::kMillisecond);

// The scalar min/max pass over the same data, for comparison.
void BM_MinMaxPass(benchmark::State& state) {
  const auto y = noisyTrace(1);
  for (auto _ : state) {
    double lo = y[0], hi = y[0];
    for (double v : y) {
      lo = v < lo ? v : lo;
      hi = v > hi ? v : hi;
    }
    benchmark::DoNotOptimize(lo);
    benchmark::DoNotOptimize(hi);
  }
  perPoint(state, double(kPoints));
}
BENCHMARK(BM_MinMaxPass)->Unit(benchmark::kMillisecond);

// Ten traces of 1,000,000 points painted on a 1920 x 1080 SVG canvas, legend and grid on.
void BM_PaintTenMillionPoints(benchmark::State& state) {
  std::vector<std::vector<double>> y;
  std::vector<std::string> names;
  for (int t = 0; t < kTraces; ++t) {
    y.push_back(noisyTrace(static_cast<unsigned>(t)));
    names.push_back("Trace " + std::to_string(t + 1));
  }
  Graph graph;
  graph.setGrid(true);
  graph.setLegend(true);
  graph.SetData(axis(), y, names, {}, {});
  graph.SetTitles("Wavelength (nm)", "CD (mdeg)");
  std::size_t bytes = 0;
  for (auto _ : state) {
    SvgCanvas canvas(1920, 1080);
    graph.Paint(canvas);
    bytes = canvas.svg().size();
    benchmark::DoNotOptimize(bytes);
  }
  perPoint(state, double(kPoints) * kTraces);
  state.counters["svg_bytes"] = double(bytes);
}
BENCHMARK(BM_PaintTenMillionPoints)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
