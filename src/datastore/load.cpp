// DataStore::load: the format of a file is decided by its first line alone.

#include <fstream>
#include <istream>
#include <stdexcept>
#include <string>

#include "datastore/data_store.h"
#include "datastore/lum_binary.h"

namespace lumatix::datastore {
namespace {

// The first line after leading white space, one trailing carriage return removed. Bounded,
// so a binary file without line feeds is not read whole.
std::string firstLine(std::istream& in) {
  in >> std::ws;
  std::string line;
  char c;
  while (line.size() < 4096 && in.get(c) && c != '\n') line.push_back(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

bool DataStore::load(const std::string& path, bool headerOnly) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  formatName = firstLine(in);
  const std::string& line = formatName;

  if (line == "LumBinary") {
    readLumBinary(*this, in, headerOnly);
  } else if (line == "LumBinaryX") {
    readLumBinaryX(*this, in, headerOnly);
  } else if (line == "SimpleCSV" || line == "LumatixCSV") {
    throw std::runtime_error("CSV is an export only format.\nIt cannot be imported.\n");
  } else if (line == "JCAMP-DX 5.0") {
    throw std::runtime_error("JCAMP-DX is an export only format.\nIt cannot be imported.\n");
  } else {
    throw std::runtime_error("The file is of an unrecognised format\n");
  }

  bool ok = !in.fail() && !in.bad();
  filePath = path;
  return ok;
}

}  // namespace lumatix::datastore
