#pragma once
// "Trace Manipulation", the plot's selection dialog: the traces the plot shows ("Visible
// Traces", the baseline among them) beside those removed from it ("Removed Traces"), the moves
// between the two lists, and the buttons that run the plot's trace commands. The moves and the
// list selection go straight to the PlotDocument, so the dialog always shows the plot as it is.
//
// The buttons are the plot window's own commands: the window runs each exactly as its menu
// item runs it (preconditions, messages and history included); enabled() follows the menu's
// enabling rules.

#include <string>
#include <vector>

#include "app/menu_table.h"

namespace lumatix::app {

class PlotDocument;

enum class TraceButton {
  Remove,
  RemoveOthers,
  SelectAll,
  DeselectAll,
  SetBaseline,
  UnsetBaseline,
  SubtractBaseline,
  Average,
  Smooth,
  Fit,
  SimpleMaths,
  Convert,
  ThinData,  // the "Visible Trace Range" dialog
};

struct TraceButtonLabel {
  TraceButton button;
  const char* text;  // "&Remove", "Remove Others", ...
};

// The dialog's buttons in the order it shows them.
const std::vector<TraceButtonLabel>& traceButtons();
// The plot window's command a button runs ("Set Baseline" is the baseline toggle, "Thin Data"
// the visible trace range).
PlotMenuCommand menuCommandOf(TraceButton button);

class TraceManipulation {
 public:
  struct Item {
    int trace;         // 0-based, in data-set order
    std::string text;  // the trace's name; the baseline's carries " (Baseline)"
    bool selected;     // in the plot's selection
    bool baseline;
  };

  explicit TraceManipulation(PlotDocument& document) : document_(document) {}

  std::vector<Item> visible() const;
  std::vector<Item> removed() const;

  // The person's selection in the "Visible Traces" list becomes the plot's selection; the
  // baseline never joins it.
  void selectVisible(const std::vector<int>& traces);

  // ">": the given visible traces leave the plot ("Traces Removed :"); the baseline stays.
  bool remove(const std::vector<int>& traces);
  // "<": the given removed traces come back ("Traces Added :").
  bool restore(const std::vector<int>& traces);
  // ">>" and "<<": every visible trace but the baseline, every removed trace.
  bool removeAll();
  bool restoreAll();

  bool canRemoveAll() const;
  bool canRestoreAll() const;
  bool enabled(TraceButton button) const;

 private:
  PlotDocument& document_;
};

// "Visible Trace Range": the fields as typed (whole numbers of at least 1) and whether they may
// be taken; traceCount bounds the start.
struct VisibleTraceRange {
  int start = 1;
  int end = 1;
  int step = 1;
};

// Why the fields cannot be taken, or "" when they can: each is at least 1, the end not before
// the start, and the start names a trace the plot has.
std::string visibleTraceRangeProblem(const VisibleTraceRange& range, int traceCount);

}  // namespace lumatix::app
