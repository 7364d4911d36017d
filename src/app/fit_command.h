#pragma once
// The plot window's "Fitting..." command around the fit session: its messages, the one
// fitting dialog the process may have open, and the port through which the command shows
// the dialog. PlotDocument::fit runs the command.

#include <memory>
#include <string>

#include "app/ui.h"

namespace lumatix::app {

class FitSession;

inline constexpr const char* kSelectTraceFirst = "Please select a trace first.\n";
inline constexpr const char* kSelectOneTraceOnly = "Please select one trace only.\n";
inline constexpr const char* kFitAlreadyRunning =
    "There appears to be a curve fitting process already running.\n\nPlease close the current curve fitting process "
    "and try again.\n";

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

// What the dialog shows besides the session: its caption "<file> (<trace>)", the file name
// the printed report starts with, and the axis titles of the preview.
struct FitDialogContext {
  std::string caption;
  std::string fileName;
  std::string traceName;
  std::string xTitle;
  std::string yTitle;
};

// The curve-fitting dialog as the command shows it. The viewer shows the modal Qt dialog; the
// command line drives the session from its options; tests script it.
class FitDialog {
 public:
  virtual ~FitDialog() = default;
  // Runs the dialog over a session that has begun (Begin() was called) and returns whether it
  // ended as accepted: OK (FitSession::Accept) after a fit was started. A dialog closed in
  // any other way has called FitSession::Close.
  virtual bool run(FitSession& session, const FitDialogContext& context) = 0;
};

}  // namespace lumatix::app
