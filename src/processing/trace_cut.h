#pragma once
// TraceCut: where the values of a data set's traces lie in a store's value block and how they
// are shown. CDataSet::Load copies them into its rows through it; `lumatix traces` reads them
// straight from the store, so that the table of a large file needs no second copy of it.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fitting/evaluator.h"

namespace lumatix::processing {

struct TraceCut {
  // The value of trace 0 at x offset 0; null for a data set without values.
  const float* first = nullptr;
  std::int64_t traceStride = 0;
  // Per x point of segment A and of segment B, in axis order: the offset from a trace's first value.
  std::vector<std::int64_t> offsetsA;
  std::vector<std::int64_t> offsetsB;
  // Segment A is shown in the option row's unit; segment B as stored.
  fitting::UnitConversion conversion;
  int traces = 0;

  // Trace t at point j of segment A, exactly as the data set's row holds it.
  double a(int t, std::size_t j) const {
    const float v = first[t * traceStride + offsetsA[j]];
    return conversion.active ? static_cast<float>(fitting::Convert(conversion, v)) : v;
  }
  double b(int t, std::size_t j) const { return first[t * traceStride + offsetsB[j]]; }
};

}  // namespace lumatix::processing
