#include "fitting/thermal_unfolding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace lumatix::fitting::unfolding {
namespace {

struct Fractions {
  double folded;
  double unfolded;
};

// fF and fU for the exponent g = ln K, from the exponential of -|g| so that neither
// overflows far out on a plateau.
Fractions fractions(double g) {
  if (g >= 0.0) {
    const double e = std::exp(-g);
    return {e / (1.0 + e), 1.0 / (1.0 + e)};
  }
  const double e = std::exp(g);
  return {1.0 / (1.0 + e), e / (1.0 + e)};
}

double lnK(double celsius, double tm, double dH) {
  return dH / kGasConstant * (1.0 / (tm + kCelsiusZero) - 1.0 / (celsius + kCelsiusZero));
}

struct Line {
  double intercept;
  double slope;
};

// Least-squares line through the points (x[i], y[i]) for i in `points`; a flat line through
// their mean when the x values do not spread.
Line lineThrough(const std::vector<double>& x, const std::vector<double>& y, const std::vector<std::size_t>& points) {
  if (points.empty()) return {0.0, 0.0};
  double mx = 0.0, my = 0.0;
  for (std::size_t i : points) {
    mx += x[i];
    my += y[i];
  }
  mx /= static_cast<double>(points.size());
  my /= static_cast<double>(points.size());
  double sxx = 0.0, sxy = 0.0;
  for (std::size_t i : points) {
    sxx += (x[i] - mx) * (x[i] - mx);
    sxy += (x[i] - mx) * (y[i] - my);
  }
  if (!(sxx > 0.0)) return {my, 0.0};
  const double slope = sxy / sxx;
  return {my - slope * mx, slope};
}

// The enthalpy that makes dfU/dT at the midpoint equal 1/width: dfU/dT = dH/(4 R Tm^2).
double enthalpyForWidth(double tmKelvin, double width) {
  return width > 0.0 ? 4.0 * kGasConstant * tmKelvin * tmKelvin / width : 1e5;
}

}  // namespace

double foldedFraction(double celsius, double tm, double dH) { return fractions(lnK(celsius, tm, dH)).folded; }

void model(double x, const double* a, double& y, double* dyda, std::int32_t) {
  const double aF = a[1], bF = a[2], aU = a[3], bU = a[4], tm = a[5], dH = a[6];
  const double tmK = tm + kCelsiusZero, tK = x + kCelsiusZero;
  const double inverseGap = 1.0 / tmK - 1.0 / tK;
  const Fractions f = fractions(dH / kGasConstant * inverseGap);
  const double folded = aF + bF * x, unfolded = aU + bU * x;
  y = folded * f.folded + unfolded * f.unfolded;
  if (dyda) {
    dyda[1] = f.folded;
    dyda[2] = x * f.folded;
    dyda[3] = f.unfolded;
    dyda[4] = x * f.unfolded;
    // dfU/dlnK = fU.fF; dlnK/dTm = -dH/(R Tm^2); dlnK/ddH = (1/Tm - 1/T)/R.
    const double change = (unfolded - folded) * f.unfolded * f.folded;
    dyda[5] = -change * dH / (kGasConstant * tmK * tmK);
    dyda[6] = change * inverseGap / kGasConstant;
  }
}

std::vector<double> estimate(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m) {
  std::vector<double> result(static_cast<std::size_t>(std::max(m, 0)), 0.0);
  const std::size_t n = std::min(x.size(), y.size());
  if (n == 0 || result.size() < 6) return result;
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) { return x[i] < x[j]; });
  const double lowest = x[order.front()], highest = x[order.back()];

  const std::size_t edge = n < 4 ? std::max<std::size_t>(1, n / 2) : std::max<std::size_t>(2, n / 5);
  const std::vector<std::size_t> cold(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(edge));
  const std::vector<std::size_t> hot(order.end() - static_cast<std::ptrdiff_t>(edge), order.end());
  const Line folded = lineThrough(x, y, cold), unfolded = lineThrough(x, y, hot);

  // Fraction unfolded of every point between the baselines, in temperature order.
  std::vector<double> fraction(n);
  for (std::size_t r = 0; r < n; ++r) {
    const std::size_t i = order[r];
    const double f = folded.intercept + folded.slope * x[i], u = unfolded.intercept + unfolded.slope * x[i];
    fraction[r] = (y[i] - f) / (u - f);
  }

  // ln K = -dH/R . (1/T) + dH/(R Tm): a straight line in 1/T over the transition.
  double tm = std::numeric_limits<double>::quiet_NaN(), dH = tm;
  {
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    std::size_t count = 0;
    for (std::size_t r = 0; r < n; ++r) {
      const double f = fraction[r];
      if (!(f > 0.1 && f < 0.9)) continue;
      const double u = 1.0 / (x[order[r]] + kCelsiusZero), v = std::log(f / (1.0 - f));
      if (!std::isfinite(u)) continue;
      sx += u;
      sy += v;
      sxx += u * u;
      sxy += u * v;
      ++count;
    }
    if (count >= 3) {
      const double c = static_cast<double>(count);
      const double spread = sxx - sx * sx / c;
      if (spread > 0.0) {
        const double slope = (sxy - sx * sy / c) / spread;
        const double intercept = (sy - slope * sx) / c;
        const double enthalpy = -slope * kGasConstant;
        const double midpoint = -slope / intercept - kCelsiusZero;
        if (enthalpy > 0.0 && midpoint >= lowest && midpoint <= highest) {
          tm = midpoint;
          dH = enthalpy;
        }
      }
    }
  }
  if (!std::isfinite(tm)) {
    tm = 0.5 * (lowest + highest);
    for (std::size_t r = 1; r < n; ++r) {
      const double f0 = fraction[r - 1], f1 = fraction[r];
      if ((f0 - 0.5) * (f1 - 0.5) <= 0.0 && f0 != f1 && std::isfinite(f0) && std::isfinite(f1)) {
        const double x0 = x[order[r - 1]], x1 = x[order[r]];
        tm = x0 + (0.5 - f0) / (f1 - f0) * (x1 - x0);
        break;
      }
    }
    dH = enthalpyForWidth(tm + kCelsiusZero, 0.25 * (highest - lowest));
  }
  result[0] = folded.intercept;
  result[1] = folded.slope;
  result[2] = unfolded.intercept;
  result[3] = unfolded.slope;
  result[4] = tm;
  result[5] = dH;
  return result;
}

}  // namespace lumatix::fitting::unfolding
