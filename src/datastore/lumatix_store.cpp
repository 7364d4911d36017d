#include "datastore/lumatix_store.h"
#include "datastore/diagnostics.h"

#include <ostream>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "datastore/data_store.h"
#include "datastore/load_refusal.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

constexpr std::int64_t kMaxHistoryTexts = 65535;
// Bare option lines of the old layout are looked for only this far before the values.
constexpr int kMaxBareOptionLines = 1000;
constexpr std::size_t kFlushBytes = 1 << 20;

// Refuses the file with what was expected at the cursor and what stands there instead.
[[noreturn]] void corrupt(const text::TextCursor& c, const std::string& expected) {
  refuseWith("The file is corrupt.\n",
             "LumatixStore file: " + atLine(c, expected + " was expected; found " + foundHere(c) + "."));
}

// The same for a whole line that was read from start and was not what it should be.
[[noreturn]] void corruptLine(text::TextCursor& c, std::size_t start, const std::string& expected) {
  c.seek(start);
  corrupt(c, expected);
}

// Collects the file's text and hands it to the stream in large pieces; numbers are
// formatted straight into the buffer.
class Writer {
 public:
  explicit Writer(std::ostream& out) : out_(out), buffer_(new char[kFlushBytes + text::kMaxNumberChars]) {}
  Writer& operator<<(std::string_view text) {
    if (text.size() > kFlushBytes - used_) {
      flush();
      if (text.size() > kFlushBytes) {
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        return *this;
      }
    }
    std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
    return *this;
  }
  Writer& operator<<(char c) {
    if (used_ >= kFlushBytes) flush();
    buffer_[used_++] = c;
    return *this;
  }
  Writer& number(std::int64_t n) { return *this << std::string_view(std::to_string(n)); }
  void value(float v) {
    if (used_ >= kFlushBytes) flush();
    used_ = static_cast<std::size_t>(text::formatFloat(buffer_.get() + used_, v) - buffer_.get());
  }
  void flush() {
    out_.write(buffer_.get(), static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  std::ostream& out_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

// Title, remarks, names and option lines are one line each in the file; a line end inside
// one would shift every line after it, so it is written as a blank.
std::string oneLine(const std::string& text) {
  if (text.find_first_of("\r\n") == std::string::npos) return text;
  std::string line = text;
  for (char& ch : line)
    if (ch == '\r' || ch == '\n') ch = ' ';
  return line;
}

void writeValues(Writer& w, const DataStore& store, std::int32_t dimension, const float*& next) {
  std::int32_t n = store.dimensions[dimension].size();
  if (dimension == 0) {
    for (std::int32_t i = 0; i < n; ++i) {
      if (i) w << ',';
      w.value(*next++);
    }
    return;
  }
  for (std::int32_t i = 0; i < n; ++i) {
    w << '\n';
    writeValues(w, store, dimension - 1, next);
  }
}

// True when the line is a row of exactly count comma-separated numbers.
bool isValueRow(std::string_view line, std::int32_t count) {
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  };
  for (std::int32_t i = 0; i < count; ++i) {
    skipBlanks();
    float v;
    std::size_t used = text::parseFloat(line.substr(pos), v);
    if (!used) return false;
    pos += used;
    skipBlanks();
    if (i + 1 < count) {
      if (pos >= line.size() || line[pos] != ',') return false;
      ++pos;
    }
  }
  return count > 0 && pos == line.size();
}

void readOptions(DataStore& store, text::TextCursor& c) {
  std::string line;
  c.skipWs();
  std::size_t start = c.position();
  if (c.line(line) && line == "Options:") {
    std::int64_t count = 0;
    if (!c.readInt(count) || count < 0 || static_cast<std::uint64_t>(count) > c.remaining())
      corrupt(c, "the number of option lines");
    c.skipLine();
    for (std::int64_t i = 0; i < count; ++i) {
      if (!c.line(line)) corrupt(c, "option line " + std::to_string(i + 1) + " of " + std::to_string(count));
      store.options.push_back(line);
    }
    return;
  }
  c.seek(start);
  // The old layout: bare option lines up to the first row of values.
  const std::int32_t rowLength = store.dimensions[0].size();
  for (int i = 0; i < kMaxBareOptionLines; ++i) {
    c.skipWs();
    start = c.position();
    if (!c.line(line) || line == "History:" || isValueRow(line, rowLength)) break;
    store.options.push_back(line);
    start = c.position();
  }
  c.seek(start);
}

void readDimensions(DataStore& store, text::TextCursor& c) {
  std::int64_t count = 0;
  if (!c.readInt(count) || count < 1 || count > DataStore::kMaxDimensions)
    corrupt(c, "a number of dimensions from 1 to 255");
  store.dimensions = Array<Dimension>(static_cast<std::int32_t>(count));
  for (auto& dimension : store.dimensions) {
    c.skipWs();
    std::int64_t size = 0;
    if (!c.line(dimension.name)) corrupt(c, "a dimension name");
    if (!c.readInt(size) || size < 0 || size > std::numeric_limits<std::int32_t>::max() ||
        static_cast<std::uint64_t>(size) > text::numbersThatFit(c.remaining()))
      corrupt(c, "the size of the dimension \"" + dimension.name + "\", no more values than the file holds");
    dimension.values = Array<float>(static_cast<std::int32_t>(size));
    for (std::int64_t i = 0; i < size; ++i) {
      if (!c.readFloat(dimension.values[i])) corrupt(c, "value " + std::to_string(i + 1) + " of \"" + dimension.name + "\"");
      if (i + 1 < size && !c.accept(',')) corrupt(c, "a comma after value " + std::to_string(i + 1) + " of \"" + dimension.name + "\"");
    }
  }
}

// Fills the value block in file order, which is memory order. False for a missing comma;
// throws for anything else that is not a number, or for values cut off by the end.
bool readValues(DataStore& store, text::TextCursor& c) {
  const std::string_view rest = c.rest();
  const char* p = rest.data();
  const char* end = p + rest.size();
  const std::int32_t rowLength = store.dimensions[0].size();
  float* out = store.data.data;
  const std::int64_t total = store.data.count;
  auto skipWs = [&] {
    while (p != end && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t' || *p == '\v' || *p == '\f')) ++p;
  };
  for (std::int64_t done = 0; done < total;) {
    for (std::int32_t i = 0; i < rowLength; ++i, ++done) {
      skipWs();
      std::size_t used = text::parseFloat(std::string_view(p, static_cast<std::size_t>(end - p)), out[done]);
      if (!used) {
        c.seek(c.position() + static_cast<std::size_t>(p - rest.data()));
        corrupt(c, "value " + std::to_string(done + 1) + " of " + std::to_string(total));
      }
      p += used;
      if (i + 1 < rowLength) {
        if (p == end || *p != ',') {
          c.seek(c.position() + static_cast<std::size_t>(p - rest.data()));
          return false;
        }
        ++p;
      }
    }
  }
  c.seek(c.position() + static_cast<std::size_t>(p - rest.data()));
  return true;
}

// Reads up to a NUL; a text that the end of the file cuts off is corruption.
std::string readText(text::TextCursor& c) {
  std::string_view rest = c.rest();
  std::size_t nul = rest.find('\0');
  if (nul == std::string_view::npos) corrupt(c, "a history text ended by a NUL character");
  std::string textValue(rest.substr(0, nul));
  c.seek(c.position() + nul + 1);
  return textValue;
}

void readHistory(DataStore& store, text::TextCursor& c) {
  std::string line;
  c.skipWs();
  if (!c.line(line)) return;
  if (line != "History:") {
    store.addHistory(makeOldComment(line));
    return;
  }
  c.skipWs();
  std::size_t countStart = c.position();
  std::int64_t count = 0;
  if (!c.readInt(count)) {
    if (c.atEnd()) return;
    corrupt(c, "the number of history texts");
  }
  if (count >= 0 && count <= kMaxHistoryTexts) {
    diagnostics() << "reading " << count << " comments" << std::endl;
    if (static_cast<std::uint64_t>(count) > c.remaining()) corrupt(c, "no more history texts than the file holds");
    c.skipLine();
    for (std::int64_t i = 0; i < count; ++i) store.addHistory(makeOldComment(readText(c)));
  } else {
    diagnostics() << "reading old style comment." << std::endl;
    c.seek(countStart);
    store.addHistory(makeOldComment(readText(c)));
  }
}

}  // namespace

std::ostream& writeLumatixStore(DataStore& store, std::ostream& out, bool headerOnly) {
  const std::int64_t perProperty = store.valuesPerProperty();
  if (!headerOnly && (store.dimensions.size() < 1 || perProperty < 0 || perProperty * store.properties.size() != store.data.count))
    throw std::runtime_error("Datastore not valid");

  Writer w(out);
  w << "LumatixStore\n" << oneLine(store.title) << '\n' << "Remarks:\n";
  w.number(store.remarks.size()) << '\n';
  for (const auto& remark : store.remarks) w << oneLine(remark) << '\n';
  w << "0\nProperties:\n";
  w.number(store.properties.size()) << '\n';
  for (const auto& property : store.properties) w << oneLine(property) << '\n';
  w << "Dimensions:\n";
  w.number(store.dimensions.size()) << '\n';
  for (const auto& dimension : store.dimensions) {
    w << oneLine(dimension.name) << '\n';
    w.number(dimension.size()) << '\n';
    for (std::int32_t i = 0; i < dimension.size(); ++i) {
      if (i) w << ',';
      w.value(dimension.values[i]);
    }
    w << "\n\n";
  }
  if (!store.options.empty()) {
    w << "Options:\n";
    w.number(store.options.size()) << '\n';
    for (const auto& option : store.options) w << oneLine(option) << '\n';
  }
  if (!headerOnly) {
    const float* next = store.data.data;
    for (std::int32_t p = 0; p < store.properties.size(); ++p) {
      writeValues(w, store, store.dimensions.size() - 1, next);
      w << '\n';
    }
  }
  w << "History:\n";
  w.number(static_cast<std::int64_t>(store.history.size())) << '\n';
  for (const auto& entry : store.history) w << historyText(entry) << '\0';
  w << "0\n";
  w.flush();
  out.flush();
  store.formatName = "LumatixStore";
  store.saved = true;
  return out;
}

void readLumatixStore(DataStore& store, std::istream& in, bool headerOnly) {
  store.attributes.cfrCompliant = false;
  auto c = text::TextCursor::fromStart(in);
  std::string line;

  c.skipWs();
  std::size_t start = c.position();
  if (!c.line(line) || (line != "LumatixStore" && line != "LumatixStore 1.1")) corruptLine(c, start, "\"LumatixStore\"");
  if (!c.line(store.title)) corrupt(c, "a title line");

  std::int64_t count = 0;
  store.remarks.clear();
  if (!c.line(line)) corrupt(c, "\"Remarks:\"");
  if (line == "Remarks:") {
    if (!c.readInt(count) || count < 0 || static_cast<std::uint64_t>(count) > c.remaining())
      corrupt(c, "the number of remarks, no more than the file holds");
    c.skipLine();
    // A remark is the whole next line less its leading blanks; empty remarks stay empty, so
    // the remarks that follow them keep their places.
    for (std::int64_t i = 0; i < count; ++i) {
      if (!c.line(line)) corrupt(c, "remark " + std::to_string(i + 1) + " of " + std::to_string(count));
      store.remarks.push_back(line.substr(std::min(line.find_first_not_of(" \t"), line.size())));
    }
  } else {
    store.remarks.push_back(line);
  }
  if (!c.readInt(count)) corrupt(c, "a number after the remarks");

  c.skipWs();
  start = c.position();
  if (!c.line(line) || line != "Properties:") corruptLine(c, start, "\"Properties:\"");
  if (!c.readInt(count) || count < 1 || count > DataStore::kMaxProperties)
    corrupt(c, "a number of properties from 1 to 255");
  store.properties = Array<std::string>(static_cast<std::int32_t>(count));
  for (auto& property : store.properties) {
    c.skipWs();
    if (!c.line(property)) corrupt(c, "a property name");
  }

  c.skipWs();
  start = c.position();
  if (!c.line(line) || line != "Dimensions:") {
    c.seek(start);
    const std::string reason = "LumatixStore file: " + atLine(c, "\"Dimensions:\" was expected; found " + foundHere(c) + ".");
    c.skipWs();
    c.skipLine();
    refuse(in, reason);
    return;
  }
  readDimensions(store, c);
  store.options.clear();
  readOptions(store, c);
  if (headerOnly) return;

  const std::int64_t perProperty = store.valuesPerProperty();
  if (perProperty < 0) corrupt(c, "dimensions of fewer values in all");
  const std::int64_t total = perProperty * store.properties.size();
  if (static_cast<std::uint64_t>(total) > text::numbersThatFit(c.remaining()))
    corrupt(c, "the " + std::to_string(total) + " values the dimensions call for");
  if (total > 0 && !store.initialise()) corrupt(c, "a value block that fits in memory");
  if (!readValues(store, c)) {
    refuse(in, "LumatixStore file: " + atLine(c, "a comma between the values of a row was expected; found " + foundHere(c) + "."));
    return;
  }
  store.computeRange();
  readHistory(store, c);
}

}  // namespace lumatix::datastore
