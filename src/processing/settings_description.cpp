#include "processing/settings_description.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "datastore/dimension.h"

namespace lumatix::processing {
namespace {

bool has(const std::string& text, const char* flag) { return text.find(flag) != std::string::npos; }

// The number right after flag, or fallback when the flag does not occur.
double numberAfter(const std::string& text, const std::string& flag, double fallback) {
  const auto at = text.find(flag);
  if (at == std::string::npos) return fallback;
  return std::strtod(text.c_str() + at + flag.size(), nullptr);
}

long integerAfter(const std::string& text, const std::string& flag, long fallback) {
  const auto at = text.find(flag);
  if (at == std::string::npos) return fallback;
  return std::strtol(text.c_str() + at + flag.size(), nullptr, 10);
}

// An empty dimension has no first or last value; it describes as if they were 0.
float valueAt(const datastore::Dimension& d, std::int32_t i) {
  return i >= 0 && i < d.size() ? d.values[i] : 0.0f;
}

void describeTime(std::ostream& out, const datastore::Dimension& d) {
  const std::int32_t n = d.size();
  const std::string& options = d.name;
  out << n << " time point" << (n > 1 ? "s" : "") << " over " << valueAt(d, n - 1) << "s";
  out << (has(options, "-log") ? ",logarithmic" : ",linear");
  out << (has(options, "-ovs") ? ",oversampled" : ",not oversampled");
  if (has(options, "-trigger")) {
    out << ",external trigger"
        << (has(options, "-ptd") ? ",pressure hold in operation"
                                 : ",pressure hold off (pressure released immediately)");
  } else if (has(options, "-pretrigger")) {
    out << ",with pre-trigger";
  } else if (has(options, "-remotetrigger")) {
    out << ",remote trigger";
  }
}

void describeWavelength(std::ostream& out, const datastore::Dimension& d) {
  const std::int32_t n = d.size();
  const std::string& options = d.name;
  if (n == 1) {
    out << "Wavelength: " << valueAt(d, 0) << "nm";
  } else if (n > 1) {
    const float first = valueAt(d, 0), last = valueAt(d, n - 1);
    const float lo = std::min(first, last), hi = std::max(first, last);
    const double step = std::floor(std::fabs(static_cast<double>(valueAt(d, 1)) - first) * 10.0 + 0.5) / 10.0;
    int mode = 0;
    double fixed = 0.0;
    if (has(options, "-emmono")) {
      mode = 1;
      fixed = numberAfter(options, "-excitation ", 0.0);
    } else if (has(options, "-exmono")) {
      mode = 2;
      fixed = numberAfter(options, "-emission ", 0.0);
    }
    out << "Wavelength";
    if (mode == 1) out << " (Emission Scanning) Range";
    if (mode == 2) out << " (Excitation Scanning) Range";
    out << ": " << lo << "nm - " << hi << "nm" << "," << " Step Size: " << step << "nm";
    if (mode == 1) out << ",Excitation Wavelength: " << fixed << " nm";
    if (mode == 2) out << ",Emission Wavelength: " << fixed << " nm";
  }
  if (has(options, "-pda256"))
    out << ", using 256 element photodiode array";
  else if (has(options, "-pda512"))
    out << ", using 512 element photodiode array";
  else if (has(options, "-pda1024"))
    out << ", using 1024 element photodiode array";
  else if (has(options, "-pda"))
    out << ", using photodiode array";

  const double entrance = numberAfter(options, "-en ", -1.0);
  const double exit = numberAfter(options, "-ex ", -1.0);
  if (entrance >= 0.0) {
    if (std::floor(entrance * 10.0 + 0.5) == std::floor(exit * 10.0 + 0.5)) {
      out << ",Bandwidth: " << entrance << "nm";
      return;
    }
    out << ",Bandwidth (entrance slit): " << entrance << "nm";
  }
  if (exit > 0.0) out << ",Bandwidth (exit slit): " << exit << "nm";
}

void describeTemperature(std::ostream& out, const datastore::Dimension& d) {
  const std::int32_t n = d.size();
  if (n == 1) {
    out << "temperature is: " << valueAt(d, 0);
  } else if (n > 1) {
    const float first = valueAt(d, 0), last = valueAt(d, n - 1);
    out << n << " temperatures, from " << std::min(first, last) << " to " << std::max(first, last)
        << "degrees Celsius";
  }
  if (has(d.name, "-ramp "))
    out << "  in smooth ramp mode at ramp-rate of " << numberAfter(d.name, "-ramp ", 0.0) << "degrees C per min.";
  else
    out << " in stepped ramp mode.";
}

void describeCount(std::ostream& out, const std::string& text) {
  if (has(text, "-adaptive ") || has(text, "-auto ")) out << "Adaptive: enabled,";
  const long current = integerAfter(text, "-current ", 0);
  double period = 0.0;
  if (has(text, "-sampleperiod ")) period = static_cast<double>(integerAfter(text, "-sampleperiod ", 0)) / 10.0;
  if (period != 0.0 && current != 0)
    out << "Time-per-point: " << period * static_cast<double>(current) / 1000000.0 << "s (" << period << "us x "
        << current << "),";
  if (has(text, "-ntca")) out << "Noise-Time Correlation Analysis: enabled" << ",";
}

}  // namespace

std::string FirstWord(const std::string& text) { return text.substr(0, text.find(' ')); }

std::string DescribeDimension(const datastore::Dimension& dimension) {
  std::ostringstream out;
  const std::string word = FirstWord(dimension.name);
  if (word == "Time") {
    describeTime(out, dimension);
  } else if (word == "Wavelength") {
    describeWavelength(out, dimension);
  } else if (word == "Cell" || word == "Repeat") {
    out << dimension.size() << (word == "Cell" ? " cells in set." : " repeats in set.");
    if (has(dimension.name, "-iter")) out << ", -iter option selected";
  } else if (word == "Temperature") {
    describeTemperature(out, dimension);
  } else {
    out << word;
  }
  return out.str();
}

std::string DescribeProperty(const std::string& property) {
  std::ostringstream out;
  const std::string word = FirstWord(property);
  if (word == "Absorbance") {
    if (has(property, "-cd")) out << "using CD detector ";
    if (has(property, "-dual")) out << "reference beam in operation ";
  } else if (word == "Fluorescence") {
    if (has(property, "-cd")) out << "using CD detector ";
    if (has(property, "-abs")) out << "using Absorbance detector ";
    if (has(property, "-dual")) out << "dual channel fluorescence ";
  } else if (word == "FluoPolarisation") {
    out << (has(property, "-Ani") ? "Anisotropy units " : "Polarisation units ");
  } else if (word == "CircularDichroism" || word == "LinearDichroism" || word == "OpticalRotation") {
  } else if (word == "Count") {
    describeCount(out, property);
  } else if (word == "HT" || word == "HV" || word == "Voltage") {
    if (has(property, "-autopm")) out << "AutoPM: enabled";
  } else if (word == "Temperature") {
    if (has(property, "-sensor "))
      out << "measured with sensor number: " << numberAfter(property, "-sensor ", 0.0);
  } else {
    out << word;
  }
  return out.str();
}

}  // namespace lumatix::processing
