#pragma once
// The pieces of a Levenberg-Marquardt step that do not depend on how the curvature was
// summed, shared by every fitter of the library:
//
// - DampedSolver solves (alpha + lambda.D) delta = beta for a symmetric positive semi-definite
//   curvature alpha (half the Hessian of chi-square, J'WJ) and gradient beta (J'W r). D is the
//   largest diagonal of alpha seen so far in the fit (MINPACK's scaling), so a parameter whose
//   derivative vanished (a rate whose exponential underflows everywhere) still gets damped.
//   The solve is a complete orthogonal decomposition of the system scaled to unit diagonal: a rank-deficient system (two phases at
//   one rate) gives the minimum-norm step instead of failing. It reports a step with a
//   non-finite element as unusable; the caller treats that as a rejected step.
// - NielsenDamping adapts lambda from the gain ratio rho = actual / predicted decrease of
//   chi-square (Nielsen 1999): on an accepted step lambda *= max(1/10, 1 - (2 rho - 1)^3), on a
//   rejected one lambda *= nu and nu doubles, so repeated refusals grow lambda quickly and a
//   good quadratic model shrinks it quickly.
// - relativeOffset is the Bates-Watts convergence measure; see marquardx.h for the test.
//
// Sizes are bounded by kMaxFreeParameters so that nothing is allocated per step.

#include <Eigen/Dense>
#include <cstdint>

namespace lumatix::fitting {

inline constexpr std::int32_t kMaxFreeParameters = 32;
inline constexpr double kVanishedCurvature = 1e-20;
// Far above the rounding of the normal equations (about 1e-16) and far below the worst
// conditioning of a determined problem (NIST's Lanczos: about 1e-8).
inline constexpr double kSmallestReciprocalCondition = 1e-13;

// The smallest over the largest eigenvalue of a symmetric positive semi-definite matrix
// scaled to unit diagonal; 0 when a diagonal is not positive or anything is not finite.
double reciprocalCondition(const Eigen::Ref<const Eigen::MatrixXd>& symmetric);

class DampedSolver {
 public:
  using Matrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, kMaxFreeParameters, kMaxFreeParameters>;
  using Vector = Eigen::Matrix<double, Eigen::Dynamic, 1, 0, kMaxFreeParameters, 1>;

  // Starts a fit with `free` unknowns (at most kMaxFreeParameters, else std::length_error).
  void reset(std::int32_t free);
  // Raises the damping scale D to the diagonal of alpha where that is larger.
  void updateScale(const Matrix& alpha);
  // delta from (alpha + lambda.D) delta = beta; false when delta is not finite. lambda = 0
  // gives the Gauss-Newton step (minimum norm where alpha is singular).
  bool solve(const Matrix& alpha, const Vector& beta, double lambda, Vector& delta);
  // Whether alpha determines every unknown: no diagonal has fallen below kVanishedCurvature
  // of its damping scale (a rate whose exponential underflows at every x), and alpha scaled
  // to unit diagonal is not numerically singular (reciprocal condition at least
  // kSmallestReciprocalCondition: two phases at one rate). Where it does not, a small
  // minimum-norm step says nothing about being at a minimum.
  bool determines(const Matrix& alpha) const;
  // The decrease of chi-square that the quadratic model predicts for delta:
  // 2 delta'beta - delta'alpha delta.
  static double predictedDecrease(const Matrix& alpha, const Vector& beta, const Vector& delta);

 private:
  Matrix damped_;
  Vector scale_, units_, scaledBeta_;
  Eigen::CompleteOrthogonalDecomposition<Matrix> decomposition_;
};

class NielsenDamping {
 public:
  explicit NielsenDamping(double initial = 1.0) : lambda_(initial) {}
  double lambda() const { return lambda_; }
  void set(double lambda) {
    lambda_ = lambda;
    nu_ = 2.0;
  }
  // rho: actual over predicted decrease of the accepted step.
  void accepted(double rho);
  void rejected();

 private:
  double lambda_;
  double nu_ = 2.0;
};

// The Bates-Watts relative offset at parameters where the Gauss-Newton step is delta:
// sqrt((delta'beta / p) / (chi / (n - p))), the length of the projection of the residuals on
// the tangent plane against their length off it, each per its degrees of freedom. It measures
// the step still to take against the parameters' standard errors (delta' C^-1 delta / p with
// C the covariance). chiFloor keeps a perfect fit's zero chi-square from dividing by zero;
// n <= p leaves chi / chiFloor alone as the denominator.
double relativeOffset(double deltaBeta, double chi, double chiFloor, std::int32_t n, std::int32_t p);

// The smallest decrease of chi-square that its sum over n points can still show, with
// dataSquares the (weighted) sum of y^2: each residual is rounded to about eps |y_i|, which
// moves chi by about 2 eps sqrt(chi . dataSquares), and the sum itself adds eps sqrt(n) chi.
// A margin of 64 over both. A fit whose Gauss-Newton step predicts less is as close to its
// minimum as the arithmetic lets it get.
double negligibleDecrease(double chi, std::int32_t n, double dataSquares);

}  // namespace lumatix::fitting
