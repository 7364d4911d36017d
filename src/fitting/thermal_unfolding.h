#pragma once
// The two-state thermal unfolding of a protein followed by a signal (a CD melt): folded and
// unfolded baselines linear in temperature, and between them the equilibrium
// F <-> U with the van 't Hoff enthalpy dH at the midpoint Tm,
//
//   K(T) = exp(dH/R . (1/Tm - 1/T)),  fU = K/(1 + K),  fF = 1 - fU,
//   y(T) = (aF + bF.T).fF + (aU + bU.T).fU,
//
// with the data's temperatures and Tm in degrees Celsius, turned into kelvin for K only,
// and dH in J/mol. Parameters (aF, bF, aU, bU, Tm, dH).

#include <cstdint>
#include <vector>

namespace lumatix::fitting::unfolding {

inline constexpr double kGasConstant = 8.314462618;  // J/(mol K)
inline constexpr double kCelsiusZero = 273.15;        // K

// The folded fraction fF at `celsius` for the midpoint tm (degrees Celsius) and enthalpy dH
// (J/mol); 1 far below the midpoint, 0 far above (for dH > 0), never NaN from overflow.
double foldedFraction(double celsius, double tm, double dH);

// The model routine (ModelRoutine) with parameters a[1..6] = (aF, bF, aU, bU, Tm, dH).
void model(double x, const double* a, double& y, double* dyda, std::int32_t m);

// Start values from one melt (x in degrees Celsius, in any order): straight lines through
// the lowest and the highest fifth of the temperatures as baselines, then Tm and dH from a
// van 't Hoff line through the points between 10 % and 90 % unfolded. Where that line is
// not usable, Tm is where the fraction crosses one half (else the middle temperature) and
// dH the enthalpy of a transition a quarter of the temperature span wide. Never throws.
std::vector<double> estimate(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);

}  // namespace lumatix::fitting::unfolding
