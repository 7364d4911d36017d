#pragma once
// Levenberg-Marquardt fit of one fitting function to several traces at once. Each parameter
// of the function is either shared (one value for every trace) or local (one value per
// trace), and either free or locked at its start value. The normal equations keep their
// block structure (BlockNormalEquations), so a fit of hundreds of traces costs memory and
// time linear in their number.
//
// The steps follow Marquardx exactly: the damped step from the same unit-diagonal scaling,
// Nielsen's damping update, a trial kept only when its chi-square is finite and smaller, and
// the same convergence test (see marquardx.h: relative offset <= 1e-5, predicted decrease
// down to the rounding of chi, every unknown determined; chi floored at 1e-16 of the sum of
// y^2) over all points and all free unknowns.
// Every point has unit weight; errors are scaled by the reduced chi-square, from the
// covariance of the whole problem.

#include <Eigen/Dense>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fitting/block_normal_equations.h"
#include "fitting/damped_solver.h"
#include "fitting/fit_end_reason.h"
#include "fitting/fit_function.h"

namespace lumatix::fitting {

struct GlobalTrace {
  std::vector<double> x, y;
};

class GlobalFit {
 public:
  // shared and locks hold one flag per parameter of the function (lock 1 = held); start holds
  // one row of values per trace, and a shared parameter starts from the first row's value.
  // Throws std::runtime_error with the message to show for: fewer than one trace, a trace
  // whose x and y differ in length or that holds a non-finite value, rows or flags not one
  // per parameter, too many free unknowns of a kind (more than kMaxFreeParameters).
  GlobalFit(std::vector<GlobalTrace> traces, const FitFunction& function, std::vector<bool> shared,
            std::vector<std::int32_t> locks, const std::vector<std::vector<double>>& start);

  GlobalFit(const GlobalFit&) = delete;
  GlobalFit& operator=(const GlobalFit&) = delete;

  // Start rows from the function's estimate of each trace; a shared parameter takes the
  // median of the traces' estimates.
  static std::vector<std::vector<double>> Estimate(const std::vector<GlobalTrace>& traces, const FitFunction& function,
                                                   const std::vector<bool>& shared);

  // One step (the first one initialises). False when the model threw; the parameters keep
  // their last accepted values.
  bool Step();
  // Steps until the convergence test holds, a step is not finite twice in a row with the
  // damping at its bound, or maxIterations steps were taken; then Finish(). Returns the end.
  FitEndReason Run(std::int32_t maxIterations);
  // The covariance at the current parameters. False when the system is singular (errors NaN).
  bool Finish();

  bool Converged() const { return converged_; }
  FitEndReason EndReason(bool limitReached) const;
  std::int32_t Iterations() const { return iterations_; }
  double ChiSquare() const { return chiSquare_; }
  // chi-square / (points - free unknowns); NaN when there are no degrees of freedom.
  double ReducedChiSquare() const;
  std::int32_t PointCount() const { return pointCount_; }
  std::int32_t FreeParameterCount() const;
  std::int32_t TraceCount() const { return static_cast<std::int32_t>(traces_.size()); }

  // The m parameter values of trace t (shared ones equal for all traces) and their errors
  // (valid after Finish(); 0 for locked ones).
  std::vector<double> Parameters(std::int32_t trace) const;
  std::vector<double> Errors(std::int32_t trace) const;
  std::vector<double> FittedCurve(std::int32_t trace) const;
  const FitFunction& Function() const { return function_; }
  const std::vector<bool>& Shared() const { return shared_; }
  const std::vector<std::int32_t>& Locks() const { return locks_; }

 private:
  void initialise();
  // Fills `system` at the parameter rows `params` (T x (m+1), element 0 of a row unused) and
  // returns chi-square.
  double accumulate(const Eigen::MatrixXd& params, BlockNormalEquations& system);
  void testConvergence();
  void applyStep(const Eigen::MatrixXd& from, Eigen::MatrixXd& to) const;

  std::vector<GlobalTrace> traces_;
  FitFunction function_;
  std::vector<bool> shared_;
  std::vector<std::int32_t> locks_;
  std::int32_t paramCount_;
  std::int32_t pointCount_ = 0;
  std::size_t longestTrace_ = 0;
  double sumOfDataSquares_ = 0.0;
  std::vector<std::int32_t> sharedFree_, localFree_;  // parameter numbers 1..m
  Eigen::MatrixXd params_, trial_;  // rows per trace, columns 0..m
  std::unique_ptr<BlockNormalEquations> system_, trialSystem_;
  // Scratch of one trace: model values and derivative columns (stride longestTrace_).
  std::vector<double> model_, derivatives_, point_;
  Eigen::MatrixXd js_, jl_;
  Eigen::VectorXd residual_;
  Eigen::VectorXd dS_, gaussS_;
  Eigen::MatrixXd dL_, gaussL_;
  Eigen::VectorXd errorsShared_;
  Eigen::MatrixXd errorsLocal_;
  NielsenDamping damping_;
  double lambda_ = -1.0;
  double chiSquare_ = 0.0;
  std::int32_t iterations_ = 0;
  bool converged_ = false;
  bool undetermined_ = false;
  bool lastStepFinite_ = true;
  bool covarianceKnown_ = false;
  static constexpr double kOffsetTolerance = 1e-5;
  static constexpr double kPerfectFitScale = 1e-16;
};

}  // namespace lumatix::fitting
