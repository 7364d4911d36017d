#include "datastore/quantity_names.h"

#include <algorithm>
#include <initializer_list>

namespace lumatix::datastore {
namespace {

// Upper case, degree and micro signs dropped or spelled, blanks collapsed and trimmed.
std::string normalised(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == 0xC2 && i + 1 < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + 1]);
      if (next == 0xB0 || next == 0xBA) {  // degree sign, masculine ordinal
        ++i;
        continue;
      }
      if (next == 0xB5) {  // micro sign
        out.push_back('U');
        ++i;
        continue;
      }
    }
    if (byte == 0xCE && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBC) {  // Greek mu
      out.push_back('U');
      ++i;
      continue;
    }
    char ch = text[i];
    if (ch == '\t' || ch == '_') ch = ' ';
    if (ch == ' ' && (out.empty() || out.back() == ' ')) continue;
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    out.push_back(ch);
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

bool isOneOf(const std::string& text, std::initializer_list<const char*> words) {
  return std::any_of(words.begin(), words.end(), [&](const char* w) { return text == w; });
}

bool startsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// "CD [MDEG]" gives "CD" and "MDEG"; "TIME/S" gives "TIME" and "S"; a bare word is all name.
void split(const std::string& text, std::string& name, std::string& unit) {
  const auto open = text.find_first_of("([");
  if (open != std::string::npos && open > 0) {
    const auto close = text.find_first_of(")]", open);
    name = trimmed(std::string_view(text).substr(0, open));
    unit = trimmed(std::string_view(text).substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1));
    return;
  }
  const auto slash = text.find('/');
  if (slash != std::string::npos && slash > 1 && text.size() - slash <= 6) {
    name = trimmed(std::string_view(text).substr(0, slash));
    unit = trimmed(std::string_view(text).substr(slash + 1));
    return;
  }
  name = text;
  unit.clear();
}

bool isWavenumberUnit(const std::string& u) { return isOneOf(u, {"1/CM", "CM-1", "CM^-1", "CM**-1", "CM -1", "1 /CM"}); }
bool isMicrometres(const std::string& u) { return isOneOf(u, {"MICROMETERS", "MICROMETRES", "MICRONS", "UM", "MICROMETER"}); }

Quantity known(std::string name, double scale = 1.0) { return Quantity{std::move(name), scale, true}; }

}  // namespace

Quantity quantityOf(std::string_view text) {
  const std::string whole = normalised(text);
  Quantity unknown{trimmed(text), 1.0, false};
  if (whole.empty()) return unknown;
  std::string name, unit;
  split(whole, name, unit);

  // Abscissae.
  if (isWavenumberUnit(whole) || isWavenumberUnit(unit) || startsWith(name, "WAVENUMBER")) return known("Wavenumber (cm-1)");
  if (isOneOf(whole, {"NANOMETERS", "NANOMETRES", "NANOMETER", "NM"}) || startsWith(name, "WAVELENGTH") ||
      isOneOf(name, {"WL", "LAMBDA"})) {
    if (isMicrometres(unit)) return known("Wavelength", 1000.0);
    return known("Wavelength");
  }
  if (isMicrometres(whole)) return known("Wavelength", 1000.0);
  if (isOneOf(whole, {"SECONDS", "SECOND", "SEC"})) return known("Time");
  if (isOneOf(whole, {"MINUTES", "MIN"})) return known("Time (min)");
  if (isOneOf(whole, {"MILLISECONDS", "MSEC", "MS"})) return known("Time", 0.001);
  if (startsWith(name, "TIME")) {
    if (isOneOf(unit, {"MIN", "MINUTES"})) return known("Time (min)");
    if (isOneOf(unit, {"MS", "MSEC", "MILLISECONDS"})) return known("Time", 0.001);
    return known("Time");
  }
  if (startsWith(name, "TEMP") || isOneOf(whole, {"DEGREES C", "DEG C", "CELSIUS", "DEGREES CELSIUS"})) {
    if (isOneOf(unit, {"K", "KELVIN"})) return known("Temperature (K)");
    return known("Temperature");
  }
  if (whole == "KELVIN") return known("Temperature (K)");
  if (isOneOf(whole, {"HZ", "HERTZ"})) return known("Frequency (Hz)");
  if (whole == "PPM") return known("Shift (ppm)");
  if (whole == "M/Z") return known("m/z");

  // Ordinates.
  if (startsWith(name, "CD") || startsWith(name, "CIRCULAR DICHROISM") || contains(name, "ELLIPTICITY") ||
      isOneOf(whole, {"MDEG", "MILLIDEGREES", "MILLIDEG"}) || startsWith(whole, "DELTA A") ||
      startsWith(whole, "DELTA EPSILON")) {
    const std::string what = unit.empty() ? whole : unit;
    if (contains(whole, "MEAN RESIDUE")) return known("CircularDichroism -mre");
    if (contains(what, "DELTA A")) return known("CircularDichroism -deltaa");
    if (contains(what, "DELTA EPSILON") || contains(what, "M-1 CM-1") || contains(what, "M-1CM-1"))
      return known("CircularDichroism -mcd");
    if (contains(whole, "MOLAR ELLIPTICITY") || contains(what, "DMOL")) return known("CircularDichroism -me");
    return known("CircularDichroism");
  }
  if (isOneOf(name, {"HT", "HV", "DYNODE", "HT VOLTAGE", "HIGH TENSION"})) return known("HV");
  if (isOneOf(whole, {"VOLTS", "VOLT"})) return known("Voltage");
  if (startsWith(name, "ABSORB") || isOneOf(name, {"ABS", "ABS.", "AU", "OD"})) return known("Absorbance");
  if (startsWith(whole, "%T") || startsWith(whole, "T%") || contains(whole, "PERCENT TRANSMI") ||
      (startsWith(name, "TRANSMI") && unit == "%"))
    return known("Transmittance (%)");
  if (startsWith(name, "TRANSMI")) return known("Transmittance");
  if (startsWith(name, "REFLECTANCE")) return known("Reflectance");
  if (startsWith(name, "FLUORESCENCE") || startsWith(name, "EMISSION")) return known("Fluorescence");
  if (name == "LD" || startsWith(name, "LINEAR DICHROISM")) return known("LinearDichroism");
  return unknown;
}

}  // namespace lumatix::datastore
