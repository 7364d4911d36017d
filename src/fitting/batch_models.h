#pragma once
// BatchModelRoutines: model routines for many points at once, for the fitting functions whose cost per point
// matters most (the exponential decays of kinetics). Each gives what its ModelRoutine gives at
// every point, except that the exponentials come from lanes::exp (within one unit in the last
// place of std::exp); points outside its range go through the ModelRoutine itself.

#include <cstddef>
#include <cstdint>

#include "fitting/fit_function.h"

namespace lumatix::fitting::batch {

void singleExponential(const double* x, std::size_t n, const double* a, std::int32_t m, double* y, double* dyda,
                       std::size_t stride);
void exponentialSum(const double* x, std::size_t n, const double* a, std::int32_t m, double* y, double* dyda,
                    std::size_t stride);
void exponentialSumSlope(const double* x, std::size_t n, const double* a, std::int32_t m, double* y, double* dyda,
                         std::size_t stride);

}  // namespace lumatix::fitting::batch
