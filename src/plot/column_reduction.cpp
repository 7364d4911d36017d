#include "plot/column_reduction.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

namespace {

// Every point, one column at a time: for x in any order.
template <typename Y>
void reduceAnyOrder(const double* x, const Y* y, std::size_t from, std::size_t to, double origin,
                    double pixelsPerUnit, std::vector<std::size_t>& kept) {
  std::size_t first = from, low = from, high = from, last = from;
  Y lo = y[from], hi = y[from];
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

// The end of the run of points from start on that share its column, for monotonic x (the
// column is then monotonic too). The search begins hint points on, where the previous
// column's length says the end should be, and gallops from there: the few values of x it
// reads lie near the end, not spread over the column.
std::size_t columnEnd(const double* x, std::size_t start, std::size_t to, std::int64_t column, double origin,
                      double scale, std::size_t hint) {
  auto same = [&](std::size_t i) { return columnOf(x[i], origin, scale) == column; };
  std::size_t probe = std::min(to, start + std::max<std::size_t>(hint, 1));
  std::size_t good = start, bad = to;
  if (probe < to && same(probe)) {
    good = probe;
    for (std::size_t step = 1; good + step < to; step *= 2) {
      if (!same(good + step)) {
        bad = good + step;
        break;
      }
      good += step;
    }
  } else {
    bad = probe;
    for (std::size_t step = 1;; step *= 2) {
      const std::size_t back = bad - start > step ? bad - step : start;
      if (back == start || same(back)) {
        good = back;
        break;
      }
      bad = back;
    }
  }
  while (bad - good > 1) {
    const std::size_t mid = good + (bad - good) / 2;
    if (same(mid))
      good = mid;
    else
      bad = mid;
  }
  return bad;
}

// The first index of the lowest and of the highest y in [first, end). A NaN is never lower
// or higher than anything, so a column starting with NaN keeps its first point for both.
// Blocks of values are scanned for their extremes alone; only the block that holds the
// extreme is searched for its index.
template <typename Y>
void extremes(const Y* y, std::size_t first, std::size_t end, std::size_t& low, std::size_t& high) {
  constexpr std::size_t kBlock = 16;
  Y lo = y[first], hi = y[first];
  std::size_t lowBlock = first, highBlock = first;
  std::size_t b = first;
  for (; b + kBlock <= end; b += kBlock) {
    Y m = std::numeric_limits<Y>::infinity(), M = -m;  // a NaN in y changes neither
    for (std::size_t i = 0; i < kBlock; ++i) {
      m = std::min(m, y[b + i]);
      M = std::max(M, y[b + i]);
    }
    if (m < lo) lo = m, lowBlock = b;
    if (M > hi) hi = M, highBlock = b;
  }
  for (; b < end; ++b) {
    if (y[b] < lo) lo = y[b], lowBlock = b;
    if (y[b] > hi) hi = y[b], highBlock = b;
  }
  low = high = first;
  for (std::size_t i = lowBlock; i < end; ++i)
    if (y[i] == lo) {
      low = i;
      break;
    }
  for (std::size_t i = highBlock; i < end; ++i)
    if (y[i] == hi) {
      high = i;
      break;
    }
}

}  // namespace

XOrder orderOf(const double* x, std::size_t from, std::size_t to) {
  // Counts rather than early exits, so that the loops can run on vector registers.
  std::size_t notUp = 0, notDown = 0;
  for (std::size_t i = from + 1; i < to; ++i) notUp += !(x[i] >= x[i - 1]);
  for (std::size_t i = from + 1; i < to; ++i) notDown += !(x[i] <= x[i - 1]);
  bool finite = from >= to || !std::isnan(x[from]);  // a NaN after the first fails both counts
  return finite && (notUp == 0 || notDown == 0) ? XOrder::Monotonic : XOrder::Any;
}

namespace {

template <typename Y>
void reduce(const double* x, const Y* y, std::size_t from, std::size_t to, double origin, double pixelsPerUnit,
            std::vector<std::size_t>& kept, XOrder order) {
  if (from >= to) return;
  if (order != XOrder::Monotonic) {
    reduceAnyOrder(x, y, from, to, origin, pixelsPerUnit, kept);
    return;
  }
  std::size_t hint = 1;
  for (std::size_t first = from; first < to;) {
    const std::int64_t column = columnOf(x[first], origin, pixelsPerUnit);
    const std::size_t end = columnEnd(x, first, to, column, origin, pixelsPerUnit, hint);
    std::size_t low, high;
    extremes(y, first, end, low, high);
    keepColumn(first, low, high, end - 1, kept);
    hint = end - first;
    first = end;
  }
}

}  // namespace

void reduceToColumns(const double* x, const double* y, std::size_t from, std::size_t to, double origin,
                     double pixelsPerUnit, std::vector<std::size_t>& kept) {
  reduce(x, y, from, to, origin, pixelsPerUnit, kept, orderOf(x, from, to));
}

void reduceToColumns(const double* x, const double* y, std::size_t from, std::size_t to, double origin,
                     double pixelsPerUnit, std::vector<std::size_t>& kept, XOrder order) {
  reduce(x, y, from, to, origin, pixelsPerUnit, kept, order);
}

void reduceToColumns(const double* x, const float* y, std::size_t from, std::size_t to, double origin,
                     double pixelsPerUnit, std::vector<std::size_t>& kept, XOrder order) {
  reduce(x, y, from, to, origin, pixelsPerUnit, kept, order);
}

ColumnRuns::ColumnRuns(const double* x, std::size_t n, double origin, double pixelsPerUnit) {
  std::size_t hint = 1;
  for (std::size_t first = 0; first < n;) {
    starts_.push_back(first);
    const std::size_t end = columnEnd(x, first, n, columnOf(x[first], origin, pixelsPerUnit), origin, pixelsPerUnit, hint);
    hint = end - first;
    first = end;
  }
  starts_.push_back(n);
}

void reduceToColumns(const ColumnRuns& columns, const float* y, std::size_t from, std::size_t to,
                     std::vector<std::size_t>& kept) {
  const auto& starts = columns.starts();
  if (from >= to || starts.size() < 2) return;
  // The column that holds `from`: the last one starting at or before it.
  auto k = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end() - 1, from) - starts.begin()) - 1;
  for (; k + 1 < starts.size(); ++k) {
    const std::size_t first = std::max(starts[k], from), end = std::min(starts[k + 1], to);
    if (first >= end) break;
    std::size_t low, high;
    extremes(y, first, end, low, high);
    keepColumn(first, low, high, end - 1, kept);
  }
}

}  // namespace lumatix::plot
