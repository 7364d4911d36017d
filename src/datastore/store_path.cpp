#include "datastore/store_path.h"

#include <sys/stat.h>

namespace lumatix::datastore {
namespace {

bool exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

StorePath splitStorePath(const std::string& path) {
  StorePath whole{path, 0, false};
  if (path == "-" || exists(path)) return whole;
  const std::size_t hash = path.rfind('#');
  if (hash == std::string::npos || hash + 1 == path.size() || path.size() - hash > 7) return whole;
  std::size_t k = 0;
  for (std::size_t i = hash + 1; i < path.size(); ++i) {
    if (path[i] < '0' || path[i] > '9') return whole;
    k = k * 10 + static_cast<std::size_t>(path[i] - '0');
  }
  if (k == 0) return whole;
  std::string file = path.substr(0, hash);
  if (file != "-" && !exists(file)) return whole;
  return StorePath{file, k - 1, true};
}

std::string storePathOf(const std::string& file, std::size_t part) { return file + "#" + std::to_string(part + 1); }

}  // namespace lumatix::datastore
