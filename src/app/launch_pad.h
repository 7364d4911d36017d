#pragma once
// LaunchPad: what the launch pad's tree and info pane decide, without drawing them. The
// root of the tree, the working directory, the folder and file commands with their
// messages, and the texts of the info pane. Everything the person sees goes through Ui.
// Windows observe changes() for WorkingDirectory (the working directory or the root moved)
// and Tree (a folder or file under them was made, renamed or removed).

#include <functional>
#include <string>
#include <vector>

#include "app/change_notifier.h"
#include "app/launch_pad_paths.h"

namespace lumatix::app {

class Ui;

class LaunchPad {
 public:
  // The root starts at the working directory.
  LaunchPad(Ui& ui, std::string workingDirectory);

  const std::string& root() const { return root_; }
  const std::string& workingDirectory() const { return workingDirectory_; }
  // What the working-directory bar shows and the program stores at exit: the working
  // directory, or the folder last chosen with "Browse for Folders...".
  const std::string& shownWorkingDirectory() const { return shownWorkingDirectory_; }
  // Tells its observers what changed; the main frame follows WorkingDirectory to keep its copy.
  ChangeNotifier& changes() { return changes_; }

  // The tree level below folder ("" for the drive list).
  std::vector<TreeEntry> list(const std::string& folder) const { return listFolder(folder); }

  // "Set Working Directory": the one selected folder becomes the working directory and the
  // root; otherwise "Please select a directory\n". False when nothing changed.
  bool setWorkingDirectory(const std::vector<std::string>& selection);
  // "Back to Working Directory".
  void backToWorkingDirectory() { setRootFolder(workingDirectory_); }
  // "Move Root Directory Up One Level".
  void moveRootUp() { setRootFolder(parentFolder(root_)); }
  // Set as root: the one selected folder, else "Please select a directory to set as the root.\n".
  bool setRoot(const std::vector<std::string>& selection);
  // "Browse for Folders...": the folder chosen in "Select Root Directory" becomes the root
  // and is shown as the working directory.
  void browseRoot(const std::string& chosenFolder);

  // "New Folder" in the selected folder: creates the next free name and returns its path
  // (to be renamed in place), or "" after telling the person why not.
  std::string newFolder(const std::vector<std::string>& selection);
  // Deletes a file or a whole folder; false after a message when that failed.
  bool remove(const std::string& path);
  // Gives a file or folder a new name in the same folder; returns the new path, or "" after
  // a message when the name is taken or the rename failed.
  std::string rename(const std::string& path, const std::string& newName);

  // "Browse with Explorer...": hands the folder to the desktop's file manager through
  // launch (false when it could not be started), else tells the person
  // "Error!\n\nExplorer.exe not found or could not be loaded.\n".
  bool browseWithFileManager(const std::string& folder, const std::function<bool(const std::string&)>& launch);

  // The info pane's text for the selection; allowCary as the "AllowCaryFiles" preference.
  static std::string infoText(const std::vector<std::string>& selection, bool allowCary);

 private:
  bool oneFolder(const std::vector<std::string>& selection, const char* message);
  void error(const std::string& text);
  void setRootFolder(std::string folder);

  Ui& ui_;
  std::string workingDirectory_;
  std::string root_;
  std::string shownWorkingDirectory_;
  ChangeNotifier changes_;
};

}  // namespace lumatix::app
