// PlotDocument: overlaying the traces of files dropped onto the plot.

#include <filesystem>
#include <sstream>

#include "app/plot_document.h"
#include "app/ui.h"
#include "datastore/dimension.h"
#include "datastore/history_entry.h"
#include "platform/build_info.h"

namespace lumatix::app {
namespace {

template <typename T, typename Name>
int indexOf(const datastore::Array<T>& items, const std::string& wanted, Name name) {
  for (std::int32_t i = 0; i < items.size(); ++i)
    if (name(items[i]) == wanted) return i;
  return -1;
}

bool sameDimensions(const datastore::DataStore& a, const datastore::DataStore& b) {
  if (a.dimensions.size() != b.dimensions.size()) return false;
  for (std::int32_t i = 0; i < a.dimensions.size(); ++i)
    if (a.dimensions[i].name != b.dimensions[i].name) return false;
  return true;
}

}  // namespace

PlotDocument::Overlay PlotDocument::overlayStore(const datastore::DataStore& dropped, const std::string& path) {
  if (overlaid_.size() >= kMaxOverlaidTraces) return Overlay::Full;
  const std::string name = std::filesystem::path(path).filename().string();
  // The plot's value name carries the unit option after the property's first word.
  const int value = indexOf(dropped.properties, datastore::firstWord(set_.valueName),
                            [](const std::string& p) { return datastore::firstWord(p); });
  if (value < 0) {
    inform("Sorry.  " + name + " is not a compatible Lumatix DataStore in Property");
    return Overlay::LeftOut;
  }
  if (!sameDimensions(dropped, *store_) &&
      ui_.showMessage("Warning.  " + name +
                          " has different parameters in dimension.\nTHESE TRACES WILL BE OVERLAID AND "
                          "UNEDITABLE\nDo you still want to continue?",
                      platform::kProductName, Icon::Warning, Buttons::YesNo) != Answer::Yes)
    return Overlay::LeftOut;

  const auto dimName = [](const datastore::Dimension& d) { return d.name; };
  int xDim = std::max(0, indexOf(dropped.dimensions, set_.xDimName, dimName));
  int traceDim = set_.hasTraceDim ? indexOf(dropped.dimensions, set_.traceDimName, dimName) : -1;
  if (traceDim == xDim) traceDim = -1;
  if (traceDim < 0 && set_.hasTraceDim && dropped.dimensions.size() > 1) traceDim = xDim == 0 ? 1 : 0;
  processing::CDataSet cut;
  try {
    cut.Load(dropped, xDim, traceDim, value, -1);
  } catch (const std::exception& e) {
    inform(e.what());
    return Overlay::LeftOut;
  }
  std::size_t added = 0;
  bool full = false;
  for (int t = 0; t < cut.TraceCount(); ++t) {
    if (cut.traceState[static_cast<std::size_t>(t)] == processing::kTraceExcluded) continue;
    if (overlaid_.size() >= kMaxOverlaidTraces) {
      full = true;
      break;
    }
    overlaid_.push_back({path, cut.traceNames[static_cast<std::size_t>(t)], cut.XValues(), cut.YValues(t)});
    ++added;
  }
  if (added > 0) {
    std::ostringstream text;
    text << path << "\r\n";
    dropped.describeAttributes(text);
    set_.AddHistory(datastore::makeHistoryEntry("Plot overlayed : ", text.str()));
    changed();
  }
  if (full) return added > 0 ? Overlay::OverlaidAndFull : Overlay::Full;
  return added > 0 ? Overlay::Overlaid : Overlay::LeftOut;
}

void PlotDocument::tellOverlayFull() const {
  ui_.showMessage("Total Number of Overlayed Traces has been exceeded", platform::kProductName, Icon::Warning,
                  Buttons::Ok);
}

int PlotDocument::overlayFiles(const std::vector<std::string>& paths, bool allowCaryFiles) {
  int overlaidFiles = 0;
  for (const auto& path : paths) {
    if (overlaid_.size() >= kMaxOverlaidTraces) {
      tellOverlayFull();
      break;
    }
    const auto dropped = openPlotStore(path, allowCaryFiles, ui_);
    if (!dropped) continue;
    const Overlay result = overlayStore(*dropped, path);
    if (result == Overlay::Overlaid || result == Overlay::OverlaidAndFull) ++overlaidFiles;
    if (result == Overlay::Full || result == Overlay::OverlaidAndFull) {
      // Told once for the drop; the remaining files are left out.
      tellOverlayFull();
      break;
    }
  }
  return overlaidFiles;
}

}  // namespace lumatix::app
