#pragma once
// Numbers in text files: written exactly as the default stream formatting writes them
// (6 significant digits, the "%g" form) and read back without the cost of a stream.

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumatix::datastore::text {

// The longest text formatFloat / formatDouble produce ("-1.23457e-308" and the like).
inline constexpr std::size_t kMaxNumberChars = 32;

// Writes value as `out << value` with the default precision and flags would, into
// [first, first + kMaxNumberChars). Returns the end of the text.
char* formatFloat(char* first, float value);
char* formatDouble(char* first, double value);

// The same, as strings.
std::string floatText(float value);
std::string doubleText(double value);

// Appends the text of value to out.
void appendFloat(std::string& out, float value);

// Parses a float at the start of text: an optional '+' or '-', then decimal digits with an
// optional fraction and exponent ("inf" and "nan" included). Returns the number of
// characters used, 0 when there is no number or it lies outside the float range.
std::size_t parseFloat(std::string_view text, float& value);
std::size_t parseDouble(std::string_view text, double& value);

// Parses a decimal integer with an optional sign. Returns the characters used, 0 when there
// is none or it does not fit.
std::size_t parseInt(std::string_view text, std::int64_t& value);

}  // namespace lumatix::datastore::text
