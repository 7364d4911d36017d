#include "datastore/value_range.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumatix::datastore {

void extendRange(const float* values, std::size_t n, float& lo, float& hi) {
  std::size_t i = 0;
#if defined(__SSE2__)
  if (n >= 16) {
    // minps(v, lo) is "v < lo ? v : lo", the loop's own rule, lane by lane.
    __m128 l0 = _mm_set1_ps(lo), l1 = l0, h0 = _mm_set1_ps(hi), h1 = h0;
    for (; i + 8 <= n; i += 8) {
      __m128 a = _mm_loadu_ps(values + i), b = _mm_loadu_ps(values + i + 4);
      l0 = _mm_min_ps(a, l0);
      l1 = _mm_min_ps(b, l1);
      h0 = _mm_max_ps(a, h0);
      h1 = _mm_max_ps(b, h1);
    }
    float ls[8], hs[8];
    _mm_storeu_ps(ls, l0);
    _mm_storeu_ps(ls + 4, l1);
    _mm_storeu_ps(hs, h0);
    _mm_storeu_ps(hs + 4, h1);
    for (int k = 0; k < 8; ++k) {
      if (ls[k] < lo) lo = ls[k];
      if (hs[k] > hi) hi = hs[k];
    }
  }
#endif
  for (; i < n; ++i) {
    if (values[i] < lo) lo = values[i];
    if (values[i] > hi) hi = values[i];
  }
}

}  // namespace lumatix::datastore
