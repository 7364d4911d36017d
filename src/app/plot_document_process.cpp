// PlotDocument: smoothing and CD unit conversion.

#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "app/plot_dialogs.h"
#include "app/plot_document.h"
#include "app/ui.h"
#include "datastore/history_entry.h"
#include "processing/cd_converter.h"
#include "processing/history_texts.h"
#include "processing/smoothing.h"

namespace lumatix::app {

bool PlotDocument::smooth(PlotDialogs& dialogs) {
  if (selectedCount() < 1) {
    inform("Please select traces first.\n");
    return false;
  }
  const std::vector<int> chosen = selection();
  processing::CDataSet traces;
  std::vector<SmoothingDialog::Trace> shown;
  try {
    traces = set_.Subset(chosen);
    for (int i = 0; i < traces.TraceCount(); ++i)
      shown.push_back({traces.traceNames[static_cast<std::size_t>(i)], traces.yA[static_cast<std::size_t>(i)].toDoubles()});
  } catch (const std::exception& e) {
    inform(e.what());
    return false;
  }

  std::optional<SmoothingDialog> dialog;
  try {
    dialog.emplace(filter_, set_.xA, std::move(shown), static_cast<int>(set_.xA.size()), true, smoothingValue_);
  } catch (const std::exception& e) {
    inform(e.what());
    return false;
  }
  if (!dialogs.smoothing(*dialog)) return false;
  const int n = dialog->windowValue();
  smoothingValue_ = n;

  if (!filter_.SetWindow(2 * n + 1, 2)) {
    inform("Failed to finish smoothing for an unknown reason, please report\n");
    return false;
  }
  processing::SmoothedRows rows;
  try {
    std::vector<std::vector<double>> input;
    for (const auto& row : traces.yA) input.push_back(row.toDoubles());
    rows = processing::SmoothSG(filter_, n, input);
  } catch (const std::exception&) {
    inform("Warning!\n\nCould not convolute 1 or more of the selected traces.");
    return false;
  }

  const bool replace = dialog->replace();
  processing::SmoothingResult result;
  try {
    result = processing::makeSmoothingResult(set_, traces, rows, n, replace);
  } catch (const std::exception&) {
    inform(replace ? "Warning!\n\nReplacing the traces failed."
                   : "Warning!\n\nCould not convolute 1 or more of the selected traces.");
    return false;
  }

  if (replace) {
    // The smoothed rows take the places of their sources: names, order, the hidden traces,
    // the baseline and segment B stay as they are.
    keepLoaded();
    processing::CDataSet updated = set_;
    std::size_t i = 0;
    for (std::size_t t = 0; t < chosen.size(); ++t) {
      if (chosen[t] != 1) continue;
      if (i >= result.smoothed.yA.size() || result.smoothed.yA[i].size() != updated.yA[t].size()) {
        inform("Warning!\n\nReplacing the traces failed.");
        return false;
      }
      updated.yA[t] = result.smoothed.yA[i++];
    }
    updated.history = result.smoothed.history;
    updated.modified = true;
    set_ = std::move(updated);
    changed();
    return true;
  }

  const std::size_t firstNew = set_.selected.size();
  if (!appendResult(result.smoothed)) {
    inform("Warning!\n\nCould not convolute 1 or more of the selected traces.");
    return false;
  }
  // The residual result's history continues the smoothed one, which the plot now holds.
  if (dialog->saveResiduals() && appendResult(result.residual)) {
    // Every new trace starts selected, the smoothed ones as well as their residuals.
    for (std::size_t t = firstNew; t < set_.selected.size(); ++t) set_.selected[t] = 1;
    changes_.notify(Change::Selection);
  }
  return true;
}

std::string PlotDocument::convertedFileName(const std::string& targetKey) const {
  namespace fs = std::filesystem;
  const fs::path source = filePath_.empty() ? fs::path("Converted") : fs::path(filePath_);
  const fs::path folder = source.parent_path();
  const std::string stem = source.stem().string() + "-" + targetKey;
  fs::path candidate = folder / (stem + ".dsx");
  std::error_code ignored;
  for (int k = 2; fs::exists(candidate, ignored); ++k) candidate = folder / (stem + " (" + std::to_string(k) + ").dsx");
  return candidate.string();
}

bool PlotDocument::convertUnits(PlotDialogs& dialogs, ConvertedFileHandler& target) {
  if (selectedCount() == 0) {
    if (presentCount() != 1) {
      inform("Please select a trace first.\n");
      return false;
    }
    ensureSelectionForMath();
  }
  if (selectedCount() < 1) {
    inform("Please select traces first.\n");
    return false;
  }
  if (set_.valueName.find("CircularDichroism") == std::string::npos) return false;
  const std::string refusal = processing::cdConversionRefusal(set_.valueName);
  if (!refusal.empty()) {
    inform(refusal);
    return false;
  }

  ConvertDialog dialog(processing::cdSourceKey(set_.valueName));
  if (!dialogs.convertUnits(dialog)) return false;
  processing::CConverter converter;
  converter.SetMassConcentration(dialog.massConcentration());
  converter.SetMolarConcentration(dialog.molarConcentration());
  converter.SetPathLength(dialog.pathLength());
  converter.SetResidueWeight(dialog.residueWeight());
  converter.SetResidues(dialog.residues());
  double factor = 0.0;
  if (converter.GetFactor(dialog.conversion(), factor) != processing::CConverter::kFactorComputed ||
      !std::isfinite(factor)) {
    inform("Sorry! Cannot convert CD units with these values.\n");
    return false;
  }

  const std::string failure =
      std::string("Error! Can't save file.\n\nPlease report this error to QVL technical support at ") + kSupportContact;
  try {
    processing::CDataSet converted = set_.ConvertCD(selection(), factor, dialog.targetKey());
    const auto* from = processing::cdUnitByKey(dialog.sourceKey());
    const auto* to = processing::cdUnitByKey(dialog.targetKey());
    const std::string sep = processing::kHistorySeparator;
    std::string text = "Converted from :" + sep + from->displayName + "\r\nConverted to :" + sep + to->displayName +
                       "\r\nFactor :" + sep + processing::streamNumber(factor) + "\r\n";
    for (const auto& name : converted.traceNames) text += "Trace :" + sep + name + "\r\n";
    converted.AddHistory(datastore::makeHistoryEntry("Convert CD Units", text));

    datastore::smart_ptr<datastore::DataStore> store(converted.ToDataStore().release());
    // A conversion is processing: the new file never claims to hold the measurement as acquired.
    store->deriveFrom(*store_, filePath_, true, compliantNow_);
    if (!target.saveAndOpen(store, convertedFileName(dialog.targetKey()))) {
      inform(failure);
      return false;
    }
  } catch (const std::exception&) {
    inform(failure);
    return false;
  }
  return true;
}

}  // namespace lumatix::app
