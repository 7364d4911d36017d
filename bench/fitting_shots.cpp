// Fits exponential-sum shots the way the fitting dialog and `lumatix fit` do: start values
// from the function's estimate, then steps until the convergence test holds or the 25-step
// limit is reached, then the final statistics. Driven by bench/fitting_shots_compare.py,
// which makes the shots, finds their minima and fits them with scipy in the same run.
//
// Usage: lumatix_fit_shots IN OUT [MAX_ITERATIONS]   (default 25, the dialog's)
// IN:  per shot a line "TERMS POINTS", then POINTS lines "x y".
// OUT: per shot one line: converged (0/1), the end reason's key, iterations, the sum of
//      squared residuals, seconds from the start values to the statistics, seconds of the
//      estimate, then the start values and the fitted values.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "fitting/diagnostics.h"
#include "fitting/fit_funx.h"
#include "fitting/marquardx.h"

namespace {

using namespace lumatix::fitting;
using Clock = std::chrono::steady_clock;

int maxIterations = 25;  // the dialog's default limit

struct Shot {
  int terms = 0;
  std::vector<double> x, y;
};

bool readShot(std::istream& in, Shot& shot) {
  std::size_t points = 0;
  if (!(in >> shot.terms >> points)) return false;
  if (shot.terms < 1 || shot.terms > 4 || points > 10'000'000) throw std::runtime_error("bad shot header");
  shot.x.resize(points);
  shot.y.resize(points);
  for (std::size_t i = 0; i < points; ++i)
    if (!(in >> shot.x[i] >> shot.y[i])) throw std::runtime_error("short shot");
  return true;
}

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::string fit(const Shot& shot) {
  const FitFunction& f = FitFunx().at(static_cast<std::size_t>(shot.terms == 1 ? 1 : shot.terms + 1));
  const auto estimated = Clock::now();
  const std::vector<double> start = f.estimate(shot.x, shot.y, f.count);
  const double estimateTime = seconds(estimated);

  const auto began = Clock::now();
  Marquardx fitter(shot.x, shot.y, f, std::vector<std::int32_t>(static_cast<std::size_t>(f.count), 0), start);
  fitter.SetSigma(1.0);
  int iterations = 0;
  FitEndReason reason = FitEndReason::StepFailed;
  if (fitter.Start()) {
    for (;;) {
      if (!fitter.Step()) {
        reason = FitEndReason::StepFailed;
        break;
      }
      ++iterations;
      reason = fitter.EndReason(iterations >= maxIterations);
      if (reason == FitEndReason::Running) continue;
      if (reason == FitEndReason::NonFiniteStep && iterations < maxIterations) continue;
      break;
    }
  }
  const double squares = fitter.NormalisedVariance() * (fitter.PointCount() - fitter.FreeParameterCount());
  bool converged = reason == FitEndReason::Converged;
  const std::vector<double> values = fitter.GetParameters();
  if (converged) {
    fitter.SetSigma(fitter.SignalNoise());
    if (fitter.Finish() == -1.0) {
      converged = false;
      reason = FitEndReason::SingularSystem;
    }
    volatile double sink = fitter.ParameterErrors()[0];
    (void)sink;
  }
  const double fitTime = seconds(began);

  std::ostringstream line;
  line.precision(17);
  line << (converged ? 1 : 0) << ' ' << endReasonKey(reason) << ' ' << iterations << ' ' << squares << ' ' << fitTime
       << ' ' << estimateTime;
  for (double v : start) line << ' ' << v;
  for (double v : values) line << ' ' << v;
  return line.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::cerr << "usage: lumatix_fit_shots IN OUT [MAX_ITERATIONS]\n";
    return 2;
  }
  if (argc == 4) maxIterations = std::max(1, std::atoi(argv[3]));
  std::ostringstream quiet;
  setDiagnostics(&quiet);
  try {
    std::ifstream in(argv[1]);
    std::ofstream out(argv[2]);
    if (!in || !out) throw std::runtime_error("cannot open the files");
    Shot shot;
    while (readShot(in, shot)) {
      out << fit(shot) << '\n';
      quiet.str("");
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  return 0;
}
