#include "app/live_fit.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "app/fit_session.h"
#include "app/fit_texts.h"
#include "app/unattended_ui.h"
#include "datastore/data_store.h"
#include "fitting/fit_end_reason.h"
#include "fitting/fit_funx.h"
#include "processing/data_set.h"

namespace lumatix::app {
namespace {

// The session's messages, kept instead of shown.
class QuietUi : public UnattendedUi {
 public:
  Answer showMessage(const std::string& text, const std::string&, Icon, Buttons) override {
    last = text;
    return Answer::Ok;
  }
  std::string last;
};

bool finite(const std::vector<double>& values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

LiveFit::LiveFit(LiveFitSettings settings) : settings_(settings) {
  const auto& table = fitting::FitFunx();
  if (settings_.functionIndex < 0 || static_cast<std::size_t>(settings_.functionIndex) >= table.size())
    throw std::out_of_range("There is no fitting function " + std::to_string(settings_.functionIndex) + ".");
  state_ = "Waiting for data.";
}

bool LiveFit::update(const datastore::DataStore& store, std::pair<int, int> dims,
                     const std::vector<std::uint8_t>& received) {
  const auto [xDim, traceDim] = dims;
  const int dimensionCount = store.dimensions.size();
  const std::int64_t perProperty = store.valuesPerProperty();
  const bool shaped = xDim >= 0 && xDim < dimensionCount && traceDim < dimensionCount && traceDim != xDim &&
                      perProperty > 0 && store.properties.size() > 0 &&
                      perProperty * store.properties.size() == store.data.count &&
                      received.size() == static_cast<std::size_t>(perProperty);
  const int traces = traceDim >= 0 && shaped ? store.dimensions[traceDim].size() : 1;
  if (!shaped || settings_.trace < 0 || settings_.trace >= traces) {
    points_ = 0;
    state_ = "The acquisition has no trace " + std::to_string(settings_.trace + 1) + ".";
    return false;
  }

  // The trace's points, property 0, the dimensions other than the plotted ones at their
  // current index.
  std::int64_t base = 0;
  for (int k = 0; k < dimensionCount; ++k) {
    if (k == xDim) continue;
    const int index = k == traceDim ? settings_.trace : store.dimensions[k].currentIndex;
    if (index < 0 || index >= store.dimensions[k].size()) return false;
    base += index * store.stride(k);
  }
  const auto& xs = store.dimensions[xDim].values;
  const std::int64_t xStride = store.stride(xDim);
  std::vector<double> x, y;
  for (int j = 0; j < xs.size(); ++j) {
    const std::int64_t tuple = base + j * xStride;
    if (!received[static_cast<std::size_t>(tuple)]) continue;
    x.push_back(xs[j]);
    y.push_back(store.data.data[tuple]);
  }
  points_ = x.size();
  if (x.size() < 2) {
    state_ = std::to_string(x.size()) + (x.size() == 1 ? " point" : " points") + " received: waiting for more.";
    return false;
  }

  QuietUi quiet;
  FitSession session(quiet, x, y, nullptr);
  session.Begin();
  session.SelectFunction(settings_.functionIndex);
  if (restart_ || !result_) {
    if (!session.Estimate()) {
      state_ = quiet.last;
      return false;
    }
  } else {
    session.SetValues(result_->values);
    session.SetLocks(result_->locks);
  }
  FitProgress progress = session.StartFit();
  while (progress == FitProgress::Running) progress = session.Iterate();
  const FitResults results = session.Results();
  const bool usable = progress != FitProgress::Failed && finite(results.values);
  // A failed fit keeps the last good one on show and starts afresh from an estimate next time.
  restart_ = !usable;
  state_ = std::to_string(x.size()) + " points, " + std::to_string(results.iterations) + " iterations: " +
           fitting::describeEndReason(results.reason);
  if (!usable) return true;
  result_ = results;

  const FitPreview& preview = session.Preview();
  std::vector<std::size_t> order(preview.x.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return preview.x[a] < preview.x[b]; });
  curveX_.clear();
  curveY_.clear();
  for (std::size_t i : order) {
    if (i >= preview.fit.size()) continue;
    curveX_.push_back(preview.x[i]);
    curveY_.push_back(preview.fit[i]);
  }
  return true;
}

std::optional<std::string> LiveFit::historyText(const processing::CDataSet& set) const {
  if (!result_ || settings_.trace < 0 || settings_.trace >= set.TraceCount()) return std::nullopt;
  const auto trace = static_cast<std::size_t>(settings_.trace);
  std::vector<int> selection(static_cast<std::size_t>(set.TraceCount()), 0);
  selection[trace] = 1;
  try {
    const processing::CDataSet fit =
        set.CF_Fit(selection, result_->functionIndex, result_->values, result_->from, result_->to, false);
    return fittingHistoryText(*result_, set.traceNames.at(trace), fit.traceNames.at(0), std::nullopt);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace lumatix::app
