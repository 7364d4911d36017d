#pragma once
// Numbers in text files: written exactly as the default stream formatting writes them
// (6 significant digits, the "%g" form) and read back without the cost of a stream.

#include <bit>
#include <charconv>
#include <cstring>
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

// parseFloat over [first, end), with the common case of a table inline: a sign, at most
// seven digits, a point and at most seven digits, read eight bytes at a time.
inline std::size_t parseFloatAt(const char* first, const char* end, float& value);

// Parses a decimal integer with an optional sign. Returns the characters used, 0 when there
// is none or it does not fit.
std::size_t parseInt(std::string_view text, std::int64_t& value);

namespace detail {

// Eight bytes of text, the first in the lowest byte.
inline std::uint64_t eightBytes(const char* p) {
  std::uint64_t chunk = 0;
  std::memcpy(&chunk, p, sizeof chunk);
  if constexpr (std::endian::native == std::endian::big) chunk = __builtin_bswap64(chunk);
  return chunk;
}

// How many of the eight bytes, from the first, are decimal digits. A byte is a digit when
// it differs from '0' by less than 10; bytes after the first other one may be misjudged
// (a carry crosses into them), but only the first other one counts.
inline int leadingDigits(std::uint64_t chunk) {
  const std::uint64_t x = chunk ^ 0x3030303030303030u;
  const std::uint64_t other = ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
  return other == 0 ? 8 : std::countr_zero(other) / 8;
}

// The value of the first n (0 to 7) digits of a chunk, by multiplications that combine
// neighbouring digits, then pairs, then fours, rather than one multiplication per digit.
inline std::uint64_t digitsValue(std::uint64_t chunk, int n) {
  chunk = (chunk << (8 * (7 - n))) << 8;  // the digits to the top, zeros (leading zeros) below
  chunk = ((chunk & 0x0F0F0F0F0F0F0F0Fu) * 2561) >> 8;
  chunk = ((chunk & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
  return ((chunk & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32;
}

// The mantissa bits of a double that a float lacks; a double halfway between two
// neighbouring floats has just the highest of them set.
inline constexpr std::uint64_t kBelowFloat = (std::uint64_t{1} << 29) - 1;
inline constexpr std::uint64_t kFloatMidpoint = std::uint64_t{1} << 28;

// A double exactly halfway between two neighbouring floats: rounding it to float may round
// the other way than rounding the decimal text itself would.
inline bool isFloatMidpoint(double d) { return (std::bit_cast<std::uint64_t>(d) & kBelowFloat) == kFloatMidpoint; }

// A double within four units of its last place of such a midpoint.
inline bool nearFloatMidpoint(double d) {
  return (std::bit_cast<std::uint64_t>(d) & kBelowFloat) - (kFloatMidpoint - 4) <= 8;
}

}  // namespace detail

inline std::size_t parseFloatAt(const char* first, const char* end, float& value) {
  static constexpr std::uint64_t kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
  static constexpr double kInverse[] = {1e0, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8};
  // Up to 14 digits are an exact double; times the nearest double to 10^-k it lies within
  // two units of the double's last place of the text's value. Rounded to float that gives
  // the float nearest to the text, as long as no midpoint between two floats lies that
  // close: those few are left to the exact reading.
  if (end - first >= 17) {
    const char* p = first;
    const bool negative = *p == '-';
    p += negative || *p == '+';
    const std::uint64_t head = detail::eightBytes(p);
    const int whole = detail::leadingDigits(head);
    if (whole < 8) {
      const char* q = p + whole;
      std::uint64_t digits = detail::digitsValue(head, whole);
      int decimals = 0;
      if (*q == '.') {
        const std::uint64_t tail = detail::eightBytes(q + 1);
        decimals = detail::leadingDigits(tail);
        digits = digits * kScale[decimals] + detail::digitsValue(tail, decimals < 8 ? decimals : 0);
        q += 1 + decimals;
      }
      if (decimals < 8 && whole + decimals > 0 && *q != 'e' && *q != 'E') {
        const double d = static_cast<double>(digits) * kInverse[decimals];
        if (!detail::nearFloatMidpoint(d)) {
          const auto v = static_cast<float>(d);
          value = negative ? -v : v;
          return static_cast<std::size_t>(q - first);
        }
      }
    }
  }
  return parseFloat(std::string_view(first, static_cast<std::size_t>(end - first)), value);
}

}  // namespace lumatix::datastore::text
