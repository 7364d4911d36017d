#pragma once
// "Global Fit...": several traces of a data set fitted at once with one function of the
// library, each parameter shared by all traces or local to each, free or locked at its start
// value (fitting::GlobalFit). The session runs the fit in slices, so that a window stays
// responsive and can cancel; the command line runs it in a loop. Accepted results become
// new traces of the data set (a fitted and a residual trace per fitted trace, and for the
// two-state unfolding the folded fraction) with one "Global Fitting" history entry.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui.h"
#include "fitting/fit_end_reason.h"

namespace lumatix::datastore {
class DataStore;
}
namespace lumatix::fitting {
class FitFunction;
class GlobalFit;
}  // namespace lumatix::fitting
namespace lumatix::processing {
class CDataSet;
}

namespace lumatix::app {

inline constexpr const char* kGlobalFittingHistoryTitle = "Global Fitting";
inline constexpr int kDefaultGlobalIterations = 200;

// What the "Global Fit" dialog edits, handed over in one call.
struct GlobalFitSettings {
  int functionIndex = -1;          // into fitting::FitFunx()
  std::vector<bool> shared;        // one per parameter: one value for every trace
  std::vector<std::int32_t> locks; // one per parameter, 1 = held at its start value
  // One start value per parameter for every trace, or empty: each trace's estimate, a
  // shared parameter taking the median of the traces' estimates.
  std::vector<double> start;
  int maxIterations = kDefaultGlobalIterations;  // 1 to 1000
  bool includeResiduals = true;
};

struct GlobalFitResults {
  int functionIndex = -1;
  std::vector<bool> shared;
  std::vector<std::int32_t> locks;
  std::vector<int> traces;  // the fitted traces, data-set indexes in order
  std::vector<std::string> traceNames;
  std::vector<std::vector<double>> values;  // per fitted trace, one per parameter
  std::vector<std::vector<double>> errors;  // likewise; 0 for locked parameters
  double reducedChiSquare = 0.0;
  int iterations = 0;
  bool converged = false;
  fitting::FitEndReason reason = fitting::FitEndReason::Running;
  bool includeResiduals = true;
};

// The parameters of function named in a comma-separated list, as one flag per parameter.
// Throws std::runtime_error naming the function's parameters for a name it does not have,
// and for a name given twice.
std::vector<bool> parameterFlags(const fitting::FitFunction& function, const std::string& list);

class GlobalFitSession {
 public:
  // Checks everything before anything is fitted, throwing std::runtime_error with the text
  // to show: fewer than two selected traces, a function outside the library, flags or start
  // values not one per parameter, no free parameter, traces of unequal length, values that
  // are not finite numbers, an iteration limit outside 1 to 1000.
  GlobalFitSession(const processing::CDataSet& set, const std::vector<int>& selection, GlobalFitSettings settings);
  ~GlobalFitSession();
  GlobalFitSession(const GlobalFitSession&) = delete;
  GlobalFitSession& operator=(const GlobalFitSession&) = delete;

  // The start values of each selected trace (after the estimates, when no start was given).
  const std::vector<std::vector<double>>& StartValues() const { return start_; }

  // One step; false once the fit has ended (converged, at the limit, or failed), after which
  // Results() holds the statistics.
  bool Iterate();
  // Steps until the fit ends.
  void Run();
  bool Finished() const { return finished_; }
  int Iterations() const;
  int MaxIterations() const { return settings_.maxIterations; }
  const GlobalFitResults& Results() const { return results_; }

 private:
  void finish(fitting::FitEndReason reason);

  GlobalFitSettings settings_;
  std::vector<std::vector<double>> start_;
  std::unique_ptr<fitting::GlobalFit> fit_;
  GlobalFitResults results_;
  bool finished_ = false;
};

// The lines of the "Global Fitting" history entry, each ended by "\r\n": the fitted traces,
// the function's equation followed by its name, the shared parameters with their values and
// errors, each trace's local parameters, the statistics and the new traces' names.
std::string globalFittingHistoryText(const GlobalFitResults& results, const std::vector<std::string>& newTraces);

// Appends the results to the window's data set (and the marks of its store): a fitted trace
// ("Fit (f)") and, when asked, a residual trace ("Fit (r)") per fitted trace, and for the
// two-state unfolding the folded fraction ("Fraction folded::" and the trace's name; one
// trace when Tm and dH are shared), with the "Global Fitting" entry. Returns the entry's
// text, or nullopt after telling the person why nothing was added.
std::optional<std::string> applyGlobalFitResults(processing::CDataSet& set, datastore::DataStore& windowStore,
                                                 const GlobalFitResults& results, Ui& ui);

// A new store for a plot window of its own: the fitted traces with their new traces and the
// "Global Fitting" entry, derived from parent (the plot's store, read from parentPath) as
// processed data, not yet saved. Throws std::runtime_error with the text to show.
std::unique_ptr<datastore::DataStore> globalFitResultStore(const processing::CDataSet& set,
                                                           const GlobalFitResults& results,
                                                           const datastore::DataStore& parent,
                                                           const std::string& parentPath, bool compliantNow);

// What the dialog offers as shared when a function is chosen: Tm and dH of the two-state
// unfolding, the rates of the exponentials (one process seen at every trace), nothing else.
std::vector<bool> defaultSharedParameters(const fitting::FitFunction& function);

}  // namespace lumatix::app
