#pragma once
// One fitting function: its display texts, its model routine with analytic derivatives and
// its start-value estimate.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumatix::fitting {

// Computes the model at x for the parameters a[1..m] into y. When dyda is not null it also
// writes the m partial derivatives into dyda[1..m]. Both arrays are indexed from 1: callers
// pass arrays of at least m + 1 elements and element 0 is never touched.
using ModelRoutine = void (*)(double x, const double* a, double& y, double* dyda, std::int32_t m);

// The model and its derivatives at the n points x[i]: values into y[i], the derivative by
// parameter l (1..m) into dyda[l * stride + i]. Parameters as for ModelRoutine.
using BatchModelRoutine = void (*)(const double* x, std::size_t n, const double* a, std::int32_t m, double* y,
                                   double* dyda, std::size_t stride);

// Start values for the m parameters, in parameter order, from the data (x and y of equal
// length, indexed from 0). Never throws for degenerate data: the values may be 0, inf or NaN.
using EstimateRoutine = std::vector<double> (*)(const std::vector<double>& x, const std::vector<double>& y,
                                                std::int32_t m);

class FitFunction {
 public:
  // Splits parameterList at every ',' (names are not trimmed). Throws std::runtime_error
  // "Incorrect number of parameters for fitting function" when there are more names than
  // count; with fewer, the missing names are empty.
  FitFunction(ModelRoutine model, EstimateRoutine estimate, std::string name, std::int32_t count,
              std::string equation, const std::string& parameterList, BatchModelRoutine batch = nullptr);

  std::vector<std::string> parameterNames;
  std::string equation;
  ModelRoutine model;
  // The same model for many points at once, where the function has one (else null).
  BatchModelRoutine batch;
  EstimateRoutine estimate;
  std::int32_t count;
  std::string name;
};

}  // namespace lumatix::fitting
