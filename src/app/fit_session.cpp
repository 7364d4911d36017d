#include "app/fit_session.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <tuple>

#include "app/fit_preferences.h"
#include "app/fit_texts.h"
#include "fitting/fit_funx.h"
#include "platform/build_info.h"
#include "platform/settings_store.h"

namespace lumatix::app {
namespace {

const std::vector<fitting::FitFunction>& table() { return fitting::FitFunx(); }

void checkIndex(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= table().size())
    throw std::out_of_range("There is no fitting function " + std::to_string(index) + ".");
}

// The smallest and largest of the values as single-precision numbers, rounded outwards so
// that a range over the whole extent holds every value; (0, 0) when there is no number.
std::pair<float, float> extent(const std::vector<double>& values) {
  double low = std::numeric_limits<double>::infinity(), high = -std::numeric_limits<double>::infinity();
  for (double v : values) {
    if (v < low) low = v;
    if (v > high) high = v;
  }
  if (low > high) return {0.0f, 0.0f};
  constexpr float kHuge = std::numeric_limits<float>::infinity();
  auto lowF = static_cast<float>(low), highF = static_cast<float>(high);
  if (lowF > low) lowF = std::nextafter(lowF, -kHuge);
  if (highF < high) highF = std::nextafter(highF, kHuge);
  return {lowF, highF};
}

}  // namespace

FitSession::FitSession(Ui& ui, std::vector<double> x, std::vector<double> y, platform::SettingsStore* preferences)
    : ui_(ui), x_(std::move(x)), y_(std::move(y)), preferences_(preferences) {
  if (x_.size() != y_.size()) throw std::invalid_argument("Marquardt : unmatched size in x and y");
}

FitSession::~FitSession() = default;

const fitting::FitFunction& FitSession::Function() const {
  checkIndex(functionIndex_);
  return table()[static_cast<std::size_t>(functionIndex_)];
}

bool FitSession::Preselect(const std::vector<std::string>& entries) {
  const auto earlier = parseEarlierFit(entries);
  if (!earlier) return false;
  functionIndex_ = earlier->functionIndex;
  values_ = earlier->values;
  resizeParameters();
  preselected_ = true;
  return true;
}

void FitSession::restorePreferences() {
  std::optional<StoredRange> range;
  std::optional<int> function = 1;
  if (preferences_) {
    range = readFitRange(*preferences_);
    function = readDefaultFunction(*preferences_);
  }
  if (range) {
    from_ = range->from;
    to_ = range->to;
    rangeSet_ = true;
  }
  if (preselected_ || !function) return;
  functionIndex_ = *function;
  values_.clear();
  resizeParameters();
  if (preferences_)
    if (auto stored = readStartValues(*preferences_, Function().count)) values_ = *stored;
}

void FitSession::Begin() {
  ChangeNotifier::Batch batch(changes_);
  restorePreferences();
  std::tie(xMin_, xMax_) = extent(x_);
  std::tie(yMin_, yMax_) = extent(y_);
  if (rangeSet_) {
    // A stored start that lies before this trace's first x is moved onto it; the fit always
    // runs to the trace's end.
    if (from_ < xMin_) from_ = xMin_;
    to_ = xMax_;
  } else {
    from_ = xMin_;
    to_ = xMax_;
  }
  if (functionIndex_ < 0) {
    functionIndex_ = 0;
    resizeParameters();
  }
  extractRange();
}

void FitSession::resizeParameters() {
  const auto count = static_cast<std::size_t>(Function().count);
  values_.resize(count, 0.0);
  errors_.assign(count, 0.0);
  locks_.resize(count, 0);
  changes_.notify(Change::Parameters);
}

void FitSession::SelectFunction(int index) {
  checkIndex(index);
  if (fitter_) throw std::logic_error("FitSession: the function cannot change while a fit runs");
  if (index == functionIndex_) return;
  functionIndex_ = index;
  values_.clear();
  locks_.clear();
  resizeParameters();
}

void FitSession::SetValues(const std::vector<double>& values) {
  if (values.size() != values_.size()) throw std::invalid_argument("Marquardt : unmatched size in estimate");
  values_ = values;
  changes_.notify(Change::Parameters);
}

void FitSession::SetLocks(const std::vector<std::int32_t>& locks) {
  if (locks.size() != locks_.size()) throw std::invalid_argument("Marquardt : unmatched size in estimate");
  locks_ = locks;
  changes_.notify(Change::Parameters);
}

void FitSession::extractRange() {
  rangeX_.clear();
  rangeY_.clear();
  const double from = from_, to = to_;
  for (std::size_t i = 0; i < x_.size(); ++i) {
    if (x_[i] >= from && x_[i] <= to) {
      rangeX_.push_back(x_[i]);
      rangeY_.push_back(y_[i]);
    }
  }
  changes_.notify(Change::Data);
}

void FitSession::SetRange(float from, float to) {
  if (fitter_) throw std::logic_error("FitSession: the range cannot change while a fit runs");
  from_ = from;
  to_ = to;
  rangeSet_ = true;
  extractRange();
}

void FitSession::ResetRange() { SetRange(xMin_, xMax_); }

bool FitSession::SetMaxIterations(int count) {
  if (count < 1 || count > kMaxIterationsLimit) return false;
  maxIterations_ = count;
  changes_.notify(Change::Parameters);
  return true;
}

void FitSession::clearStatistics() {
  iterations_ = 0;
  stalls_ = 0;
  reducedChiSquare_ = 0.0;
  normalisedVariance_ = 0.0;
  damping_ = 0.0;
  signalNoise_ = 0.0;
  changes_.notify(Change::Parameters);
}

bool FitSession::Estimate() {
  if (fitter_) throw std::logic_error("FitSession: no estimate while a fit runs");
  ChangeNotifier::Batch batch(changes_);
  clearStatistics();
  values_.assign(static_cast<std::size_t>(Function().count), 0.0);
  resizeParameters();
  if (rangeX_.size() < 2) {
    ui_.showMessage(kSuitableRangeMessage, platform::kProductName, Icon::Information, Buttons::Ok);
    return false;
  }
  const fitting::Marquardx estimator(rangeX_, rangeY_, Function());
  values_ = estimator.GetParameters();
  drawPreview();
  return true;
}

FitProgress FitSession::StartFit() {
  if (fitter_) throw std::logic_error("FitSession: a fit is already running");
  ChangeNotifier::Batch batch(changes_);
  changes_.notify(Change::Progress | Change::Parameters);
  iterations_ = 0;
  stalls_ = 0;
  reducedChiSquare_ = 0.0;
  fitStarted_ = true;
  outcome_ = FitProgress::Running;
  reason_ = fitting::FitEndReason::Running;
  fitter_ = std::make_unique<fitting::Marquardx>(rangeX_, rangeY_, Function(), locks_, values_);
  fitter_->SetSigma(1.0);
  if (!fitter_->Start()) return finish(true, fitting::FitEndReason::StepFailed);
  return FitProgress::Running;
}

FitProgress FitSession::Iterate() {
  if (!fitter_) throw std::logic_error("FitSession: no fit is running");
  ChangeNotifier::Batch batch(changes_);
  changes_.notify(Change::Progress | Change::Parameters);
  if (!fitter_->Step()) return finish(true, fitting::FitEndReason::StepFailed);
  ++iterations_;
  reducedChiSquare_ = fitter_->ReducedChiSquare();
  damping_ = fitter_->Lambda();
  if (liveUpdate_) {
    values_ = fitter_->GetParameters();
    drawPreview();
  }
  const fitting::FitEndReason reason = fitter_->EndReason(iterations_ >= maxIterations_);
  if (reason == fitting::FitEndReason::Running) return FitProgress::Running;
  // A non-finite last step is only a refused one: the fit goes on while iterations are left.
  if (reason == fitting::FitEndReason::NonFiniteStep && iterations_ < maxIterations_) return FitProgress::Running;
  return finish(false, reason);
}

FitProgress FitSession::finish(bool failed, fitting::FitEndReason reason) {
  changes_.notify(Change::Progress | Change::Parameters);
  values_ = fitter_->GetParameters();
  bool converged = !failed && reason == fitting::FitEndReason::Converged;
  stalls_ = converged ? 1 : 0;
  if (converged) {
    const double noise = fitter_->SignalNoise();
    // An exact fit has no noise to weight by: its statistics are taken at sigma 1 and its
    // errors, which scale with the noise, are 0.
    const bool noisy = noise > 0.0 && std::isfinite(noise);
    fitter_->SetSigma(noisy ? noise : 1.0);
    const double reduced = fitter_->Finish();
    values_ = fitter_->GetParameters();
    if (reduced == -1.0) {
      // At a minimum where the data do not fix every free parameter there is no covariance:
      // the values stand, but not as a converged fit with errors.
      converged = false;
      reason = fitting::FitEndReason::SingularSystem;
    } else {
      reducedChiSquare_ = reduced;
      normalisedVariance_ = fitter_->NormalisedVariance();
      damping_ = fitter_->Lambda();
      errors_ = fitter_->ParameterErrors();
      if (!noisy)
        for (double& e : errors_) e *= noise;
      signalNoise_ = noise;
    }
  }
  reason_ = reason;
  drawPreview();
  fitter_.reset();
  if (failed) {
    outcome_ = FitProgress::Failed;
    ui_.showMessage(kFloatingPointFailureMessage, platform::kProductName, Icon::Warning, Buttons::Ok);
  } else if (!converged) {
    outcome_ = FitProgress::NotConverged;
    ui_.showMessage(kNotConvergedMessage, platform::kProductName, Icon::Warning, Buttons::Ok);
  } else {
    outcome_ = FitProgress::Converged;
  }
  return outcome_;
}

void FitSession::PlotEvaluation() {
  if (fitter_) throw std::logic_error("FitSession: no evaluation while a fit runs");
  drawPreview();
}

void FitSession::drawPreview() {
  previewRequest_ = PreviewRequest{functionIndex_, values_, from_, to_};
  previewStale_ = true;
  changes_.notify(Change::View);
}

const FitPreview& FitSession::Preview() const {
  if (!previewStale_ || !previewRequest_) return preview_;
  previewStale_ = false;
  const PreviewRequest& request = *previewRequest_;
  const fitting::FitFunction& function = table()[static_cast<std::size_t>(request.functionIndex)];
  std::vector<double> p(request.values.size() + 1, 0.0);
  std::copy(request.values.begin(), request.values.end(), p.begin() + 1);
  preview_.x.clear();
  preview_.fit.clear();
  preview_.residuals.clear();
  float low = 1e6f, high = -1e6f;
  const double from = request.from, to = request.to;
  for (std::size_t i = 0; i < x_.size(); ++i) {
    if (!(x_[i] >= from && x_[i] <= to)) continue;
    double fit = 0.0;
    function.model(x_[i], p.data(), fit, nullptr, function.count);
    const double residual = y_[i] - fit;
    preview_.x.push_back(x_[i]);
    preview_.fit.push_back(fit);
    preview_.residuals.push_back(residual);
    const auto r = static_cast<float>(residual);
    if (r < low) low = r;
    if (r > high) high = r;
  }
  preview_.residualLow = low;
  preview_.residualHigh = high;
  return preview_;
}

void FitSession::storeFunctionPreferences() {
  if (!preferences_ || functionIndex_ < 0) return;
  storeFitFunction(*preferences_, functionIndex_, Function(), values_);
}

bool FitSession::Accept() {
  if (fitter_) throw std::logic_error("FitSession: OK while a fit runs");
  if (preferences_) {
    // A preferences file that cannot be written must not cost the person the fit.
    try {
      storeFitRange(*preferences_, from_, to_);
      storeFunctionPreferences();
    } catch (const std::exception& e) {
      ui_.showMessage(e.what(), platform::kProductName, Icon::Warning, Buttons::Ok);
    }
  }
  return fitStarted_;
}

void FitSession::Close() {
  fitter_.reset();
  if (!fitStarted_) return;
  try {
    storeFunctionPreferences();
  } catch (const std::exception& e) {
    ui_.showMessage(e.what(), platform::kProductName, Icon::Warning, Buttons::Ok);
  }
}

FitResults FitSession::Results() const {
  FitResults r;
  r.functionIndex = functionIndex_;
  r.values = values_;
  r.errors = errors_;
  r.locks = locks_;
  r.from = from_;
  r.to = to_;
  r.includeResiduals = includeResiduals_;
  r.normalisedVariance = normalisedVariance_;
  r.reducedChiSquare = reducedChiSquare_;
  r.signalNoise = signalNoise_;
  r.iterations = iterations_;
  r.converged = outcome_ == FitProgress::Converged;
  r.reason = reason_;
  return r;
}

}  // namespace lumatix::app
