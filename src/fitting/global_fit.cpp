#include "fitting/global_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace lumatix::fitting {
namespace {

double median(std::vector<double> values) {
  std::vector<double> finite;
  for (double v : values)
    if (std::isfinite(v)) finite.push_back(v);
  if (finite.empty()) return values.empty() ? 0.0 : values.front();
  const auto middle = finite.begin() + static_cast<std::ptrdiff_t>(finite.size() / 2);
  std::nth_element(finite.begin(), middle, finite.end());
  return *middle;
}

}  // namespace

GlobalFit::GlobalFit(std::vector<GlobalTrace> traces, const FitFunction& function, std::vector<bool> shared,
                     std::vector<std::int32_t> locks, const std::vector<std::vector<double>>& start)
    : traces_(std::move(traces)),
      function_(function),
      shared_(std::move(shared)),
      locks_(std::move(locks)),
      paramCount_(static_cast<std::int32_t>(function.parameterNames.size())) {
  const auto m = static_cast<std::size_t>(paramCount_);
  if (traces_.empty()) throw std::runtime_error("A global fit needs at least one trace.");
  if (shared_.size() != m || locks_.size() != m)
    throw std::runtime_error("A global fit needs a shared or local choice and a lock for every parameter of " +
                             function.name + ".");
  if (start.size() != traces_.size()) throw std::runtime_error("A global fit needs one row of start values per trace.");
  std::int64_t points = 0;
  for (std::size_t t = 0; t < traces_.size(); ++t) {
    const auto& trace = traces_[t];
    if (trace.x.size() != trace.y.size())
      throw std::runtime_error("Trace " + std::to_string(t + 1) + " has x and y of different lengths.");
    if (trace.x.empty()) throw std::runtime_error("Trace " + std::to_string(t + 1) + " has no points.");
    for (std::size_t i = 0; i < trace.x.size(); ++i)
      if (!std::isfinite(trace.x[i]) || !std::isfinite(trace.y[i]))
        throw std::runtime_error("Trace " + std::to_string(t + 1) + " holds a value that is not a finite number.");
    if (start[t].size() != m)
      throw std::runtime_error(function.name + " needs " + std::to_string(m) + " start values per trace.");
    points += static_cast<std::int64_t>(trace.x.size());
    longestTrace_ = std::max(longestTrace_, trace.x.size());
    for (double v : trace.y) sumOfDataSquares_ += v * v;
  }
  if (points > std::numeric_limits<std::int32_t>::max()) throw std::runtime_error("A global fit holds too many points.");
  pointCount_ = static_cast<std::int32_t>(points);
  for (std::int32_t j = 1; j <= paramCount_; ++j) {
    const auto i = static_cast<std::size_t>(j - 1);
    if (locks_[i] == 1) continue;
    (shared_[i] ? sharedFree_ : localFree_).push_back(j);
  }
  if (sharedFree_.size() > static_cast<std::size_t>(kMaxFreeParameters) ||
      localFree_.size() > static_cast<std::size_t>(kMaxFreeParameters))
    throw std::runtime_error("A global fit takes at most " + std::to_string(kMaxFreeParameters) +
                             " free parameters of each kind.");

  const auto rows = static_cast<Eigen::Index>(traces_.size());
  params_.setZero(rows, paramCount_ + 1);
  for (Eigen::Index t = 0; t < rows; ++t)
    for (std::int32_t j = 1; j <= paramCount_; ++j) {
      const auto i = static_cast<std::size_t>(j - 1);
      params_(t, j) = shared_[i] ? start[0][i] : start[static_cast<std::size_t>(t)][i];
    }
  trial_ = params_;
  const auto s = static_cast<std::int32_t>(sharedFree_.size());
  const auto l = static_cast<std::int32_t>(localFree_.size());
  system_ = std::make_unique<BlockNormalEquations>(s, l, TraceCount());
  trialSystem_ = std::make_unique<BlockNormalEquations>(s, l, TraceCount());
  model_.assign(longestTrace_, 0.0);
  derivatives_.assign((m + 1) * longestTrace_, 0.0);
  point_.assign(m + 1, 0.0);
  errorsShared_.setZero(s);
  errorsLocal_.setZero(l, TraceCount());
}

std::vector<std::vector<double>> GlobalFit::Estimate(const std::vector<GlobalTrace>& traces, const FitFunction& function,
                                                     const std::vector<bool>& shared) {
  std::vector<std::vector<double>> rows;
  for (const auto& trace : traces) rows.push_back(function.estimate(trace.x, trace.y, function.count));
  for (std::size_t j = 0; j < shared.size(); ++j) {
    if (!shared[j]) continue;
    std::vector<double> column;
    for (const auto& row : rows) column.push_back(j < row.size() ? row[j] : 0.0);
    const double value = median(column);
    for (auto& row : rows)
      if (j < row.size()) row[j] = value;
  }
  return rows;
}

double GlobalFit::accumulate(const Eigen::MatrixXd& params, BlockNormalEquations& system) {
  system.clear();
  double chi = 0.0;
  const auto m = static_cast<std::size_t>(paramCount_);
  for (std::int32_t t = 0; t < TraceCount(); ++t) {
    const auto& trace = traces_[static_cast<std::size_t>(t)];
    const std::size_t n = trace.x.size();
    const Eigen::VectorXd row = params.row(t).transpose();
    const double* p = row.data();
    if (function_.batch) {
      function_.batch(trace.x.data(), n, p, paramCount_, model_.data(), derivatives_.data(), longestTrace_);
    } else {
      for (std::size_t i = 0; i < n; ++i) {
        function_.model(trace.x[i], p, model_[i], point_.data(), paramCount_);
        for (std::size_t j = 1; j <= m; ++j) derivatives_[j * longestTrace_ + i] = point_[j];
      }
    }
    const auto rowsN = static_cast<Eigen::Index>(n);
    js_.resize(rowsN, static_cast<Eigen::Index>(sharedFree_.size()));
    jl_.resize(rowsN, static_cast<Eigen::Index>(localFree_.size()));
    residual_.resize(rowsN);
    for (std::size_t c = 0; c < sharedFree_.size(); ++c)
      js_.col(static_cast<Eigen::Index>(c)) = Eigen::Map<const Eigen::VectorXd>(
          derivatives_.data() + static_cast<std::size_t>(sharedFree_[c]) * longestTrace_, rowsN);
    for (std::size_t c = 0; c < localFree_.size(); ++c)
      jl_.col(static_cast<Eigen::Index>(c)) = Eigen::Map<const Eigen::VectorXd>(
          derivatives_.data() + static_cast<std::size_t>(localFree_[c]) * longestTrace_, rowsN);
    for (std::size_t i = 0; i < n; ++i) residual_(static_cast<Eigen::Index>(i)) = trace.y[i] - model_[i];
    chi += residual_.squaredNorm();
    system.add(t, js_, jl_, residual_);
  }
  return chi;
}

void GlobalFit::initialise() {
  iterations_ = 0;
  covarianceKnown_ = false;
  lambda_ = 1.0;
  damping_.set(lambda_);
  system_->resetScale();
  chiSquare_ = accumulate(params_, *system_);
  lastStepFinite_ = std::isfinite(chiSquare_);
  system_->updateScale();
  testConvergence();
}

void GlobalFit::applyStep(const Eigen::MatrixXd& from, Eigen::MatrixXd& to) const {
  to = from;
  for (std::size_t c = 0; c < sharedFree_.size(); ++c) to.col(sharedFree_[c]).array() += dS_(static_cast<Eigen::Index>(c));
  for (std::size_t c = 0; c < localFree_.size(); ++c)
    to.col(localFree_[c]) += dL_.row(static_cast<Eigen::Index>(c)).transpose();
}

bool GlobalFit::Step() {
  try {
    if (lambda_ < 0.0) initialise();
    ++iterations_;
    covarianceKnown_ = false;
    bool accepted = false;
    double trialChi = 0.0;
    if (system_->solve(lambda_, dS_, dL_)) {
      applyStep(params_, trial_);
      trialChi = accumulate(trial_, *trialSystem_);
      lastStepFinite_ = std::isfinite(trialChi);
      accepted = lastStepFinite_ && trialChi < chiSquare_;
    } else {
      lastStepFinite_ = false;
    }
    if (accepted) {
      const double predicted = system_->predictedDecrease(dS_, dL_);
      damping_.accepted((chiSquare_ - trialChi) / predicted);
      chiSquare_ = trialChi;
      params_ = trial_;
      system_->assign(*trialSystem_);
      system_->updateScale();
      testConvergence();
    } else {
      damping_.rejected();
    }
    lambda_ = damping_.lambda();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

void GlobalFit::testConvergence() {
  converged_ = false;
  undetermined_ = false;
  if (!std::isfinite(chiSquare_)) return;
  if (!system_->solve(0.0, gaussS_, gaussL_)) return;
  const std::int32_t free = FreeParameterCount();
  const double deltaBeta = free == 0 ? 0.0 : system_->stepDotGradient(gaussS_, gaussL_);
  const double floor = sumOfDataSquares_ * kPerfectFitScale;
  const double offset = relativeOffset(deltaBeta, chiSquare_, floor, pointCount_, free);
  const double chi = std::max(chiSquare_, floor);
  if (offset > kOffsetTolerance || deltaBeta > negligibleDecrease(chi, pointCount_, sumOfDataSquares_)) return;
  undetermined_ = !system_->determinesAll();
  converged_ = !undetermined_;
}

FitEndReason GlobalFit::Run(std::int32_t maxIterations) {
  if (lambda_ < 0.0) {
    try {
      initialise();
    } catch (const std::exception&) {
      return FitEndReason::StepFailed;
    }
  }
  bool stuck = false;
  while (!converged_ && iterations_ < maxIterations) {
    if (!Step()) return FitEndReason::StepFailed;
    // The damping at its bound: no step from here will be taken, as at the limit.
    stuck = lambda_ >= 1e100;
    if (stuck) break;
  }
  const FitEndReason reason = EndReason(stuck || iterations_ >= maxIterations);
  if (!Finish()) return FitEndReason::SingularSystem;
  return reason;
}

bool GlobalFit::Finish() {
  covarianceKnown_ = false;
  if (lambda_ < 0.0) initialise();
  Eigen::VectorXd shared;
  Eigen::MatrixXd local;
  const bool invertible = system_->inverseDiagonal(shared, local);
  const double scale = ReducedChiSquare();
  if (invertible && std::isfinite(scale)) {
    errorsShared_ = (shared * scale).cwiseSqrt();
    errorsLocal_ = (local * scale).cwiseSqrt();
  } else {
    errorsShared_.setConstant(std::numeric_limits<double>::quiet_NaN());
    errorsLocal_.setConstant(std::numeric_limits<double>::quiet_NaN());
  }
  covarianceKnown_ = invertible;
  return invertible;
}

FitEndReason GlobalFit::EndReason(bool limitReached) const {
  if (converged_) return FitEndReason::Converged;
  if (!lastStepFinite_) return FitEndReason::NonFiniteStep;
  if (!limitReached) return FitEndReason::Running;
  return undetermined_ ? FitEndReason::SingularSystem : FitEndReason::IterationLimit;
}

std::int32_t GlobalFit::FreeParameterCount() const {
  return static_cast<std::int32_t>(sharedFree_.size() + localFree_.size() * traces_.size());
}

double GlobalFit::ReducedChiSquare() const {
  const std::int32_t dof = pointCount_ - FreeParameterCount();
  return dof > 0 ? chiSquare_ / dof : std::numeric_limits<double>::quiet_NaN();
}

std::vector<double> GlobalFit::Parameters(std::int32_t trace) const {
  std::vector<double> values(static_cast<std::size_t>(paramCount_));
  for (std::int32_t j = 1; j <= paramCount_; ++j) values[static_cast<std::size_t>(j - 1)] = params_(trace, j);
  return values;
}

std::vector<double> GlobalFit::Errors(std::int32_t trace) const {
  std::vector<double> errors(static_cast<std::size_t>(paramCount_), 0.0);
  for (std::size_t c = 0; c < sharedFree_.size(); ++c)
    errors[static_cast<std::size_t>(sharedFree_[c] - 1)] = errorsShared_(static_cast<Eigen::Index>(c));
  for (std::size_t c = 0; c < localFree_.size(); ++c)
    errors[static_cast<std::size_t>(localFree_[c] - 1)] = errorsLocal_(static_cast<Eigen::Index>(c), trace);
  return errors;
}

std::vector<double> GlobalFit::FittedCurve(std::int32_t trace) const {
  const auto& x = traces_.at(static_cast<std::size_t>(trace)).x;
  const Eigen::VectorXd row = params_.row(trace).transpose();
  std::vector<double> curve(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) function_.model(x[i], row.data(), curve[i], nullptr, paramCount_);
  return curve;
}

}  // namespace lumatix::fitting
