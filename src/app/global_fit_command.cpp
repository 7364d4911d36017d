#include "app/global_fit_command.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/fit_texts.h"
#include "datastore/data_store.h"
#include "datastore/history_entry.h"
#include "fitting/fit_funx.h"
#include "fitting/global_fit.h"
#include "fitting/thermal_unfolding.h"
#include "platform/build_info.h"
#include "processing/axis_labels.h"
#include "processing/data_set.h"

namespace lumatix::app {
namespace {

constexpr int kFittedKind = 10;
constexpr int kResidualKind = 11;
constexpr const char* kFractionFoldedName = "Fraction folded";
constexpr int kUnfoldingTm = 4, kUnfoldingDH = 5;  // parameter indexes from 0

std::string parameterList(const fitting::FitFunction& function) {
  std::string list;
  for (const auto& name : function.parameterNames) list += (list.empty() ? "" : ",") + name;
  return list;
}

const fitting::FitFunction& functionAt(int index) {
  const auto& table = fitting::FitFunx();
  if (index < 0 || static_cast<std::size_t>(index) >= table.size())
    throw std::runtime_error("There is no fitting function " + std::to_string(index) + ".");
  return table[static_cast<std::size_t>(index)];
}

bool isUnfolding(const fitting::FitFunction& function) { return function.model == fitting::unfolding::model; }

// A new trace of the frame: present, selected, over segment A.
void addTrace(processing::CDataSet& frame, double z, std::string name, int kind, std::vector<double> row) {
  frame.zValues.push_back(z);
  frame.traceNames.push_back(std::move(name));
  frame.selected.push_back(1);
  frame.traceKind.push_back(kind);
  frame.traceState.push_back(processing::kTracePresent);
  frame.yA.emplace_back(row.begin(), row.end());
  frame.yB.emplace_back();
}

void finishFrame(processing::CDataSet& frame) {
  frame.traceCount = frame.TraceCount();
  frame.hasTraceDim = frame.TraceCount() > 1;
}

std::vector<double> curve(const fitting::FitFunction& function, const std::vector<double>& x,
                          const std::vector<double>& values) {
  std::vector<double> p(values.size() + 1, 0.0);
  std::copy(values.begin(), values.end(), p.begin() + 1);
  std::vector<double> y(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) function.model(x[i], p.data(), y[i], nullptr, function.count);
  return y;
}

std::string valueLine(const std::string& name, double value, double error) {
  return name + " = " + fixedText(value) + " +/- " + fixedText(error) + "\r\n";
}

}  // namespace

std::vector<bool> parameterFlags(const fitting::FitFunction& function, const std::string& list) {
  std::vector<bool> flags(function.parameterNames.size(), false);
  if (list.empty()) return flags;
  std::size_t begin = 0;
  while (true) {
    const auto comma = list.find(',', begin);
    const std::string name = list.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
    const auto& names = function.parameterNames;
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end())
      throw std::runtime_error(function.name + " has no parameter \"" + name + "\" (its parameters: " +
                               parameterList(function) + ").");
    const auto j = static_cast<std::size_t>(found - names.begin());
    if (flags[j]) throw std::runtime_error("The parameter \"" + name + "\" is named twice.");
    flags[j] = true;
    if (comma == std::string::npos) return flags;
    begin = comma + 1;
  }
}

GlobalFitSession::GlobalFitSession(const processing::CDataSet& set, const std::vector<int>& selection,
                                   GlobalFitSettings settings)
    : settings_(std::move(settings)) {
  const fitting::FitFunction& function = functionAt(settings_.functionIndex);
  const auto m = static_cast<std::size_t>(function.count);
  if (settings_.maxIterations < 1 || settings_.maxIterations > 1000)
    throw std::runtime_error("The iteration limit must lie between 1 and 1000.");
  if (settings_.shared.size() != m || settings_.locks.size() != m)
    throw std::runtime_error("A global fit needs a shared or local choice and a lock for every parameter of " +
                             function.name + ".");
  if (!settings_.start.empty() && settings_.start.size() != m)
    throw std::runtime_error(function.name + " needs " + std::to_string(m) + " start values (" +
                             parameterList(function) + "), not " + std::to_string(settings_.start.size()) + ".");
  if (std::all_of(settings_.locks.begin(), settings_.locks.end(), [](std::int32_t lock) { return lock == 1; }))
    throw std::runtime_error("Every parameter is locked: there is nothing to fit.");
  if (selection.size() != static_cast<std::size_t>(set.TraceCount()))
    throw std::runtime_error("The selection does not match the traces of the plot.");

  std::vector<fitting::GlobalTrace> traces;
  for (std::size_t t = 0; t < selection.size(); ++t) {
    if (selection[t] != 1) continue;
    const auto& row = set.yA[t];
    if (row.size() != set.xA.size())
      throw std::runtime_error("The trace " + set.traceNames[t] + " does not have as many points as the others.");
    for (double v : row)
      if (!std::isfinite(v))
        throw std::runtime_error("The trace " + set.traceNames[t] + " holds values that are not finite numbers.");
    results_.traces.push_back(static_cast<int>(t));
    results_.traceNames.push_back(set.traceNames[t]);
    traces.push_back({set.xA, row.toDoubles()});
  }
  if (traces.size() < 2) throw std::runtime_error("A global fit needs at least two selected traces.");
  for (double x : set.xA)
    if (!std::isfinite(x)) throw std::runtime_error("The x values hold values that are not finite numbers.");

  if (settings_.start.empty())
    start_ = fitting::GlobalFit::Estimate(traces, function, settings_.shared);
  else
    start_.assign(traces.size(), settings_.start);
  fit_ = std::make_unique<fitting::GlobalFit>(std::move(traces), function, settings_.shared, settings_.locks, start_);
  results_.functionIndex = settings_.functionIndex;
  results_.shared = settings_.shared;
  results_.locks = settings_.locks;
  results_.includeResiduals = settings_.includeResiduals;
}

GlobalFitSession::~GlobalFitSession() = default;

int GlobalFitSession::Iterations() const { return fit_->Iterations(); }

bool GlobalFitSession::Iterate() {
  if (finished_) return false;
  if (!fit_->Step()) {
    finish(fitting::FitEndReason::StepFailed);
    return false;
  }
  const bool limit = fit_->Iterations() >= settings_.maxIterations;
  const fitting::FitEndReason reason = fit_->EndReason(limit);
  if (reason == fitting::FitEndReason::Running) return true;
  // A refused, non-finite trial is only that: the fit goes on while steps are left.
  if (reason == fitting::FitEndReason::NonFiniteStep && !limit) return true;
  finish(reason);
  return false;
}

void GlobalFitSession::Run() {
  while (Iterate()) {
  }
}

void GlobalFitSession::finish(fitting::FitEndReason reason) {
  finished_ = true;
  bool converged = reason == fitting::FitEndReason::Converged;
  if (reason != fitting::FitEndReason::StepFailed && !fit_->Finish() && converged) {
    converged = false;
    reason = fitting::FitEndReason::SingularSystem;
  }
  results_.converged = converged;
  results_.reason = reason;
  results_.iterations = fit_->Iterations();
  results_.reducedChiSquare = fit_->ReducedChiSquare();
  results_.values.clear();
  results_.errors.clear();
  for (std::int32_t t = 0; t < fit_->TraceCount(); ++t) {
    results_.values.push_back(fit_->Parameters(t));
    results_.errors.push_back(fit_->Errors(t));
  }
}

std::string globalFittingHistoryText(const GlobalFitResults& results, const std::vector<std::string>& newTraces) {
  const fitting::FitFunction& function = functionAt(results.functionIndex);
  std::string text;
  for (const auto& name : results.traceNames) text += "Original line : " + name + "\r\n";
  text += function.equation + function.name + "\r\n";
  const auto m = function.parameterNames.size();
  std::string sharedNames;
  for (std::size_t j = 0; j < m; ++j)
    if (j < results.shared.size() && results.shared[j]) sharedNames += (sharedNames.empty() ? "" : ",") + function.parameterNames[j];
  text += "Shared parameters : " + sharedNames + "\r\n";
  if (!results.values.empty())
    for (std::size_t j = 0; j < m; ++j)
      if (results.shared[j]) text += valueLine(function.parameterNames[j], results.values[0][j], results.errors[0][j]);
  for (std::size_t t = 0; t < results.values.size(); ++t) {
    text += "Trace : " + results.traceNames[t] + "\r\n";
    for (std::size_t j = 0; j < m; ++j)
      if (!results.shared[j]) text += valueLine(function.parameterNames[j], results.values[t][j], results.errors[t][j]);
  }
  text += "Reduced chi-squared = " + fixedText(results.reducedChiSquare) + "\r\n";
  text += "Signal noise = " + generalText(std::sqrt(results.reducedChiSquare)) + "\r\n";
  text += "Iterations = " + std::to_string(results.iterations) + "\r\n";
  text += std::string(fitting::describeEndReason(results.reason)) + "\r\n";
  for (const auto& name : newTraces) text += "New trace : " + name + "\r\n";
  return text;
}

namespace {

// Appends the results' traces and entry to set; throws, changing nothing, when they cannot be.
std::string appendResults(processing::CDataSet& set, datastore::DataStore& windowStore, const GlobalFitResults& results) {
  const fitting::FitFunction& function = functionAt(results.functionIndex);
  if (results.values.size() != results.traces.size() || results.traces.empty())
    throw std::runtime_error("The results do not match the fitted traces.");
  // A frame with the data set's labels, x values and history, and no traces.
  processing::CDataSet fits = set.Subset(std::vector<int>(static_cast<std::size_t>(set.TraceCount()), 0));
  processing::CDataSet fractions = fits;
  fractions.defaultTraceName = kFractionFoldedName;
  std::vector<std::string> newTraces;
  int fittedNumber = set.kindCounters[kFittedKind];
  int residualNumber = set.kindCounters[kResidualKind];
  const bool oneFraction =
      results.shared.size() > kUnfoldingDH && results.shared[kUnfoldingTm] && results.shared[kUnfoldingDH];
  for (std::size_t i = 0; i < results.traces.size(); ++i) {
    const auto t = static_cast<std::size_t>(results.traces[i]);
    if (t >= set.yA.size()) throw std::out_of_range("There is no trace " + std::to_string(t) + ".");
    const std::vector<double> fitted = curve(function, set.xA, results.values[i]);
    const double z = set.zValues[t];
    newTraces.push_back(processing::derivedTraceName(kFittedKind, fittedNumber++));
    addTrace(fits, z, newTraces.back(), kFittedKind, fitted);
    if (results.includeResiduals) {
      std::vector<double> residuals(fitted.size());
      for (std::size_t j = 0; j < fitted.size(); ++j) residuals[j] = set.yA[t][j] - fitted[j];
      newTraces.push_back(processing::derivedTraceName(kResidualKind, residualNumber++));
      addTrace(fits, z, newTraces.back(), kResidualKind, std::move(residuals));
    }
    if (isUnfolding(function) && (!oneFraction || i == 0)) {
      const auto& p = results.values[i];
      std::vector<double> folded(set.xA.size());
      for (std::size_t j = 0; j < folded.size(); ++j)
        folded[j] = fitting::unfolding::foldedFraction(set.xA[j], p[kUnfoldingTm], p[kUnfoldingDH]);
      addTrace(fractions, z, oneFraction ? std::string("shared") : set.traceNames[t], 0, std::move(folded));
    }
  }
  finishFrame(fits);
  finishFrame(fractions);
  for (const auto& name : fractions.traceNames) newTraces.push_back(fractions.defaultTraceName + "::" + name);

  const std::string text = globalFittingHistoryText(results, newTraces);
  const datastore::HistoryEntry entry = datastore::makeHistoryEntry(kGlobalFittingHistoryTitle, text);
  if (!fits.IsValid() || !fractions.IsValid()) throw std::runtime_error("Could not create valid dataset");
  // Both frames come from this data set (the same labels and points), so once the first
  // append is taken the second is too.
  if (!set.Append(fits, windowStore)) throw std::runtime_error("The new traces do not fit the plot.");
  if (fractions.TraceCount() > 0) {
    fractions.history = set.history;
    set.Append(fractions, windowStore);
  }
  set.AddHistory(entry);
  return text;
}

}  // namespace

std::optional<std::string> applyGlobalFitResults(processing::CDataSet& set, datastore::DataStore& windowStore,
                                                 const GlobalFitResults& results, Ui& ui) {
  std::string failure;
  try {
    return appendResults(set, windowStore, results);
  } catch (const std::exception& e) {
    failure = std::string("global fit failure (") + e.what() + "), please reset view\n";
  }
  ui.showMessage(failure, platform::kProductName, Icon::Warning, Buttons::Ok);
  return std::nullopt;
}

std::unique_ptr<datastore::DataStore> globalFitResultStore(const processing::CDataSet& set,
                                                           const GlobalFitResults& results,
                                                           const datastore::DataStore& parent,
                                                           const std::string& parentPath, bool compliantNow) {
  std::vector<int> selection(static_cast<std::size_t>(set.TraceCount()), 0);
  GlobalFitResults renumbered = results;
  for (std::size_t i = 0; i < results.traces.size(); ++i) {
    const int t = results.traces[i];
    if (t < 0 || t >= set.TraceCount()) throw std::out_of_range("There is no trace " + std::to_string(t) + ".");
    selection[static_cast<std::size_t>(t)] = 1;
    renumbered.traces[i] = static_cast<int>(i);
  }
  processing::CDataSet fitted = set.Subset(selection);
  if (fitted.TraceCount() != static_cast<int>(results.traces.size()))
    throw std::runtime_error("The fitted traces are no longer all in the plot.");
  // The marks the appends record go to a scratch store: ToDataStore records its own.
  auto scratch = fitted.ToDataStore();
  appendResults(fitted, *scratch, renumbered);
  auto store = fitted.ToDataStore();
  store->deriveFrom(parent, parentPath, true, compliantNow);
  store->saved = false;
  return store;
}

std::vector<bool> defaultSharedParameters(const fitting::FitFunction& function) {
  std::vector<bool> shared(function.parameterNames.size(), false);
  for (std::size_t j = 0; j < shared.size(); ++j) {
    const std::string& name = function.parameterNames[j];
    if (isUnfolding(function))
      shared[j] = name == "Tm" || name == "dH";
    else if (function.model == fitting::FitFunx()[1].model || function.model == fitting::FitFunx()[3].model ||
             function.model == fitting::FitFunx()[2].model)
      shared[j] = !name.empty() && name[0] == 'k';
  }
  return shared;
}

}  // namespace lumatix::app
