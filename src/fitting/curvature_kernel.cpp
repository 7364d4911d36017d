#include "fitting/curvature_kernel.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "fitting/lanes.h"

namespace lumatix::fitting::detail {
namespace {

using lanes::kWidth;
using lanes::Vec;

constexpr std::size_t packedSize(std::size_t free) { return free * (free + 1) / 2; }

// One point of a block into lane `lane` of the running sums, with the same operations as a
// lane of the vector loops below.
inline void addPoint(const CurvatureBlock& block, std::size_t free, std::size_t i, std::size_t lane, double* running) {
  const double weight = block.weight;
  const double dy = block.y[i] - block.model[i];
  double* alpha = running;
  double* beta = running + packedSize(free) * kWidth;
  std::size_t k = 0;
  for (std::size_t j = 0; j < free; ++j) {
    const double wt = block.columns[j][i] * weight;
    for (std::size_t l = 0; l <= j; ++l, ++k) alpha[k * kWidth + lane] += wt * block.columns[l][i];
    beta[j * kWidth + lane] += dy * wt;
  }
  double* chi = beta + free * kWidth;
  chi[lane] += dy * dy * weight;
  chi[kWidth + lane] += dy * dy;
}

// The points after the last whole group of kWidth, one lane each.
inline void addTail(const CurvatureBlock& block, std::size_t free, std::size_t first, double* running) {
  for (std::size_t i = first, lane = 0; i < block.count; ++i, ++lane) addPoint(block, free, i, lane, running);
}

// With the number of free parameters known, every running sum stays in a register.
template <std::size_t N>
LUMATIX_LANES_INLINE void addFixed(const CurvatureBlock& block, double* running) {
  constexpr std::size_t kPacked = packedSize(N);
  constexpr std::size_t kSums = kPacked + N + 2;
  std::array<Vec, kSums> sum;
  for (std::size_t q = 0; q < kSums; ++q) lanes::load(running + q * kWidth, sum[q]);
  const Vec weight = Vec{} + block.weight;
  std::size_t i = 0;
  for (; i + kWidth <= block.count; i += kWidth) {
    std::array<Vec, N> d;
    for (std::size_t j = 0; j < N; ++j) lanes::load(block.columns[j] + i, d[j]);
    Vec y, model;
    lanes::load(block.y + i, y);
    lanes::load(block.model + i, model);
    const Vec dy = y - model;
    std::size_t k = 0;
    for (std::size_t j = 0; j < N; ++j) {
      const Vec wt = d[j] * weight;
      for (std::size_t l = 0; l <= j; ++l) sum[k++] += wt * d[l];
      sum[kPacked + j] += dy * wt;
    }
    sum[kPacked + N] += dy * dy * weight;
    sum[kPacked + N + 1] += dy * dy;
  }
  for (std::size_t q = 0; q < kSums; ++q) lanes::store(running + q * kWidth, sum[q]);
  addTail(block, N, i, running);
}

// Any number of free parameters: the running sums stay in memory.
LUMATIX_LANES_INLINE void addAny(const CurvatureBlock& block, std::size_t free, double* running) {
  const std::size_t packed = packedSize(free);
  const Vec weight = Vec{} + block.weight;
  std::size_t i = 0;
  for (; i + kWidth <= block.count; i += kWidth) {
    Vec y, model, sum, d, dl;
    lanes::load(block.y + i, y);
    lanes::load(block.model + i, model);
    const Vec dy = y - model;
    std::size_t k = 0;
    for (std::size_t j = 0; j < free; ++j) {
      lanes::load(block.columns[j] + i, d);
      const Vec wt = d * weight;
      for (std::size_t l = 0; l <= j; ++l, ++k) {
        lanes::load(block.columns[l] + i, dl);
        lanes::load(running + k * kWidth, sum);
        sum += wt * dl;
        lanes::store(running + k * kWidth, sum);
      }
      lanes::load(running + (packed + j) * kWidth, sum);
      sum += dy * wt;
      lanes::store(running + (packed + j) * kWidth, sum);
    }
    double* chi = running + (packed + free) * kWidth;
    lanes::load(chi, sum);
    sum += dy * dy * weight;
    lanes::store(chi, sum);
    lanes::load(chi + kWidth, sum);
    sum += dy * dy;
    lanes::store(chi + kWidth, sum);
  }
  addTail(block, free, i, running);
}

LUMATIX_LANES_CLONES void addBlock(const CurvatureBlock& block, std::size_t free, double* running) {
  switch (free) {
    case 0: return addFixed<0>(block, running);
    case 1: return addFixed<1>(block, running);
    case 2: return addFixed<2>(block, running);
    case 3: return addFixed<3>(block, running);
    case 4: return addFixed<4>(block, running);
    case 5: return addFixed<5>(block, running);
    case 6: return addFixed<6>(block, running);
    case 7: return addFixed<7>(block, running);
    default: return addAny(block, free, running);
  }
}

}  // namespace

CurvatureSums::CurvatureSums(std::int32_t maxFree) {
  const auto m = static_cast<std::size_t>(std::max(maxFree, 0));
  running_.assign((packedSize(m) + m + 2) * kWidth, 0.0);
}

void CurvatureSums::reset(std::int32_t free) {
  const auto m = static_cast<std::size_t>(std::max(free, 0));
  if ((packedSize(m) + m + 2) * kWidth > running_.size()) throw std::logic_error("CurvatureSums: too many free parameters");
  free_ = free;
  std::fill(running_.begin(), running_.end(), 0.0);
}

void CurvatureSums::add(const CurvatureBlock& block) { addBlock(block, static_cast<std::size_t>(free_), running_.data()); }

void CurvatureSums::totals(double* alpha, double* beta, double& chi, double& squares) const {
  const auto free = static_cast<std::size_t>(free_);
  const std::size_t packed = packedSize(free);
  Vec lane;
  auto total = [&](std::size_t q) {
    lanes::load(running_.data() + q * kWidth, lane);
    return lanes::sum(lane);
  };
  for (std::size_t k = 0; k < packed; ++k) alpha[k] = total(k);
  for (std::size_t j = 0; j < free; ++j) beta[j] = total(packed + j);
  chi = total(packed + free);
  squares = total(packed + free + 1);
}

}  // namespace lumatix::fitting::detail
