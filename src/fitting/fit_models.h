#pragma once
// The model routines of the fitting functions. Each follows ModelRoutine: parameters and
// derivatives in arrays indexed from 1, derivatives written only when dyda is not null, and
// every derivative the exact partial derivative of the value as computed.

#include <cstdint>

namespace lumatix::fitting::models {

// a.x + c; parameters (a, c).
void linear(double x, const double* p, double& y, double* dyda, std::int32_t m);

// c + a.exp(-k.x); parameters (c, a, k). Derivatives exp(-k.x) and -a.x.exp(-k.x); where
// exp(-k.x) overflows they come from E' = exp(k.x) as 1/E' and -a.x/E', both 1 when E' is
// exactly 0.
void singleExponential(double x, const double* p, double& y, double* dyda, std::int32_t m);

// c + sum of a_i.exp(-k_i.x); parameters c then m/2 pairs (a_i, k_i).
void exponentialSum(double x, const double* p, double& y, double* dyda, std::int32_t m);

// c + sum of a_i.exp(-k_i.x) + b.x; parameters c, (m - 2)/2 pairs (a_i, k_i), then b.
void exponentialSumSlope(double x, const double* p, double& y, double* dyda, std::int32_t m);

// c + a.(1 - exp(-k.x)); parameters (c, a, k).
void invertedExponential(double x, const double* p, double& y, double* dyda, std::int32_t m);

// c + a.exp(-k.x^b); parameters (c, a, k, b). At x = 0 the logarithm is taken as the most
// negative float, and x^b as 0 (b != 0) or 1 (b == 0, where exp(-k.x^b) is taken as 0).
void stretchedExponential(double x, const double* p, double& y, double* dyda, std::int32_t m);

// a.x/(k + x) + c; parameters (a, k, c).
void hyperbolic(double x, const double* p, double& y, double* dyda, std::int32_t m);

// d - a/(b.exp(a.c.x) - 1); parameters (a, b, c, d).
void secondOrder(double x, const double* p, double& y, double* dyda, std::int32_t m);

// a.exp(-0.5.(x - c)^2/b^2) + d; parameters (a, b, c, d); a width of 0 counts as 1e-05.
void singleGaussian(double x, const double* p, double& y, double* dyda, std::int32_t m);

// Sum of g = m/3 Gaussians plus an offset; parameters: amplitudes 1..g, widths g+1..2g,
// centres 2g+1..3g, offset m. Widths of 0 count as 1e-05.
void gaussianSum(double x, const double* p, double& y, double* dyda, std::int32_t m);

// Ab + (At - Ab)/(1 + 10^(pKa - x)); parameters (Ab, At, pKa).
void phTitration(double x, const double* p, double& y, double* dyda, std::int32_t m);

// Ab + (At - Ab)/(1 + exp((x0 - x)/w)); parameters (Ab, At, x0, w).
void sigmoid(double x, const double* p, double& y, double* dyda, std::int32_t m);

// Ab + (At - Ab)/(1 + n.exp((x0 - x)/w)); parameters (Ab, At, x0, w, n).
void sigmoid2(double x, const double* p, double& y, double* dyda, std::int32_t m);

// Ab + (At - Ab)/(1 + exp((x0 - x)/w)) + m.x; parameters (Ab, At, x0, w, m).
void sigmoidSlope(double x, const double* p, double& y, double* dyda, std::int32_t m);

// Ab + (Am - Ab)/(1 + exp((x0 - x)/w0)) + (At - Am)/(1 + exp((x1 - x)/w1));
// parameters (Ab, Am, At, x0, x1, w0, w1).
void doubleSigmoid(double x, const double* p, double& y, double* dyda, std::int32_t m);

}  // namespace lumatix::fitting::models
