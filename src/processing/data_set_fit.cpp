// CDataSet::CF_Fit: the fitted and residual traces of a finished fit.

#include <algorithm>
#include <stdexcept>
#include <string>

#include "fitting/fit_funx.h"
#include "processing/axis_labels.h"
#include "processing/data_set.h"

namespace lumatix::processing {
namespace {

inline constexpr int kFittedKind = 10;
inline constexpr int kResidualKind = 11;

}  // namespace

CDataSet CDataSet::CF_Fit(const std::vector<int>& selection, int functionIndex,
                          const std::vector<double>& parameters, float from, float to,
                          bool includeResiduals) const {
  if (selection.size() != zValues.size() || !IsValid())
    throw std::invalid_argument("CDataSet::Subset : size mismatch in Z axis");
  const auto picked = std::count(selection.begin(), selection.end(), 1);
  if (picked > 1) throw std::runtime_error("CDataSet::CF_Fit : more than 1 trace selected\n");
  if (picked == 0) throw std::runtime_error("CDataSet::CF_Fit : no trace selected\n");
  const auto& table = fitting::FitFunx();
  if (functionIndex < 0 || static_cast<std::size_t>(functionIndex) >= table.size())
    throw std::out_of_range("There is no fitting function " + std::to_string(functionIndex) + ".");
  const fitting::FitFunction& function = table[static_cast<std::size_t>(functionIndex)];
  // The model routine reads exactly count parameters.
  if (parameters.size() != static_cast<std::size_t>(function.count))
    throw std::out_of_range("The function \"" + function.name + "\" takes " + std::to_string(function.count) +
                            " parameters, not " + std::to_string(parameters.size()) + ".");

  const auto source = static_cast<std::size_t>(std::find(selection.begin(), selection.end(), 1) - selection.begin());

  // The frame is that of Subset, built here because the fitted trace may be the baseline,
  // which Subset leaves out.
  CDataSet result = Frame();
  result.segments = segments;
  result.kindCounters = kindCounters;
  result.pristineFlag = 0;
  result.subsetFlag = 1;

  std::vector<double> p(parameters.size() + 1, 0.0);
  std::copy(parameters.begin(), parameters.end(), p.begin() + 1);
  const TraceRow& y = yA[source];
  std::vector<double> fitted(xA.size());
  for (std::size_t j = 0; j < xA.size(); ++j) function.model(xA[j], p.data(), fitted[j], nullptr, function.count);

  const auto add = [&](int kind, std::vector<double> row) {
    result.zValues.push_back(zValues[source]);
    result.traceNames.push_back(derivedTraceName(kind, kindCounters[static_cast<std::size_t>(kind)]));
    result.selected.push_back(1);
    result.traceKind.push_back(kind);
    result.traceState.push_back(kTracePresent);
    result.yA.emplace_back(row.begin(), row.end());
    result.yB.emplace_back();
  };
  add(kFittedKind, fitted);
  if (includeResiduals) {
    const double low = from, high = to;
    std::vector<double> residuals(xA.size(), 0.0);
    for (std::size_t j = 0; j < xA.size(); ++j)
      if (xA[j] >= low && xA[j] <= high) residuals[j] = y[j] - fitted[j];
    add(kResidualKind, std::move(residuals));
  }
  result.traceCount = result.TraceCount();
  result.hasTraceDim = result.TraceCount() > 1;
  return result;
}

}  // namespace lumatix::processing
