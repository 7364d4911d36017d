#pragma once
// FitSession: the "Curve Fitting" dialog without its widgets. The dialog (or the command
// line) edits the session's values, calls its operations and draws what it exposes; the
// session owns the fitter while a fit runs and talks to the person only through app::Ui.
//
// Life: construct with the trace's x and y -> optionally Preselect() -> Begin() -> any of
// SelectFunction, SetRange/ResetRange, Estimate, SetValues/SetLocks, PlotEvaluation ->
// StartFit() -> Iterate() until it stops returning Running -> ... -> Accept() or Close().
// Iterate() never waits: the GUI calls it from a timer (10 ms apart) so that the window keeps
// answering, the command line in a loop.
//
// The dialog observes changes(): Parameters (function, values, locks, statistics), Data (the
// in-range points), View (the preview) and Progress (a fit started, stepped or ended).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/change_notifier.h"
#include "app/fit_results.h"
#include "app/ui.h"
#include "fitting/fit_function.h"
#include "fitting/marquardx.h"

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::app {

inline constexpr int kDefaultMaxIterations = 25;
inline constexpr int kMaxIterationsLimit = 1000;

inline constexpr const char* kSuitableRangeMessage = "Please select a suitable range";
inline constexpr const char* kFloatingPointFailureMessage =
    "Warning!\n\nThe fitting routine failed because of a floating point library error.\nCheck the fitting parameters "
    "and associated locks and try again.\n";
inline constexpr const char* kNotConvergedMessage =
    "Warning!\n\nThe fitting process may not have converged properly.\nPlease check selected equation and try again.\n";

enum class FitProgress {
  Running,       // call Iterate() again
  Converged,     // final statistics computed
  NotConverged,  // the convergence test did not hold (EndReason says why): values taken over, warning shown
  Failed,        // a step, or the final statistics, failed: values as last accepted, warning shown
};

// The preview the dialog draws after an estimate, a live step, a finish or a plot evaluation:
// the model at every in-range x and the residuals y - fit there.
struct FitPreview {
  std::vector<double> x;
  std::vector<double> fit;
  std::vector<double> residuals;
  // The residual plot's y range: the residuals' extent, tracked in single precision from
  // 1e6 and -1e6 (so it always holds every residual); -0.1 to 0.1 before the first preview.
  float residualLow = -0.1f;
  float residualHigh = 0.1f;
};

class FitSession {
 public:
  // x and y are the whole trace (equal lengths, else std::invalid_argument). preferences
  // may be null: nothing is then restored or stored ("Preferences\Fitting" otherwise).
  FitSession(Ui& ui, std::vector<double> x, std::vector<double> y, platform::SettingsStore* preferences);
  ~FitSession();
  FitSession(const FitSession&) = delete;
  FitSession& operator=(const FitSession&) = delete;

  // Takes the function and start values from the text entries of an earlier fit (see
  // parseEarlierFit); true when one matched. Call before Begin().
  bool Preselect(const std::vector<std::string>& entries);

  // Dialog start: restores the stored range and, without a preselection, the stored
  // function and start values; computes the data's extents; extracts the in-range points.
  void Begin();

  // --- function and parameters ---
  // Choosing another function starts its parameters at 0, unlocked, with no errors.
  // Throws std::out_of_range for an index outside the library.
  void SelectFunction(int index);
  int FunctionIndex() const { return functionIndex_; }
  const fitting::FitFunction& Function() const;
  const std::vector<double>& Values() const { return values_; }
  const std::vector<double>& Errors() const { return errors_; }
  const std::vector<std::int32_t>& Locks() const { return locks_; }
  // The edited values and locks (1 = held); one per parameter, else std::invalid_argument.
  void SetValues(const std::vector<double>& values);
  void SetLocks(const std::vector<std::int32_t>& locks);

  // --- range ---
  // The in-range points are those with from <= x <= to, both ends included, in trace order.
  void SetRange(float from, float to);
  // Puts the data's x extent back and re-extracts.
  void ResetRange();
  float RangeFrom() const { return from_; }
  float RangeTo() const { return to_; }
  bool RangeIsSet() const { return rangeSet_; }
  const std::vector<double>& RangeX() const { return rangeX_; }
  const std::vector<double>& RangeY() const { return rangeY_; }

  // The whole trace and its extent (single precision), which the main plot's axes show.
  const std::vector<double>& DataX() const { return x_; }
  const std::vector<double>& DataY() const { return y_; }
  float DataXMin() const { return xMin_; }
  float DataXMax() const { return xMax_; }
  float DataYMin() const { return yMin_; }
  float DataYMax() const { return yMax_; }

  // --- options ---
  // Accepts 1 to 1000; false, changing nothing, otherwise.
  bool SetMaxIterations(int count);
  int MaxIterations() const { return maxIterations_; }
  void SetLiveUpdate(bool on) { liveUpdate_ = on; }
  bool LiveUpdate() const { return liveUpdate_; }
  void SetIncludeResiduals(bool on) { includeResiduals_ = on; }
  bool IncludeResiduals() const { return includeResiduals_; }

  // --- commands ---
  // Clears the statistics and counters and replaces the values with the function's
  // estimate for the in-range points. With fewer than two of them shows "Please select a
  // suitable range" and returns false.
  bool Estimate();
  // Starts a fit from the current values and locks. Returns Running, or Failed when the
  // first step already failed (the warning is then shown).
  FitProgress StartFit();
  // One iteration; ends the fit when the fitter's convergence test held (see
  // fitting/marquardx.h) or at the iteration limit. Throws std::logic_error when no fit is
  // running.
  FitProgress Iterate();
  bool Fitting() const { return fitter_ != nullptr; }
  // Redraws the preview with the current values; fits nothing.
  void PlotEvaluation();

  // OK: stores the range and the function's preferences, and tells whether the dialog
  // ends as accepted (a fit was started while it was open). Throws std::logic_error while
  // a fit runs.
  bool Accept();
  // Closing the window: stores the function's preferences when a fit was started. The
  // dialog ends as cancelled.
  void Close();

  // --- state shown ---
  int Iterations() const { return iterations_; }
  // 1 when the convergence test ended the last fit, else 0.
  int StallCount() const { return stalls_; }
  double ReducedChiSquare() const { return reducedChiSquare_; }
  double NormalisedVariance() const { return normalisedVariance_; }
  double DampingFactor() const { return damping_; }
  double SignalNoise() const { return signalNoise_; }
  bool FitWasStarted() const { return fitStarted_; }
  // How the last fit ended; Running while one runs or before the first.
  FitProgress LastOutcome() const { return outcome_; }
  // Why the last fit ended (Running while one runs or before the first); its sentence is
  // fitting::describeEndReason(EndReason()).
  fitting::FitEndReason EndReason() const { return reason_; }
  // The preview of the last estimate, live step, finish or evaluation. It is computed when
  // asked for, from the values and range of that moment, so live steps that nobody draws
  // cost nothing.
  const FitPreview& Preview() const;

  FitResults Results() const;

  ChangeNotifier& changes() { return changes_; }

 private:
  void extractRange();
  void clearStatistics();
  void resizeParameters();
  void drawPreview();
  FitProgress finish(bool failed, fitting::FitEndReason reason);
  void storeFunctionPreferences();
  void restorePreferences();

  Ui& ui_;
  std::vector<double> x_, y_;
  platform::SettingsStore* preferences_;

  int functionIndex_ = -1;
  bool preselected_ = false;
  float from_ = 0.0f, to_ = 0.0f;
  bool rangeSet_ = false;
  float xMin_ = 0.0f, xMax_ = 0.0f, yMin_ = 0.0f, yMax_ = 0.0f;
  std::vector<double> rangeX_, rangeY_;
  std::vector<double> values_, errors_;
  std::vector<std::int32_t> locks_;
  int maxIterations_ = kDefaultMaxIterations;
  bool liveUpdate_ = false;
  bool includeResiduals_ = false;

  int iterations_ = 0;
  int stalls_ = 0;
  double reducedChiSquare_ = 0.0;
  double normalisedVariance_ = 0.0;
  double damping_ = 0.0;
  double signalNoise_ = 0.0;
  bool fitStarted_ = false;
  bool converged_ = false;
  FitProgress outcome_ = FitProgress::Running;
  fitting::FitEndReason reason_ = fitting::FitEndReason::Running;

  std::unique_ptr<fitting::Marquardx> fitter_;
  // What the next Preview() draws: the function, values and range when it was asked for.
  struct PreviewRequest {
    int functionIndex = -1;
    std::vector<double> values;
    float from = 0.0f, to = 0.0f;
  };
  std::optional<PreviewRequest> previewRequest_;
  mutable bool previewStale_ = false;
  mutable FitPreview preview_;
  ChangeNotifier changes_;
};

}  // namespace lumatix::app
