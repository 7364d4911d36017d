// DataStore::load: the format of a file is decided by its first line alone.

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <istream>
#include <iterator>
#include <memory>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "datastore/data_store.h"
#include "datastore/delimited_rows.h"
#include "datastore/import_text.h"
#include "datastore/load_refusal.h"
#include "datastore/lum_binary.h"
#include "datastore/lumatix_store.h"
#include "datastore/qvl_ascii.h"
#include "datastore/store_path.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"
#include "platform/mapped_file.h"

namespace lumatix::datastore {
namespace {

// Files from this size on are mapped rather than read.
constexpr off_t kMapFrom = 16 << 20;

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
  // A Cary file's second line names the columns; numbers there are a file of columns.
  if (text::guessShape(line)) return false;
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
      // A large file is read in place: the text readers parse the mapped bytes without a
      // copy of the file, and memory stays bounded by the values they keep.
      if (info.st_size >= kMapFrom)
        if (auto mapped = platform::MappedFileBuf::open(path))
          return std::make_unique<platform::MappedFileStream>(std::move(mapped));
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

// The first bytes of the file, for the formats told apart by more than their first line.
std::string startOf(std::istream& in) {
  in.clear();
  const std::streampos at = in.tellg();
  in.seekg(0);
  std::string start(kMaxProbeLine, '\0');
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(in.gcount()));
  in.clear();
  in.seekg(at);
  return start;
}

// "$$" comment lines, then a ##TITLE record: a JCAMP-DX file that opens with a comment.
bool startsJcampAfterComments(std::istream& in, const std::string& firstLine) {
  if (firstLine.compare(0, 2, "$$") != 0) return false;
  const std::string start = startOf(in);
  std::size_t pos = 0;
  while (pos < start.size()) {
    const std::size_t end = std::min(start.find('\n', pos), start.size());
    const std::string_view line = std::string_view(start).substr(pos, end - pos);
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first != std::string_view::npos && line.compare(first, 2, "$$") != 0) return jcampLabel(line) == "TITLE";
    pos = end + 1;
  }
  return false;
}

// A NUL or another control byte that text files do not hold.
bool looksBinary(std::string_view bytes) {
  for (char ch : bytes) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte == 0 || (byte < 0x20 && ch != '\t' && ch != '\n' && ch != '\r' && ch != '\f' && ch != '\v')) return true;
  }
  return false;
}

std::string unrecognisedReason(std::istream& in, const std::string& firstLine, bool looksCary, bool allowCary) {
  if (looksCary && !allowCary)
    return "It looks like a Cary export (a title, a line naming the columns, then rows of comma-separated numbers); "
           "Cary files open only when \"Allow Cary Files\" is switched on (--allow-cary on the command line).";
  in.clear();
  in.seekg(0, std::ios::end);
  if (in.tellg() == std::streampos(0)) return "The file is empty.";
  std::string start(256, '\0');
  in.seekg(0);
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(in.gcount()));
  if (looksBinary(start)) return "It holds binary data of no format the viewer reads (its first bytes are " + quoted(start) + ").";
  return "Its first line " + quoted(firstLine) +
         " names none of the formats the viewer reads (LumBinaryX, LumBinary, LumatixStore, QVL-ASCII, "
         "QVL-ASCII-SPECTRAKINETIC, ASCII, JCAMP-DX, Cary, spectrometer text exports), and it holds no columns of "
         "numbers.";
}

// Where a native binary reader stopped: it gives no reason of its own.
std::string binaryStopReason(std::istream& in, const std::string& format) {
  in.clear();
  const std::streampos at = in.tellg();
  in.seekg(0, std::ios::end);
  const std::streampos size = in.tellg();
  if (at == std::streampos(-1) || size == std::streampos(-1)) return format + " file: it is damaged or cut short.";
  if (at >= size)
    return format + " file: it ends (after " + std::to_string(static_cast<long long>(size)) +
           " bytes) before the data it announces.";
  return format + " file: it does not make sense from byte " + std::to_string(static_cast<long long>(at)) + " of " +
         std::to_string(static_cast<long long>(size)) + " on (damaged, or its check sum does not match).";
}

}  // namespace

bool DataStore::load(const std::string& path, bool headerOnly) {
  setLastLoadRefusal({});
  const StorePath target = splitStorePath(path);
  std::unique_ptr<std::istream> input;
  try {
    input = openInput(target.file);
  } catch (const std::exception& e) {
    std::string why = e.what();
    while (!why.empty() && why.back() == '\n') why.pop_back();
    setLastLoadRefusal(why);
    throw;
  }
  if (!input) {
    setLastLoadRefusal("The file cannot be opened for reading: " + std::string(std::strerror(errno)) + ".");
    return false;
  }
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

  // The native binary readers say only that the file is corrupt: where they stopped is the
  // reason.
  auto readBinary = [&](auto reader) {
    try {
      reader();
    } catch (const LoadRefused&) {
      throw;
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception& e) {
      refuseWith(e.what(), binaryStopReason(in, line));
    }
    if (!in.fail() && !in.bad()) return true;
    setLastLoadRefusal(binaryStopReason(in, line));
    return false;
  };

  bool severalParts = false;
  // Readers of files that may hold several stores read the one the path names, and say in
  // a remark how the others are reached.
  auto readParts = [&](auto reader) {
    in.clear();
    in.seekg(0);
    if (!in) return false;
    severalParts = true;
    const std::size_t parts = reader(in, target.part);
    if (in.fail() || in.bad() || parts == 0) return false;
    if (target.part >= parts) {
      refuse(in, "The file holds " + std::to_string(parts) + (parts == 1 ? " set" : " sets") +
                     " of spectra; there is no set " + std::to_string(target.part + 1) + ".");
      return false;
    }
    if (parts > 1)
      addRemark("Set " + std::to_string(target.part + 1) + " of " + std::to_string(parts) +
                " in this file (its spectra differ in x); open \"" + storePathOf(target.file, 0) + "\" to \"" +
                storePathOf(target.file, parts - 1) + "\" for each.");
    return true;
  };

  // A large file is read from a mapping, which another program may cut short meanwhile:
  // then what was read is refused, whatever the reader made of the missing bytes.
  const auto* mapped = dynamic_cast<const platform::MappedFileBuf*>(in.rdbuf());
  auto refuseIfCutShort = [&] {
    if (mapped != nullptr && mapped->cutShort())
      refuseWith("The file changed while it was read.\n",
                 "It became shorter while it was being read; open it again once it is complete.");
  };
  bool ok = false;
  try {
    if (line == "LumBinary") {
      ok = readBinary([&] { readLumBinary(*this, in, headerOnly); });
    } else if (line == "LumBinaryX") {
      ok = readBinary([&] { readLumBinaryX(*this, in, headerOnly); });
    } else if (line == "LumatixStore" || line == "LumatixStore 1.1") {
      ok = readText([&](std::istream& s) { readLumatixStore(*this, s, headerOnly); });
    } else if (line == "QVL-ASCII-SPECTRAKINETIC") {
      ok = readText([&](std::istream& s) { readQvlSpectraKinetic(*this, s); });
    } else if (line == "QVL-ASCII") {
      ok = readText([&](std::istream& s) { readQvlAscii(*this, s); });
    } else if (line == "ASCII") {
      ok = readText([&](std::istream& s) { readAsciiXY(*this, s); });
    } else if (line == "SimpleCSV" || line == "LumatixCSV") {
      refuseWith("CSV is an export only format.\nIt cannot be imported.\n",
                 "The file is a " + line + " export, which other programs read; open the file it was exported from.");
    } else if (line == "JCAMP-DX 5.0") {
      refuseWith("JCAMP-DX is an export only format.\nIt cannot be imported.\n",
                 "Its first line is the name of the viewer's JCAMP-DX export, not a JCAMP-DX ##TITLE record.");
    } else if (jcampLabel(line) == "TITLE" || startsJcampAfterComments(in, line)) {
      ok = readParts([&](std::istream& s, std::size_t part) { return readJcampPart(*this, s, part); });
    } else if (looksLikeSpectrometerText(startOf(in))) {
      formatName = "SPECTROMETER-TEXT";
      ok = readParts([&](std::istream& s, std::size_t part) { return readSpectrometerTextPart(*this, s, part); });
    } else {
      const bool cary = looksLikeCary(in);
      if (cary && allowCary) {
        formatName = "CARY-ASCII";
        ok = readParts([&](std::istream& s, std::size_t part) { return readCaryPart(*this, s, part); });
      } else if (cary) {
        refuseWith("The file is of an unrecognised format\n", unrecognisedReason(in, line, cary, allowCary));
      } else {
        // The last resort: columns of numbers.
        bool columns = false;
        formatName = "DELIMITED-COLUMNS";
        ok = readParts([&](std::istream& s, std::size_t part) {
          const ColumnsRead read = readColumnsPart(*this, s, part);
          columns = read.columns;
          return read.parts;
        });
        if (!columns) {
          formatName = line;
          refuseWith("The file is of an unrecognised format\n", unrecognisedReason(in, line, cary, allowCary));
        }
      }
    }

  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    refuseIfCutShort();
    throw;
  }
  refuseIfCutShort();

  if (ok && target.part > 0 && !severalParts) {
    refuse(in, "The file holds 1 set of spectra; there is no set " + std::to_string(target.part + 1) + ".");
    ok = false;
  }
  filePath = path;
  return ok;
}

}  // namespace lumatix::datastore
