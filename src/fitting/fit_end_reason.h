#pragma once
// How a fit ended, for the person (a sentence) and for programs (the enum, and its key in the
// command line's JSON).

namespace lumatix::fitting {

enum class FitEndReason {
  Running,         // no end yet
  Converged,       // the convergence test of marquardx.h held
  IterationLimit,  // the iteration limit came first
  SingularSystem,  // the final curvature matrix cannot be inverted: some parameters are not determined
  NonFiniteStep,   // the model gave no finite chi-square or step from these parameters
  StepFailed,      // a step threw
};

// One sentence saying how the fit ended, e.g. "The fit converged: ...".
const char* describeEndReason(FitEndReason reason);
// A short lower-case key: "running", "converged", "iteration_limit", "singular_system",
// "non_finite_step", "step_failed".
const char* endReasonKey(FitEndReason reason);

}  // namespace lumatix::fitting
