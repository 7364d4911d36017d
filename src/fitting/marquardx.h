#pragma once
// Levenberg-Marquardt least-squares fit of one fitting function to one trace, driven one
// step at a time by its owner (a dialog's timer, a command-line loop), which also decides
// when to stop.
//
// Lifecycle: construct (lambda -1) -> Start() -> Step() ... -> SetSigma(SignalNoise()) ->
// Finish() (lambda 0, covariance ready) -> statistics. A Step() after Finish() starts over.
// Everything the steps need is allocated by the constructor: a step allocates nothing.
// One object is one fit; it is not meant to be shared between threads.
//
// A step solves the damped system (alpha + lambda.D) delta = beta (DampedSolver: rank
// deficiency gives the minimum-norm step) and keeps the trial only when its chi-square is
// finite and strictly smaller; a step that cannot be solved or is not finite is a refused
// step, never a failure. lambda follows Nielsen's update (NielsenDamping).
//
// Convergence test, after every accepted step (and at the start): with delta the
// Gauss-Newton step from the current parameters (lambda = 0),
//   relative offset sqrt((delta'beta / p) / (chi / (n - p))) <= 1e-5      (Bates-Watts, R nls)
//   and the decrease delta'beta that step predicts is below what the rounding of chi can
//       show (MINPACK's ftol taken to the arithmetic's limit: see negligibleDecrease)
//   and the curvature determines every free parameter (DampedSolver::determines)
// with p the free parameters. The offset is the step still to take measured in the
// parameters' own standard errors, so the test holds only near a minimum whatever the
// parameters' scales; the decrease bound takes the parameters to the digits the data fix
// (6 and more on NIST's problems, where 1e-5 of an error alone leaves about 1e-6). Where the
// curvature is singular (a rate whose exponential vanished, two phases at one rate) the
// minimum-norm step is small whether or not this is a minimum, so the test does not hold:
// the fit goes on, and ends at the limit as SingularSystem. A refused step changes nothing
// and so never makes the test hold. chi is floored at 1e-16 of the weighted sum of y^2 so
// that an exact fit can converge. Converged() tells whether the test held here.

#include <cstdint>
#include <memory>
#include <vector>

#include "fitting/curvature_kernel.h"
#include "fitting/damped_solver.h"
#include "fitting/fit_end_reason.h"
#include "fitting/fit_function.h"
#include "fitting/gauss_jordan.h"

namespace lumatix::fitting {

class Marquardx {
 public:
  // Fits from the given start values; a parameter whose lock is 1 is held at its value, any
  // other lock value leaves it free. Throws std::runtime_error with
  // "Marquardt : unmatched size in x and y" when x and y differ in length,
  // "Marquardt : unmatched size in estimate" when locks or start values are not one per
  // parameter, "Marquardt : out of memory" when the arrays cannot be allocated.
  Marquardx(const std::vector<double>& x, const std::vector<double>& y, const FitFunction& function,
            const std::vector<std::int32_t>& locks, const std::vector<double>& start);
  // Fits every parameter, from the function's estimate for the data. Throws as above.
  Marquardx(const std::vector<double>& x, const std::vector<double>& y, const FitFunction& function);
  virtual ~Marquardx() = default;

  Marquardx(const Marquardx&) = delete;
  Marquardx& operator=(const Marquardx&) = delete;

  // The standard deviation assumed for every point (1.0 until set).
  void SetSigma(double sigma);
  // Throws "Marquardt : unmatched size in estimate" unless there is one value per parameter.
  void SetParameters(const std::vector<double>& values);
  std::vector<double> GetParameters() const;
  // The function's start-value estimate for this fit's data.
  std::vector<double> Estimate() const;

  // Re-initialises and takes one step; false when the step failed with a std::exception.
  bool Start();
  // One step (re-initialising first after Finish()); false when it failed. On failure the
  // parameters keep their last accepted values.
  bool Step();
  // A fresh step at the current parameters, then the covariance. Returns the reduced
  // chi-square, or -1 when either step failed.
  double Finish();

  // Per degree of freedom (n minus the free parameters): infinite or NaN when they are equal.
  double ReducedChiSquare() const;
  std::int32_t FreeParameterCount() const;
  // Whether the convergence test above held at the current parameters, and its offset.
  bool Converged() const { return converged_; }
  double RelativeOffset() const { return relativeOffset_; }
  // Converged when the test held; else NonFiniteStep when the last step was not finite;
  // else Running before the caller's limit; at it SingularSystem when the fit settled where
  // the curvature does not determine every parameter, IterationLimit otherwise.
  FitEndReason EndReason(bool limitReached) const;
  double ChiSquare() const { return chiSquare_; }
  double Lambda() const { return lambda_; }
  std::int32_t PointCount() const { return pointCount_; }
  std::int32_t ParameterCount() const { return paramCount_; }

  double Evaluate(double x) const;
  std::vector<double> FittedCurve() const;
  // Square roots of the covariance diagonal; meaningful after Finish().
  std::vector<double> ParameterErrors() const;
  // sqrt(sum of squared residuals / (n - free parameters)).
  double SignalNoise() const;
  // sum of squared residuals / (n - free parameters).
  double NormalisedVariance() const;

 private:
  void loadData(const std::vector<double>& x, const std::vector<double>& y);
  void allocate();
  void takeStep();
  void initialise();
  // Curvature (free block, compact indexes), beta, chi-square and the unweighted sum of
  // squared residuals at the parameters p.
  void computeCurvature(const double* p, double* alpha, double* beta, double& chi, double& squares);
  // Model values and derivative columns of the points first..first+count-1 into the block scratch.
  void evaluateBlock(const double* p, std::size_t first, std::size_t count);
  void sortCovariance();
  void loadSystem();
  void testConvergence();
  double chiFloor() const;
  double degreesOfFreedom() const;
  double sumOfSquares() const;
  double& covarianceAt(std::int32_t row, std::int32_t column) {
    return covariance_[static_cast<std::size_t>(row) * stride_ + static_cast<std::size_t>(column)];
  }
  double& curvatureAt(std::int32_t row, std::int32_t column) {
    return curvature_[static_cast<std::size_t>(row) * stride_ + static_cast<std::size_t>(column)];
  }

  std::int32_t pointCount_ = 0;
  // The data are kept from index 0. Every point has the same sigma; the sums use 1/sigma^2.
  std::vector<double> xValues_, yValues_;
  double weight_ = 1.0;
  FitFunction function_;
  std::int32_t paramCount_ = 0;
  std::size_t stride_ = 1;
  // Parameter-indexed arrays run 1..m (element 0 unused), matrices 1..m by 1..m.
  std::vector<double> params_;
  std::vector<std::int32_t> freeFlags_;
  std::vector<double> covariance_;
  std::vector<double> curvature_;
  double chiSquare_ = 0.0;
  double lambda_ = -1.0;

  // Step state, kept between the steps of one fit.
  std::int32_t freeCount_ = 0;
  std::vector<std::int32_t> freeIndex_;  // freeIndex_[jj] = parameter of the jj-th free one
  double previousChiSquare_ = 0.0;
  // Sum of squared residuals at params_, known once a step has computed it there.
  double squaresAtParams_ = 0.0;
  bool squaresKnown_ = false;
  std::vector<double> trial_, beta_, stepVector_, rightHandSide_;
  mutable std::vector<double> derivatives_;
  // Scratch of the curvature sums: the running sums and their packed totals, one block of
  // model values and derivatives (a column of kBlockPoints per parameter, 1..m), the free
  // parameters' columns, and one point's derivatives for models without a batch routine.
  static constexpr std::size_t kBlockPoints = 256;
  std::unique_ptr<detail::CurvatureSums> sums_;
  std::vector<double> packedCurvature_, blockModel_, blockDerivatives_, pointDerivatives_;
  std::vector<const double*> freeColumns_;
  std::unique_ptr<GaussJordanWork> solverWork_;

  static constexpr double kOffsetTolerance = 1e-5;
  static constexpr double kPerfectFitScale = 1e-16;
  double sumOfDataSquares_ = 0.0;
  DampedSolver solver_;
  NielsenDamping damping_;
  DampedSolver::Matrix alpha_;
  DampedSolver::Vector betaVector_, delta_, gaussNewton_;
  bool converged_ = false;
  // The test held but for the curvature, which leaves some parameter undetermined.
  bool undetermined_ = false;
  bool lastStepFinite_ = true;
  double relativeOffset_ = 0.0;
};

}  // namespace lumatix::fitting
