#include "export/jcamp_yfactor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

namespace lumatix::exports {
namespace {

// The indices of the non-NaN values of a, ordered by value and, among equal values, by
// index: one 64-bit integer sort of (value bits in an order-keeping form, index). NaN
// equals nothing and is left out; -0 and +0 compare equal and are made one value. Indices
// fit 32 bits (a store counts its values in int32).
std::vector<std::uint32_t> sortedIndices(std::span<const float> a) {
  std::vector<std::uint64_t> keys;
  keys.reserve(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    const float v = a[i];
    if (std::isnan(v)) continue;
    std::uint32_t bits = std::bit_cast<std::uint32_t>(v == 0.0f ? 0.0f : v);
    bits = (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
    keys.push_back(std::uint64_t{bits} << 32 | static_cast<std::uint32_t>(i));
  }
  std::sort(keys.begin(), keys.end());
  std::vector<std::uint32_t> indices(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) indices[i] = static_cast<std::uint32_t>(keys[i]);
  return indices;
}

// The pairs (k, j) among the ascending indices of one value with 1 <= j <= n - 2 - k. The
// bound shrinks as k grows, so k walks upwards and the end of the j range downwards.
std::int64_t pairsWithin(const std::uint32_t* first, const std::uint32_t* last, std::int64_t n) {
  const std::uint32_t* low = first;
  while (low != last && *low < 1) ++low;
  const std::uint32_t* high = last;
  std::int64_t pairs = 0;
  for (const std::uint32_t* k = first; k != last; ++k) {
    const std::int64_t bound = n - 2 - static_cast<std::int64_t>(*k);
    while (high != low && static_cast<std::int64_t>(*(high - 1)) > bound) --high;
    pairs += high - low;
  }
  return pairs;
}

// The duplicate score of b, given the indices of a sorted by value where b is a
// non-decreasing function of a (b = a / f for f > 0, correctly rounded, is one): equal b
// values then stand next to each other in that order. A run of equal b values that joins
// several values of a is re-sorted by index.
template <class Value>
std::int64_t scoreAlong(const std::vector<std::uint32_t>& sorted, std::int64_t n, Value value) {
  std::int64_t pairs = 0;
  std::vector<std::uint32_t> merged;
  for (std::size_t first = 0; first < sorted.size();) {
    const float v = value(sorted[first]);
    std::size_t last = first + 1;
    bool ascending = true;
    while (last < sorted.size() && value(sorted[last]) == v) {
      ascending = ascending && sorted[last] > sorted[last - 1];
      ++last;
    }
    if (ascending) {
      pairs += pairsWithin(sorted.data() + first, sorted.data() + last, n);
    } else {
      merged.assign(sorted.begin() + static_cast<std::ptrdiff_t>(first), sorted.begin() + static_cast<std::ptrdiff_t>(last));
      std::sort(merged.begin(), merged.end());
      pairs += pairsWithin(merged.data(), merged.data() + merged.size(), n);
    }
    first = last;
  }
  return 100 * pairs / n;
}

}  // namespace

std::int64_t duplicateScore(std::span<const float> a) {
  const auto n = static_cast<std::int64_t>(a.size());
  if (n == 0) return 0;
  return scoreAlong(sortedIndices(a), n, [&](std::uint32_t i) { return a[i]; });
}

int chooseYFactorExponent(std::span<const float> trace) {
  const auto n = static_cast<std::int64_t>(trace.size());
  int exponent = 0;
  if (n > 0) {
    // Sorted once: dividing by a positive factor keeps the order, so every candidate's
    // score is found along the same permutation.
    const std::vector<std::uint32_t> sorted = sortedIndices(trace);
    const std::int64_t reference = scoreAlong(sorted, n, [&](std::uint32_t i) { return trace[i]; });
    for (int e = -6; e <= -1; ++e) {
      const float factor = static_cast<float>(std::pow(10.0, e));
      if (scoreAlong(sorted, n, [&](std::uint32_t i) { return trace[i] / factor; }) == reference) {
        exponent = e;
        break;
      }
    }
  }
  // Every written value must be a 32-bit integer: a value too large for the factor raises it.
  double largest = 0.0;
  for (float v : trace)
    if (std::isfinite(v)) largest = std::max(largest, std::fabs(static_cast<double>(v)));
  constexpr double kLimit = 2147483647.0;
  while (std::trunc(largest / std::pow(10.0, exponent)) > kLimit) ++exponent;
  return exponent;
}

}  // namespace lumatix::exports
