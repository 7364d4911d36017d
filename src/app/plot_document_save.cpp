// PlotDocument: "Save Current Plot" and "Save Selected Traces".

#include <algorithm>
#include <filesystem>

#include "app/plot_document.h"
#include "app/ui.h"
#include "app/ui_reporter.h"
#include "export/dispatcher.h"

namespace lumatix::app {
namespace {

using processing::CDataSet;

// The data set with only the points whose x lies in [low, high], in both segments.
CDataSet withinX(const CDataSet& set, double low, double high) {
  CDataSet cut = set;
  const auto keep = [&](const std::vector<double>& x, std::vector<double>& outX, std::vector<processing::TraceRow>& rows,
                        const std::vector<processing::TraceRow>& sourceRows) {
    std::vector<std::size_t> kept;
    for (std::size_t j = 0; j < x.size(); ++j)
      if (x[j] >= low && x[j] <= high) kept.push_back(j);
    outX.clear();
    for (std::size_t j : kept) outX.push_back(x[j]);
    for (std::size_t t = 0; t < rows.size(); ++t) {
      std::vector<float> row;
      row.reserve(kept.size());
      for (std::size_t j : kept) row.push_back(sourceRows[t][j]);
      rows[t] = processing::TraceRow(std::move(row));
    }
  };
  keep(set.xA, cut.xA, cut.yA, set.yA);
  keep(set.xB, cut.xB, cut.yB, set.yB);
  return cut;
}

std::vector<FileFilter> saveFilters() {
  std::vector<FileFilter> filters;
  for (const auto& format : exports::exportFormats())
    filters.push_back(
        {std::string(format.name) + "  (*" + format.extension + ")", std::string("*") + format.extension});
  return filters;
}

}  // namespace

bool PlotDocument::saveCurrentPlot() {
  const bool anyVisible = std::any_of(set_.traceState.begin(), set_.traceState.end(),
                                      [](int s) { return s != processing::kTraceExcluded; });
  if (!anyVisible) {
    inform("Error. There are no traces to save.\n");
    return false;
  }
  return saveTraces(false);
}

bool PlotDocument::saveSelectedTraces() {
  bool anySelected = false;
  for (std::size_t t = 0; t < set_.selected.size(); ++t)
    anySelected = anySelected || (set_.selected[t] == 1 && set_.traceState[t] != processing::kTraceExcluded);
  if (!anySelected) {
    inform("Please select the traces which you wish to save.");
    return false;
  }
  return saveTraces(true);
}

bool PlotDocument::saveTraces(bool selectedOnly) {
  const std::string stem =
      filePath_.empty() ? std::string("Untitled") : std::filesystem::path(filePath_).stem().string();
  const auto& formats = exports::exportFormats();
  const int index = std::clamp(saveFormatIndex_, 1, static_cast<int>(formats.size()));
  // The file gets the entries other plots of the store have made too.
  syncHistory();
  const auto choice =
      ui_.chooseSaveFile(selectedOnly ? "Save Selected Traces" : "Save Current Plot",
                         stem + formats[static_cast<std::size_t>(index - 1)].extension, saveFilters(), index);
  if (!choice) return false;

  std::unique_ptr<datastore::DataStore> out;
  try {
    const CDataSet shown = shownX_ ? withinX(set_, shownX_->first, shownX_->second) : set_;
    std::vector<int> chosen(set_.selected.size(), 1);
    if (selectedOnly) chosen = set_.selected;
    out = shown.ToDataStore(chosen);
    out->deriveFrom(*store_, filePath_, derivesModified(), compliantNow_);
  } catch (const std::exception& e) {
    inform(selectedOnly ? std::string("An error occurred while trying to save the data in this format.")
                        : "Sorry.\n\nAn error occurred while trying to save the data in the chosen format.\n\n" +
                              std::string(e.what()));
    return false;
  }

  UiReporter reporter(ui_);
  bool written = false;
  try {
    written = exports::Export(choice->filterIndex, choice->path, &set_, *out, reporter);
  } catch (const std::exception& e) {
    changed();
    inform(selectedOnly ? std::string("An error occurred while trying to save the data in this format.")
                        : "Sorry.\n\nAn error occurred while trying to save the data in the chosen format.\n\n" +
                              std::string(e.what()));
    return false;
  }
  // The dispatcher has recorded the save in the plot's history.
  if (!written) {
    changed();
    return false;
  }
  syncHistory();
  saveFormatIndex_ = choice->filterIndex;
  store_->saved = true;
  changes_.notify(Change::SavedState | Change::History);
  return true;
}

}  // namespace lumatix::app
