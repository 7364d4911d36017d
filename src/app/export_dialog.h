#pragma once
// "Export Data": the launch pad's export of a whole file. The dialog warns that exported data
// leave the controlled environment, offers the ten formats ("Select Data Format") and the
// name of the file to write. The format chosen last is remembered in "Preferences\Export"
// "Default" (the 0-based row of the format table), which the plot windows' save dialogs also
// start from.

#include <string>
#include <vector>

#include "app/launch_pad_export.h"

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::app {

class Ui;

inline constexpr const char* kExportDialogTitle = "Export Data";
inline constexpr const char* kExportFormatGroup = "Select Data Format";
inline constexpr const char* kExportSection = "Preferences\\Export";
inline constexpr const char* kExportDefaultKey = "Default";

// The warning at the top of the dialog.
std::string exportWarningText();

// The stored "Default" as a row of the format table; a missing or unknown value is row 0.
int storedExportFormat(const platform::SettingsStore& settings);
// Throws std::runtime_error when the preferences cannot be written.
void rememberExportFormat(platform::SettingsStore& settings, int row);

class ExportDialogModel {
 public:
  // file: the launch pad's selected file; row: the format to start with.
  ExportDialogModel(std::string file, int row);

  // The format names in table order, as the combo box lists them.
  static std::vector<std::string> formatNames();
  int format() const { return row_; }
  // A new format changes the offered name's extension, unless the person typed a name.
  void setFormat(int row);

  const std::string& path() const { return path_; }
  // replaceAgreed: the name comes from a save dialog that has asked the replace question.
  void setPath(std::string path, bool replaceAgreed = false);

  // The checks of OK: a name is given, the target can be written (else its refusal is shown),
  // and an existing file is replaced only when the person says Yes. True when the export may
  // go ahead.
  bool accept(Ui& ui) const;

  ExportRequest request() const { return {row_ + 1, path_}; }

 private:
  std::string suggestedPath() const;

  std::string file_;
  int row_ = 0;
  std::string path_;
  bool typed_ = false;
  bool replaceAgreed_ = false;
};

// The event-log record of an export.
std::string exportRecordText(const std::string& file, const ExportRequest& request);

}  // namespace lumatix::app
