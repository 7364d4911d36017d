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
  // Leading zeros and the trailing zeros of a fraction ("52628.8000") are not significant
  // digits, so they do not count against the nine that fit.
  std::uint32_t digits = 0;
  int count = 0, fraction = 0;
  bool any = false;
  for (; p != end && *p >= '0' && *p <= '9'; ++p, any = true) {
    if (digits == 0 && *p == '0') continue;
    if (++count > 9) return 0;
    digits = digits * 10 + static_cast<std::uint32_t>(*p - '0');
  }
  if (p != end && *p == '.') {
    ++p;
    int zeros = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p, any = true) {
      if (*p == '0') {
        ++zeros;
        continue;
      }
      if (digits != 0) {
        count += zeros;
        for (int z = 0; z < zeros && count <= 9; ++z) digits *= 10;
      }
      fraction += zeros + 1;
      zeros = 0;
      if (++count > 9) return 0;
      digits = digits * 10 + static_cast<std::uint32_t>(*p - '0');
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

// The common case of a table: a sign, digits and a decimal point without exponent, read
// in one loop. Up to 2^24 the digits and a power of ten up to 10^10 are exact floats, and
// one IEEE division of them is the correctly rounded result. Longer digits (up to 2^53)
// are divided as doubles, also exactly rounded; rounding that double to float gives the
// float nearest to the text unless the double fell exactly on a midpoint between two
// floats, which is left to from_chars. Trailing zeros of the fraction ("52628.8000") are
// dropped first when they stand in the way. Returns 0 to leave the text to the others.
std::size_t parsePlainDecimal(std::string_view text, float& value) {
  static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  static constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const char* p = text.data();
  const char* end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  const char* first = p;
  std::uint64_t digits = 0;
  int fraction = -1;
  for (; p != end; ++p) {
    const unsigned d = static_cast<unsigned char>(*p) - '0';
    if (d <= 9) {
      digits = digits * 10 + d;
      if (fraction >= 0) ++fraction;
    } else if (*p == '.' && fraction < 0) {
      fraction = 0;
    } else {
      break;
    }
  }
  const std::ptrdiff_t length = p - first;
  // Nothing read, an exponent or more digits than the loop can hold go the long way.
  if (length == 0 || length > 18 || length == (fraction >= 0 ? 1 : 0) ||
      (p != end && (*p == 'e' || *p == 'E')))
    return 0;
  if (fraction < 0) fraction = 0;
  if (digits > (1u << 24) || fraction > 10) {
    while (fraction > 0 && digits % 10 == 0) {
      digits /= 10;
      --fraction;
    }
  }
  float v = 0.0f;
  if (digits <= (1u << 24) && fraction <= 10) {
    v = static_cast<float>(digits) / kPowers[fraction];
  } else {
    if (digits > (std::uint64_t{1} << 53) || fraction > 22) return 0;
    const double d = static_cast<double>(digits) / kExactPowers[fraction];
    if (detail::isFloatMidpoint(d)) return 0;
    v = static_cast<float>(d);
  }
  value = negative ? -v : v;
  return static_cast<std::size_t>(p - text.data());
}

std::size_t parseFloat(std::string_view text, float& value) {
  if (std::size_t used = parsePlainDecimal(text, value)) return used;
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
