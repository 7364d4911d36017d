#pragma once
// Rows of numbers in text: cells parted by tabs, semicolons, commas or runs of blanks, with
// a decimal point or (in files written under a French or German locale) a decimal comma.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumatix::datastore::text {

enum class Separator { Tab, Semicolon, Comma, Blanks };

struct RowShape {
  Separator separator = Separator::Tab;
  bool decimalComma = false;
  friend bool operator==(const RowShape&, const RowShape&) = default;
};

// The cells of a line as the shape parts them; runs of blanks count as one separator, and
// blanks around cells are not part of them.
std::vector<std::string_view> cellsOf(std::string_view line, Separator separator);

// The numbers of a row: every cell one number, except empty cells after the last number
// (rows padded with separators), and empty cells after the first, which are not-a-number.
// False when a cell is anything else or the row holds no number.
bool parseRow(std::string_view line, RowShape shape, std::vector<float>& out);

// parseRow, except that a row that reads only with decimal commas turns a shape of decimal
// points (whose rows so far held whole numbers, or no commas) into one of decimal commas.
bool parseRowAdapting(std::string_view line, RowShape& shape, std::vector<float>& out);

// The shape that reads the line as the most numbers, at least two; none when no shape
// does. Tabs are preferred, then semicolons, commas and blanks.
std::optional<RowShape> guessShape(std::string_view line);

// A cell as one number in the shape's decimal form; false when it is not exactly one.
bool parseCell(std::string_view cell, bool decimalComma, float& value);

// Blanks and tabs around a text removed.
std::string_view trim(std::string_view text);

}  // namespace lumatix::datastore::text
