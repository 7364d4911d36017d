#include "datastore/delimited_rows.h"

#include <cmath>
#include <limits>

#include "datastore/text_number.h"

namespace lumatix::datastore::text {
namespace {

bool isBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r'; }

char separatorChar(Separator s) {
  switch (s) {
    case Separator::Tab:
      return '\t';
    case Separator::Semicolon:
      return ';';
    case Separator::Comma:
      return ',';
    case Separator::Blanks:
      break;
  }
  return ' ';
}

}  // namespace

std::string_view trim(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && isBlank(text[first])) ++first;
  std::size_t last = text.size();
  while (last > first && isBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::vector<std::string_view> cellsOf(std::string_view line, Separator separator) {
  std::vector<std::string_view> cells;
  if (separator == Separator::Blanks) {
    std::size_t i = 0;
    while (true) {
      while (i < line.size() && isBlank(line[i])) ++i;
      if (i >= line.size()) break;
      const std::size_t start = i;
      while (i < line.size() && !isBlank(line[i])) ++i;
      cells.push_back(line.substr(start, i - start));
    }
    return cells;
  }
  const char sep = separatorChar(separator);
  std::size_t start = 0;
  while (true) {
    const std::size_t at = line.find(sep, start);
    cells.push_back(trim(line.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start)));
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  return cells;
}

bool parseCell(std::string_view cell, bool decimalComma, float& value) {
  if (cell.empty()) return false;
  if (decimalComma) {
    const std::size_t comma = cell.find(',');
    if (comma != std::string_view::npos) {
      if (cell.find('.') != std::string_view::npos || cell.find(',', comma + 1) != std::string_view::npos) return false;
      std::string copy(cell);
      copy[comma] = '.';
      return parseFloat(copy, value) == copy.size();
    }
  }
  return parseFloat(cell, value) == cell.size();
}

bool parseRow(std::string_view line, RowShape shape, std::vector<float>& out) {
  out.clear();
  // The common case, tab or blank separated numbers with decimal points, without building
  // the list of cells.
  if (!shape.decimalComma && (shape.separator == Separator::Tab || shape.separator == Separator::Blanks)) {
    std::size_t i = 0;
    const char sep = shape.separator == Separator::Tab ? '\t' : ' ';
    bool expectCell = true;
    while (true) {
      while (i < line.size() && (line[i] == ' ' || line[i] == '\r' || (sep == ' ' && line[i] == '\t'))) ++i;
      if (i >= line.size()) break;
      if (line[i] == sep) {
        // An empty cell between tabs.
        if (expectCell) {
          if (out.empty()) return false;
          out.push_back(std::numeric_limits<float>::quiet_NaN());
        }
        expectCell = true;
        ++i;
        continue;
      }
      if (!expectCell) return false;
      float value = 0.0f;
      const std::size_t used = parseFloat(line.substr(i), value);
      if (used == 0) return false;
      i += used;
      if (i < line.size() && !isBlank(line[i]) && line[i] != sep) return false;
      out.push_back(value);
      expectCell = sep == ' ';
    }
    while (!out.empty() && std::isnan(out.back())) out.pop_back();  // padding, not values
    return !out.empty();
  }
  const std::vector<std::string_view> cells = cellsOf(line, shape.separator);
  std::size_t last = cells.size();
  while (last > 0 && cells[last - 1].empty()) --last;
  if (last == 0) return false;
  out.reserve(last);
  for (std::size_t k = 0; k < last; ++k) {
    float value = 0.0f;
    if (cells[k].empty()) {
      if (k == 0) return false;
      value = std::numeric_limits<float>::quiet_NaN();
    } else if (!parseCell(cells[k], shape.decimalComma, value)) {
      return false;
    }
    out.push_back(value);
  }
  return true;
}

bool parseRowAdapting(std::string_view line, RowShape& shape, std::vector<float>& out) {
  if (parseRow(line, shape, out)) return true;
  if (shape.decimalComma || shape.separator == Separator::Comma) return false;
  const RowShape commas{shape.separator, true};
  if (!parseRow(line, commas, out)) return false;
  shape = commas;
  return true;
}

std::optional<RowShape> guessShape(std::string_view line) {
  static const RowShape kShapes[] = {{Separator::Tab, false},       {Separator::Tab, true},
                                     {Separator::Semicolon, false}, {Separator::Semicolon, true},
                                     {Separator::Comma, false},     {Separator::Blanks, false},
                                     {Separator::Blanks, true}};
  std::optional<RowShape> best;
  std::size_t most = 1;
  std::vector<float> values;
  for (const RowShape& shape : kShapes) {
    if (shape.separator != Separator::Blanks && line.find(separatorChar(shape.separator)) == std::string_view::npos)
      continue;
    if (parseRow(line, shape, values) && values.size() > most) {
      most = values.size();
      best = shape;
    }
  }
  return best;
}

}  // namespace lumatix::datastore::text
