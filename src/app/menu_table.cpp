#include "app/menu_table.h"

#include <algorithm>
#include <array>

#include "app/plot_document.h"

namespace lumatix::app {
namespace {

using C = PlotMenuCommand;
using M = PlotMenu;
using S = PlotMenuState;

// --- enabling rules ---
bool anySelected(const S& s) { return s.document.selectedCount() >= 1; }
bool hasBaseline(const S& s) { return s.document.hasBaseline(); }
bool hasData(const S& s) { return s.document.isEnabled(PlotCommand::SaveAll); }
bool hasTraces(const S& s) { return s.document.dataSet().TraceCount() > 0; }
bool canToggleBaseline(const S& s) { return s.document.isEnabled(PlotCommand::ToggleBaseline); }
bool canConvert(const S& s) {
  // Like Simple Math, the conversion takes the only trace of a plot when none is selected.
  const PlotDocument& d = s.document;
  return d.dataSet().valueName.find("CircularDichroism") != std::string::npos &&
         (d.selectedCount() >= 1 || d.presentCount() == 1);
}
// Simple Math works on the only trace of a plot when none is selected, so it is offered then
// too.
// A global fit and a decomposition work on several traces at once.
bool twoTraces(const S& s) { return s.document.presentCount() >= 2; }
bool canSimpleMath(const S& s) { return s.document.selectedCount() >= 1 || s.document.presentCount() == 1; }
bool hasFurtherDimensions(const S& s) { return !s.document.furtherDimensions().empty(); }
bool online(const S& s) { return s.document.online(); }
// While an acquisition arrives the link writes into the window's store from its own thread:
// what reads the whole store (saves, a copy into a new window, the decomposition, a global
// fit) waits until the acquisition has ended and the window is off-line.
bool offline(const S& s) { return !s.document.online(); }
bool hasDataOffline(const S& s) { return hasData(s) && offline(s); }
bool hasTracesOffline(const S& s) { return hasTraces(s) && offline(s); }
bool twoTracesOffline(const S& s) { return twoTraces(s) && offline(s); }
bool presentTraceUnderPointer(const S& s) {
  const auto& states = s.document.dataSet().traceState;
  const int t = s.traceUnderPointer;
  return t >= 0 && static_cast<std::size_t>(t) < states.size() && states[static_cast<std::size_t>(t)] == processing::kTracePresent;
}

// --- check marks ---
bool gridShown(const PlotDocument& d) { return d.viewOptions().grid; }
bool logX(const PlotDocument& d) { return d.viewOptions().logX; }
bool traceNameShown(const PlotDocument& d) { return d.viewOptions().showTraceName; }
bool auxControlShown(const PlotDocument& d) { return d.viewOptions().auxControl; }
bool onlineAutoscale(const PlotDocument& d) { return d.viewOptions().onlineAutoscale; }

constexpr const char* kShowLegend = "Show &Legend\tL";
constexpr const char* kHideLegend = "Hide &Legend\tL";

const std::array kMenuItems{
    PlotMenuItem{C::SaveAll, M::File, "Save &All...\tCtrl+S", hasDataOffline},
    PlotMenuItem{C::SaveCurrentPlot, M::File, "Save &Current Plot...\tShift+S", offline},
    PlotMenuItem{C::SaveSelectedTraces, M::File, "Save Selected &Traces...\tCtrl+Shift+S", offline},
    PlotMenuItem{C::CopyToClipboard, M::File, "&Copy to Clipboard\tCtrl+C", nullptr, nullptr, true},
    PlotMenuItem{C::Print, M::File, "&Print...\tCtrl+P", nullptr, nullptr, true},
    PlotMenuItem{C::PrintPreview, M::File, "Print Pre&view"},
    PlotMenuItem{C::Close, M::File, "&Close\tCtrl+W", nullptr, nullptr, true},

    PlotMenuItem{C::AuxDimensionCtrl, M::View, "Aux Dimension Ctrl", hasFurtherDimensions, auxControlShown},
    PlotMenuItem{C::Legend, M::View, "&Legend\tL", nullptr, nullptr, true},
    PlotMenuItem{C::Grid, M::View, "&Grid\tG", nullptr, gridShown},
    PlotMenuItem{C::DataStoreInfo, M::View, "DataStore Info...", nullptr, nullptr, true},
    PlotMenuItem{C::Remarks, M::View, "Remarks..."},
    PlotMenuItem{C::History, M::View, "History..."},

    PlotMenuItem{C::ShowTraceName, M::Trace, "&Show Trace Name", nullptr, traceNameShown},
    PlotMenuItem{C::SelectionDialog, M::Trace, "&Selection Dialog...\tD", nullptr, nullptr, true},
    PlotMenuItem{C::SelectAll, M::Trace, "Select &All\tCtrl+Spc"},
    PlotMenuItem{C::DeselectAll, M::Trace, "&Deselect All\tAlt+Spc", anySelected},
    PlotMenuItem{C::RemoveSelected, M::Trace, "&Remove Selected\tDel ", anySelected, nullptr, true},
    PlotMenuItem{C::RemoveUnselected, M::Trace, "Remove Unselected Traces\tShift+Del", anySelected},
    PlotMenuItem{C::ToggleBaseline, M::Trace, "Toggle Selected as &Baseline\tB", canToggleBaseline, nullptr, true},
    PlotMenuItem{C::AddBaseline, M::Trace, "Add Base&line\t+", hasBaseline},
    PlotMenuItem{C::SubtractBaseline, M::Trace, "S&ubtract Baseline\t-", hasBaseline},
    PlotMenuItem{C::RemoveOverlaidTraces, M::Trace, "Remove Overlaid Traces\tShift+R", nullptr, nullptr, true},
    PlotMenuItem{C::RecomputeColours, M::Trace, "Recompute Trace Colours\tF10"},
    PlotMenuItem{C::Reset, M::Trace, "Rese&t\tShift+Enter", nullptr, nullptr, true},

    PlotMenuItem{C::Fitting, M::Math, "&Fitting...\tF", anySelected},
    PlotMenuItem{C::Average, M::Math, "&Average.\tA ", anySelected},
    PlotMenuItem{C::AverageAll, M::Math, "Average All Traces.\tShift+A"},
    PlotMenuItem{C::SimpleMath, M::Math, "Simple &Math...\tM", canSimpleMath, nullptr, true},
    PlotMenuItem{C::Smooth, M::Math, "S&mooth...\tS", anySelected},
    PlotMenuItem{C::Convert, M::Math, "Convert...\tShift+C", canConvert},
    // Fits a trace while it arrives: on-line windows only.
    PlotMenuItem{C::LiveFit, M::Math, "Live Fit...", online, nullptr, true},
    PlotMenuItem{C::GlobalFit, M::Math, "&Global Fit...", twoTracesOffline, nullptr, true},
    PlotMenuItem{C::Svd, M::Math, "S&VD...", twoTracesOffline},

    PlotMenuItem{C::SetPlotLimits, M::Scale, "Set &Plot Limits...\tShift+P"},
    PlotMenuItem{C::ResetZoom, M::Scale, "&Reset Zoom\tShift+Ctrl+Z"},
    PlotMenuItem{C::XLogarithmic, M::Scale, "&X Logarithmic\tShift+X", nullptr, logX},
    PlotMenuItem{C::OnlineAutoscale, M::Scale, "On-line Auto-scale\tShift+O", online, onlineAutoscale, true},

    PlotMenuItem{C::NewWindow, M::Window, "&New Window...\tShift+W", hasTracesOffline},
    PlotMenuItem{C::CloseWindow, M::Window, "&Close\tCtrl+Shift+W"},
    PlotMenuItem{C::Cascade, M::Window, "&Cascade", nullptr, nullptr, true},
    PlotMenuItem{C::Tile, M::Window, "&Tile"},
};

const std::array kContextItems{
    PlotMenuItem{C::SetAsBaseline, M::Context, "Set as Baseline\tB", presentTraceUnderPointer, nullptr, false, true},
    PlotMenuItem{C::SelectTrace, M::Context, "Select Trace", presentTraceUnderPointer, nullptr, false, true},
    PlotMenuItem{C::SelectionDialog, M::Context, "Select Specific Traces...\tD", nullptr, nullptr, true},
    PlotMenuItem{C::SelectRange, M::Context, "Select Range...\tT"},
    PlotMenuItem{C::UnsetBaseline, M::Context, "Unset Baseline\tB", hasBaseline},
    PlotMenuItem{C::AverageAll, M::Context, "Average All Traces\tShift+A", nullptr, nullptr, true},
    PlotMenuItem{C::RemoveOverlaidTraces, M::Context, "Remove Overlaid Traces\tShift+R"},
    PlotMenuItem{C::RecomputeColours, M::Context, "Recompute Colours\tF10"},
    PlotMenuItem{C::Reset, M::Context, "&Reset View\tShift+Enter"},
    PlotMenuItem{C::Legend, M::Context, kShowLegend, nullptr, nullptr, true},
    PlotMenuItem{C::ZoomIn, M::Context, "&Zoom In"},
    PlotMenuItem{C::ZoomOut, M::Context, "Zoom &Out"},
    PlotMenuItem{C::Print, M::Context, "&Print Plot", nullptr, nullptr, true},
};

}  // namespace

std::span<const PlotMenuItem> plotMenuItems() { return kMenuItems; }

std::span<const PlotMenuItem> plotContextItems() { return kContextItems; }

const char* plotMenuTitle(PlotMenu menu) {
  switch (menu) {
    case M::File:
      return "&File";
    case M::View:
      return "&View";
    case M::Trace:
      return "&Trace";
    case M::Math:
      return "&Math";
    case M::Scale:
      return "&Scale";
    case M::Window:
      return "&Window";
    case M::Context:
      return "";
  }
  return "";
}

std::string plotMenuText(const PlotMenuItem& item, const PlotDocument& document) {
  if (item.command == C::Legend) return document.viewOptions().legend ? kHideLegend : kShowLegend;
  return item.text;
}

bool isEnabled(const PlotMenuItem& item, const PlotMenuState& state) {
  return item.enabled == nullptr || item.enabled(state);
}

std::string acceleratorOf(const std::string& text) {
  const auto tab = text.find('\t');
  if (tab == std::string::npos) return {};
  const auto first = text.find_first_not_of(' ', tab + 1);
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::vector<PlotShortcut> plotShortcuts() {
  std::vector<PlotShortcut> keys;
  const auto taken = [&keys](const std::string& key) {
    return std::any_of(keys.begin(), keys.end(), [&key](const PlotShortcut& k) { return k.accelerator == key; });
  };
  for (std::span<const PlotMenuItem> items : {plotMenuItems(), plotContextItems()}) {
    for (const PlotMenuItem& item : items) {
      const std::string key = acceleratorOf(item.text);
      if (!key.empty() && !taken(key)) keys.push_back({key, item.command});
    }
  }
  return keys;
}

const PlotMenuItem* menuItemOf(PlotMenuCommand command) {
  for (const PlotMenuItem& item : kMenuItems)
    if (item.command == command) return &item;
  return nullptr;
}

}  // namespace lumatix::app
