// DataStore::load: the format of a file is decided by its first line alone.

#include <fstream>
#include <istream>
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

}  // namespace

bool DataStore::load(const std::string& path, bool headerOnly) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in >> std::ws;
  probeLine(in, formatName);
  const std::string line = formatName;

  // The text readers start again at the first byte of a stream opened afresh.
  auto readText = [&](auto reader) {
    in.close();
    std::ifstream textIn(path);
    if (!textIn) return false;
    reader(textIn);
    return !textIn.fail() && !textIn.bad();
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
