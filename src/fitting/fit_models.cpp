#include "fitting/fit_models.h"

#include <cmath>
#include <limits>

namespace lumatix::fitting::models {
namespace {

constexpr double kZeroWidth = 1e-05;
const double kLn10 = std::log(10.0);

// 1/(1 + e) and e/(1 + e), kept finite when e overflows to infinity so that a logistic far
// out on its plateau gives zero derivatives instead of NaN.
struct Logistic {
  double lower;  // 1/(1 + e)
  double upper;  // e/(1 + e)
};

Logistic logistic(double e) {
  if (std::isinf(e)) return {0.0, 1.0};
  double lower = 1.0 / (1.0 + e);
  return {lower, e * lower};
}

}  // namespace

void linear(double x, const double* p, double& y, double* dyda, std::int32_t) {
  y = p[1] * x + p[2];
  if (dyda) {
    dyda[1] = x;
    dyda[2] = 1.0;
  }
}

void singleExponential(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const double c = p[1], a = p[2], k = p[3];
  const double e = std::exp(-k * x);
  y = c + a * e;
  if (dyda) {
    dyda[1] = 1.0;
    if (!std::isinf(e)) {
      // 1/exp(k.x) is exp(-k.x) up to rounding; reusing it halves the cost of a fit step.
      dyda[2] = e;
      dyda[3] = -a * x * e;
      return;
    }
    // Where exp(-k.x) overflows the growing exponential E' = exp(k.x) decides: tiny but
    // non-zero it gives the usual (infinite) derivatives, exactly 0 it gives 1 and 1.
    const double ePrime = std::exp(k * x);
    if (ePrime == 0.0) {
      dyda[2] = 1.0;
      dyda[3] = 1.0;
    } else {
      dyda[2] = 1.0 / ePrime;
      dyda[3] = -a * x / ePrime;
    }
  }
}

namespace {
// Shared by the plain and the sloped sums: pairs (a_i, k_i) at indexes 2..2*pairs+1.
double exponentialTerms(double x, const double* p, double* dyda, std::int32_t pairs) {
  double sum = 0.0;
  for (std::int32_t i = 0; i < pairs; ++i) {
    const std::int32_t ia = 2 + 2 * i, ik = ia + 1;
    const double e = std::exp(-p[ik] * x);
    sum += p[ia] * e;
    if (dyda) {
      dyda[ia] = e;
      dyda[ik] = -p[ia] * x * e;
    }
  }
  return sum;
}
}  // namespace

void exponentialSum(double x, const double* p, double& y, double* dyda, std::int32_t m) {
  y = p[1] + exponentialTerms(x, p, dyda, m / 2);
  if (dyda) dyda[1] = 1.0;
}

void exponentialSumSlope(double x, const double* p, double& y, double* dyda, std::int32_t m) {
  y = p[1] + exponentialTerms(x, p, dyda, (m - 2) / 2) + p[m] * x;
  if (dyda) {
    dyda[1] = 1.0;
    dyda[m] = x;
  }
}

void invertedExponential(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const double c = p[1], a = p[2], k = p[3];
  const double e = std::exp(-k * x);
  y = c + a * (1.0 - e);
  if (dyda) {
    dyda[1] = 1.0;
    dyda[2] = 1.0 - e;
    dyda[3] = a * x * e;
  }
}

void stretchedExponential(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const double c = p[1], a = p[2], k = p[3], b = p[4];
  double power, e, logX;
  if (x == 0.0) {
    // ln 0 does not exist; the most negative float stands in for it so that the b
    // derivative, which multiplies it by x^b = 0, stays finite.
    logX = -static_cast<double>(std::numeric_limits<float>::max());
    if (b == 0.0) {
      power = 1.0;
      e = 0.0;
    } else {
      power = 0.0;
      e = 1.0;
    }
  } else {
    logX = std::log(x);
    power = b == 0.0 ? 1.0 : std::pow(x, b);
    e = std::exp(-k * power);
  }
  y = c + a * e;
  if (dyda) {
    dyda[1] = 1.0;
    dyda[2] = e;
    dyda[3] = -power * a * e;
    dyda[4] = -k * a * power * e * logX;
  }
}

void hyperbolic(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const double a = p[1], k = p[2], c = p[3];
  const double denominator = k + x;
  y = a * x / denominator + c;
  if (dyda) {
    dyda[1] = x / denominator;
    dyda[2] = -a * x / (denominator * denominator);
    dyda[3] = 1.0;
  }
}

void secondOrder(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const double a = p[1], b = p[2], c = p[3], d = p[4];
  const double e = std::exp(a * c * x);
  const double denominator = b * e - 1.0;
  y = d - a / denominator;
  if (dyda) {
    const double square = denominator * denominator;
    dyda[1] = ((a * c * x - 1.0) * b * e + 1.0) / square;
    dyda[2] = a * e / square;
    dyda[3] = a * a * b * x * e / square;
    dyda[4] = 1.0;
  }
}

namespace {
// One Gaussian term a.exp(-0.5.(x - c)^2/b^2) with its derivatives by a, b and c.
struct GaussTerm {
  double value, byAmplitude, byWidth, byCentre;
};

GaussTerm gaussTerm(double x, double a, double b, double c) {
  const double width = b == 0.0 ? kZeroWidth : b;
  const double offset = x - c;
  const double width2 = width * width;
  const double g = std::exp(offset * offset / width2 * -0.5);
  return {a * g, g, a * g * offset * offset / (width2 * width), a * g * offset / width2};
}
}  // namespace

void singleGaussian(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const GaussTerm term = gaussTerm(x, p[1], p[2], p[3]);
  y = term.value + p[4];
  if (dyda) {
    dyda[1] = term.byAmplitude;
    dyda[2] = term.byWidth;
    dyda[3] = term.byCentre;
    dyda[4] = 1.0;
  }
}

void gaussianSum(double x, const double* p, double& y, double* dyda, std::int32_t m) {
  const std::int32_t g = m / 3;
  double sum = 0.0;
  for (std::int32_t i = 1; i <= g; ++i) {
    const GaussTerm term = gaussTerm(x, p[i], p[g + i], p[2 * g + i]);
    sum += term.value;
    if (dyda) {
      dyda[i] = term.byAmplitude;
      dyda[g + i] = term.byWidth;
      dyda[2 * g + i] = term.byCentre;
    }
  }
  y = sum + p[m];
  if (dyda) dyda[m] = 1.0;
}

void phTitration(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const double ab = p[1], at = p[2], pka = p[3];
  const double f = std::pow(10.0, pka - x);
  const Logistic l = logistic(f);
  y = ab + (at - ab) * l.lower;
  if (dyda) {
    dyda[1] = l.upper;
    dyda[2] = l.lower;
    dyda[3] = kLn10 * (ab - at) * l.upper * l.lower;
  }
}

void sigmoid(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const double ab = p[1], at = p[2], x0 = p[3], w = p[4];
  const Logistic l = logistic(std::exp((x0 - x) / w));
  const double step = at - ab;
  y = ab + step * l.lower;
  if (dyda) {
    const double slope = step * l.upper * l.lower;  // (At - Ab).E/(1 + E)^2
    dyda[1] = l.upper;
    dyda[2] = l.lower;
    dyda[3] = -slope / w;
    dyda[4] = slope * (x0 - x) / (w * w);
  }
}

void sigmoid2(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const double ab = p[1], at = p[2], x0 = p[3], w = p[4], n = p[5];
  const double e = std::exp((x0 - x) / w);
  const Logistic l = logistic(n * e);
  const double step = at - ab;
  y = ab + step * l.lower;
  if (dyda) {
    const double slope = step * l.upper * l.lower;  // (At - Ab).n.E/(1 + n.E)^2
    dyda[1] = l.upper;
    dyda[2] = l.lower;
    dyda[3] = -slope / w;
    dyda[4] = slope * (x0 - x) / (w * w);
    dyda[5] = l.lower == 0.0 ? 0.0 : -step * e * l.lower * l.lower;
  }
}

void sigmoidSlope(double x, const double* p, double& y, double* dyda, std::int32_t m) {
  sigmoid(x, p, y, dyda, m);
  y += p[5] * x;
  if (dyda) dyda[5] = x;
}

void doubleSigmoid(double x, const double* p, double& y, double* dyda, std::int32_t) {
  const double ab = p[1], am = p[2], at = p[3], x0 = p[4], x1 = p[5], w0 = p[6], w1 = p[7];
  const Logistic first = logistic(std::exp((x0 - x) / w0));
  const Logistic second = logistic(std::exp((x1 - x) / w1));
  y = ab + (am - ab) * first.lower + (at - am) * second.lower;
  if (dyda) {
    const double slope0 = (am - ab) * first.upper * first.lower;
    const double slope1 = (at - am) * second.upper * second.lower;
    dyda[1] = first.upper;
    dyda[2] = first.lower - second.lower;
    dyda[3] = second.lower;
    dyda[4] = -slope0 / w0;
    dyda[5] = -slope1 / w1;
    dyda[6] = slope0 * (x0 - x) / (w0 * w0);
    dyda[7] = slope1 * (x1 - x) / (w1 * w1);
  }
}

}  // namespace lumatix::fitting::models
