#pragma once
// What the fitting dialog hands over when it is accepted: the data set's fit operation and
// the "Fitting" history entry are made from it.

#include <cstdint>
#include <vector>

#include "fitting/fit_end_reason.h"

namespace lumatix::app {

struct FitResults {
  int functionIndex = -1;  // into fitting::FitFunx()
  std::vector<double> values;
  std::vector<double> errors;
  std::vector<std::int32_t> locks;  // 1 = held at its value
  float from = 0.0f;
  float to = 0.0f;
  bool includeResiduals = false;
  double normalisedVariance = 0.0;
  double reducedChiSquare = 0.0;
  double signalNoise = 0.0;
  int iterations = 0;
  bool converged = false;
  fitting::FitEndReason reason = fitting::FitEndReason::Running;
};

}  // namespace lumatix::app
