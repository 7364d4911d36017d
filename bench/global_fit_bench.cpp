// The global fit of many traces with one shared and two local parameters each, and its
// Schur-complement solve against a dense solve of the same normal equations.
// Compare the fit with bench/global_fit_scipy_bench.py (same sizes, shapes and noise level).

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "fitting/block_normal_equations.h"
#include "fitting/fit_funx.h"
#include "fitting/global_fit.h"

namespace {

using namespace lumatix::fitting;

// Traces c_t + a_t.exp(-k.x), k = 0.8, x in [0, 5], noise 0.05.
std::vector<GlobalTrace> exponentialSet(int traces, int points) {
  std::mt19937_64 random(17);
  std::normal_distribution<double> gauss(0.0, 0.05);
  std::vector<GlobalTrace> set(static_cast<std::size_t>(traces));
  for (int t = 0; t < traces; ++t) {
    auto& trace = set[static_cast<std::size_t>(t)];
    const double c = 0.01 * t - 0.5, a = 1.0 + 0.01 * t;
    for (int i = 0; i < points; ++i) {
      const double x = 5.0 * i / (points - 1);
      trace.x.push_back(x);
      trace.y.push_back(c + a * std::exp(-0.8 * x) + gauss(random));
    }
  }
  return set;
}

void BM_GlobalFitExponentials(benchmark::State& state) {
  const auto set = exponentialSet(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const FitFunction& f = FitFunx()[1];
  const std::vector<bool> shared{false, false, true};
  const auto start = GlobalFit::Estimate(set, f, shared);
  for (auto _ : state) {
    GlobalFit fit(set, f, shared, {0, 0, 0}, start);
    if (fit.Run(200) != FitEndReason::Converged) state.SkipWithError("did not converge");
    benchmark::DoNotOptimize(fit.Errors(0));
  }
  state.counters["parameters"] = static_cast<double>(1 + 2 * state.range(0));
}
BENCHMARK(BM_GlobalFitExponentials)->Args({20, 1000})->Args({200, 1000})->Unit(benchmark::kMillisecond);

// Random normal equations of 1 shared and 2 local unknowns per trace.
struct Problem {
  BlockNormalEquations blocks;
  Eigen::MatrixXd dense;
  Eigen::VectorXd beta;
};

Problem normalEquations(int traces) {
  const int s = 1, l = 2, points = 50;
  std::mt19937 random(3);
  std::normal_distribution<double> gauss;
  Problem p{BlockNormalEquations(s, l, traces), Eigen::MatrixXd::Zero(s + l * traces, s + l * traces),
            Eigen::VectorXd::Zero(s + l * traces)};
  for (int t = 0; t < traces; ++t) {
    Eigen::MatrixXd js(points, s), jl(points, l);
    Eigen::VectorXd r(points);
    for (int i = 0; i < points; ++i) {
      js(i, 0) = gauss(random);
      jl(i, 0) = gauss(random);
      jl(i, 1) = gauss(random);
      r(i) = gauss(random);
    }
    p.blocks.add(t, js, jl, r);
    Eigen::MatrixXd j = Eigen::MatrixXd::Zero(points, s + l * traces);
    j.col(0) = js.col(0);
    j.middleCols(s + l * t, l) = jl;
    p.dense += j.transpose() * j;
    p.beta += j.transpose() * r;
  }
  p.blocks.updateScale();
  return p;
}

void BM_SchurSolve(benchmark::State& state) {
  auto p = normalEquations(static_cast<int>(state.range(0)));
  Eigen::VectorXd dS;
  Eigen::MatrixXd dL;
  for (auto _ : state) {
    p.blocks.solve(1e-3, dS, dL);
    benchmark::DoNotOptimize(dL.data());
  }
}
BENCHMARK(BM_SchurSolve)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

// The same damped system as one dense matrix: what the fit would cost without the blocks.
void BM_DenseSolve(benchmark::State& state) {
  auto p = normalEquations(static_cast<int>(state.range(0)));
  const Eigen::VectorXd scale = p.dense.diagonal();
  for (auto _ : state) {
    Eigen::MatrixXd damped = p.dense;
    damped.diagonal() += 1e-3 * scale;
    Eigen::VectorXd delta = damped.ldlt().solve(p.beta);
    benchmark::DoNotOptimize(delta.data());
  }
}
// Only at 200 traces: at 2000 one dense factorisation of 4001 x 4001 takes minutes.
BENCHMARK(BM_DenseSolve)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
