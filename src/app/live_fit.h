#pragma once
// LiveFit: fitting one trace of an acquisition while its data arrive. Each update fits the
// points the link has received so far, starting from the values the last update ended with
// (from the model's estimate the first time, and again after a fit that failed), through the
// fit session the fitting dialog and `lumatix fit` use. What the session would tell the person
// is kept as the fit's state instead: a window that refreshes twice a second must not stack
// up message boxes.
//
// Threading: GUI thread; update() reads the acquired store and must run under the link's
// data lock.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/fit_results.h"

namespace lumatix::datastore {
class DataStore;
}
namespace lumatix::processing {
class CDataSet;
}

namespace lumatix::app {

// What the "Live Fit..." dialog and `lumatix acquire --fit` choose.
struct LiveFitSettings {
  int functionIndex = -1;  // into fitting::FitFunx()
  int trace = 0;           // the trace of the on-line plot, counted from 0
};

class LiveFit {
 public:
  // Throws std::out_of_range "There is no fitting function N." for a function outside the library.
  explicit LiveFit(LiveFitSettings settings);

  const LiveFitSettings& settings() const { return settings_; }

  // Fits the received points of the chosen trace of store, plotted along dims (x dimension,
  // trace dimension or -1); the other dimensions stand at their current index. received
  // holds one byte per index tuple (see CClientInfo). Returns whether a fit ran: fewer than
  // two received points, or a trace the store does not have, leave the last result as it was.
  bool update(const datastore::DataStore& store, std::pair<int, int> dims, const std::vector<std::uint8_t>& received);

  bool hasResult() const { return result_.has_value(); }
  // The last fit that did not fail; call only when hasResult().
  const FitResults& results() const { return *result_; }
  // The received points the last update saw.
  std::size_t pointsUsed() const { return points_; }
  // The fitted line of the last result at the received x values, in ascending x.
  const std::vector<double>& curveX() const { return curveX_; }
  const std::vector<double>& curveY() const { return curveY_; }
  // How the last update went, one line: points, iterations and how the fit ended, or why
  // none ran.
  const std::string& state() const { return state_; }

  // The text of the "Fitting" history entry for the last result, the fitted trace named as the
  // fitting dialog names it in set (the on-line plot's traces); nullopt without a result or
  // when the trace is not in set.
  std::optional<std::string> historyText(const processing::CDataSet& set) const;

 private:
  LiveFitSettings settings_;
  std::optional<FitResults> result_;
  bool restart_ = true;  // estimate again instead of continuing
  std::size_t points_ = 0;
  std::vector<double> curveX_, curveY_;
  std::string state_;
};

}  // namespace lumatix::app
