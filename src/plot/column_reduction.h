#pragma once
// Reducing a long trace to what a screen can show: within each pixel column only the
// first, lowest, highest and last points are kept, in their order. The polyline through
// them lights the same pixels as the polyline through every point.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumatix::plot {

// How x runs between the points: every x at least (ascending) or at most (descending) the one
// before it, with no NaN, or anything else.
enum class XOrder { Monotonic, Any };

// The order of x[from..to-1]. One pass: callers that reduce several traces over one x vector
// find it once.
XOrder orderOf(const double* x, std::size_t from, std::size_t to);

// Appends to kept the indices (from..to-1) of the points that survive, in increasing order.
// The column of a point is floor((x - origin) * pixelsPerUnit). With monotonic x the columns
// are found by searching x near their ends, so x is read at a few points per column only;
// order must then be what orderOf gives for the range (or for a range that contains it).
void reduceToColumns(const double* x, const double* y, std::size_t from, std::size_t to, double origin,
                     double pixelsPerUnit, std::vector<std::size_t>& kept, XOrder order);
// The same for single-precision y, as the plot window's graph keeps its traces.
void reduceToColumns(const double* x, const float* y, std::size_t from, std::size_t to, double origin,
                     double pixelsPerUnit, std::vector<std::size_t>& kept, XOrder order);
// The same, finding the order first.
void reduceToColumns(const double* x, const double* y, std::size_t from, std::size_t to, double origin,
                     double pixelsPerUnit, std::vector<std::size_t>& kept);

// The pixel columns of a monotonic x vector: where the run of points of each column starts.
// Found once, they serve every trace drawn over that x, which then only looks for each
// column's extremes.
class ColumnRuns {
 public:
  // x[0..n-1] must be monotonic (orderOf); the columns are those of reduceToColumns.
  ColumnRuns(const double* x, std::size_t n, double origin, double pixelsPerUnit);
  // The first point of each column, then n.
  const std::vector<std::size_t>& starts() const { return starts_; }

 private:
  std::vector<std::size_t> starts_;
};

// reduceToColumns over the columns found before: the same points are kept.
void reduceToColumns(const ColumnRuns& columns, const float* y, std::size_t from, std::size_t to,
                     std::vector<std::size_t>& kept);

}  // namespace lumatix::plot
