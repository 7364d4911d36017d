#pragma once
// Path rules of the launch pad: how the working directory is shown in the tool bar, the
// folder "one level up", the tree's listing order and the next free "New Folder" name.
// Paths use "/"; an empty root stands for the drive list, which on this system is "/".

#include <string>
#include <vector>

namespace lumatix::app {

// More than 3 separators: the text up to the second "/", then "/.../", then the last
// component ("/a/b/c/d" shows as "/a/.../d"); otherwise the whole path.
std::string workingDirectoryDisplay(const std::string& path);

// The text before the last "/"; empty (the drive list) when there is none or the path is "/x".
std::string parentFolder(const std::string& path);

struct TreeEntry {
  std::string name;
  bool folder = false;
};

// The first tree level of a folder: its sub-folders, then its files, each sorted by name
// ignoring letter case (ties keep the directory's order). An empty folder text gives the
// drive list, the single folder "/". An unreadable folder lists nothing.
std::vector<TreeEntry> listFolder(const std::string& folder);

// True when a is ordered before b ignoring letter case.
bool lessIgnoringCase(const std::string& a, const std::string& b);

// "New Folder" when the parent holds no sub-folder starting with that name; otherwise
// "New Folder (n)" with n one more than the largest number found (2 when that is 0).
std::string newFolderName(const std::string& parent);

// folder + "/" + name, with the folder's trailing separators removed ("/" stays "/").
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace lumatix::app
