#include "fitting/damped_solver.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lumatix::fitting {
namespace {

// Nielsen's own floor is 1/3; 1/10 keeps a good step from shrinking the damping more slowly
// than the classical x0.1 rule.
constexpr double kSmallestShrink = 0.1;

}  // namespace

void DampedSolver::reset(std::int32_t free) {
  if (free < 0 || free > kMaxFreeParameters) throw std::length_error("Marquardt : too many free parameters");
  damped_.resize(free, free);
  scale_.setZero(free);
}

void DampedSolver::updateScale(const Matrix& alpha) {
  for (Eigen::Index j = 0; j < scale_.size(); ++j)
    if (std::isfinite(alpha(j, j))) scale_(j) = std::max(scale_(j), alpha(j, j));
}

bool DampedSolver::solve(const Matrix& alpha, const Vector& beta, double lambda, Vector& delta) {
  const Eigen::Index n = beta.size();
  delta.resize(n);
  if (n == 0) return true;
  // In units of the damping scale the diagonal is about 1, so deciding which directions are
  // not determined does not depend on the parameters' units (b1 ~ 500 beside b2 ~ 1e-4).
  units_.resize(n);
  for (Eigen::Index j = 0; j < n; ++j) units_(j) = scale_(j) > 0.0 ? 1.0 / std::sqrt(scale_(j)) : 1.0;
  damped_ = units_.asDiagonal() * alpha * units_.asDiagonal();
  for (Eigen::Index j = 0; j < n; ++j) damped_(j, j) += lambda * scale_(j) * units_(j) * units_(j);
  scaledBeta_ = units_.cwiseProduct(beta);
  if (!damped_.allFinite() || !scaledBeta_.allFinite()) return false;
  decomposition_.compute(damped_);
  delta = units_.cwiseProduct(decomposition_.solve(scaledBeta_));
  return delta.allFinite();
}

double DampedSolver::predictedDecrease(const Matrix& alpha, const Vector& beta, const Vector& delta) {
  if (delta.size() == 0) return 0.0;
  return 2.0 * delta.dot(beta) - delta.dot(alpha * delta);
}

void NielsenDamping::accepted(double rho) {
  const double t = 2.0 * rho - 1.0;
  lambda_ *= std::isfinite(rho) ? std::max(kSmallestShrink, 1.0 - t * t * t) : kSmallestShrink;
  // Below this the damping changes no digit of the step; the bound keeps it from reaching 0,
  // which the fitter reads as "final step".
  lambda_ = std::max(lambda_, 1e-20);
  nu_ = 2.0;
}

void NielsenDamping::rejected() {
  lambda_ = std::min(lambda_ * nu_, 1e100);
  nu_ = std::min(nu_ * 2.0, 1e6);
}

double relativeOffset(double deltaBeta, double chi, double chiFloor, std::int32_t n, std::int32_t p) {
  if (p <= 0) return 0.0;
  const double dof = n > p ? static_cast<double>(n - p) : 1.0;
  const double off = std::max(chi, chiFloor) / dof;
  return std::sqrt(std::max(deltaBeta, 0.0) / static_cast<double>(p) / off);
}

}  // namespace lumatix::fitting
