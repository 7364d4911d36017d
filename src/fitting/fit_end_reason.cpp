#include "fitting/fit_end_reason.h"

namespace lumatix::fitting {

const char* describeEndReason(FitEndReason reason) {
  switch (reason) {
    case FitEndReason::Running: return "The fit is running.";
    case FitEndReason::Converged:
      return "The fit converged: the step still to take is small against the parameters' errors.";
    case FitEndReason::IterationLimit:
      return "The fit stopped at the iteration limit before the convergence test held.";
    case FitEndReason::SingularSystem:
      return "The fit stopped because the data do not determine every free parameter (singular curvature matrix).";
    case FitEndReason::NonFiniteStep:
      return "The fit stopped because the model gives no finite value near these parameters.";
    case FitEndReason::StepFailed: return "The fit stopped because a step failed.";
  }
  return "";
}

const char* endReasonKey(FitEndReason reason) {
  switch (reason) {
    case FitEndReason::Running: return "running";
    case FitEndReason::Converged: return "converged";
    case FitEndReason::IterationLimit: return "iteration_limit";
    case FitEndReason::SingularSystem: return "singular_system";
    case FitEndReason::NonFiniteStep: return "non_finite_step";
    case FitEndReason::StepFailed: return "step_failed";
  }
  return "";
}

}  // namespace lumatix::fitting
