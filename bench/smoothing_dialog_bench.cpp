// The smoothing dialog on a 1,000,000-point trace: opening it and each turn of the window-size
// spin control recompute only the preview (at most kSmoothingPreviewPoints points, each from
// its full-resolution neighbourhood), against smoothing the whole trace as OK then does.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "app/plot_dialogs.h"
#include "processing/smoothing.h"

namespace {

constexpr int kPoints = 1000000;

struct Trace {
  std::vector<double> x, y;
};

const Trace& noisyTrace() {
  static const Trace trace = [] {
    Trace t;
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0.0, 0.05);
    for (int i = 0; i < kPoints; ++i) {
      t.x.push_back(i);
      t.y.push_back(std::sin(i * 1e-4) + noise(rng));
    }
    return t;
  }();
  return trace;
}

// One turn of the spin control to the window value n (window 2n + 1).
void BM_PreviewTurn(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  lumatix::processing::CSGFilter filter(3, 2);
  lumatix::app::SmoothingDialog dialog(filter, noisyTrace().x, {{"t", noisyTrace().y}}, kPoints, true, 1);
  filter.SetWindow(2 * n + 1, 2);  // the coefficient table grown once, as after the first turn
  for (auto _ : state) {
    dialog.setWindowValue(n);
    benchmark::DoNotOptimize(dialog.preview().smoothed[0].data());
  }
}
BENCHMARK(BM_PreviewTurn)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// Opening the dialog: the float copy of the trace and the first preview.
void BM_OpenDialog(benchmark::State& state) {
  for (auto _ : state) {
    lumatix::processing::CSGFilter filter(3, 2);
    lumatix::app::SmoothingDialog dialog(filter, noisyTrace().x, {{"t", noisyTrace().y}}, kPoints, true, 1);
    benchmark::DoNotOptimize(dialog.preview().smoothed[0].data());
  }
}
BENCHMARK(BM_OpenDialog)->Unit(benchmark::kMillisecond);

// What OK costs: the whole trace smoothed at the same window values.
void BM_WholeTrace(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<std::vector<double>> rows{noisyTrace().y};
  lumatix::processing::CSGFilter filter(3, 2);
  filter.SetWindow(2 * n + 1, 2);
  for (auto _ : state) {
    auto smoothed = lumatix::processing::SmoothSG(filter, n, rows);
    benchmark::DoNotOptimize(smoothed.smoothed[0].data());
  }
}
BENCHMARK(BM_WholeTrace)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
