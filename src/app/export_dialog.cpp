#include "app/export_dialog.h"

#include <algorithm>
#include <filesystem>

#include "app/save_target.h"
#include "app/ui.h"
#include "app/user_pref.h"
#include "export/dispatcher.h"
#include "platform/settings_store.h"

namespace lumatix::app {
namespace {

int formatCount() { return static_cast<int>(exports::exportFormats().size()); }

int validRow(int row) { return row >= 0 && row < formatCount() ? row : 0; }

}  // namespace

std::string exportWarningText() {
  return "Warning!\n\nData exported from the Lumatix Viewer will no longer be controlled with respect to "
         "\"FDA Title 21 CFR Part 11\". \n\nThis action will be logged in the computer's system event log.";
}

int storedExportFormat(const platform::SettingsStore& settings) {
  return validRow(settings.getInt(kExportSection, kExportDefaultKey, 0));
}

void rememberExportFormat(platform::SettingsStore& settings, int row) {
  settings.setInt(kExportSection, kExportDefaultKey, validRow(row));
}

ExportDialogModel::ExportDialogModel(std::string file, int row) : file_(std::move(file)), row_(validRow(row)) {
  path_ = suggestedPath();
}

std::vector<std::string> ExportDialogModel::formatNames() {
  std::vector<std::string> names;
  for (const auto& f : exports::exportFormats()) names.emplace_back(f.name);
  return names;
}

void ExportDialogModel::setFormat(int row) {
  row_ = validRow(row);
  if (!typed_) {
    path_ = suggestedPath();
    replaceAgreed_ = false;
  }
}

void ExportDialogModel::setPath(std::string path, bool replaceAgreed) {
  if (path == path_ && !replaceAgreed) return;
  path_ = std::move(path);
  typed_ = true;
  replaceAgreed_ = replaceAgreed;
}

std::string ExportDialogModel::suggestedPath() const {
  namespace fs = std::filesystem;
  const fs::path source(file_);
  const std::string extension = exports::exportFormats()[static_cast<std::size_t>(row_)].extension;
  fs::path candidate = source.parent_path() / (source.stem().string() + extension);
  // Never offer the source itself: an export is a copy.
  if (candidate == source) candidate = source.parent_path() / ("Copy of " + source.stem().string() + extension);
  return candidate.string();
}

bool ExportDialogModel::accept(Ui& ui) const {
  if (path_.empty()) {
    ui.showMessage("Please enter the name of the file to export to.", kShowMessageCaption, Icon::Information,
                   Buttons::Ok);
    return false;
  }
  std::error_code e;
  if (std::filesystem::is_directory(path_, e)) {
    ui.showMessage("Can't open " + path_ + " for writing.\nIt is a folder, not a file.", kShowMessageCaption,
                   Icon::Warning, Buttons::Ok);
    return false;
  }
  if (std::filesystem::equivalent(path_, file_, e)) {
    ui.showMessage("Please choose another name: the export would replace the file it is made from.",
                   kShowMessageCaption, Icon::Warning, Buttons::Ok);
    return false;
  }
  const std::string refusal = saveTargetRefusal(path_);
  if (!refusal.empty()) {
    ui.showMessage(refusal, kShowMessageCaption, Icon::Warning, Buttons::Ok);
    return false;
  }
  if (std::filesystem::exists(path_, e) && !replaceAgreed_)
    return ui.showMessage(path_ + " already exists.\nDo you want to replace it?", kShowMessageCaption, Icon::Question,
                          Buttons::YesNo) == Answer::Yes;
  return true;
}

std::string exportRecordText(const std::string& file, const ExportRequest& request) {
  const auto& formats = exports::exportFormats();
  const std::string format = request.formatIndex >= 1 && request.formatIndex <= formatCount()
                                 ? formats[static_cast<std::size_t>(request.formatIndex - 1)].name
                                 : "?";
  return "Data exported from " + file + " to " + request.path + " (" + format + ").";
}

}  // namespace lumatix::app
