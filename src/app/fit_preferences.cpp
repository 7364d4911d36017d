#include "app/fit_preferences.h"

#include <string>

#include "app/fit_texts.h"
#include "fitting/fit_funx.h"
#include "platform/settings_store.h"

namespace lumatix::app {

std::optional<StoredRange> readFitRange(const platform::SettingsStore& store) {
  if (store.getInt(kFittingSection, "RangeSet", 0) == 0) return std::nullopt;
  return StoredRange{static_cast<float>(atofText(store.getString(kFittingSection, "RangeFrom", ""))),
                     static_cast<float>(atofText(store.getString(kFittingSection, "RangeTo", "")))};
}

void storeFitRange(platform::SettingsStore& store, float from, float to) {
  store.setString(kFittingSection, "RangeFrom", generalText(from));
  store.setString(kFittingSection, "RangeTo", generalText(to));
  store.setInt(kFittingSection, "RangeSet", 1);
}

std::optional<int> readDefaultFunction(const platform::SettingsStore& store) {
  const int index = store.getInt(kFittingSection, "DefaultFunction", 1);
  // A hand-edited or foreign file may name a function this library does not have.
  if (index < 0 || static_cast<std::size_t>(index) >= fitting::FitFunx().size()) return std::nullopt;
  return index;
}

std::optional<std::vector<double>> readStartValues(const platform::SettingsStore& store, int count) {
  if (count < 0 || store.getInt(kFittingSection, "NumParams", -1) != count) return std::nullopt;
  std::vector<double> values;
  for (int j = 0; j < count; ++j) values.push_back(atofText(store.getString(kFittingSection, std::to_string(j), "")));
  return values;
}

void storeFitFunction(platform::SettingsStore& store, int index, const fitting::FitFunction& function,
                      const std::vector<double>& values) {
  store.setInt(kFittingSection, "DefaultFunction", index);
  store.setString(kFittingSection, "Equation", function.equation);
  store.setInt(kFittingSection, "NumParams", function.count);
  for (std::size_t j = 0; j < values.size(); ++j) store.setString(kFittingSection, std::to_string(j), fixedText(values[j]));
}

}  // namespace lumatix::app
