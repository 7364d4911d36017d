#pragma once
// Reducing a long trace to what a screen can show: within each pixel column only the
// first, lowest, highest and last points are kept, in their order. The polyline through
// them lights the same pixels as the polyline through every point.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumatix::plot {

// Appends to kept the indices (from..to-1) of the points that survive, in increasing order.
// The column of a point is floor((x - origin) * pixelsPerUnit).
void reduceToColumns(const double* x, const double* y, std::size_t from, std::size_t to, double origin,
                     double pixelsPerUnit, std::vector<std::size_t>& kept);

}  // namespace lumatix::plot
