#pragma once
// The plot window's "Fitting..." command around the fit session: which trace it fits, the
// one fitting dialog the process may have open, and taking accepted results into the
// window's data set with the "Fitting" history entry.

#include <memory>
#include <optional>
#include <string>

#include "app/fit_results.h"
#include "app/ui.h"

namespace lumatix::datastore {
class DataStore;
}
namespace lumatix::processing {
class CDataSet;
}

namespace lumatix::app {

inline constexpr const char* kSelectTraceFirst = "Please select a trace first.\n";
inline constexpr const char* kSelectOneTraceOnly = "Please select one trace only.\n";
inline constexpr const char* kFitAlreadyRunning =
    "There appears to be a curve fitting process already running.\n\nPlease close the current curve fitting process "
    "and try again.\n";

// The trace to fit: the one selected trace, or with none selected and exactly one trace in
// the data set, that trace (which becomes selected). Otherwise tells the person and gives
// nullopt.
std::optional<int> chooseFitTrace(processing::CDataSet& set, Ui& ui);

// The process-wide "a fitting dialog is open" flag, held for the life of this object.
class FitRunningFlag {
 public:
  // The flag, or null after telling the person that a fit is already running.
  static std::unique_ptr<FitRunningFlag> acquire(Ui& ui);
  ~FitRunningFlag();
  FitRunningFlag(const FitRunningFlag&) = delete;
  FitRunningFlag& operator=(const FitRunningFlag&) = delete;

 private:
  FitRunningFlag() = default;
};

// The accepted results of fitting trace `trace`: the data set's fit operation makes the new
// traces, which are appended to the window's data (and its store's marks), and the "Fitting"
// entry is added to the data set's history. Returns the entry's text, or nullopt when the
// traces could not be added; a failure is shown as "curve fit failure (...), please reset
// view\n" and changes nothing.
std::optional<std::string> applyFitResults(processing::CDataSet& set, datastore::DataStore& windowStore, int trace,
                                           const FitResults& results, Ui& ui);

}  // namespace lumatix::app
