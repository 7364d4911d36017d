#include "fitting/gauss_jordan.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "fitting/diagnostics.h"

namespace lumatix::fitting {

void numericalError(const std::string& message) {
  diagnostics() << "Numerical Recipes run-time error...\n" << message << '\n';
  throw std::runtime_error(message);
}

GaussJordanWork::GaussJordanWork(std::int32_t capacity)
    : stride_(static_cast<std::size_t>(capacity < 0 ? 0 : capacity) + 1),
      data_(nullptr),
      storage_(new std::int32_t[3 * stride_]()) {
  data_ = storage_.get();
}

std::int32_t* GaussJordanWork::columnIndex() { return data_; }
std::int32_t* GaussJordanWork::rowIndex() { return data_ + stride_; }
std::int32_t* GaussJordanWork::pivoted() { return data_ + 2 * stride_; }

void gaussJordan(double* a, std::int32_t n, std::size_t stride, double* b, GaussJordanWork& work) {
  auto at = [a, stride](std::int32_t row, std::int32_t column) -> double& {
    return a[static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(column)];
  };
  std::int32_t* columnIndex = work.columnIndex();
  std::int32_t* rowIndex = work.rowIndex();
  std::int32_t* pivoted = work.pivoted();
  for (std::int32_t j = 1; j <= n; ++j) pivoted[j] = 0;

  for (std::int32_t i = 1; i <= n; ++i) {
    double big = 0.0;
    // No candidate at all happens only when every remaining element is NaN.
    std::int32_t pivotRow = 0, pivotColumn = 0;
    for (std::int32_t j = 1; j <= n; ++j) {
      if (pivoted[j] == 1) continue;
      for (std::int32_t k = 1; k <= n; ++k) {
        if (pivoted[k] == 0) {
          if (std::fabs(at(j, k)) >= big) {
            big = std::fabs(at(j, k));
            pivotRow = j;
            pivotColumn = k;
          }
        } else if (pivoted[k] > 1) {
          numericalError("gaussj: Singular Matrix-1");
        }
      }
    }
    if (pivotColumn == 0) numericalError("gaussj: Singular Matrix-2");
    ++pivoted[pivotColumn];
    if (pivotRow != pivotColumn) {
      for (std::int32_t l = 1; l <= n; ++l) std::swap(at(pivotRow, l), at(pivotColumn, l));
      std::swap(b[pivotRow], b[pivotColumn]);
    }
    rowIndex[i] = pivotRow;
    columnIndex[i] = pivotColumn;
    if (at(pivotColumn, pivotColumn) == 0.0) numericalError("gaussj: Singular Matrix-2");
    const double inverse = 1.0 / at(pivotColumn, pivotColumn);
    at(pivotColumn, pivotColumn) = 1.0;
    for (std::int32_t l = 1; l <= n; ++l) at(pivotColumn, l) *= inverse;
    b[pivotColumn] *= inverse;
    for (std::int32_t row = 1; row <= n; ++row) {
      if (row == pivotColumn) continue;
      const double factor = at(row, pivotColumn);
      at(row, pivotColumn) = 0.0;
      for (std::int32_t l = 1; l <= n; ++l) at(row, l) -= at(pivotColumn, l) * factor;
      b[row] -= b[pivotColumn] * factor;
    }
  }
  for (std::int32_t l = n; l >= 1; --l) {
    if (rowIndex[l] == columnIndex[l]) continue;
    for (std::int32_t k = 1; k <= n; ++k) std::swap(at(k, rowIndex[l]), at(k, columnIndex[l]));
  }
}

}  // namespace lumatix::fitting
