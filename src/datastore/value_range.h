#pragma once
// The running minimum and maximum of float values, as the loop "if (v < lo) lo = v;
// if (v > hi) hi = v;" finds them, but several values at a time. A NaN never replaces a
// bound, so a NaN start stays, exactly as in the loop.

#include <cstddef>

namespace lumatix::datastore {

void extendRange(const float* values, std::size_t n, float& lo, float& hi);

}  // namespace lumatix::datastore
