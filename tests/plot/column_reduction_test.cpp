#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "plot/column_reduction.h"

namespace lumatix::plot {
namespace {

// Per pixel column: the lowest and highest y and the first and last point.
struct ColumnSummary {
  double lo, hi;
  std::size_t first, last;
  bool operator==(const ColumnSummary&) const = default;
};

std::map<long long, ColumnSummary> summarise(const std::vector<double>& x, const std::vector<double>& y,
                                             const std::vector<std::size_t>& indices, double origin, double scale) {
  std::map<long long, ColumnSummary> columns;
  for (std::size_t i : indices) {
    long long c = static_cast<long long>(std::floor((x[i] - origin) * scale));
    auto [it, fresh] = columns.try_emplace(c, ColumnSummary{y[i], y[i], i, i});
    if (!fresh) {
      it->second.lo = std::min(it->second.lo, y[i]);
      it->second.hi = std::max(it->second.hi, y[i]);
      it->second.last = i;
    }
  }
  return columns;
}

TEST(ColumnReduction, KeepsEveryColumnsExtremesAndEnds) {
  std::mt19937 random(5);
  std::normal_distribution<double> noise;
  for (bool descending : {false, true}) {
    const std::size_t n = 200000;
    std::vector<double> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) {
      const double f = static_cast<double>(i) / static_cast<double>(n);
      x[i] = descending ? 260.0 - 80.0 * f : 180.0 + 80.0 * f;
      y[i] = std::sin(static_cast<double>(i) * 1e-4) + 0.1 * noise(random);
    }
    const double scale = 1000.0 / 80.0;  // 1000 columns across
    std::vector<std::size_t> all(n), kept;
    for (std::size_t i = 0; i < n; ++i) all[i] = i;
    reduceToColumns(x.data(), y.data(), 0, n, 180.0, scale, kept);
    EXPECT_LE(kept.size(), 4u * 1001u);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    EXPECT_EQ(summarise(x, y, kept, 180.0, scale), summarise(x, y, all, 180.0, scale));
  }
}

TEST(ColumnReduction, ShortAndUnorderedRunsKeepWhatTheyNeed) {
  std::vector<double> x{0.1, 0.2, 5.5, 0.3}, y{1, -1, 2, 3};
  std::vector<std::size_t> kept;
  reduceToColumns(x.data(), y.data(), 0, 4, 0.0, 1.0, kept);
  EXPECT_EQ(kept, (std::vector<std::size_t>{0, 1, 2, 3}));
  kept.clear();
  reduceToColumns(x.data(), y.data(), 2, 2, 0.0, 1.0, kept);
  EXPECT_TRUE(kept.empty());
}

// The search for column ends on ordered x keeps exactly the points the point-by-point pass
// keeps, on spacing that changes from column to column, repeated x, repeated extremes and
// NaN in y.
TEST(ColumnReduction, OrderedSearchKeepsWhatThePointByPointPassKeeps) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> gap(0.0, 0.02);
  std::uniform_int_distribution<int> level(0, 6);
  std::normal_distribution<double> noise;
  for (bool descending : {false, true}) {
    const std::size_t n = 20000;
    std::vector<double> x(n), y(n);
    double at = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (i % 5000 > 10) at += (i / 5000 % 2 ? 10 : 1) * gap(random);  // dense and sparse stretches, repeats
      x[i] = descending ? -at : at;
      // Stretches of few levels (many equal extremes) between noise; now and then a NaN.
      y[i] = i % 97 == 3 ? std::nan("") : (i / 3000 % 2 ? level(random) : noise(random));
    }
    std::vector<std::size_t> searched, every;
    const double origin = descending ? x.back() : x.front(), scale = 0.37;  // some 270 or 27 points a column
    ASSERT_EQ(orderOf(x.data(), 0, n), XOrder::Monotonic);
    reduceToColumns(x.data(), y.data(), 0, n, origin, scale, searched, XOrder::Monotonic);
    reduceToColumns(x.data(), y.data(), 0, n, origin, scale, every, XOrder::Any);
    EXPECT_EQ(searched, every) << (descending ? "descending" : "ascending");
  }
}

// Columns found once for a whole x vector keep, on any stretch of it, what reducing that
// stretch on its own keeps.
TEST(ColumnReduction, ColumnsFoundOnceServeEveryStretch) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> gap(0.0, 0.02);
  std::normal_distribution<float> noise;
  const std::size_t n = 5000;
  std::vector<double> x(n);
  std::vector<float> y(n);
  double at = 0;
  for (std::size_t i = 0; i < n; ++i) {
    at += (i / 1000 % 2 ? 10 : 1) * gap(random);
    x[i] = at;
    y[i] = noise(random);
  }
  const double origin = x.front() - 0.3, scale = 2.7;
  const ColumnRuns columns(x.data(), n, origin, scale);
  struct Stretch {
    std::size_t from, to;
  } stretches[] = {{0, n}, {0, 1}, {17, 18}, {123, 4567}, {999, 1001}, {n - 3, n}, {40, 40}};
  for (const Stretch& s : stretches) {
    std::vector<std::size_t> once, alone;
    reduceToColumns(columns, y.data(), s.from, s.to, once);
    reduceToColumns(x.data(), y.data(), s.from, s.to, origin, scale, alone, XOrder::Monotonic);
    EXPECT_EQ(once, alone) << s.from << ".." << s.to;
  }
}

TEST(ColumnReduction, OrderOfX) {
  const double nan = std::nan("");
  struct Row {
    const char* name;
    std::vector<double> x;
    XOrder order;
  } rows[] = {
      {"ascending with repeats", {1, 2, 2, 3}, XOrder::Monotonic},
      {"descending", {3, 2, 1}, XOrder::Monotonic},
      {"one point", {4}, XOrder::Monotonic},
      {"back and forth", {1, 3, 2}, XOrder::Any},
      {"NaN inside", {1, nan, 3}, XOrder::Any},
      {"NaN first", {nan, 1, 2}, XOrder::Any},
      {"NaN alone", {nan}, XOrder::Any},
  };
  for (const Row& r : rows) EXPECT_EQ(orderOf(r.x.data(), 0, r.x.size()), r.order) << r.name;
}

}  // namespace
}  // namespace lumatix::plot
