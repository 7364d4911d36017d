#pragma once
// Shared by the fitting tests: synthetic traces, a captured diagnostics stream and the
// step loop with the fitting dialog's stopping rule.

#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <vector>

#include "fitting/diagnostics.h"
#include "fitting/fit_funx.h"
#include "fitting/marquardx.h"

namespace lumatix::fitting::test {

// Catches what the fitting code notes while it lives.
class CapturedDiagnostics {
 public:
  CapturedDiagnostics() : previous_(setDiagnostics(&text_)) {}
  ~CapturedDiagnostics() { setDiagnostics(previous_); }
  CapturedDiagnostics(const CapturedDiagnostics&) = delete;
  CapturedDiagnostics& operator=(const CapturedDiagnostics&) = delete;
  std::string str() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::ostream* previous_;
};

struct Trace {
  std::vector<double> x, y;
};

inline std::vector<double> evenly(double from, double to, std::int32_t count) {
  std::vector<double> x(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) x[static_cast<std::size_t>(i)] = from + (to - from) * i / (count - 1);
  return x;
}

// The function with the given parameters at x, plus Gaussian noise of the given level
// from a fixed seed.
inline Trace synthetic(const FitFunction& function, const std::vector<double>& params, std::vector<double> x,
                       double noise = 0.0, unsigned seed = 7) {
  std::vector<double> p(params.size() + 1);
  for (std::size_t j = 0; j < params.size(); ++j) p[j + 1] = params[j];
  std::mt19937_64 random(seed);
  std::normal_distribution<double> gauss(0.0, 1.0);
  Trace trace{std::move(x), {}};
  for (double xi : trace.x) {
    double yi = 0.0;
    function.model(xi, p.data(), yi, nullptr, function.count);
    trace.y.push_back(yi + noise * gauss(random));
  }
  return trace;
}

struct FitOutcome {
  bool stepsSucceeded = true;
  std::int32_t iterations = 0;
  bool converged = false;
};

// Steps as the fitting session does: one step after another until the convergence test
// holds or the iteration limit is reached (a non-finite trial is only a refused step).
inline FitOutcome runToStop(Marquardx& fitter, std::int32_t maxIterations) {
  FitOutcome outcome;
  fitter.SetSigma(1.0);
  if (!fitter.Start()) return {false, 0, false};
  for (;;) {
    if (!fitter.Step()) return {false, outcome.iterations, false};
    ++outcome.iterations;
    const FitEndReason reason = fitter.EndReason(outcome.iterations >= maxIterations);
    if (reason == FitEndReason::Running) continue;
    if (reason == FitEndReason::NonFiniteStep && outcome.iterations < maxIterations) continue;
    outcome.converged = reason == FitEndReason::Converged;
    return outcome;
  }
}

}  // namespace lumatix::fitting::test
