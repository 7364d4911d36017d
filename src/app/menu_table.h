#pragma once
// The plot window's menus as data: one row per item of the menu bar and of the plot's context
// menu, with the command it runs, its text (mnemonic "&" and, after "\t", the accelerator, as
// the person sees them) and the rule that enables it. The GUI builds its menus, context menu
// and shortcuts from these rows and nothing else; the command line has no menus but shares the
// commands (PlotDocument) the rows name.
//
// To add an item, add a PlotMenuCommand and a row in menu_table.cpp where it belongs; a
// command whose work is a dialog is then attached to the window by the maker.

#include <span>
#include <string>
#include <vector>

namespace lumatix::app {

class PlotDocument;

enum class PlotMenuCommand {
  // File
  SaveAll,
  SaveCurrentPlot,
  SaveSelectedTraces,
  CopyToClipboard,
  Print,
  PrintPreview,
  Close,
  // View
  AuxDimensionCtrl,
  Legend,
  Grid,
  DataStoreInfo,
  Remarks,
  History,
  // Trace
  ShowTraceName,
  SelectionDialog,
  SelectAll,
  DeselectAll,
  RemoveSelected,
  RemoveUnselected,
  ToggleBaseline,
  AddBaseline,
  SubtractBaseline,
  RemoveOverlaidTraces,
  RecomputeColours,
  Reset,
  // Math
  Fitting,
  Average,
  AverageAll,
  SimpleMath,
  Smooth,
  Convert,
  LiveFit,
  // Scale
  SetPlotLimits,
  ResetZoom,
  XLogarithmic,
  OnlineAutoscale,
  // Window
  NewWindow,
  CloseWindow,
  Cascade,
  Tile,
  // The context menu's own commands on the trace under the pointer
  SetAsBaseline,
  SelectTrace,
  SelectRange,
  UnsetBaseline,
  ZoomIn,
  ZoomOut,
};

enum class PlotMenu { File, View, Trace, Math, Scale, Window, Context };

// What the enabling rules look at.
struct PlotMenuState {
  const PlotDocument& document;
  // The trace under the pointer when the context menu opened (-1: none); -1 for the menu bar.
  int traceUnderPointer = -1;
};

struct PlotMenuItem {
  PlotMenuCommand command;
  PlotMenu menu;
  // The text with its mnemonic and "\t" accelerator, byte for byte as shown (some end in a
  // space). The legend's text follows its state: see plotMenuText.
  const char* text;
  // Null: always enabled.
  bool (*enabled)(const PlotMenuState&) = nullptr;
  // A toggle with a check mark showing its state; null for plain commands.
  bool (*checked)(const PlotDocument&) = nullptr;
  // A separator goes before this item.
  bool separatorBefore = false;
  // Context menu only: offered only while a trace is under the pointer.
  bool onTrace = false;
};

// The menu bar's items, menu after menu, each menu in its order.
std::span<const PlotMenuItem> plotMenuItems();
// The context menu's items, in order.
std::span<const PlotMenuItem> plotContextItems();

// The menu bar's titles ("&File", ...); "" for the context menu.
const char* plotMenuTitle(PlotMenu menu);

// The text an item shows now: the legend's reads "Hide &Legend\tL" while the legend is shown and
// "Show &Legend\tL" otherwise; every other item shows its row's text.
std::string plotMenuText(const PlotMenuItem& item, const PlotDocument& document);
bool isEnabled(const PlotMenuItem& item, const PlotMenuState& state);

// The accelerator of a text: what follows the "\t", without surrounding spaces ("Ctrl+S",
// "Del", "+"); "" when there is none.
std::string acceleratorOf(const std::string& text);

// The keys of the plot window and the command each runs: every accelerator of the menu bar,
// then those of the context menu that the menu bar does not already use ("T" of "Select
// Range..."). The context menu's "B" items show the key of the menu bar's baseline toggle.
struct PlotShortcut {
  std::string accelerator;
  PlotMenuCommand command;
};
std::vector<PlotShortcut> plotShortcuts();

// The menu bar's row of a command; null for the context menu's own commands.
const PlotMenuItem* menuItemOf(PlotMenuCommand command);

}  // namespace lumatix::app
