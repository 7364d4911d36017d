#pragma once
// The start-value estimates of the fitting functions (each an EstimateRoutine) and the
// half-change time they share. Notes on the reasoning go to fitting::diagnostics().
// Every search stays inside the data; empty data give m zeros.

#include <cstdint>
#include <vector>

namespace lumatix::fitting::estimates {

// The x distance from x[0] to one point past the first 8-point window (indexes i-4..i+3,
// clipped to the data) whose mean lies closer than |amplitude/2| to level. x[1] - x[0] when
// amplitude is 0; when no window qualifies (or the first one that does is the last point)
// the search ends at the last point.
double halfChangeTime(const std::vector<double>& y, const std::vector<double>& x, double amplitude, double level);

std::vector<double> linear(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> singleExponential(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
// Needs 40 points; with fewer it notes "Error: not enough points to make an estimate" and
// returns m zeros. Otherwise the slope from the last quarter, the rate from the x span, with
// its notes ("ret[3] is: ...").
std::vector<double> exponentialSlopeRule(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
// The rule, then its rate refined as the exponential sums' are (one phase, with the slope
// solved linearly beside the offset and amplitude). Fewer than 40 points still give zeros.
std::vector<double> exponentialSlope(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
// The exponential sums' rule: phases a factor 5 apart, signs from the extremes' positions,
// with its notes ("max [imax = ...", "par[i] = ...").
std::vector<double> exponentialSumRule(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
// The rule, then its rates refined: log-spaced rates between 0.3/span and (n-1)/span are
// tried in every combination (fastest first, at least two grid steps apart) with the offset
// and amplitudes solved linearly for each, and the best combination is the estimate (noted
// as "refined par[i] = ..."). The rule's values stand when the data give no scan.
std::vector<double> exponentialSum(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> invertedExponential(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> stretchedExponential(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> hyperbolic(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> secondOrder(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> singleGaussian(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> gaussianSum(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> phTitration(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
// The sigmoid estimate, shared by its variants: a fifth parameter starts at 1 for
// "Sigmoid curve 2" (index 16) and at 0 for "Sigmoid curve + slope"; see sigmoid2/sigmoidSlope.
std::vector<double> sigmoid(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> sigmoid2(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> sigmoidSlope(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);
std::vector<double> doubleSigmoid(const std::vector<double>& x, const std::vector<double>& y, std::int32_t m);

}  // namespace lumatix::fitting::estimates
