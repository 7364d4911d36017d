#include "fitting/batch_models.h"

#include <array>
#include <stdexcept>

#include "fitting/fit_function.h"
#include "fitting/fit_models.h"
#include "fitting/lanes.h"

namespace lumatix::fitting::batch {
namespace {

using lanes::Bits;
using lanes::kWidth;
using lanes::Vec;

constexpr std::int32_t kMaxParameters = 31;

// Point i through the model routine itself, its derivatives moved into the columns.
void throughModel(ModelRoutine model, const double* x, std::size_t i, const double* a, std::int32_t m, double* y,
                  double* dyda, std::size_t stride) {
  std::array<double, kMaxParameters + 1> row{};
  model(x[i], a, y[i], row.data(), m);
  for (std::int32_t l = 1; l <= m; ++l) dyda[static_cast<std::size_t>(l) * stride + i] = row[static_cast<std::size_t>(l)];
}

// c + sum of a_i.exp(-k_i.x) (+ b.x with a slope) at the kWidth points from i, pairs (a_i, k_i)
// at indexes 2..2*pairs+1, with the same operations as the model routines: value, then
// d/da_i = exp(-k_i.x) and d/dk_i = -a_i.x.exp(-k_i.x). Marks in `outside` the points where
// lanes::exp does not cover an exponential.
LUMATIX_LANES_INLINE void exponentialGroup(std::int32_t pairs, bool slope, const double* x, std::size_t i,
                                           const double* a, std::int32_t m, double* y, double* dyda, std::size_t stride,
                                           Bits& outside) {
  Vec xv;
  lanes::load(x + i, xv);
  Vec sum{};
  for (std::int32_t pair = 0; pair < pairs; ++pair) {
    const auto ia = static_cast<std::size_t>(2 + 2 * pair), ik = ia + 1;
    Vec e;
    lanes::exp(-a[ik] * xv, e, outside);
    sum += a[ia] * e;
    lanes::store(dyda + ia * stride + i, e);
    lanes::store(dyda + ik * stride + i, -a[ia] * xv * e);
  }
  Vec value = a[1] + sum;
  if (slope) value += a[m] * xv;
  lanes::store(y + i, value);
  lanes::store(dyda + stride + i, Vec{} + 1.0);
  if (slope) lanes::store(dyda + static_cast<std::size_t>(m) * stride + i, xv);
}

// The exponential models over n points. Points with an exponential that lanes::exp does not
// cover, and the points after the last whole group of lanes, go through the model routine.
LUMATIX_LANES_INLINE void exponentialTerms(ModelRoutine model, std::int32_t pairs, bool slope, const double* x,
                                           std::size_t n, const double* a, std::int32_t m, double* y, double* dyda,
                                           std::size_t stride) {
  if (m > kMaxParameters) throw std::logic_error("batch model: too many parameters");
  Bits outside{};
  std::size_t i = 0;
  for (; i + kWidth <= n; i += kWidth) exponentialGroup(pairs, slope, x, i, a, m, y, dyda, stride, outside);
  const std::size_t whole = i;
  for (; i < n; ++i) throughModel(model, x, i, a, m, y, dyda, stride);
  if (!lanes::anyNegative(outside)) return;
  // Rare: find the groups again rather than test each one on the way.
  for (std::size_t group = 0; group < whole; group += kWidth) {
    Bits flagged{};
    exponentialGroup(pairs, slope, x, group, a, m, y, dyda, stride, flagged);
    for (std::size_t lane = 0; lane < kWidth; ++lane)
      if (flagged[lane] < 0) throughModel(model, x, group + lane, a, m, y, dyda, stride);
  }
}

}  // namespace

LUMATIX_LANES_CLONES void singleExponential(const double* x, std::size_t n, const double* a, std::int32_t m, double* y,
                                            double* dyda, std::size_t stride) {
  exponentialTerms(models::singleExponential, 1, false, x, n, a, m, y, dyda, stride);
}

LUMATIX_LANES_CLONES void exponentialSum(const double* x, std::size_t n, const double* a, std::int32_t m, double* y,
                                         double* dyda, std::size_t stride) {
  exponentialTerms(models::exponentialSum, m / 2, false, x, n, a, m, y, dyda, stride);
}

LUMATIX_LANES_CLONES void exponentialSumSlope(const double* x, std::size_t n, const double* a, std::int32_t m,
                                              double* y, double* dyda, std::size_t stride) {
  exponentialTerms(models::exponentialSumSlope, (m - 2) / 2, true, x, n, a, m, y, dyda, stride);
}

}  // namespace lumatix::fitting::batch
