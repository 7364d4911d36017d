#include "datastore/asdf.h"

#include <cstdint>
#include <limits>

#include "datastore/text_number.h"

namespace lumatix::datastore::asdf {
namespace {

enum class Kind { Plain, Dif, Dup };

// The leading digit a pseudo-digit stands for, its sign and its kind; false for any other
// character.
bool pseudoDigit(char ch, int& digit, Kind& kind) {
  if (ch == '@') return digit = 0, kind = Kind::Plain, true;
  if (ch >= 'A' && ch <= 'I') return digit = ch - 'A' + 1, kind = Kind::Plain, true;
  if (ch >= 'a' && ch <= 'i') return digit = -(ch - 'a' + 1), kind = Kind::Plain, true;
  if (ch == '%') return digit = 0, kind = Kind::Dif, true;
  if (ch >= 'J' && ch <= 'R') return digit = ch - 'J' + 1, kind = Kind::Dif, true;
  if (ch >= 'j' && ch <= 'r') return digit = -(ch - 'j' + 1), kind = Kind::Dif, true;
  if (ch >= 'S' && ch <= 'Z') return digit = ch - 'S' + 1, kind = Kind::Dup, true;
  if (ch == 's') return digit = 9, kind = Kind::Dup, true;
  return false;
}

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool isSeparator(char ch) { return ch == ' ' || ch == '\t' || ch == ',' || ch == ';' || ch == '\r'; }

}  // namespace

bool decodeLine(std::string_view line, DecodedLine& out, std::size_t maxValues) {
  out.values.clear();
  out.endsInDif = false;
  double lastDif = 0.0;
  bool lastWasDif = false;
  std::size_t i = 0;
  // A "$$" comment ends the data on its line.
  if (std::size_t comment = line.find("$$"); comment != std::string_view::npos) line = line.substr(0, comment);
  while (i < line.size()) {
    const char ch = line[i];
    if (isSeparator(ch)) {
      ++i;
      continue;
    }
    if (ch == '?') {
      // A value the instrument did not give.
      out.values.push_back(std::numeric_limits<double>::quiet_NaN());
      lastWasDif = false;
      ++i;
      continue;
    }
    int digit = 0;
    Kind kind = Kind::Plain;
    if (pseudoDigit(ch, digit, kind)) {
      // The pseudo-digit, then plain digits (and, for values, a decimal part).
      std::size_t j = i + 1;
      while (j < line.size() && (isDigit(line[j]) || (kind != Kind::Dup && line[j] == '.'))) ++j;
      std::string text = std::to_string(digit < 0 ? -digit : digit);
      text.append(line.substr(i + 1, j - i - 1));
      double magnitude = 0.0;
      if (text::parseDouble(text, magnitude) != text.size()) return false;
      const double value = digit < 0 ? -magnitude : magnitude;
      i = j;
      if (kind == Kind::Plain) {
        out.values.push_back(value);
        lastWasDif = false;
      } else if (kind == Kind::Dif) {
        if (out.values.empty()) return false;
        out.values.push_back(out.values.back() + value);
        lastDif = value;
        lastWasDif = true;
      } else {
        // A count of n repeats what came before n - 1 more times.
        if (out.values.empty() || out.values.size() > maxValues || value < 1 ||
            value > static_cast<double>(maxValues - out.values.size() + 1))
          return false;
        for (std::int64_t k = 1; k < static_cast<std::int64_t>(value); ++k)
          out.values.push_back(lastWasDif ? out.values.back() + lastDif : out.values.back());
      }
      continue;
    }
    if (isDigit(ch) || ch == '+' || ch == '-' || ch == '.') {
      // A plain number; "E" or "e" is its exponent only when a sign and a digit follow, as
      // both letters are also SQZ digits ("1E5" is 1 then 55).
      std::size_t j = i + 1;
      while (j < line.size() && (isDigit(line[j]) || line[j] == '.')) ++j;
      if (j + 2 < line.size() && (line[j] == 'E' || line[j] == 'e') && (line[j + 1] == '+' || line[j + 1] == '-') &&
          isDigit(line[j + 2])) {
        j += 2;
        while (j < line.size() && isDigit(line[j])) ++j;
      }
      double value = 0.0;
      const std::size_t used = text::parseDouble(line.substr(i, j - i), value);
      if (used != j - i) return false;
      out.values.push_back(value);
      lastWasDif = false;
      i += used;
      continue;
    }
    return false;
  }
  out.endsInDif = lastWasDif;
  return out.values.size() <= maxValues;
}

}  // namespace lumatix::datastore::asdf
