#include "app/launch_pad_paths.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace lumatix::app {

namespace fs = std::filesystem;

std::string workingDirectoryDisplay(const std::string& path) {
  if (std::count(path.begin(), path.end(), '/') <= 3) return path;
  std::size_t first = path.find('/');
  std::size_t second = path.find('/', first + 1);
  std::size_t last = path.rfind('/');
  return path.substr(0, second) + "/.../" + path.substr(last + 1);
}

std::string parentFolder(const std::string& path) {
  std::size_t last = path.rfind('/');
  if (last == std::string::npos) return "";
  return path.substr(0, last);
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

std::vector<TreeEntry> listFolder(const std::string& folder) {
  if (folder.empty()) return {{"/", true}};
  std::vector<TreeEntry> folders;
  std::vector<TreeEntry> files;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    bool isFolder = it->is_directory(typeError);
    (isFolder ? folders : files).push_back({it->path().filename().string(), isFolder});
  }
  auto byName = [](const TreeEntry& a, const TreeEntry& b) { return lessIgnoringCase(a.name, b.name); };
  std::stable_sort(folders.begin(), folders.end(), byName);
  std::stable_sort(files.begin(), files.end(), byName);
  folders.insert(folders.end(), files.begin(), files.end());
  return folders;
}

std::string newFolderName(const std::string& parent) {
  const std::string base = "New Folder";
  bool found = false;
  long largest = 0;
  std::error_code error;
  for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (!it->is_directory(typeError)) continue;
    std::string name = it->path().filename().string();
    if (name.compare(0, base.size(), base) != 0) continue;
    std::string rest = name.substr(base.size());
    if (rest.compare(0, 2, " (") == 0) rest.erase(0, 2);
    if (!rest.empty() && rest.back() == ')') rest.pop_back();
    long number = 0;
    // A rest that is no number ("New Folders") reads as 0, like an empty one.
    std::from_chars(rest.data(), rest.data() + rest.size(), number);
    found = true;
    largest = std::max(largest, number);
  }
  if (!found) return base;
  return base + " (" + std::to_string(largest == 0 ? 2 : largest + 1) + ")";
}

std::string joinPath(const std::string& folder, const std::string& name) {
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  if (f == "/") return f + name;
  return f + "/" + name;
}

}  // namespace lumatix::app
