// Fitting engine timings: whole fits from the estimated start values to the final
// statistics, and the cost of one step per data point. Compare with
// bench/fitting_scipy_bench.py (scipy.optimize.curve_fit with analytic Jacobians on data of
// the same size and shape).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <vector>

#include "fitting/diagnostics.h"
#include "fitting/fit_funx.h"
#include "fitting/marquardx.h"

namespace {

using lumatix::fitting::FitFunction;
using lumatix::fitting::FitFunx;
using lumatix::fitting::Marquardx;

struct Trace {
  std::vector<double> x, y;
};

// The model on n evenly spaced points over [0, span] with Gaussian noise from a fixed seed.
Trace noisy(const FitFunction& f, const std::vector<double>& params, std::int64_t n, double span, double noise) {
  std::vector<double> p(params.size() + 1);
  for (std::size_t j = 0; j < params.size(); ++j) p[j + 1] = params[j];
  std::mt19937_64 random(42);
  std::normal_distribution<double> gauss(0.0, noise);
  Trace t;
  for (std::int64_t i = 0; i < n; ++i) {
    const double x = span * static_cast<double>(i) / static_cast<double>(n - 1);
    double y = 0;
    f.model(x, p.data(), y, nullptr, f.count);
    t.x.push_back(x);
    t.y.push_back(y + gauss(random));
  }
  return t;
}

// What the fitting dialog does from "Fit" to the shown statistics: steps until the
// convergence test holds or the default limit of 25 is reached, then the final statistics.
void fitToStatistics(Marquardx& fitter, benchmark::State& state) {
  fitter.SetSigma(1.0);
  fitter.Start();
  int iterations = 0;
  for (;;) {
    if (!fitter.Step()) break;
    ++iterations;
    const auto reason = fitter.EndReason(iterations >= 25);
    if (reason == lumatix::fitting::FitEndReason::Running) continue;
    if (reason == lumatix::fitting::FitEndReason::NonFiniteStep && iterations < 25) continue;
    if (reason != lumatix::fitting::FitEndReason::Converged) state.SkipWithError("did not converge");
    break;
  }
  fitter.SetSigma(fitter.SignalNoise());
  benchmark::DoNotOptimize(fitter.Finish());
  benchmark::DoNotOptimize(fitter.NormalisedVariance());
  benchmark::DoNotOptimize(fitter.GetParameters());
  benchmark::DoNotOptimize(fitter.ParameterErrors());
  state.counters["iterations"] = iterations;
}

class QuietDiagnostics {
 public:
  QuietDiagnostics() : previous_(lumatix::fitting::setDiagnostics(&sink_)) {}
  ~QuietDiagnostics() { lumatix::fitting::setDiagnostics(previous_); }

 private:
  std::ostringstream sink_;
  std::ostream* previous_;
};

void BM_SingleExponentialFit(benchmark::State& state) {
  const FitFunction& f = FitFunx()[1];
  const Trace t = noisy(f, {1, 10, 0.05}, state.range(0), 100, 0.1);
  for (auto _ : state) {
    Marquardx fitter(t.x, t.y, f);
    fitToStatistics(fitter, state);
  }
}
BENCHMARK(BM_SingleExponentialFit)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DoubleExponentialFit(benchmark::State& state) {
  QuietDiagnostics quiet;
  const FitFunction& f = FitFunx()[3];
  const Trace t = noisy(f, {0.5, 3, 1, 2, 0.1}, state.range(0), 50, 0.02);
  for (auto _ : state) {
    Marquardx fitter(t.x, t.y, f);
    fitToStatistics(fitter, state);
  }
}
BENCHMARK(BM_DoubleExponentialFit)->Arg(10000)->Unit(benchmark::kMillisecond);

// One step on a fit under way; items are data points, so 1/items_per_second is the cost of
// a step per point.
void BM_SingleExponentialStep(benchmark::State& state) {
  const FitFunction& f = FitFunx()[1];
  const Trace t = noisy(f, {1, 10, 0.05}, state.range(0), 100, 0.1);
  Marquardx fitter(t.x, t.y, f);
  fitter.Start();
  for (auto _ : state) benchmark::DoNotOptimize(fitter.Step());
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["ns_per_point"] = benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SingleExponentialStep)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
