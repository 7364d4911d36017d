#pragma once
// The compressed ASCII forms of JCAMP-DX data lines (ASDF): SQZ digits ('@', 'A'-'I',
// 'a'-'i' start a value), DIF digits ('%', 'J'-'R', 'j'-'r' start a difference from the
// value before), DUP counts ('S'-'Z', 's' repeat the value or difference before), mixed
// freely with plain numbers (AFFN) parted by blanks, commas or semicolons.

#include <string_view>
#include <vector>

namespace lumatix::datastore::asdf {

struct DecodedLine {
  std::vector<double> values;  // the line's x first, then its y values
  bool endsInDif = false;      // the last value was a difference, so the next line starts with a y check
};

// Decodes one data line into out; false when the line holds a character of none of the
// forms, a count or difference with nothing before it, a number that does not parse, or
// more than maxValues values (a DUP count can make a short line expand to many).
bool decodeLine(std::string_view line, DecodedLine& out, std::size_t maxValues);

}  // namespace lumatix::datastore::asdf
