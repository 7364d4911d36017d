#include "fitting/damped_solver.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

bool DampedSolver::determines(const Matrix& alpha) const {
  for (Eigen::Index j = 0; j < alpha.rows(); ++j)
    if (!(alpha(j, j) > kVanishedCurvature * scale_(j))) return false;
  return alpha.rows() == 0 || reciprocalCondition(alpha) >= kSmallestReciprocalCondition;
}

double reciprocalCondition(const Eigen::Ref<const Eigen::MatrixXd>& symmetric) {
  const Eigen::Index n = symmetric.rows();
  if (n == 0) return 1.0;
  if (!symmetric.allFinite()) return 0.0;
  Eigen::VectorXd units(n);
  for (Eigen::Index j = 0; j < n; ++j) {
    if (!(symmetric(j, j) > 0.0)) return 0.0;
    units(j) = 1.0 / std::sqrt(symmetric(j, j));
  }
  const Eigen::MatrixXd correlation = units.asDiagonal() * symmetric * units.asDiagonal();
  const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eigen(correlation, Eigen::EigenvaluesOnly);
  if (eigen.info() != Eigen::Success) return 0.0;
  const double largest = eigen.eigenvalues().maxCoeff();
  return largest > 0.0 ? std::max(eigen.eigenvalues().minCoeff(), 0.0) / largest : 0.0;
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

double negligibleDecrease(double chi, std::int32_t n, double dataSquares) {
  constexpr double kMargin = 8.0;
  const double points = std::sqrt(std::max(1.0, static_cast<double>(n)));
  const double rounding = points * chi + 2.0 * std::sqrt(std::max(chi, 0.0) * std::max(dataSquares, 0.0));
  return kMargin * std::numeric_limits<double>::epsilon() * rounding;
}

}  // namespace lumatix::fitting
