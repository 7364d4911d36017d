#include "plot/scale.h"

#include <cmath>
#include <cstdlib>

namespace lumatix::plot {
namespace {

// 10^d by repeated squaring, as the rounding of the range is defined with it.
double powerOfTen(std::int32_t d) {
  double result = 1.0, base = 10.0;
  for (std::uint32_t n = static_cast<std::uint32_t>(std::abs(static_cast<std::int64_t>(d))); n; n >>= 1) {
    if (n & 1) result *= base;
    base *= base;
  }
  return d < 0 ? 1.0 / result : result;
}

}  // namespace

CScale::CScale(double a, double b, bool log) {
  min = a < b ? a : b;
  max = a < b ? b : a;
  logFlag = log;
  Compute();
}

bool CScale::SetRange(double a, double b) {
  double oldMin = min, oldMax = max;
  min = a < b ? a : b;
  max = a < b ? b : a;
  if (Compute()) return true;
  min = oldMin;
  max = oldMax;
  return false;
}

bool CScale::SetIntervals(std::int32_t n) {
  intervals = n;
  if (!Compute()) return false;
  appliedIntervals = n;
  return true;
}

bool CScale::Compute() {
  double range = max - min;
  if (range < 1e-8 || intervals < 2) return false;

  double scale = powerOfTen(appliedIntervals);
  double scaled = range * scale;
  roundedRange = std::floor(scaled > 0 ? scaled + 0.5 : scaled - 0.5) / scale;

  auto divisor = static_cast<std::uint32_t>(intervals);
  double step = range / (divisor ? divisor : 10u);
  // Steps finer than the eighth significant digit of the ends cannot be told apart.
  double extreme = std::fabs(min) > std::fabs(max) ? min : max;
  if (std::fabs(extreme) / 1e8 >= step) step = std::fabs(extreme) / 1e8;

  double power = std::pow(10.0, std::floor(std::log10(step)));
  double f = power != 0.0 ? step / power : 10.0;
  double factor;
  if (f > 7.1) {
    factor = 10.0;
    minorCount = 10;
  } else if (f > 3.2) {
    factor = 5.0;
    minorCount = 5;
  } else if (f > 1.4) {
    factor = 2.0;
    minorCount = 2;
  } else {
    factor = 1.0;
    minorCount = 10;
  }
  majorStep = power * factor;
  minorStep = majorStep / minorCount;

  double k = std::trunc(min / majorStep);
  if (min <= 0) k -= 1;
  double t = k * majorStep;
  while (t - majorStep > min) t -= majorStep;
  firstMajor = t;
  majorCount = static_cast<std::int32_t>(std::trunc((max - firstMajor) / majorStep)) + 1;

  double m = firstMajor;
  while (m - minorStep > min) m -= minorStep;
  firstMinor = m;
  valid = true;
  return true;
}

}  // namespace lumatix::plot
