#pragma once
// What a printed plot carries besides the plot: the file, the date and, when the print
// dialog's "Print Remarks and Settings" box is ticked, the store's remarks and history. The
// box is ticked when the dialog opens and cannot be cleared in 21 CFR Part 11 mode.

#include <string>
#include <vector>

namespace lumatix::app {

class PlotDocument;

struct PrintChoice {
  // "Print Remarks and Settings".
  bool remarksAndSettings = true;
  // The box cannot be cleared (compliance mode).
  bool remarksLocked = false;
};

// The dialog's box as it opens.
PrintChoice initialPrintChoice(bool compliant);
// The person ticks or clears the box; a locked box stays ticked.
void setRemarksAndSettings(PrintChoice& choice, bool on);

struct PlotPrintout {
  std::string file;  // "File : " followed by the path ("Empty" for a window without a file)
  std::string date;  // the local date as "%A, %B %d, %Y"
  // Empty unless the remarks and settings are printed: "Remarks :" and "History :" each
  // followed by the store's lines.
  std::vector<std::string> remarks;
  std::vector<std::string> history;
  bool withRemarksAndSettings = false;
};

PlotPrintout plotPrintout(const PlotDocument& document, const PrintChoice& choice);

}  // namespace lumatix::app
