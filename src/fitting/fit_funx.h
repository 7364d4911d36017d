#pragma once
// The library of fitting functions offered to the user. The order is fixed: the index is
// what the fitting dialog stores in the preferences and restores later.

#include <vector>

#include "fitting/fit_function.h"

namespace lumatix::fitting {

// The functions, built on first use. Index 0 is "Linear", 1 "Single Exponential", ...,
// 18 "Double Sigmoid curve", 19 "Two-state unfolding" (Tm in degrees Celsius, dH in J/mol).
const std::vector<FitFunction>& FitFunx();

}  // namespace lumatix::fitting
