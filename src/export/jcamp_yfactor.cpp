#include "export/jcamp_yfactor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace lumatix::exports {

std::int64_t duplicateScore(std::span<const float> a) {
  const auto n = static_cast<std::int64_t>(a.size());
  if (n == 0) return 0;
  // (value, index) sorted, so that every value's indices form one ascending run. NaN equals
  // nothing and is left out; -0 and +0 compare equal and are made one value.
  std::vector<std::pair<float, std::int64_t>> sorted;
  sorted.reserve(a.size());
  for (std::int64_t i = 0; i < n; ++i) {
    const float v = a[static_cast<std::size_t>(i)];
    if (!std::isnan(v)) sorted.emplace_back(v == 0.0f ? 0.0f : v, i);
  }
  std::sort(sorted.begin(), sorted.end());

  std::int64_t pairs = 0;
  for (auto first = sorted.begin(); first != sorted.end();) {
    auto last = std::find_if(first, sorted.end(), [&](const auto& e) { return e.first != first->first; });
    // For each k of this value, the j of the same value with 1 <= j <= N - 2 - k. The upper
    // bound shrinks as k grows, so walk k upwards and the bound pointer downwards.
    const auto low = std::find_if(first, last, [](const auto& e) { return e.second >= 1; });
    auto high = last;  // one past the last j <= bound
    for (auto k = first; k != last; ++k) {
      const std::int64_t bound = n - 2 - k->second;
      while (high != low && std::prev(high)->second > bound) --high;
      pairs += high - low;
    }
    first = last;
  }
  return 100 * pairs / n;
}

int chooseYFactorExponent(std::span<const float> trace) {
  const std::int64_t reference = duplicateScore(trace);
  int exponent = 0;
  std::vector<float> scaled(trace.size());
  for (int e = -6; e <= -1; ++e) {
    const float factor = static_cast<float>(std::pow(10.0, e));
    std::transform(trace.begin(), trace.end(), scaled.begin(), [factor](float v) { return v / factor; });
    if (duplicateScore(scaled) == reference) {
      exponent = e;
      break;
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
