#pragma once
// The linear solver of the fitter and the error routine its failures go through.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace lumatix::fitting {

// Writes "Numerical Recipes run-time error...", the message and a line break to
// fitting::diagnostics(), then throws std::runtime_error carrying the message.
[[noreturn]] void numericalError(const std::string& message);

// Work space for gaussJordan on systems of up to `capacity` unknowns, allocated once so
// that solving allocates nothing.
struct GaussJordanWork {
  explicit GaussJordanWork(std::int32_t capacity);
  // Indexed 1..capacity like the matrix.
  std::int32_t* columnIndex();
  std::int32_t* rowIndex();
  std::int32_t* pivoted();

 private:
  std::size_t stride_;
  std::int32_t* data_;
  std::unique_ptr<std::int32_t[]> storage_;
};

// Solves a.x = b in place by Gauss-Jordan elimination with full pivoting: the n x n block
// a[1..n][1..n] (row r, column c at a[r * stride + c]) becomes its inverse and b[1..n]
// the solution. Fails through numericalError with "gaussj: Singular Matrix-1" when a
// column is chosen as pivot twice and "gaussj: Singular Matrix-2" when no usable (non-zero,
// non-NaN) pivot is left. n = 0 solves nothing.
void gaussJordan(double* a, std::int32_t n, std::size_t stride, double* b, GaussJordanWork& work);

}  // namespace lumatix::fitting
