#include "export/float_text.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "datastore/text_number.h"

namespace lumatix::exports {
namespace {

// Powers of ten from 10^-40 to 10^55, each the double nearest the exact power.
constexpr int kLowestPower = -40;
constexpr int kHighestPower = 55;

const std::array<double, kHighestPower - kLowestPower + 1> kPowersOfTen = [] {
  std::array<double, kHighestPower - kLowestPower + 1> t{};
  for (int k = kLowestPower; k <= kHighestPower; ++k)
    t[static_cast<std::size_t>(k - kLowestPower)] = std::strtod(("1e" + std::to_string(k)).c_str(), nullptr);
  return t;
}();

double powerOfTen(int k) { return kPowersOfTen[static_cast<std::size_t>(k - kLowestPower)]; }

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void sixDigits(char* out, std::uint32_t n) {
  const std::uint32_t high = n / 10000, middle = n / 100 % 100, low = n % 100;
  std::memcpy(out, kPairs + 2 * high, 2);
  std::memcpy(out + 2, kPairs + 2 * middle, 2);
  std::memcpy(out + 4, kPairs + 2 * low, 2);
}

}  // namespace

char* formatFloatFast(char* first, float value) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
  const int binaryExponent = static_cast<int>((bits >> 23) & 0xFF);
  // Zero, subnormals, infinities and NaN are rare: the exact conversion writes them.
  if (binaryExponent == 0 || binaryExponent == 0xFF) return datastore::text::formatFloat(first, value);
  const double x = std::fabs(static_cast<double>(value));

  // The six significant digits n (100000 <= n < 1000000) and the decimal exponent e of the
  // rounded value, with x * 10^(5 - e) computed in double: its error is below 1e-9, so the
  // rounding is decided correctly unless the fraction lies next to one half, where the
  // exact conversion takes over.
  // x lies in [2^b, 2^(b+1)), so its decimal exponent is floor(b * log10(2)) or one more;
  // 78913 / 2^18 is log10(2) closely enough for |b| < 2^10, and the shift floors.
  int e = ((binaryExponent - 127) * 78913) >> 18;
  double scaled = x * powerOfTen(5 - e);
  if (scaled < 100000.0) {
    --e;
    scaled = x * powerOfTen(5 - e);
  } else if (scaled >= 1000000.0) {
    ++e;
    scaled = x * powerOfTen(5 - e);
  }
  if (scaled < 100000.0 || scaled >= 1000000.0) return datastore::text::formatFloat(first, value);
  auto n = static_cast<std::uint32_t>(scaled);  // positive: truncation is the floor
  const double fraction = scaled - n;
  if (std::fabs(fraction - 0.5) < 1e-7) return datastore::text::formatFloat(first, value);
  n += fraction > 0.5 ? 1u : 0u;
  if (n == 1000000) {
    n = 100000;
    ++e;
  }

  char digits[6];
  sixDigits(digits, n);
  int significant = 6;
  while (significant > 1 && digits[significant - 1] == '0') --significant;

  char* out = first;
  if (value < 0) *out++ = '-';
  if (e >= -4 && e < 6) {
    if (e >= 0) {
      // e + 1 digits before the point; the rest after it when any remain.
      for (int i = 0; i <= e; ++i) *out++ = digits[i];
      if (significant > e + 1) {
        *out++ = '.';
        for (int i = e + 1; i < significant; ++i) *out++ = digits[i];
      }
    } else {
      *out++ = '0';
      *out++ = '.';
      for (int i = 0; i < -e - 1; ++i) *out++ = '0';
      for (int i = 0; i < significant; ++i) *out++ = digits[i];
    }
    return out;
  }
  *out++ = digits[0];
  if (significant > 1) {
    *out++ = '.';
    for (int i = 1; i < significant; ++i) *out++ = digits[i];
  }
  *out++ = 'e';
  *out++ = e < 0 ? '-' : '+';
  const int magnitude = std::abs(e);
  if (magnitude >= 100) *out++ = static_cast<char>('0' + magnitude / 100);
  *out++ = static_cast<char>('0' + magnitude / 10 % 10);
  *out++ = static_cast<char>('0' + magnitude % 10);
  return out;
}

}  // namespace lumatix::exports
