#include "fitting/fit_estimates.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>

#include <Eigen/Dense>

#include "fitting/diagnostics.h"

namespace lumatix::fitting::estimates {
namespace {

using Values = std::vector<double>;
using Index = std::int64_t;

Index size(const Values& v) { return static_cast<Index>(v.size()); }

// Sum of v over first..last, clipped to the data.
double sumOver(const Values& v, Index first, Index last) {
  first = std::max<Index>(first, 0);
  last = std::min<Index>(last, size(v) - 1);
  double sum = 0.0;
  for (Index i = first; i <= last; ++i) sum += v[i];
  return sum;
}

// Mean of v over first..last, clipped to the data; NaN when nothing is left.
double meanOver(const Values& v, Index first, Index last) {
  first = std::max<Index>(first, 0);
  last = std::min<Index>(last, size(v) - 1);
  const Index count = last - first + 1;
  return sumOver(v, first, last) / static_cast<double>(std::max<Index>(count, 0));
}

// Mean of the points of the window that are not index 0; 0 when the window holds none.
double meanSkippingFirst(const Values& v, Index first, Index last) {
  first = std::max<Index>(first, 1);
  last = std::min<Index>(last, size(v) - 1);
  const Index count = last - first + 1;
  if (count <= 0) return 0.0;
  return sumOver(v, first, last) / static_cast<double>(count);
}

// The centre and the log-width of the x values of the points whose y lies in lo..hi,
// looking at indexes first..last. An empty band gives centre 0 and a width of log(0).
struct Band {
  double centre;
  double logWidth;
};

Band band(const Values& x, const Values& y, Index first, Index last, double lo, double hi) {
  last = std::min<Index>(last, size(y) - 1);
  double sum = 0.0;
  Index count = 0;
  double xMin = std::numeric_limits<double>::infinity(), xMax = -xMin;
  for (Index i = std::max<Index>(first, 0); i <= last; ++i) {
    if (lo <= y[i] && y[i] <= hi) {
      sum += x[i];
      ++count;
      xMin = std::min(xMin, x[i]);
      xMax = std::max(xMax, x[i]);
    }
  }
  if (count == 0) return {0.0, std::log(0.0)};
  return {sum / static_cast<double>(count), std::log(xMax - xMin)};
}

Values zeros(std::int32_t m) { return Values(static_cast<std::size_t>(std::max(m, 0)), 0.0); }

// The rules below read y[0] and y[n-1]: with no data there is nothing to estimate from.
bool empty(const Values& x, const Values& y) { return x.empty() || y.empty() || x.size() != y.size(); }

Values sized(Values values, std::int32_t m) {
  values.resize(static_cast<std::size_t>(std::max(m, 0)), 0.0);
  return values;
}

double inverseTime(double t) { return t == 0.0 ? 1.0 : 1.0 / t; }

// Variable projection over a grid of rates: for every choice of `terms` rates (fastest
// first) from log-spaced rates between 0.3/span and 1/dx, the offset and amplitudes (and the
// slope when asked) are solved by linear least squares, and the choice with the smallest
// sum of squares wins. Returns c, (a_i, k_i)..., [b] in the functions' order, or an empty
// vector when the data give no usable grid.
constexpr int kMaxScanUnknowns = 8;

Values scanRates(const Values& x, const Values& y, std::int32_t terms, bool slope) {
  const Index n = size(y);
  if (terms < 1 || n < 2 * terms + 2) return {};
  const double x0 = x[0], span = x[n - 1] - x[0];
  if (!(span > 0.0) || !std::isfinite(span)) return {};
  constexpr int kRates = 28;
  const double lowest = 0.3 / span, highest = static_cast<double>(n - 1) / span;
  const int count = terms >= 4 ? 18 : kRates;
  std::vector<double> rates(static_cast<std::size_t>(count));
  for (int r = 0; r < count; ++r) rates[static_cast<std::size_t>(r)] = highest * std::pow(lowest / highest, r / double(count - 1));
  // Columns: the rates' exponentials of x - x0, then 1, then x - x0 for a slope. A start
  // needs only the basin: long traces are scanned through about 512 of their points.
  const Index stride = std::max<Index>(1, n / 512);
  const Index rows = (n + stride - 1) / stride;
  const int columns = count + 1 + (slope ? 1 : 0);
  Eigen::MatrixXd basis(rows, columns);
  Eigen::VectorXd data(rows);
  for (Index row = 0; row < rows; ++row) {
    const Index i = row * stride;
    const double t = x[i] - x0;
    for (int r = 0; r < count; ++r) basis(row, r) = std::exp(-rates[static_cast<std::size_t>(r)] * t);
    basis(row, count) = 1.0;
    if (slope) basis(row, count + 1) = t;
    data(row) = y[i];
  }
  if (!basis.allFinite() || !data.allFinite()) return {};
  const Eigen::MatrixXd gram = basis.transpose() * basis;
  const Eigen::VectorXd projections = basis.transpose() * data;
  const double total = data.squaredNorm();

  std::vector<int> choice(static_cast<std::size_t>(terms)), best;
  // The small systems live on the stack: a scan solves thousands of them.
  using Small = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, kMaxScanUnknowns, kMaxScanUnknowns>;
  using SmallVector = Eigen::Matrix<double, Eigen::Dynamic, 1, 0, kMaxScanUnknowns, 1>;
  SmallVector bestTheta;
  double bestSquares = std::numeric_limits<double>::infinity();
  const int unknowns = terms + 1 + (slope ? 1 : 0);
  if (unknowns > kMaxScanUnknowns) return {};
  Small g(unknowns, unknowns);
  SmallVector b(unknowns);
  Eigen::LDLT<Small> solver(unknowns);
  std::vector<int> index(static_cast<std::size_t>(unknowns));
  // Every increasing choice of rate indexes, two grid steps apart at least.
  std::function<void(int, int)> choose = [&](int level, int from) {
    if (level == terms) {
      for (int q = 0; q < terms; ++q) index[static_cast<std::size_t>(q)] = choice[static_cast<std::size_t>(q)];
      index[static_cast<std::size_t>(terms)] = count;
      if (slope) index[static_cast<std::size_t>(terms + 1)] = count + 1;
      for (int r = 0; r < unknowns; ++r) {
        b(r) = projections(index[static_cast<std::size_t>(r)]);
        for (int c = 0; c < unknowns; ++c) g(r, c) = gram(index[static_cast<std::size_t>(r)], index[static_cast<std::size_t>(c)]);
      }
      solver.compute(g);
      if (solver.info() != Eigen::Success) return;
      const SmallVector theta = solver.solve(b);
      const double squares = total - 2.0 * theta.dot(b) + theta.dot(g * theta);
      if (theta.allFinite() && squares < bestSquares) {
        bestSquares = squares;
        best = choice;
        bestTheta = theta;
      }
      return;
    }
    for (int r = from; r < count; ++r) {
      choice[static_cast<std::size_t>(level)] = r;
      choose(level + 1, r + 2);
    }
  };
  choose(0, 0);
  if (best.empty()) return {};
  Values result{bestTheta(terms)};
  for (int q = 0; q < terms; ++q) {
    const double k = rates[static_cast<std::size_t>(best[static_cast<std::size_t>(q)])];
    result.push_back(bestTheta(q) * std::exp(k * x0));
    result.push_back(k);
  }
  if (slope) {
    // c + b.(x - x0) = (c - b.x0) + b.x
    result[0] -= bestTheta(terms + 1) * x0;
    result.push_back(bestTheta(terms + 1));
  }
  for (double v : result)
    if (!std::isfinite(v)) return {};
  return result;
}

}  // namespace

double halfChangeTime(const Values& y, const Values& x, double amplitude, double level) {
  const Index n = std::min(size(x), size(y));
  if (n == 0) return 0.0;
  if (amplitude == 0.0) return n > 1 ? x[1] - x[0] : 0.0;
  const double half = std::fabs(amplitude * 0.5);
  for (Index i = 0; i < n; ++i) {
    if (std::fabs(meanOver(y, i - 4, i + 3) - level) < half) return x[std::min(i + 1, n - 1)] - x[0];
  }
  return x[n - 1] - x[0];
}

Values linear(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const double a = (y[n - 1] - y[0]) / (x[n - 1] - x[0]);
  return sized({a, y[0] - a * x[0]}, m);
}

Values singleExponential(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const double c = meanOver(y, 9 * (n / 10), n - 1);
  const double a = y[0] - c;
  const double t = halfChangeTime(y, x, std::fabs(y[n - 1] - y[0]), c);
  return sized({c, a, inverseTime(t)}, m);
}

Values exponentialSlopeRule(const Values& x, const Values& y, std::int32_t m) {
  const Index n = empty(x, y) ? 0 : size(y);
  if (n < 40) {
    diagnostics() << "Error: not enough points to make an estimate" << '\n';
    return zeros(m);
  }
  const Index q = 3 * n / 4;
  const double m1 = meanOver(y, q - 4, q + 4);
  const double m2 = meanOver(y, n - 9, n - 1);
  const double b = (m2 - m1) / (x[n - 5] - x[q]);
  const double c = b * x[n - 5];
  const double k = std::log(2.0) / (0.1 * x[n - 1]);
  Index firstNonNegative = n - 1;
  for (Index i = 0; i < n; ++i) {
    if (x[i] >= 0.0) {
      firstNonNegative = i;
      break;
    }
  }
  const double a = y[firstNonNegative] - c;
  Values result = zeros(m);
  if (m >= 4) {
    result[0] = c;
    result[1] = a;
    result[2] = k;
    result[static_cast<std::size_t>(m - 1)] = b;
  }
  std::ostream& out = diagnostics();
  out << "ret[3] is: " << b << '\n';
  out << "ret[0] is: " << c << '\n';
  out << "ret[2] is: " << k << '\n';
  out << "ret[1] is: " << a << '\n';
  return result;
}

Values exponentialSumRule(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const std::int32_t terms = m / 2;
  const double c = sumOver(y, n - n / 10, n - 1) / static_cast<double>(std::max<Index>(n / 10, 1));

  Index iMax = 0, iMin = 0;
  for (Index i = 1; i < n; ++i) {
    if (y[i] > y[iMax]) iMax = i;
    if (y[i] < y[iMin]) iMin = i;
  }
  const double yMax = meanSkippingFirst(y, iMax - 4, iMax + 3);
  const double yMin = meanSkippingFirst(y, iMin - 4, iMin + 3);
  const double yEnd = meanSkippingFirst(y, n - 8, n - 1);
  double range = yMax - yMin;
  if (iMin < iMax) range = -range;

  std::ostream& out = diagnostics();
  out << "max [imax = " << iMax << "] = " << yMax << '\n';
  out << "min [imin = " << iMin << "] = " << yMin << '\n';
  out << "range = " << range << '\n';
  out << "end = " << yEnd << '\n';

  const double t = halfChangeTime(y, x, std::fabs(range), yEnd);
  const double k1 = std::fabs(0.6931 / t);
  Values result = zeros(m);
  result[0] = c;
  for (std::int32_t i = 1; i <= terms && 2 * i < m; ++i) {
    const double k = k1 * std::pow(5.0, -(i - 1));
    result[static_cast<std::size_t>(2 * i - 1)] = range / terms * std::exp(k * x[0]);
    result[static_cast<std::size_t>(2 * i)] = k;
  }
  // The thresholds come from the y level and are compared with x positions; odd, but it is
  // what picks the signs users have learned to expect from this estimate.
  const double level = yEnd;
  if (terms > 1 && level / 50 < x[iMax] && x[iMax] < level / 2) {
    result[1] = -result[1];
    out << "Guessing that first rate should be negated" << '\n';
  }
  if (terms > 1 && level / 50 < x[iMin] && x[iMin] < level / 2) {
    result[3] = -result[3];
    out << "Guessing that second rate should be negated" << '\n';
  }
  for (std::size_t i = 0; i < result.size(); ++i) out << "par[" << i << "] = " << result[i] << '\n';
  return result;
}

namespace {

// The rule's values, replaced by the scan's where it finds a combination, with its notes.
Values refinedByScan(Values rule, const Values& x, const Values& y, std::int32_t terms, bool slope) {
  if (Values refined = scanRates(x, y, terms, slope); refined.size() == rule.size()) {
    rule = std::move(refined);
    std::ostream& out = diagnostics();
    for (std::size_t i = 0; i < rule.size(); ++i) out << "refined par[" << i << "] = " << rule[i] << '\n';
  }
  return rule;
}

}  // namespace

Values exponentialSlope(const Values& x, const Values& y, std::int32_t m) {
  // Below 40 points the rule gives nothing to refine, and the zeros stand.
  Values result = exponentialSlopeRule(x, y, m);
  if (m != 4 || size(y) < 40 || empty(x, y)) return result;
  // The rule's rate comes from the x span alone and its amplitude from one point; the scan
  // finds the phase under the slope.
  return refinedByScan(std::move(result), x, y, 1, true);
}

Values exponentialSum(const Values& x, const Values& y, std::int32_t m) {
  Values result = exponentialSumRule(x, y, m);
  if (empty(x, y)) return result;
  // The rule places the phases a fixed factor apart with guessed signs; the scan finds where
  // they are, and the rule's values stand only when it finds nothing.
  return refinedByScan(std::move(result), x, y, m / 2, false);
}

Values invertedExponential(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const double c = y[0];
  const double a = y[n - 1] - y[0];
  const double t = halfChangeTime(y, x, std::fabs(a), y[n - 1]);
  return sized({c, a, inverseTime(t)}, m);
}

Values stretchedExponential(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  Values result = singleExponential(x, y, 3);
  result.push_back(1.0);
  return sized(result, m);
}

Values hyperbolic(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const auto [low, high] = std::minmax_element(y.begin(), y.end());
  const double k = halfChangeTime(y, x, *high - *low, *low);
  return sized({-y[0], k, y[n - 1]}, m);
}

Values secondOrder(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const double d = sumOver(y, 2 * (n / 3), n - 1) / static_cast<double>(n / 3);
  return sized({0.1, 1.0, 1.0, d}, m);
}

Values singleGaussian(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const Index quarter = n / 4, tail = 3 * (n / 4);
  const double baseline =
      (sumOver(y, 0, quarter - 1) + sumOver(y, tail, n - 1)) / static_cast<double>(quarter + (n - tail));

  // The extremes are held in single precision, as the trace values they come from.
  float lowest = static_cast<float>(y[0]), highest = lowest;
  Index iMin = 0, iMax = 0;
  double total = y[0];
  for (Index i = 1; i < n; ++i) {
    total += y[i];
    if (y[i] < lowest) {
      lowest = static_cast<float>(y[i]);
      iMin = i;
    }
    if (y[i] > highest) {
      highest = static_cast<float>(y[i]);
      iMax = i;
    }
  }
  const bool peak = total / static_cast<double>(n) > baseline;
  const double spread = static_cast<double>(highest) - static_cast<double>(lowest);
  const double half = (static_cast<double>(highest) + static_cast<double>(lowest)) * 0.5;
  Index left = iMin, right = iMax;
  for (Index i = 1; i + 1 < n; ++i) {
    const double here = y[i], next = y[i + 1];
    if (peak) {
      if (half > here && half <= next) left = i;
      if (half < here && half >= next) right = i;
    } else {
      if (half < here && half >= next) left = i;
      if (half > here && half <= next) right = i;
    }
  }
  const double width = (x[right] - x[left]) * 0.5;
  return sized({peak ? spread : -spread, width, peak ? x[iMax] : x[iMin], baseline}, m);
}

Values gaussianSum(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y) || m < 1) return zeros(m);
  const Index n = size(y);
  const std::int32_t terms = m / 3;
  const double step = (x[n - 1] - x[0]) * 3 / m;
  Values result = zeros(m);
  for (std::int32_t i = 0; i < terms; ++i) {
    result[static_cast<std::size_t>(i)] = 1.0;
    result[static_cast<std::size_t>(terms + i)] = 1.0;
    result[static_cast<std::size_t>(2 * terms + i)] = x[0] + step * 0.5 + i * step;
  }
  return result;
}

Values phTitration(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const Index third = n / 3;
  const double ab = meanOver(y, 0, third - 1);
  const double at = sumOver(y, 2 * third, n - 1) / static_cast<double>(third);
  const double mid = (ab + at) * 0.5;
  Index i = 0;
  while (i < n && !(at <= ab ? y[i] <= mid : y[i] >= mid)) ++i;
  const double pka = i + 1 < n ? x[i + 1] : x[n / 2];
  return sized({ab, at, pka}, m);
}

Values sigmoid(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const Index quarter = n / 4;
  const double ab = meanOver(y, 0, quarter - 1);
  const double at = sumOver(y, 3 * quarter, n - 1) / static_cast<double>(quarter);
  const Band transition = band(x, y, 0, n - 1, std::min(ab, at), std::max(ab, at));
  return sized({ab, at, transition.centre, transition.logWidth}, m);
}

Values sigmoid2(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  Values result = sigmoid(x, y, 4);
  result.push_back(1.0);
  return sized(result, m);
}

Values sigmoidSlope(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  Values result = sigmoid(x, y, 4);
  result.push_back(0.0);
  return sized(result, m);
}

Values doubleSigmoid(const Values& x, const Values& y, std::int32_t m) {
  if (empty(x, y)) return zeros(m);
  const Index n = size(y);
  const Index quarter = n / 4, third = n / 3;
  const double ab = meanOver(y, 0, quarter - 1);
  const double am = meanOver(y, third, 2 * third - 1);
  const double at = sumOver(y, 3 * quarter, n - 1) / static_cast<double>(quarter);
  const double lo = std::min(ab, at), hi = std::max(ab, at);
  const Band first = band(x, y, 0, 2 * third - 1, lo, am);
  const Band second = band(x, y, third, n - 1, am, hi);
  return sized({ab, am, at, first.centre, second.centre, first.logWidth, second.logWidth}, m);
}

}  // namespace lumatix::fitting::estimates
