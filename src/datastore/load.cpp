// DataStore::load: the format of a file is decided by its first line alone.

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <istream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "datastore/lum_binary.h"
#include "datastore/lumatix_store.h"
#include "datastore/qvl_ascii.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

// Lines looked at before a reader is chosen are read only this far, so a binary file
// without line feeds is not read whole.
constexpr std::size_t kMaxProbeLine = 65536;

// The next line, one trailing carriage return removed; false when the limit is reached
// first or nothing is left.
bool probeLine(std::istream& in, std::string& line) {
  line.clear();
  char c;
  bool any = false;
  while (in.get(c)) {
    any = true;
    if (c == '\n') break;
    if (line.size() >= kMaxProbeLine) return false;
    line.push_back(c);
  }
  text::chopCarriageReturn(line);
  return any;
}

// The second line, then a number, one non-blank character and a number: the shape of a
// Cary file's column header and first row.
bool looksLikeCary(std::istream& in) {
  std::string line;
  in >> std::ws;
  if (!probeLine(in, line)) return false;
  in >> std::ws;
  if (!probeLine(in, line)) return false;
  text::TextCursor row(line);
  float x = 0.0f, y = 0.0f;
  if (!row.floatHere(x)) return false;
  row.skipBlanks();
  if (!row.accept(',')) return false;
  row.skipBlanks();
  return row.floatHere(y);
}

// The bytes of the file, ready to be read from the start more than once: a regular file is
// opened as it is; standard input ("-"), a FIFO, a pipe or a device is read whole first,
// since it can be read only once. Null when a regular file cannot be opened.
std::unique_ptr<std::istream> openInput(const std::string& path) {
  const bool standardInput = path == "-";
  struct stat info {};
  if (!standardInput && ::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) throw std::runtime_error(path + " is a folder, not a file.\n");
    if (S_ISREG(info.st_mode)) {
      auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
      if (!*file) return nullptr;
      return file;
    }
  }
  std::ifstream special;
  std::istream* from = &std::cin;
  if (!standardInput) {
    special.open(path, std::ios::binary);
    if (!special) return nullptr;
    from = &special;
  }
  errno = 0;
  std::string bytes{std::istreambuf_iterator<char>(*from), std::istreambuf_iterator<char>()};
  if (from->bad() || errno == EIO)
    throw std::runtime_error("Can't read " + (standardInput ? std::string("standard input") : path) + ": " +
                             std::strerror(errno != 0 ? errno : EIO) + "\n");
  if (standardInput) std::cin.clear();
  return std::make_unique<std::istringstream>(std::move(bytes), std::ios::binary);
}

}  // namespace

bool DataStore::load(const std::string& path, bool headerOnly) {
  const std::unique_ptr<std::istream> input = openInput(path);
  if (!input) return false;
  std::istream& in = *input;
  in >> std::ws;
  probeLine(in, formatName);
  const std::string line = formatName;

  // The text readers start again at the first byte.
  auto readText = [&](auto reader) {
    in.clear();
    in.seekg(0);
    if (!in) return false;
    reader(in);
    return !in.fail() && !in.bad();
  };

  bool ok = false;
  if (line == "LumBinary") {
    readLumBinary(*this, in, headerOnly);
    ok = !in.fail() && !in.bad();
  } else if (line == "LumBinaryX") {
    readLumBinaryX(*this, in, headerOnly);
    ok = !in.fail() && !in.bad();
  } else if (line == "LumatixStore" || line == "LumatixStore 1.1") {
    ok = readText([&](std::istream& s) { readLumatixStore(*this, s, headerOnly); });
  } else if (line == "QVL-ASCII-SPECTRAKINETIC") {
    ok = readText([&](std::istream& s) { readQvlSpectraKinetic(*this, s); });
  } else if (line == "QVL-ASCII") {
    ok = readText([&](std::istream& s) { readQvlAscii(*this, s); });
  } else if (line == "ASCII") {
    ok = readText([&](std::istream& s) { readAsciiXY(*this, s); });
  } else if (line == "SimpleCSV" || line == "LumatixCSV") {
    throw std::runtime_error("CSV is an export only format.\nIt cannot be imported.\n");
  } else if (line == "JCAMP-DX 5.0") {
    throw std::runtime_error("JCAMP-DX is an export only format.\nIt cannot be imported.\n");
  } else if (jcampLabel(line) == "TITLE") {
    ok = readText([&](std::istream& s) { readJcamp(*this, s); });
  } else if (looksLikeCary(in) && allowCary) {
    formatName = "CARY-ASCII";
    ok = readText([&](std::istream& s) { readCary(*this, s); });
  } else {
    throw std::runtime_error("The file is of an unrecognised format\n");
  }

  filePath = path;
  return ok;
}

}  // namespace lumatix::datastore
