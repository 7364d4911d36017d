#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "plot/graph.h"
#include "recording_canvas.h"

namespace lumatix::plot {
namespace {

struct Extent {
  double lo, hi;
  bool operator==(const Extent&) const = default;
};

std::map<long long, Extent> perColumn(const std::vector<Point>& points) {
  std::map<long long, Extent> columns;
  for (const Point& p : points) {
    auto [it, fresh] = columns.try_emplace(static_cast<long long>(std::floor(p.x)), Extent{p.y, p.y});
    if (!fresh) it->second = {std::min(it->second.lo, p.y), std::max(it->second.hi, p.y)};
  }
  return columns;
}

// A long trace is drawn through a few points per pixel column, and every column still
// reaches the same lowest and highest pixel as the line through every point.
TEST(GraphLargeData, ReducedPolylineHasEveryColumnsExtremes) {
  const std::size_t n = 300000;
  std::mt19937 random(11);
  std::normal_distribution<double> noise;
  std::vector<double> x(n), y(n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = (static_cast<double>(i) + 0.5) / static_cast<double>(n);
    y[i] = std::sin(40 * x[i]) + 0.2 * noise(random);
  }
  Graph g;
  g.SetData(x, {y}, {"t"}, {}, {});
  RecordingCanvas canvas(640, 480);
  g.Paint(canvas);

  ASSERT_EQ(canvas.polylines.size(), 1u);
  const auto& drawn = canvas.polylines[0].points;
  const double columns = g.area().width();
  EXPECT_LE(static_cast<double>(drawn.size()), 4 * (columns + 1));
  std::vector<Point> every;
  every.reserve(n);
  // The graph keeps its values in single precision, as the stores hold them.
  for (std::size_t i = 0; i < n; ++i) every.push_back(g.toPixel({x[i], static_cast<double>(static_cast<float>(y[i]))}));
  // The drawing maps by scale and offset, toPixel through the full transform: the two agree
  // to far below a pixel, not to the last bit.
  const auto near = [](double a, double b) { return std::abs(a - b) < 1e-6; };
  const auto drawnColumns = perColumn(drawn);
  const auto everyColumns = perColumn(every);
  ASSERT_EQ(drawnColumns.size(), everyColumns.size());
  for (const auto& [column, extent] : everyColumns) {
    ASSERT_EQ(drawnColumns.count(column), 1u) << column;
    EXPECT_TRUE(near(drawnColumns.at(column).lo, extent.lo) && near(drawnColumns.at(column).hi, extent.hi)) << column;
  }
  EXPECT_TRUE(near(drawn.front().x, every.front().x) && near(drawn.front().y, every.front().y));
  EXPECT_TRUE(near(drawn.back().x, every.back().x) && near(drawn.back().y, every.back().y));
}

}  // namespace
}  // namespace lumatix::plot
