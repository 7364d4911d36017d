#pragma once
// A file that holds several stores (spectra over different x) is opened store by store:
// "path#k" names store k, counted from 1, of the file at path; the plain path gives the
// first. A path that names an existing file is always that file, '#' or not.

#include <cstddef>
#include <string>

namespace lumatix::datastore {

struct StorePath {
  std::string file;       // the file to open
  std::size_t part = 0;   // the store within it, from 0
  bool partNamed = false; // the path ended in "#k"
};

StorePath splitStorePath(const std::string& path);

// "path#k" for store part (from 0) of the file at path.
std::string storePathOf(const std::string& file, std::size_t part);

}  // namespace lumatix::datastore
