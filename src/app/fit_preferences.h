#pragma once
// The fitting dialog's preferences, kept in the section "Preferences\Fitting": the last
// range, the last function and its values.

#include <optional>
#include <vector>

#include "fitting/fit_function.h"

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::app {

inline constexpr const char* kFittingSection = "Preferences\\Fitting";

struct StoredRange {
  float from = 0.0f;
  float to = 0.0f;
};

// The stored range ("RangeFrom", "RangeTo" read like atof) when "RangeSet" is nonzero.
std::optional<StoredRange> readFitRange(const platform::SettingsStore& store);
// "RangeFrom" and "RangeTo" as "%g", then "RangeSet" = 1.
void storeFitRange(platform::SettingsStore& store, float from, float to);

// "DefaultFunction" (1, "Single Exponential", when absent); nullopt when the stored index
// is negative (no restore) or names no function of the library.
std::optional<int> readDefaultFunction(const platform::SettingsStore& store);
// The stored values "0" .. "count-1" (read like atof) when "NumParams" equals count;
// nullopt otherwise.
std::optional<std::vector<double>> readStartValues(const platform::SettingsStore& store, int count);
// "DefaultFunction", "Equation", "NumParams" and each value as "%f" under "0", "1", ...
void storeFitFunction(platform::SettingsStore& store, int index, const fitting::FitFunction& function,
                      const std::vector<double>& values);

}  // namespace lumatix::app
