#pragma once
// The texts of a fit: the "Fitting" history entry, the printed report, reading an earlier
// fit's text back, and the number forms they use. Numbers are written as the C library's
// "%f" and "%g" write them in the "C" locale, whatever locale the GUI switched to, so that
// stored texts read back the same everywhere.

#include <optional>
#include <string>
#include <vector>

#include "app/fit_results.h"
#include "datastore/history_entry.h"

namespace lumatix::app {

inline constexpr const char* kFittingHistoryTitle = "Fitting";
inline constexpr const char* kReportDocumentName = "fitting.";
inline constexpr const char* kCannotStartPrintJob = "Cannot Start Print Job.";

// "%f" (6 decimals).
std::string fixedText(double value);
// "%.*g" with the given significant digits ("%g" for 6, the dialog's fields use 7).
std::string generalText(double value, int digits = 6);
// What atof makes of a decimal text: leading blanks skipped, the longest number at the start read,
// 0 when there is none.
double atofText(const std::string& text);

// The lines of the "Fitting" history entry, each ended by "\r\n": the original trace, the
// function's equation followed by its name, one "name = value +/- error" line per
// parameter, the range, the statistics and the new traces' names (the residual's only when
// residualName is given).
std::string fittingHistoryText(const FitResults& results, const std::string& originalName,
                               const std::string& fittedName, const std::optional<std::string>& residualName);

// The printed report, one entry per printed line (no line ends).
std::vector<std::string> fitReportLines(const FitResults& results, const std::string& fileName);

// A function and its start values found in the text entries of an earlier fit. The first
// entry holding ":" whose text after the first ":" (blanks around it ignored) is a
// function's name selects that function; each of its parameters takes the number between
// "=" and "/" of the first later entry whose text before "=" is the parameter's name, and 0
// when there is none. The report's lines ("Function: ...", "        c = ... +/- ...") read
// back this way.
struct EarlierFit {
  int functionIndex = -1;
  std::vector<double> values;
};
std::optional<EarlierFit> parseEarlierFit(const std::vector<std::string>& entries);

// The lines of the latest "Fitting" entry of history whose "Original line : " names the
// trace, in the form parseEarlierFit reads: the line that holds a function's equation
// immediately followed by its name becomes "Function: <name>", every other line stays as it
// is. Empty when the trace was never fitted.
std::vector<std::string> earlierFitEntries(const std::vector<datastore::HistoryEntry>& history,
                                           const std::string& traceName);

}  // namespace lumatix::app
