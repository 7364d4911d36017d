#include "processing/axis_labels.h"

#include <array>
#include <cstdio>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace lumatix::processing {
namespace {

using Label = std::pair<std::string_view, std::string_view>;

constexpr std::array<Label, 8> kArbitraryX{{
    {"Wavelength", "Arb ( Wavelength (nm) )"},
    {"Time", "Arb ( Time (s) )"},
    {"Temperature", "Arb ( Temperature (C) )"},
    {"Concentration", "Arb ( Concentration (M) )"},
    {"Volume", "Arb ( Concentration (M) )"},
    {"Channel", "Arb ( Channel )"},
    {"Cell", "Arb ( Cell Position )"},
    {"Repeat", "Arb ( Repeat )"},
}};

// "Time (min)" must come before "Time", which it contains.
constexpr std::array<Label, 9> kMeasuredX{{
    {"Wavelength", "Wavelength (nm)"},
    {"Time (min)", "Time (min)"},
    {"Time", "Time (s)"},
    {"Temperature", "Temperature (C)"},
    {"Concentration", "Concentration (M)"},
    {"Volume", "Concentration (M)"},
    {"Channel", "Channel"},
    {"Cell", "Cell Position"},
    {"Repeat", "Repeat"},
}};

constexpr std::array<Label, 6> kTraceAxis{{
    {"Wavelength", "Wavelength (nm)"},
    {"Time", "Time (s)"},
    {"Temperature", "Temperature (C)"},
    {"Concentration", "Concentration (g/mol)"},
    {"Channel", "Channel"},
    {"Cell", "Cell Position"},
}};

template <std::size_t N>
std::string firstKeyLabel(const std::array<Label, N>& table, const std::string& name) {
  for (const auto& [key, label] : table)
    if (name.find(key) != std::string::npos) return std::string(label);
  return "default";
}

constexpr std::array<const char*, kTraceKindCount> kKindNames{
    "", "Added", "Subtracted", "Add", "Subtract", "Divide", "Multiply", "Average", "Smooth (s)", "Smooth (r)",
    "Fit (f)", "Fit (r)"};

}  // namespace

std::string xAxisLabel(const std::string& dimensionName) {
  std::string label = dimensionName.find("-arb") != std::string::npos ? firstKeyLabel(kArbitraryX, dimensionName)
                                                                       : firstKeyLabel(kMeasuredX, dimensionName);
  return label == "default" ? dimensionName : label;
}

std::string traceAxisLabel(const std::string& dimensionName) { return firstKeyLabel(kTraceAxis, dimensionName); }

const char* traceKindName(int kind) {
  if (kind < 0 || kind >= kTraceKindCount) throw std::out_of_range("Trace type is out of range.");
  return kKindNames[static_cast<std::size_t>(kind)];
}

std::string derivedTraceName(int kind, int number) {
  return std::string(traceKindName(kind)) + "::" + gNumber(number);
}

std::string coordinateName(double value) {
  char buffer[512];  // "%f" of the largest double needs 317 characters
  std::snprintf(buffer, sizeof buffer, "%f", value);
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  return text;
}

std::string gNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

}  // namespace lumatix::processing
