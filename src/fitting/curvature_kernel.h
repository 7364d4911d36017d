#pragma once
// The inner loop of a fit step: the sums that make the curvature matrix, the gradient and
// chi-square, over a block of points whose model values and derivatives are already known.
// Kept apart from the model calls so that the sums stay in registers; the order of every
// addition is the plain point-by-point order, so the results do not depend on the block size.

#include <cstddef>
#include <cstdint>

namespace lumatix::fitting::detail {

// Running sums: alpha is the lower triangle of the free block, packed row by row
// (alpha[j(j+1)/2 + k] for k <= j, 0-based), beta and chi as named, and squares the
// unweighted sum of squared residuals.
struct CurvatureBlock {
  const double* derivatives;  // one row of rowStride values per point, parameter l at [l]
  std::size_t rowStride;
  const double* model;    // model value per point
  const double* y;        // data per point
  const double* weights;  // 1/sigma^2 per point
  std::size_t count;
  const std::int32_t* freeIndex;  // 0-based list of the free parameters' (1-based) indexes
};

template <int N>
void accumulateFixed(const CurvatureBlock& block, double* alpha, double* beta, double& chi, double& squares) {
  constexpr int kPacked = N * (N + 1) / 2;
  double a[kPacked];
  double b[N];
  std::int32_t index[N];
  for (int k = 0; k < kPacked; ++k) a[k] = alpha[k];
  for (int j = 0; j < N; ++j) {
    b[j] = beta[j];
    index[j] = block.freeIndex[j];
  }
  double sum = chi, plain = squares;
  for (std::size_t i = 0; i < block.count; ++i) {
    const double* row = block.derivatives + i * block.rowStride;
    double d[N];
    for (int j = 0; j < N; ++j) d[j] = row[index[j]];
    const double weight = block.weights[i];
    const double dy = block.y[i] - block.model[i];
    int k = 0;
    for (int j = 0; j < N; ++j) {
      const double wt = d[j] * weight;
      for (int l = 0; l <= j; ++l) a[k++] += wt * d[l];
      b[j] += dy * wt;
    }
    sum += dy * dy * weight;
    plain += dy * dy;
  }
  for (int k = 0; k < kPacked; ++k) alpha[k] = a[k];
  for (int j = 0; j < N; ++j) beta[j] = b[j];
  chi = sum;
  squares = plain;
}

inline void accumulateAny(const CurvatureBlock& block, std::int32_t free, double* alpha, double* beta, double& chi,
                          double& squares) {
  double sum = chi, plain = squares;
  for (std::size_t i = 0; i < block.count; ++i) {
    const double* row = block.derivatives + i * block.rowStride;
    const double weight = block.weights[i];
    const double dy = block.y[i] - block.model[i];
    std::size_t k = 0;
    for (std::int32_t j = 0; j < free; ++j) {
      const double wt = row[block.freeIndex[j]] * weight;
      for (std::int32_t l = 0; l <= j; ++l) alpha[k++] += wt * row[block.freeIndex[l]];
      beta[j] += dy * wt;
    }
    sum += dy * dy * weight;
    plain += dy * dy;
  }
  chi = sum;
  squares = plain;
}

// Adds the block's points to the sums for `free` free parameters.
inline void accumulate(const CurvatureBlock& block, std::int32_t free, double* alpha, double* beta, double& chi,
                       double& squares) {
  switch (free) {
    case 0: {
      double sum = chi, plain = squares;
      for (std::size_t i = 0; i < block.count; ++i) {
        const double dy = block.y[i] - block.model[i];
        sum += dy * dy * block.weights[i];
      }
      chi = sum;
  squares = plain;
      return;
    }
    case 1: return accumulateFixed<1>(block, alpha, beta, chi, squares);
    case 2: return accumulateFixed<2>(block, alpha, beta, chi, squares);
    case 3: return accumulateFixed<3>(block, alpha, beta, chi, squares);
    case 4: return accumulateFixed<4>(block, alpha, beta, chi, squares);
    case 5: return accumulateFixed<5>(block, alpha, beta, chi, squares);
    case 6: return accumulateFixed<6>(block, alpha, beta, chi, squares);
    case 7: return accumulateFixed<7>(block, alpha, beta, chi, squares);
    default: return accumulateAny(block, free, alpha, beta, chi, squares);
  }
}

}  // namespace lumatix::fitting::detail
