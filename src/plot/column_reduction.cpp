#include "plot/column_reduction.h"

#include <algorithm>
#include <cmath>

namespace lumatix::plot {
namespace {

void keepColumn(std::size_t first, std::size_t low, std::size_t high, std::size_t last, std::vector<std::size_t>& kept) {
  std::size_t run[4] = {first, low, high, last};
  std::sort(run + 1, run + 3);  // first and last bound the other two
  for (std::size_t i : run)
    if (kept.empty() || kept.back() != i) kept.push_back(i);
}

std::int64_t columnOf(double x, double origin, double scale) {
  double c = std::floor((x - origin) * scale);
  // Far off-screen points share the outermost columns; NaN goes to the first.
  if (!(c > -1e15)) return -1000000000000000LL;
  if (c > 1e15) return 1000000000000000LL;
  return static_cast<std::int64_t>(c);
}

}  // namespace

void reduceToColumns(const double* x, const double* y, std::size_t from, std::size_t to, double origin,
                     double pixelsPerUnit, std::vector<std::size_t>& kept) {
  if (from >= to) return;
  std::size_t first = from, low = from, high = from, last = from;
  double lo = y[from], hi = y[from];
  std::int64_t column = columnOf(x[from], origin, pixelsPerUnit);
  for (std::size_t i = from + 1; i < to; ++i) {
    std::int64_t c = columnOf(x[i], origin, pixelsPerUnit);
    if (c != column) {
      keepColumn(first, low, high, last, kept);
      column = c;
      first = low = high = last = i;
      lo = hi = y[i];
      continue;
    }
    last = i;
    if (y[i] < lo) {
      lo = y[i];
      low = i;
    } else if (y[i] > hi) {
      hi = y[i];
      high = i;
    }
  }
  keepColumn(first, low, high, last, kept);
}

}  // namespace lumatix::plot
