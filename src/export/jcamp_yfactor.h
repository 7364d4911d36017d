#pragma once
// The y factor of a JCAMP-DX block: the power of ten every y value is divided by before it
// is written as an integer.

#include <cstdint>
#include <span>

namespace lumatix::exports {

// 100 * (the number of index pairs (k, j), 0 <= k < N and 1 <= j < N - 1 - k, with
// a[k] == a[j]) / N, in integer arithmetic; 0 for an empty array. The pairs are counted
// per value with a sort and binary searches, O(N log N), in 64 bits.
std::int64_t duplicateScore(std::span<const float> a);

// The exponent e of the factor 10^e: the first of -6, -5, ..., -1 for which dividing every
// value by 10^e (in single precision) keeps the duplicate score, else 0; then raised until
// every finite value divided by 10^e, truncated, fits a 32-bit integer.
int chooseYFactorExponent(std::span<const float> trace);

}  // namespace lumatix::exports
