#include "app/launch_pad.h"

#include <filesystem>
#include <sstream>
#include <system_error>

#include "app/ui.h"
#include "app/user_pref.h"
#include "datastore/data_store.h"
#include "processing/settings_description.h"

namespace lumatix::app {

namespace fs = std::filesystem;

LaunchPad::LaunchPad(Ui& ui, std::string workingDirectory)
    : ui_(ui),
      workingDirectory_(std::move(workingDirectory)),
      root_(workingDirectory_),
      shownWorkingDirectory_(workingDirectory_) {}

void LaunchPad::error(const std::string& text) { ui_.showMessage(text, kShowMessageCaption, Icon::Warning, Buttons::Ok); }

void LaunchPad::setRootFolder(std::string folder) {
  if (folder == root_) return;
  root_ = std::move(folder);
  changes_.notify(Change::WorkingDirectory);
}

bool LaunchPad::oneFolder(const std::vector<std::string>& selection, const char* message) {
  std::error_code e;
  if (selection.size() == 1 && fs::is_directory(selection.front(), e)) return true;
  ui_.showMessage(message, kShowMessageCaption, Icon::Information, Buttons::Ok);
  return false;
}

bool LaunchPad::setWorkingDirectory(const std::vector<std::string>& selection) {
  if (!oneFolder(selection, "Please select a directory\n")) return false;
  workingDirectory_ = selection.front();
  root_ = workingDirectory_;
  shownWorkingDirectory_ = workingDirectory_;
  changes_.notify(Change::WorkingDirectory);
  return true;
}

bool LaunchPad::setRoot(const std::vector<std::string>& selection) {
  if (!oneFolder(selection, "Please select a directory to set as the root.\n")) return false;
  setRootFolder(selection.front());
  return true;
}

void LaunchPad::browseRoot(const std::string& chosenFolder) {
  root_ = chosenFolder;
  shownWorkingDirectory_ = chosenFolder;
  changes_.notify(Change::WorkingDirectory);
}

std::string LaunchPad::newFolder(const std::vector<std::string>& selection) {
  std::error_code e;
  if (selection.size() != 1 || !fs::is_directory(selection.front(), e)) return "";
  std::string name = newFolderName(selection.front());
  std::string path = joinPath(selection.front(), name);
  // create_directory reports an existing folder as "nothing created", not as an error.
  if (!fs::create_directory(path, e) || e) {
    error("The folder named " + name +
          " already exists. \nPlease rename it before you create another new folder.\n");
    return "";
  }
  changes_.notify(Change::Tree);
  return path;
}

bool LaunchPad::remove(const std::string& path) {
  std::error_code e;
  fs::remove_all(path, e);
  if (e) {
    error("Can't delete " + path + ": " + e.message());
    changes_.notify(Change::Tree);  // part of a folder may be gone
    return false;
  }
  changes_.notify(Change::Tree);
  return true;
}

std::string LaunchPad::rename(const std::string& path, const std::string& newName) {
  if (newName.empty() || newName.find('/') != std::string::npos || newName == "." || newName == "..") {
    error("Can't rename " + path + " to " + newName + ".");
    return "";
  }
  std::string target = joinPath(parentFolder(path).empty() ? "/" : parentFolder(path), newName);
  if (target == path) return target;
  std::error_code e;
  // A rename would silently replace an existing file of that name.
  if (fs::exists(fs::symlink_status(target, e))) {
    error("Can't rename " + path + " to " + newName + ": a file of that name exists.");
    return "";
  }
  fs::rename(path, target, e);
  if (e) {
    error("Can't rename " + path + " to " + newName + ": " + e.message());
    return "";
  }
  changes_.notify(Change::Tree);
  return target;
}

bool LaunchPad::browseWithFileManager(const std::string& folder,
                                      const std::function<bool(const std::string&)>& launch) {
  if (launch && launch(folder)) return true;
  ui_.showMessage("Error!\n\nExplorer.exe not found or could not be loaded.\n", kShowMessageCaption, Icon::Error,
                  Buttons::Ok);
  return false;
}

std::string LaunchPad::infoText(const std::vector<std::string>& selection, bool allowCary) {
  if (selection.size() > 1) return std::to_string(selection.size()) + " files selected.\r\n";
  if (selection.empty()) return "";
  std::error_code e;
  if (fs::is_directory(selection.front(), e)) return "";
  const std::string name = fs::path(selection.front()).filename().string();
  datastore::DataStore store(true);
  store.allowCary = allowCary;
  bool loaded = false;
  try {
    loaded = store.load(selection.front(), true);
  } catch (const std::exception&) {
    loaded = false;
  }
  std::ostringstream text;
  text << "File: " << name << "\r\n";
  if (!loaded) {
    text << "It is not possible to view this file\r\nusing the Lumatix Viewer.\r\n";
    return text.str();
  }
  text << store.title << "\r\n";
  store.describeAttributes(text);
  text << "Remarks: \r\n";
  for (std::int32_t i = 0; i < store.remarks.size(); ++i) text << store.remarks[i] << "\r\n";
  text << "Settings: \r\n";
  for (std::int32_t i = 0; i < store.dimensions.size(); ++i)
    text << processing::DescribeDimension(store.dimensions[i]) << "\r\n";
  for (std::int32_t i = 0; i < store.properties.size(); ++i)
    text << processing::DescribeProperty(store.properties[i]) << "\r\n";
  return text.str();
}

}  // namespace lumatix::app
