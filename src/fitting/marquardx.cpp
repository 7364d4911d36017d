#include "fitting/marquardx.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <utility>

namespace lumatix::fitting {

Marquardx::Marquardx(const std::vector<double>& x, const std::vector<double>& y, const FitFunction& function,
                     const std::vector<std::int32_t>& locks, const std::vector<double>& start)
    : function_(function), paramCount_(static_cast<std::int32_t>(function.parameterNames.size())) {
  loadData(x, y);
  if (locks.size() != static_cast<std::size_t>(paramCount_)) throw std::runtime_error("Marquardt : unmatched size in estimate");
  SetParameters(start);
  for (std::int32_t j = 1; j <= paramCount_; ++j) freeFlags_[j] = locks[static_cast<std::size_t>(j - 1)] != 1 ? 1 : 0;
}

Marquardx::Marquardx(const std::vector<double>& x, const std::vector<double>& y, const FitFunction& function)
    : function_(function), paramCount_(static_cast<std::int32_t>(function.parameterNames.size())) {
  loadData(x, y);
  SetParameters(Estimate());
  for (std::int32_t j = 1; j <= paramCount_; ++j) freeFlags_[j] = 1;
}

void Marquardx::loadData(const std::vector<double>& x, const std::vector<double>& y) {
  if (x.size() != y.size()) throw std::runtime_error("Marquardt : unmatched size in x and y");
  if (x.size() > static_cast<std::size_t>(INT32_MAX)) throw std::runtime_error("Marquardt : out of memory");
  pointCount_ = static_cast<std::int32_t>(x.size());
  try {
    xValues_ = x;
    yValues_ = y;
    for (double v : y) sumOfDataSquares_ += v * v;
    allocate();
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("Marquardt : out of memory");
  } catch (const std::length_error&) {
    throw std::runtime_error("Marquardt : out of memory");
  }
}

void Marquardx::allocate() {
  const auto m = static_cast<std::size_t>(paramCount_);
  stride_ = m + 1;
  params_.assign(m + 1, 0.0);
  freeFlags_.assign(m + 1, 0);
  covariance_.assign(stride_ * stride_, 0.0);
  curvature_.assign(stride_ * stride_, 0.0);
  freeIndex_.assign(m + 1, 0);
  trial_.assign(m + 1, 0.0);
  beta_.assign(m + 1, 0.0);
  stepVector_.assign(m + 1, 0.0);
  rightHandSide_.assign(m + 1, 0.0);
  derivatives_.assign(m + 1, 0.0);
  packedCurvature_.assign(m * (m + 1) / 2, 0.0);
  sums_ = std::make_unique<detail::CurvatureSums>(paramCount_);
  blockModel_.assign(kBlockPoints, 0.0);
  blockDerivatives_.assign(kBlockPoints * stride_, 0.0);
  pointDerivatives_.assign(m + 1, 0.0);
  freeColumns_.assign(m, nullptr);
  solverWork_ = std::make_unique<GaussJordanWork>(paramCount_);
  if (paramCount_ > kMaxFreeParameters) throw std::length_error("Marquardt : too many parameters");
}

void Marquardx::SetSigma(double sigma) { weight_ = 1.0 / (sigma * sigma); }

FitEndReason Marquardx::EndReason(bool limitReached) const {
  if (converged_) return FitEndReason::Converged;
  if (!lastStepFinite_) return FitEndReason::NonFiniteStep;
  if (!limitReached) return FitEndReason::Running;
  return undetermined_ ? FitEndReason::SingularSystem : FitEndReason::IterationLimit;
}

void Marquardx::SetParameters(const std::vector<double>& values) {
  if (values.size() != static_cast<std::size_t>(paramCount_)) throw std::runtime_error("Marquardt : unmatched size in estimate");
  for (std::int32_t j = 1; j <= paramCount_; ++j) params_[j] = values[static_cast<std::size_t>(j - 1)];
  squaresKnown_ = false;
  converged_ = false;
  undetermined_ = false;
}

std::vector<double> Marquardx::GetParameters() const { return {params_.begin() + 1, params_.end()}; }

std::vector<double> Marquardx::Estimate() const { return function_.estimate(xValues_, yValues_, paramCount_); }

bool Marquardx::Start() {
  lambda_ = -1.0;
  try {
    takeStep();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool Marquardx::Step() {
  if (lambda_ == 0.0) lambda_ = -1.0;
  try {
    takeStep();
  } catch (...) {
    return false;
  }
  return true;
}

double Marquardx::Finish() {
  try {
    lambda_ = -1.0;
    takeStep();
    lambda_ = 0.0;
    takeStep();
  } catch (const std::exception&) {
    return -1.0;
  }
  return ReducedChiSquare();
}

double Marquardx::ReducedChiSquare() const { return chiSquare_ / degreesOfFreedom(); }

std::int32_t Marquardx::FreeParameterCount() const {
  std::int32_t free = 0;
  for (std::int32_t j = 1; j <= paramCount_; ++j) free += freeFlags_[j] ? 1 : 0;
  return free;
}

double Marquardx::degreesOfFreedom() const { return static_cast<double>(pointCount_ - FreeParameterCount()); }

void Marquardx::initialise() {
  freeCount_ = 0;
  for (std::int32_t j = 1; j <= paramCount_; ++j)
    if (freeFlags_[j]) freeIndex_[++freeCount_] = j;
  lambda_ = 1.0;
  damping_.set(lambda_);
  solver_.reset(freeCount_);
  alpha_.resize(freeCount_, freeCount_);
  betaVector_.resize(freeCount_);
  computeCurvature(params_.data(), curvature_.data(), beta_.data(), chiSquare_, squaresAtParams_);
  squaresKnown_ = true;
  previousChiSquare_ = chiSquare_;
  trial_ = params_;
  lastStepFinite_ = std::isfinite(chiSquare_);
  loadSystem();
  solver_.updateScale(alpha_);
  testConvergence();
}

void Marquardx::takeStep() {
  // A NaN lambda is left alone: only a negative one asks for a fresh start.
  if (lambda_ < 0.0) initialise();

  if (lambda_ == 0.0) {
    for (std::int32_t jj = 1; jj <= freeCount_; ++jj) {
      for (std::int32_t kk = 1; kk <= freeCount_; ++kk) covarianceAt(jj, kk) = curvatureAt(jj, kk);
      rightHandSide_[jj] = beta_[jj];
    }
    gaussJordan(covariance_.data(), freeCount_, stride_, rightHandSide_.data(), *solverWork_);
    sortCovariance();
    return;
  }

  loadSystem();
  // A step that cannot be computed, or lands where chi-square is not finite, is a refused step.
  bool accepted = false;
  double trialSquares = 0.0;
  if (solver_.solve(alpha_, betaVector_, lambda_, delta_)) {
    for (std::int32_t jj = 1; jj <= freeCount_; ++jj) {
      const std::int32_t j = freeIndex_[jj];
      trial_[j] = params_[j] + delta_(jj - 1);
    }
    // The trial's curvature and beta land in covariance and the step vector, which are free now.
    computeCurvature(trial_.data(), covariance_.data(), stepVector_.data(), chiSquare_, trialSquares);
    lastStepFinite_ = std::isfinite(chiSquare_);
    accepted = lastStepFinite_ && chiSquare_ < previousChiSquare_;
  } else {
    lastStepFinite_ = false;
  }

  if (accepted) {
    const double predicted = DampedSolver::predictedDecrease(alpha_, betaVector_, delta_);
    damping_.accepted((previousChiSquare_ - chiSquare_) / predicted);
    previousChiSquare_ = chiSquare_;
    squaresAtParams_ = trialSquares;
    for (std::int32_t jj = 1; jj <= freeCount_; ++jj) {
      for (std::int32_t kk = 1; kk <= freeCount_; ++kk) curvatureAt(jj, kk) = covarianceAt(jj, kk);
      beta_[jj] = stepVector_[jj];
    }
    for (std::int32_t jj = 1; jj <= freeCount_; ++jj) {
      const std::int32_t j = freeIndex_[jj];
      params_[j] = trial_[j];
    }
    loadSystem();
    solver_.updateScale(alpha_);
    testConvergence();
  } else {
    damping_.rejected();
    chiSquare_ = previousChiSquare_;
  }
  lambda_ = damping_.lambda();
}

void Marquardx::loadSystem() {
  for (std::int32_t jj = 1; jj <= freeCount_; ++jj) {
    for (std::int32_t kk = 1; kk <= freeCount_; ++kk) alpha_(jj - 1, kk - 1) = curvatureAt(jj, kk);
    betaVector_(jj - 1) = beta_[jj];
  }
}

void Marquardx::testConvergence() {
  // The Gauss-Newton step from here, measured against the parameters' standard errors; the
  // decrease of chi-square it predicts (delta'beta) must be down to what chi-square's own
  // rounding can show, and the curvature must determine every free parameter.
  converged_ = false;
  undetermined_ = false;
  if (!std::isfinite(chiSquare_)) return;
  if (!solver_.solve(alpha_, betaVector_, 0.0, gaussNewton_)) return;
  const double deltaBeta = freeCount_ == 0 ? 0.0 : gaussNewton_.dot(betaVector_);
  relativeOffset_ = relativeOffset(deltaBeta, chiSquare_, chiFloor(), pointCount_, freeCount_);
  const double chi = std::max(chiSquare_, chiFloor());
  if (relativeOffset_ > kOffsetTolerance || deltaBeta > negligibleDecrease(chi, pointCount_, weight_ * sumOfDataSquares_)) return;
  undetermined_ = !solver_.determines(alpha_);
  converged_ = !undetermined_;
}

double Marquardx::chiFloor() const { return weight_ * sumOfDataSquares_ * kPerfectFitScale; }

void Marquardx::computeCurvature(const double* p, double* alpha, double* beta, double& chi, double& squares) {
  const std::int32_t free = freeCount_;
  for (std::int32_t jj = 1; jj <= free; ++jj)
    freeColumns_[static_cast<std::size_t>(jj - 1)] =
        blockDerivatives_.data() + static_cast<std::size_t>(freeIndex_[jj]) * kBlockPoints;
  sums_->reset(free);
  // The model runs over a block of points first so that the sums run without calls in between.
  for (std::size_t first = 0; first < xValues_.size(); first += kBlockPoints) {
    const std::size_t count = std::min(kBlockPoints, xValues_.size() - first);
    evaluateBlock(p, first, count);
    sums_->add({freeColumns_.data(), blockModel_.data(), yValues_.data() + first, weight_, count});
  }
  sums_->totals(packedCurvature_.data(), beta + 1, chi, squares);
  std::size_t k = 0;
  for (std::int32_t jj = 1; jj <= free; ++jj) {
    for (std::int32_t kk = 1; kk <= jj; ++kk, ++k) {
      alpha[static_cast<std::size_t>(jj) * stride_ + kk] = packedCurvature_[k];
      alpha[static_cast<std::size_t>(kk) * stride_ + jj] = packedCurvature_[k];
    }
  }
}

void Marquardx::evaluateBlock(const double* p, std::size_t first, std::size_t count) {
  if (function_.batch) {
    function_.batch(xValues_.data() + first, count, p, paramCount_, blockModel_.data(), blockDerivatives_.data(),
                    kBlockPoints);
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    function_.model(xValues_[first + i], p, blockModel_[i], pointDerivatives_.data(), paramCount_);
    for (std::int32_t l = 1; l <= paramCount_; ++l)
      blockDerivatives_[static_cast<std::size_t>(l) * kBlockPoints + i] = pointDerivatives_[static_cast<std::size_t>(l)];
  }
}

void Marquardx::sortCovariance() {
  const std::int32_t m = paramCount_;
  for (std::int32_t i = freeCount_ + 1; i <= m; ++i)
    for (std::int32_t j = 1; j <= i; ++j) covarianceAt(i, j) = covarianceAt(j, i) = 0.0;
  std::int32_t k = freeCount_;
  for (std::int32_t j = m; j >= 1; --j) {
    if (!freeFlags_[j]) continue;
    for (std::int32_t i = 1; i <= m; ++i) std::swap(covarianceAt(i, k), covarianceAt(i, j));
    for (std::int32_t i = 1; i <= m; ++i) std::swap(covarianceAt(k, i), covarianceAt(j, i));
    --k;
  }
}

double Marquardx::Evaluate(double x) const {
  double y = 0.0;
  function_.model(x, params_.data(), y, derivatives_.data(), paramCount_);
  return y;
}

std::vector<double> Marquardx::FittedCurve() const {
  std::vector<double> curve(xValues_.size());
  for (std::size_t i = 0; i < curve.size(); ++i) curve[i] = Evaluate(xValues_[i]);
  return curve;
}

std::vector<double> Marquardx::ParameterErrors() const {
  std::vector<double> errors(static_cast<std::size_t>(paramCount_));
  for (std::int32_t j = 1; j <= paramCount_; ++j)
    errors[static_cast<std::size_t>(j - 1)] = std::sqrt(covariance_[static_cast<std::size_t>(j) * stride_ + j]);
  return errors;
}

double Marquardx::sumOfSquares() const {
  // The last step already summed the same residuals in the same order.
  if (squaresKnown_) return squaresAtParams_;
  double sum = 0.0;
  // No model value depends on whether derivatives are asked for, so none are.
  for (std::size_t i = 0; i < xValues_.size(); ++i) {
    double model = 0.0;
    function_.model(xValues_[i], params_.data(), model, nullptr, paramCount_);
    const double residual = yValues_[i] - model;
    sum += residual * residual;
  }
  return sum;
}

double Marquardx::NormalisedVariance() const {
  return sumOfSquares() / degreesOfFreedom();
}

double Marquardx::SignalNoise() const { return std::sqrt(NormalisedVariance()); }

}  // namespace lumatix::fitting
