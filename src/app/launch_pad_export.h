#pragma once
// "Export Data..." from the launch pad: the selected file is loaded and the export dialog
// (format and file name, chosen by whoever shows it) runs on the loaded store.

#include <functional>
#include <optional>
#include <string>

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::app {

class Ui;

struct ExportRequest {
  int formatIndex = 0;  // counted from 1 in exports::exportFormats() order
  std::string path;
};

// Shows the export dialog for the loaded store; nullopt when the person cancels.
using ExportDialog = std::function<std::optional<ExportRequest>(datastore::DataStore& store)>;

// Loads the file (with the load messages of loadSelectedFile), runs the dialog and writes.
// The person is told "Error! No data to save!!\n" for a store without values, "Error!
// Unknown export format!\n" for a format not in the table, and "Can't open <path> for
// writing." (or the writer's own text) when the file cannot be written. True when written.
bool exportFile(const std::string& file, bool allowCary, Ui& ui, const ExportDialog& dialog);
// The writing half of exportFile, for a store already loaded; a target the save refuses is
// reported with the reason.
bool exportStore(datastore::DataStore& store, const ExportRequest& request, Ui& ui);

}  // namespace lumatix::app
