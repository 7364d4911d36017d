#include "fitting/block_normal_equations.h"

#include "fitting/damped_solver.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lumatix::fitting {
namespace {

double unitOf(double scale) { return scale > 0.0 ? 1.0 / std::sqrt(scale) : 1.0; }

}  // namespace

BlockNormalEquations::BlockNormalEquations(std::int32_t shared, std::int32_t local, std::int32_t traces)
    : shared_(shared), local_(local), traces_(traces) {
  if (shared < 0 || local < 0 || traces < 1) throw std::length_error("Global fit : no unknowns to fit");
  const auto t = static_cast<std::size_t>(traces);
  u_.setZero(shared, shared);
  bS_.setZero(shared);
  w_.assign(t, Eigen::MatrixXd::Zero(shared, local));
  v_.assign(t, Eigen::MatrixXd::Zero(local, local));
  bL_.setZero(local, traces);
  scaleS_.setZero(shared);
  scaleL_.setZero(local, traces);
  unitS_.setOnes(shared);
  unitL_.setOnes(local, traces);
  y_.assign(t, Eigen::MatrixXd::Zero(local, shared));
  z_.setZero(local, traces);
  localFactors_.resize(t);
  schur_.setZero(shared, shared);
  schurRhs_.setZero(shared);
}

void BlockNormalEquations::clear() {
  u_.setZero();
  bS_.setZero();
  for (auto& w : w_) w.setZero();
  for (auto& v : v_) v.setZero();
  bL_.setZero();
}

void BlockNormalEquations::add(std::int32_t trace, const Eigen::Ref<const Eigen::MatrixXd>& js,
                               const Eigen::Ref<const Eigen::MatrixXd>& jl, const Eigen::Ref<const Eigen::VectorXd>& r) {
  const auto t = static_cast<std::size_t>(trace);
  if (shared_ > 0) {
    u_.noalias() += js.transpose() * js;
    bS_.noalias() += js.transpose() * r;
    if (local_ > 0) w_[t].noalias() += js.transpose() * jl;
  }
  if (local_ > 0) {
    v_[t].noalias() += jl.transpose() * jl;
    bL_.col(trace).noalias() += jl.transpose() * r;
  }
}

void BlockNormalEquations::assign(const BlockNormalEquations& other) {
  u_ = other.u_;
  bS_ = other.bS_;
  for (std::size_t t = 0; t < w_.size(); ++t) {
    w_[t] = other.w_[t];
    v_[t] = other.v_[t];
  }
  bL_ = other.bL_;
}

void BlockNormalEquations::resetScale() {
  scaleS_.setZero();
  scaleL_.setZero();
}

void BlockNormalEquations::updateScale() {
  for (Eigen::Index j = 0; j < shared_; ++j)
    if (std::isfinite(u_(j, j))) scaleS_(j) = std::max(scaleS_(j), u_(j, j));
  for (std::int32_t t = 0; t < traces_; ++t)
    for (Eigen::Index j = 0; j < local_; ++j) {
      const double d = v_[static_cast<std::size_t>(t)](j, j);
      if (std::isfinite(d)) scaleL_(j, t) = std::max(scaleL_(j, t), d);
    }
}

bool BlockNormalEquations::factor(double lambda) {
  for (Eigen::Index j = 0; j < shared_; ++j) unitS_(j) = unitOf(scaleS_(j));
  for (std::int32_t t = 0; t < traces_; ++t)
    for (Eigen::Index j = 0; j < local_; ++j) unitL_(j, t) = unitOf(scaleL_(j, t));

  // In units of the damping scale the diagonal is about 1: lambda.D becomes lambda (0 where
  // the scale is still 0).
  schur_ = unitS_.asDiagonal() * u_ * unitS_.asDiagonal();
  for (Eigen::Index j = 0; j < shared_; ++j) schur_(j, j) += scaleS_(j) > 0.0 ? lambda : 0.0;
  schurRhs_ = unitS_.cwiseProduct(bS_);
  allInvertible_ = true;
  // Only the undamped system says whether the data determine the unknowns.
  determined_ = lambda == 0.0;
  for (Eigen::Index j = 0; j < shared_ && determined_; ++j)
    determined_ = u_(j, j) > kVanishedCurvature * scaleS_(j);
  Eigen::MatrixXd scaledV;
  Eigen::VectorXd scaledB;
  for (std::int32_t t = 0; t < traces_ && local_ > 0; ++t) {
    const auto i = static_cast<std::size_t>(t);
    const auto units = unitL_.col(t);
    scaledV = units.asDiagonal() * v_[i] * units.asDiagonal();
    for (Eigen::Index j = 0; j < local_; ++j) scaledV(j, j) += scaleL_(j, t) > 0.0 ? lambda : 0.0;
    scaledB = units.cwiseProduct(bL_.col(t));
    if (!scaledV.allFinite() || !scaledB.allFinite()) return false;
    if (determined_) {
      for (Eigen::Index j = 0; j < local_ && determined_; ++j)
        determined_ = v_[i](j, j) > kVanishedCurvature * scaleL_(j, t);
      determined_ = determined_ && reciprocalCondition(scaledV) >= kSmallestReciprocalCondition;
    }
    auto& factor = localFactors_[i];
    factor.compute(scaledV);
    allInvertible_ = allInvertible_ && factor.isInvertible();
    z_.col(t) = factor.solve(scaledB);
    if (shared_ > 0) {
      scaledW_ = unitS_.asDiagonal() * w_[i] * units.asDiagonal();
      y_[i] = factor.solve(scaledW_.transpose());
      schur_.noalias() -= scaledW_ * y_[i];
      schurRhs_.noalias() -= scaledW_ * z_.col(t);
    }
  }
  if (!schur_.allFinite() || !schurRhs_.allFinite()) return false;
  if (shared_ > 0) {
    determined_ = determined_ && reciprocalCondition(schur_) >= kSmallestReciprocalCondition;
    schurFactor_.compute(schur_);
    allInvertible_ = allInvertible_ && schurFactor_.isInvertible();
  }
  return true;
}

bool BlockNormalEquations::solve(double lambda, Eigen::VectorXd& dS, Eigen::MatrixXd& dL) {
  dS.setZero(shared_);
  dL.setZero(local_, traces_);
  if (!factor(lambda)) return false;
  if (shared_ > 0) dS = schurFactor_.solve(schurRhs_);
  for (std::int32_t t = 0; t < traces_ && local_ > 0; ++t) {
    dL.col(t) = z_.col(t);
    if (shared_ > 0) dL.col(t).noalias() -= y_[static_cast<std::size_t>(t)] * dS;
    dL.col(t) = unitL_.col(t).cwiseProduct(dL.col(t));
  }
  dS = unitS_.cwiseProduct(dS);
  return dS.allFinite() && dL.allFinite();
}

double BlockNormalEquations::stepDotGradient(const Eigen::VectorXd& dS, const Eigen::MatrixXd& dL) const {
  double sum = dS.dot(bS_);
  for (std::int32_t t = 0; t < traces_; ++t) sum += dL.col(t).dot(bL_.col(t));
  return sum;
}

double BlockNormalEquations::predictedDecrease(const Eigen::VectorXd& dS, const Eigen::MatrixXd& dL) const {
  double quadratic = dS.dot(u_ * dS);
  for (std::int32_t t = 0; t < traces_; ++t) {
    const auto i = static_cast<std::size_t>(t);
    const auto local = dL.col(t);
    quadratic += local.dot(v_[i] * local);
    if (shared_ > 0 && local_ > 0) quadratic += 2.0 * dS.dot(w_[i] * local);
  }
  return 2.0 * stepDotGradient(dS, dL) - quadratic;
}

bool BlockNormalEquations::inverseDiagonal(Eigen::VectorXd& shared, Eigen::MatrixXd& local) {
  shared.setZero(shared_);
  local.setZero(local_, traces_);
  if (!factor(0.0) || !allInvertible_) return false;
  // The inverse of the whole matrix in blocks: S^-1 for the shared part, and
  // V_t^-1 + (V_t^-1 W_t') S^-1 (W_t V_t^-1) on each trace's diagonal block.
  Eigen::MatrixXd schurInverse;
  if (shared_ > 0) {
    schurInverse = schurFactor_.solve(Eigen::MatrixXd::Identity(shared_, shared_));
    shared = unitS_.cwiseProduct(unitS_).cwiseProduct(schurInverse.diagonal());
  }
  for (std::int32_t t = 0; t < traces_ && local_ > 0; ++t) {
    const auto i = static_cast<std::size_t>(t);
    Eigen::MatrixXd block = localFactors_[i].solve(Eigen::MatrixXd::Identity(local_, local_));
    if (shared_ > 0) block.noalias() += y_[i] * schurInverse * y_[i].transpose();
    local.col(t) = unitL_.col(t).cwiseProduct(unitL_.col(t)).cwiseProduct(block.diagonal());
  }
  return shared.allFinite() && local.allFinite();
}

}  // namespace lumatix::fitting
