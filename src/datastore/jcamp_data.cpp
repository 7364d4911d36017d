#include "datastore/jcamp_data.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "datastore/asdf.h"
#include "datastore/bulk_rows.h"
#include "datastore/load_refusal.h"
#include "datastore/text_number.h"

namespace lumatix::datastore::jcamp {
namespace {

// DUP counts let few characters stand for many values; a count beyond this many values per
// character of the rest of the file is refused before anything is reserved.
constexpr std::uint64_t kMostValuesPerCharacter = 64;

std::string lineText(const text::TextCursor& c, std::size_t at) {
  return "line " + std::to_string(c.lineNumberAt(at)) + ": ";
}

std::string number(double v) { return text::doubleText(v); }

bool isSeparator(char ch) { return ch == ' ' || ch == '\t' || ch == ',' || ch == ';' || ch == '\r'; }

// The symbols of "X++(Y..Y)" or "XYW..XYW" (blanks already dropped, upper case).
std::vector<std::string> symbolsOf(std::string_view text) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < text.size()) {
    const char ch = text[i];
    if (!std::isalpha(static_cast<unsigned char>(ch))) break;
    std::string symbol(1, ch);
    ++i;
    // Symbols such as F1, F2, T2 carry a digit.
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) symbol.push_back(text[i++]);
    out.push_back(symbol);
  }
  return out;
}

// How far a line's own x may lie from the x its position gives before the file is taken
// to contradict itself: more than a step, beyond the rounding of written x values.
double xTolerance(double step, double x, double xFactor) {
  return std::max({1.5 * std::fabs(step), 1e-4 * std::fabs(x), std::fabs(xFactor)});
}

template <class Where>
std::string checkFirstY(const Scale& scale, const std::vector<float>& y, Where where) {
  if (!scale.firstY || y.empty() || !std::isfinite(y[0])) return {};
  float largest = 0.0f;
  for (float v : y)
    if (std::isfinite(v)) largest = std::max(largest, std::fabs(v));
  const double tolerance = std::max(std::fabs(scale.yFactor), 0.01 * static_cast<double>(largest));
  if (std::fabs(static_cast<double>(y[0]) - *scale.firstY) > tolerance)
    return where() + "the first value is " + number(y[0]) + " where ##FIRSTY gives " + number(*scale.firstY) +
           " (is ##YFACTOR right?).";
  return {};
}

template <class Where>
std::string checkCount(const Scale& scale, std::size_t n, Where where) {
  if (n == 0) return where() + "the data record holds no values.";
  if (scale.points >= 0 && n != static_cast<std::uint64_t>(scale.points))
    return where() + "the data hold " + std::to_string(n) + " values where ##NPOINTS announces " +
           std::to_string(scale.points) + ".";
  return {};
}

// The next line of a data record, starting at `at`; false at the next labelled record (the
// cursor is left at its start) or the end of the text.
bool nextDataLine(text::TextCursor& c, std::string_view& line, std::size_t& at) {
  at = c.position();
  if (!c.lineView(line)) return false;
  if (!isLabelLine(line)) return true;
  c.seek(at);
  return false;
}

// Blocks of x y pairs are read in parts on several threads when the rest of the file
// holds at least this many of the smallest parts, and ##NPOINTS (when given) announces
// about as many characters of pairs; a small block at the start of a large file is not.
constexpr std::size_t kPartsInTheRest = 4;

// The values of part of a block of x y pairs, read as the one pass of decodeGroups reads
// them when neither factor scales them: values at even places of the part in even, the
// others in odd (which of them are x depends on the count of values before the part).
struct ValuePart {
  std::size_t begin = 0, end = 0;
  std::size_t stop = 0;      // the start of the labelled record that ends the block, or end
  bool endsBlock = false;    // a labelled record ends the block in this part
  bool failed = false;       // something other than a number: the one pass says what
  std::size_t values = 0;
  std::vector<float> even, odd;
};

// What a character of a block of groups is to the pass over it.
enum class CharKind : std::uint8_t { Other, Separator, Open, Close, LineEnd, Hash, Dollar, Unknown };

constexpr std::array<CharKind, 256> kCharKinds = [] {
  std::array<CharKind, 256> kinds{};
  for (unsigned char ch : {' ', '\t', ',', ';', '\r'}) kinds[ch] = CharKind::Separator;
  kinds['('] = CharKind::Open;
  kinds[')'] = CharKind::Close;
  kinds['\n'] = CharKind::LineEnd;
  kinds['#'] = CharKind::Hash;
  kinds['$'] = CharKind::Dollar;
  kinds['?'] = CharKind::Unknown;
  return kinds;
}();

CharKind kindOf(char ch) { return kCharKinds[static_cast<unsigned char>(ch)]; }

void readValuePart(std::string_view text, ValuePart& part, std::vector<float>& even, std::vector<float>& odd,
                   text::PassedText& passed) {
  const char* const data = text.data();
  const char* const last = data + text.size();
  std::size_t lineAt = part.begin;
  bool lineStart = true;
  std::size_t i = part.begin;
  std::size_t n = 0;
  while (i < part.end) {
    const CharKind kind = kindOf(text[i]);
    if (kind == CharKind::Other || kind == CharKind::Unknown) {
      // A number, the common case, checked first.
      lineStart = false;
      float value = std::numeric_limits<float>::quiet_NaN();
      const std::size_t used = kind == CharKind::Unknown ? 1 : text::parseFloatAt(data + i, last, value);
      const std::size_t next = i + used;
      if (used == 0) {
        part.failed = true;
        return;
      }
      if (next < text.size()) {
        const CharKind after = kindOf(text[next]);
        if (after != CharKind::Separator && after != CharKind::Close && after != CharKind::LineEnd) {
          part.failed = true;
          return;
        }
      }
      i = next;
      (n % 2 == 0 ? even : odd).push_back(value);
      ++n;
      continue;
    }
    if (kind == CharKind::LineEnd) {
      lineAt = ++i;
      lineStart = true;
      passed.passed(i);
      continue;
    }
    if (kind == CharKind::Separator || kind == CharKind::Open || kind == CharKind::Close) {
      ++i;
      continue;
    }
    if (lineStart && kind == CharKind::Hash && i + 1 < text.size() && text[i + 1] == '#') {
      part.stop = lineAt;
      part.endsBlock = true;
      part.values = n;
      return;
    }
    if (kind == CharKind::Dollar && i + 1 < text.size() && text[i + 1] == '$') {
      lineStart = false;
      const std::size_t end = text.find('\n', i);
      i = end == std::string_view::npos ? text.size() : end;
      continue;
    }
    // A lone '#' or '$': the one pass says what is wrong with it.
    part.failed = true;
    return;
  }
  part.stop = part.end;
  part.values = n;
}

// The x y pairs of text read in parts on several threads: false when the one pass must
// read them instead (a part holds something other than a number). Otherwise x and y hold
// the values and stop is where the block ends.
bool readPairsInParts(std::string_view text, std::size_t threads, std::size_t most, const text::TextCursor& c,
                      std::vector<float>& x, std::vector<float>& y, std::size_t& stop) {
  const text::TextCursor::PageRelease release = c.pageRelease();
  std::vector<ValuePart> parts;
  std::size_t begin = 0;
  for (std::size_t k = 1; k <= threads && begin < text.size(); ++k) {
    std::size_t end = text.size();
    if (k < threads) {
      const std::size_t lineEnd = text.find('\n', std::max(begin, text.size() / threads * k));
      if (lineEnd != std::string_view::npos) end = lineEnd + 1;
    }
    ValuePart part;
    part.begin = begin;
    part.end = end;
    parts.push_back(std::move(part));
    begin = end;
  }
  // The first part is read into x and y themselves, with room for every pair.
  const auto room = [](const ValuePart& part) { return text::numbersThatFit(part.end - part.begin) / 2 + 1; };
  text::reserveValues(x, most);
  text::reserveValues(y, most);
  for (std::size_t k = 1; k < parts.size(); ++k) {
    text::reserveValues(parts[k].even, room(parts[k]));
    text::reserveValues(parts[k].odd, room(parts[k]));
  }
  text::readInParts(parts.size(), [&](std::size_t k) {
    ValuePart& part = parts[k];
    text::PassedText passed(release, c.position(), part.begin);
    if (k == 0)
      readValuePart(text, part, x, y, passed);
    else
      readValuePart(text, part, part.even, part.odd, passed);
  });

  std::size_t values = 0;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    ValuePart& part = parts[k];
    if (part.failed) return false;
    if (k > 0) {
      // After an odd count of values the part's first value is a y.
      std::vector<float>& toX = values % 2 == 0 ? part.even : part.odd;
      std::vector<float>& toY = values % 2 == 0 ? part.odd : part.even;
      x.insert(x.end(), toX.begin(), toX.end());
      y.insert(y.end(), toY.begin(), toY.end());
      std::vector<float>().swap(part.even);
      std::vector<float>().swap(part.odd);
    }
    values += part.values;
    stop = part.stop;
    if (part.endsBlock) break;
  }
  return true;
}

}  // namespace

bool isLabelLine(std::string_view line) {
  const std::size_t start = line.find_first_not_of(" \t");
  return start != std::string_view::npos && line.compare(start, 2, "##") == 0;
}

DataForm parseForm(std::string_view value, bool steppedByDefault) {
  std::string compact;
  for (char ch : value) {
    if (ch == ' ' || ch == '\t') continue;
    compact.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
  }
  DataForm form;
  const std::size_t open = compact.find('(');
  if (open == std::string::npos) {
    form.valid = true;
    form.stepped = steppedByDefault;
    form.symbols = steppedByDefault ? std::vector<std::string>{"X", "Y"} : std::vector<std::string>{"X", "Y"};
    return form;
  }
  const std::string_view inner = std::string_view(compact).substr(open + 1);
  const std::size_t plus = inner.find("++");
  if (plus != std::string_view::npos) {
    // "X++(Y..Y))"
    std::vector<std::string> x = symbolsOf(inner.substr(0, plus));
    std::string_view rest = inner.substr(plus + 2);
    if (!rest.empty() && rest.front() == '(') rest.remove_prefix(1);
    std::vector<std::string> y = symbolsOf(rest);
    if (x.size() == 1 && y.size() == 1 && rest.find("..") != std::string_view::npos) {
      form.stepped = true;
      form.symbols = {x[0], y[0]};
      form.valid = true;
    }
    return form;
  }
  // "XY..XY)", "XYW..XYW)"
  std::vector<std::string> members = symbolsOf(inner);
  if (members.size() >= 2 && inner.find("..") != std::string_view::npos) {
    form.symbols = members;
    form.valid = true;
  }
  return form;
}

// A store's dimension counts its values in an int32.
constexpr std::int64_t kMostPoints = std::numeric_limits<std::int32_t>::max();

std::string decodeStepped(text::TextCursor& c, const Scale& scale, Decoded& out) {
  const std::size_t blockAt = c.position();
  // Counting lines is slow in a large file: only a refusal names the line.
  const auto where = [&c, blockAt] { return lineText(c, blockAt); };
  if (scale.points > kMostPoints)
    return "##NPOINTS announces " + std::to_string(scale.points) + " points, more than a spectrum can hold.";
  if (scale.points > 0 && static_cast<std::uint64_t>(scale.points) > kMostValuesPerCharacter * c.remaining())
    return "##NPOINTS announces " + std::to_string(scale.points) + " points, more than the rest of the file can hold.";
  const std::size_t budgetTotal =
      scale.points >= 0 ? static_cast<std::size_t>(scale.points)
                        : static_cast<std::size_t>(std::min<std::uint64_t>(kMostValuesPerCharacter * c.remaining(),
                                                                            std::numeric_limits<std::int32_t>::max()));
  std::vector<float>& y = out.y;
  y.clear();
  y.reserve(std::min<std::size_t>(budgetTotal, c.remaining() / 2 + 1));

  struct LineStart {
    std::size_t index;  // of its first y value
    double x;           // the line's own x, the factor applied
    std::size_t at;     // where the line starts in the text
  };
  std::vector<LineStart> lines;
  asdf::DecodedLine decoded;
  bool checkNext = false;
  double lastY = 0.0;
  std::size_t at = 0;
  std::string_view line;
  while (nextDataLine(c, line, at)) {
    if (!asdf::decodeLine(line, decoded, budgetTotal - y.size() + 2))
      return lineText(c, at) + quoted(line) +
             " is not a line of numbers in any of the format's forms, or holds more values than ##NPOINTS announces.";
    if (decoded.values.empty()) continue;
    std::size_t first = 1;
    if (checkNext && decoded.values.size() > 1) {
      // After a line that ends in a difference the next line repeats its last y as a check.
      const double check = decoded.values[1];
      if (std::fabs(check - lastY) > 1e-9 * std::max(1.0, std::fabs(lastY)) && !(std::isnan(check) && std::isnan(lastY)))
        return lineText(c, at) + "the check value " + number(check) + " does not repeat the last value " +
               number(lastY) + " of the line before.";
      first = 2;
    }
    // A line that opens with a check value stands at the x of the value it repeats.
    lines.push_back({first == 2 ? y.size() - 1 : y.size(), decoded.values[0] * scale.xFactor, at});
    for (std::size_t k = first; k < decoded.values.size(); ++k) {
      if (y.size() == budgetTotal)
        return lineText(c, at) + "more values than the " + std::to_string(budgetTotal) + " that ##NPOINTS announces.";
      y.push_back(static_cast<float>(decoded.values[k] * scale.yFactor));
    }
    lastY = decoded.values.back();
    checkNext = decoded.endsInDif;
  }
  const std::size_t n = y.size();
  if (std::string why = checkCount(scale, n, where); !why.empty()) return why;

  // The step between neighbours: DELTAX, else the span from FIRSTX to LASTX, else what the
  // lines' own x values give.
  std::optional<double> step = scale.deltaX;
  if (!step && scale.firstX && scale.lastX) step = n > 1 ? (*scale.lastX - *scale.firstX) / static_cast<double>(n - 1) : 0.0;
  if (!step && lines.size() > 1) {
    const auto& a = lines[0];
    const auto& b = lines[1];
    if (b.index > a.index) step = (b.x - a.x) / static_cast<double>(b.index - a.index);
  }
  if (!step && scale.lastX && n > 1) step = (*scale.lastX - lines.front().x) / static_cast<double>(n - 1);
  if (!step) {
    if (n > lines.size())
      return where() + "there is no ##FIRSTX, ##LASTX or ##DELTAX to place the values that share a line.";
    step = 0.0;
  }
  const double origin = scale.firstX ? *scale.firstX : lines.front().x;
  std::vector<float>& x = out.x;
  x.resize(n);
  for (std::size_t i = 0; i < n; ++i) x[i] = static_cast<float>(origin + static_cast<double>(i) * *step);
  if (!scale.firstX && n == lines.size()) {
    // One value per line and no FIRSTX: the lines' own x values are the abscissae.
    for (std::size_t i = 0; i < n; ++i) x[i] = static_cast<float>(lines[i].x);
  }
  for (const auto& start : lines) {
    if (start.index >= n) continue;
    const double expected = origin + static_cast<double>(start.index) * *step;
    if (!std::isfinite(start.x) || std::fabs(start.x - expected) > xTolerance(*step, expected, scale.xFactor))
      return lineText(c, start.at) + "the line starts at x = " + number(start.x) + " where ##FIRSTX, ##LASTX and " +
             "##NPOINTS place its first value at " + number(expected) + ".";
  }
  return checkFirstY(scale, y, where);
}

std::string decodeGroups(text::TextCursor& c, const Scale& scale, std::size_t members, Decoded& out, text::Parts parts) {
  const std::size_t blockAt = c.position();
  // Counting lines is slow in a large file: only a refusal names the line.
  const auto where = [&c, blockAt] { return lineText(c, blockAt); };
  if (scale.points > kMostPoints)
    return "##NPOINTS announces " + std::to_string(scale.points) + " points, more than a spectrum can hold.";
  if (scale.points > 0 &&
      static_cast<std::uint64_t>(scale.points) * members > text::numbersThatFit(c.remaining()))
    return "##NPOINTS announces " + std::to_string(scale.points) + " points, more than the rest of the file can hold.";
  std::vector<float>& x = out.x;
  std::vector<float>& y = out.y;
  x.clear();
  y.clear();
  // A rough count of the groups ahead keeps a large file from growing its vectors step by step.
  const std::size_t expected = scale.points > 0 ? static_cast<std::size_t>(scale.points) : c.remaining() / 16;
  const bool plainX = scale.xFactor == 1.0, plainY = scale.yFactor == 1.0;
  const std::string_view text = c.rest();
  const std::size_t base = c.position();
  std::size_t member = 0;
  std::size_t lineAt = 0;   // the start of the current line, in text
  std::size_t groupAt = 0;  // the line of the group being read
  std::size_t handedBack = 0;
  bool lineStart = true;
  std::size_t i = 0;
  // A large block of unscaled pairs, the common large file, is read in parts at once. Any
  // surprise (something not a number, more points than announced, a lone x at the end)
  // lets the one pass below read it again, to say what and where.
  const std::size_t smallest = std::max<std::size_t>(parts.smallestPart, 1);
  const std::size_t threads = std::min<std::size_t>(parts.threads, text.size() / smallest);
  if (threads > 1 && members == 2 && plainX && plainY && text.size() >= kPartsInTheRest * smallest &&
      (scale.points < 0 || static_cast<std::uint64_t>(scale.points) * 8 >= 2 * smallest)) {
    std::size_t stop = 0;
    const std::size_t most = scale.points >= 0 ? static_cast<std::size_t>(scale.points) + 1
                                               : text::numbersThatFit(text.size()) / 2 + 1;
    if (readPairsInParts(text, threads, most, c, x, y, stop) && x.size() == y.size() &&
        (scale.points < 0 || x.size() <= static_cast<std::size_t>(scale.points))) {
      // Where the one pass would stand: at the record that ends the block (it stops there
      // at once), or at the end.
      i = stop;
      lineAt = stop;
    } else {
      x.clear();
      y.clear();
    }
  }
  if (i == 0) {
    text::reserveValues(x, expected);
    text::reserveValues(y, expected);
  }
  // One pass over the block's text rather than line by line: a large table is mostly its
  // numbers, and finding each line end first would read every byte twice.
  while (i < text.size()) {
    const char ch = text[i];
    if (ch == '\n') {
      lineAt = ++i;
      lineStart = true;
      // Let the cursor drop what is read, a megabyte at a time.
      if (i - handedBack > (1u << 20)) {
        c.seek(base + i);
        handedBack = i;
      }
      continue;
    }
    if (isSeparator(ch) || ch == '(' || ch == ')') {  // some files wrap groups: "(1.0, 2.0, 0.5)"
      ++i;
      continue;
    }
    if (lineStart && ch == '#' && i + 1 < text.size() && text[i + 1] == '#') break;  // the next record
    lineStart = false;
    if (ch == '$' && i + 1 < text.size() && text[i + 1] == '$') {  // a comment to the end of the line
      const std::size_t end = text.find('\n', i);
      i = end == std::string_view::npos ? text.size() : end;
      continue;
    }
    double value = 0.0;
    std::size_t used = 0;
    if (ch == '?') {
      value = std::numeric_limits<double>::quiet_NaN();
      used = 1;
    } else if ((member == 0 && plainX) || (member == 1 && plainY) || member > 1) {
      float f = 0.0f;
      used = text::parseFloatAt(text.data() + i, text.data() + text.size(), f);
      value = f;
    } else {
      used = text::parseDouble(text.substr(i), value);
    }
    const std::size_t next = i + used;
    if (used == 0 || (next < text.size() && !isSeparator(text[next]) && text[next] != ')' && text[next] != '\n'))
      return lineText(c, base + lineAt) + "found " + quoted(text.substr(i)) + " where a number was expected.";
    i = next;
    if (member == 0) {
      if (scale.points >= 0 && x.size() == static_cast<std::size_t>(scale.points))
        return lineText(c, base + lineAt) + "more points than the " + std::to_string(scale.points) +
               " that ##NPOINTS announces.";
      groupAt = lineAt;
      x.push_back(static_cast<float>(plainX ? value : value * scale.xFactor));
    } else if (member == 1) {
      y.push_back(static_cast<float>(plainY ? value : value * scale.yFactor));
    }
    member = member + 1 == members ? 0 : member + 1;
  }
  c.seek(base + (i < text.size() ? lineAt : text.size()));
  if (member != 0)
    return lineText(c, base + groupAt) + "the last group holds " + std::to_string(member) + " of its " +
           std::to_string(members) + " values.";
  if (std::string why = checkCount(scale, y.size(), where); !why.empty()) return why;
  if (scale.firstX && std::isfinite(x[0])) {
    const std::size_t n = x.size();
    const double step = scale.lastX && n > 1 ? (*scale.lastX - *scale.firstX) / static_cast<double>(n - 1) : 0.0;
    if (std::fabs(x[0] - *scale.firstX) > xTolerance(step, *scale.firstX, scale.xFactor))
      return where() + "the first x is " + number(x[0]) + " where ##FIRSTX gives " + number(*scale.firstX) + ".";
  }
  return checkFirstY(scale, y, where);
}

}  // namespace lumatix::datastore::jcamp
