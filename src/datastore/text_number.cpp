#include "datastore/text_number.h"

#include <system_error>

namespace lumatix::datastore::text {
namespace {

// std::to_chars with a precision follows printf's "%.*g" exactly, which is what a stream
// with the default flags writes.
template <class T>
char* format(char* first, T value) {
  auto result = std::to_chars(first, first + kMaxNumberChars, value, std::chars_format::general, 6);
  return result.ptr;
}

// from_chars takes neither a leading '+' nor leading blanks; streams take the '+'.
template <class T>
std::size_t parse(std::string_view text, T& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  const char* start = first;
  if (first != last && *first == '+') {
    ++first;
    if (first != last && *first == '-') return 0;
  }
  T parsed{};
  auto result = std::from_chars(first, last, parsed, std::chars_format::general);
  if (result.ec != std::errc()) return 0;
  value = parsed;
  return static_cast<std::size_t>(result.ptr - start);
}

// Decimal texts of up to 7 significant digits with a small exponent, which is what the
// writers produce, are converted with one exact float operation: the digits (below 2^24)
// and the power of ten (at most 10^10) are exact floats, so IEEE rounding of the product or
// quotient is the correctly rounded result, the same that from_chars gives. Returns 0 to
// leave every other text to from_chars.
std::size_t parseShortFloat(std::string_view text, float& value) {
  static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  const char* p = text.data();
  const char* end = p + text.size();
  const char* start = p;
  bool negative = false;
  if (p != end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  std::uint32_t digits = 0;
  int count = 0, fraction = 0;
  bool any = false;
  for (; p != end && *p >= '0' && *p <= '9'; ++p, any = true) {
    if (++count > 9) return 0;
    digits = digits * 10 + static_cast<std::uint32_t>(*p - '0');
  }
  if (p != end && *p == '.') {
    ++p;
    for (; p != end && *p >= '0' && *p <= '9'; ++p, any = true) {
      if (++count > 9) return 0;
      digits = digits * 10 + static_cast<std::uint32_t>(*p - '0');
      ++fraction;
    }
  }
  if (!any) return 0;
  int exponent = 0;
  if (p != end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (q != end && (*q == '-' || *q == '+')) negativeExponent = *q++ == '-';
    if (q != end && *q >= '0' && *q <= '9') {
      for (; q != end && *q >= '0' && *q <= '9'; ++q) {
        if (exponent > 1000) return 0;
        exponent = exponent * 10 + (*q - '0');
      }
      if (negativeExponent) exponent = -exponent;
      p = q;
    }
  }
  exponent -= fraction;
  if (digits > (1u << 24) || exponent < -10 || exponent > 10) return 0;
  float v = static_cast<float>(digits);
  v = exponent < 0 ? v / kPowers[-exponent] : v * kPowers[exponent];
  value = negative ? -v : v;
  return static_cast<std::size_t>(p - start);
}

}  // namespace

char* formatFloat(char* first, float value) { return format(first, value); }
char* formatDouble(char* first, double value) { return format(first, value); }

std::string floatText(float value) {
  char buffer[kMaxNumberChars];
  return {buffer, formatFloat(buffer, value)};
}

std::string doubleText(double value) {
  char buffer[kMaxNumberChars];
  return {buffer, formatDouble(buffer, value)};
}

void appendFloat(std::string& out, float value) {
  char buffer[kMaxNumberChars];
  out.append(buffer, formatFloat(buffer, value));
}

std::size_t parseFloat(std::string_view text, float& value) {
  if (std::size_t used = parseShortFloat(text, value)) return used;
  return parse(text, value);
}
std::size_t parseDouble(std::string_view text, double& value) { return parse(text, value); }

std::size_t parseInt(std::string_view text, std::int64_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  const char* start = first;
  if (first != last && *first == '+') {
    ++first;
    if (first != last && *first == '-') return 0;
  }
  std::int64_t parsed = 0;
  auto result = std::from_chars(first, last, parsed, 10);
  if (result.ec != std::errc()) return 0;
  value = parsed;
  return static_cast<std::size_t>(result.ptr - start);
}

}  // namespace lumatix::datastore::text
