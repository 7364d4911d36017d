#pragma once
// The inner loop of a fit step: the sums that make the curvature matrix, the gradient and
// chi-square, over a block of points whose model values and derivatives are already known.
//
// Every sum is kept as lanes::kWidth running sums: point i adds to running sum i mod kWidth,
// and the running sums are added in a fixed order at the end. Blocks start at multiples of
// kWidth, so the results depend neither on the block size nor on the processor.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumatix::fitting::detail {

// Derivatives, model values and data of the points of one block, and their common weight.
struct CurvatureBlock {
  const double* const* columns;  // per free parameter, its derivative at each point
  const double* model;
  const double* y;
  double weight;  // 1/sigma^2
  std::size_t count;
};

class CurvatureSums {
 public:
  // Room for up to maxFree free parameters, allocated here once.
  explicit CurvatureSums(std::int32_t maxFree);

  // Starts new sums for `free` free parameters (at most maxFree).
  void reset(std::int32_t free);
  // Adds the block's points; a block's first point must have an index that is a multiple of
  // lanes::kWidth in the whole trace.
  void add(const CurvatureBlock& block);

  // The totals: alpha as the packed lower triangle of the free block (alpha[j(j+1)/2 + k] for
  // k <= j, 0-based), beta per free parameter, chi-square, and the unweighted sum of squared
  // residuals.
  void totals(double* alpha, double* beta, double& chi, double& squares) const;

 private:
  std::int32_t free_ = 0;
  // Running sums of alpha, then beta, then chi-square, then the plain squares, each
  // lanes::kWidth wide.
  std::vector<double> running_;
};

}  // namespace lumatix::fitting::detail
