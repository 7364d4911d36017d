#pragma once
// The data lines of one JCAMP-DX data record, decoded: the "(X++(Y..Y))" form (an x, then
// y values plain or compressed, x stepping evenly) and the "(XY..XY)" family of groups
// (XY, XYW, XYM, ...), whose first two members are x and y.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "datastore/bulk_rows.h"
#include "datastore/text_cursor.h"

namespace lumatix::datastore::jcamp {

// The variable list of a data record's value ("(X++(Y..Y))", "(XYW..XYW), PEAKS").
struct DataForm {
  bool stepped = false;              // (X++(Y..Y)): x is implied by its step
  std::vector<std::string> symbols;  // stepped: x then y; groups: every member in order
  bool valid = false;
};

// The form named by a data record's value; the default form of the record when the value
// names none (XYDATA: stepped X and Y; the others: XY groups).
DataForm parseForm(std::string_view value, bool steppedByDefault);

// What the labelled records before the data say about them.
struct Scale {
  double xFactor = 1.0, yFactor = 1.0;
  std::optional<double> firstX, lastX, deltaX, firstY;
  std::int64_t points = -1;  // -1 when no count was given
};

struct Decoded {
  std::vector<float> x, y;
};

// Decodes the lines from the cursor up to the next labelled record (the cursor is left at
// its start) into out. Empty when it succeeded, else the reason, which names the line.
std::string decodeStepped(text::TextCursor& c, const Scale& scale, Decoded& out);
// A large block of x y pairs is read in parts on several threads at once, to the same
// values.
std::string decodeGroups(text::TextCursor& c, const Scale& scale, std::size_t members, Decoded& out,
                         text::Parts parts = {});

// Whether a line is a labelled record ("##" after any blanks).
bool isLabelLine(std::string_view line);

}  // namespace lumatix::datastore::jcamp
