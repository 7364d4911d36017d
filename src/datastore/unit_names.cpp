#include "datastore/unit_names.h"

#include <cctype>
#include <vector>

namespace lumatix::datastore {
namespace {

// Upper case, with blanks, "-", "_", ".", brackets and a leading "%" sign kept apart from
// letters: "Abs." and "ABS" compare alike, "cm-1" and "1/CM" do not (see the tables).
std::string key(std::string_view text) {
  std::string out;
  for (char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (ch == ' ' || ch == '\t' || ch == '_' || ch == '.' || ch == '\r') continue;
    out.push_back(static_cast<char>(std::toupper(byte)));
  }
  return out;
}

struct Name {
  const char* unitKey;
  const char* name;
};

// Units the x axis of a spectrum or a kinetic trace is given in.
const std::vector<Name>& xNames() {
  static const std::vector<Name> names{
      {"NANOMETERS", "Wavelength"},
      {"NANOMETER", "Wavelength"},
      {"NM", "Wavelength"},
      {"WAVELENGTH[NM]", "Wavelength"},
      {"WAVELENGTH(NM)", "Wavelength"},
      {"WAVELENGTH", "Wavelength"},
      {"MICROMETERS", "Wavelength (micrometers)"},
      {"MICRONS", "Wavelength (micrometers)"},
      {"UM", "Wavelength (micrometers)"},
      {"1/CM", "Wavenumber (1/cm)"},
      {"CM-1", "Wavenumber (1/cm)"},
      {"CM^-1", "Wavenumber (1/cm)"},
      {"WAVENUMBERS", "Wavenumber (1/cm)"},
      {"WAVENUMBER[CM-1]", "Wavenumber (1/cm)"},
      {"SECONDS", "Time"},
      {"SECOND", "Time"},
      {"SEC", "Time"},
      {"S", "Time"},
      {"TIME[S]", "Time"},
      {"TIME(S)", "Time"},
      {"TIME[SEC]", "Time"},
      {"MINUTES", "Time (minutes)"},
      {"MIN", "Time (minutes)"},
      {"TIME[MIN]", "Time (minutes)"},
      {"MILLISECONDS", "Time (milliseconds)"},
      {"MS", "Time (milliseconds)"},
      {"HZ", "Frequency (Hz)"},
      {"PPM", "Chemical shift (ppm)"},
      {"M/Z", "m/z"},
      {"CELSIUS", "Temperature"},
      {"DEGREESC", "Temperature"},
      {"DEGC", "Temperature"},
      {"°C", "Temperature"},
      {"C", "Temperature"},
      {"TEMPERATURE[C]", "Temperature"},
      {"TEMPERATURE[°C]", "Temperature"},
      {"TEMPERATURE(C)", "Temperature"},
      {"TEMPERATURE", "Temperature"},
      {"KELVIN", "Temperature (K)"},
      {"K", "Temperature (K)"},
  };
  return names;
}

// Units of measured values.
const std::vector<Name>& yNames() {
  static const std::vector<Name> names{
      {"ABSORBANCE", "Absorbance"},
      {"ABS", "Absorbance"},
      {"A", "Absorbance"},
      {"AU", "Absorbance"},
      {"ABSORBANCE[AU]", "Absorbance"},
      {"ABS[AU]", "Absorbance"},
      {"TRANSMITTANCE", "Transmittance"},
      {"%T", "Transmittance (%)"},
      {"PERCENTTRANSMITTANCE", "Transmittance (%)"},
      {"%TRANSMITTANCE", "Transmittance (%)"},
      {"REFLECTANCE", "Reflectance"},
      {"%R", "Reflectance (%)"},
      {"KUBELKA-MUNK", "Kubelka-Munk"},
      {"MDEG", "CircularDichroism"},
      {"MILLIDEGREES", "CircularDichroism"},
      {"CD[MDEG]", "CircularDichroism"},
      {"CD(MDEG)", "CircularDichroism"},
      {"CD", "CircularDichroism"},
      {"HT[V]", "HV"},
      {"HT(V)", "HV"},
      {"HT", "HV"},
      {"HV", "HV"},
      {"HV[V]", "HV"},
      {"VOLTS", "Voltage"},
      {"V", "Voltage"},
      {"COUNTS", "Counts"},
      {"INTENSITY", "Intensity"},
      {"FLUORESCENCE", "Fluorescence"},
      {"LD[DELTAOD]", "LinearDichroism"},
      {"LD", "LinearDichroism"},
      {"DELTAA", "CircularDichroism -deltaa"},
      {"MOLARELLIPTICITY", "CircularDichroism -me"},
  };
  return names;
}

std::string lookUp(const std::vector<Name>& names, std::string_view units) {
  const std::string k = key(units);
  for (const Name& n : names)
    if (k == n.unitKey) return n.name;
  return {};
}

}  // namespace

std::string dimensionNameForUnits(std::string_view units) { return lookUp(xNames(), units); }

std::string propertyNameForUnits(std::string_view units) { return lookUp(yNames(), units); }

std::string quantityName(std::string_view word) {
  const std::string known = lookUp(xNames(), word);
  if (!known.empty() && known.find(' ') == std::string::npos) return known;
  std::string out;
  for (char ch : word) {
    const auto byte = static_cast<unsigned char>(ch);
    out.push_back(static_cast<char>(out.empty() ? std::toupper(byte) : std::tolower(byte)));
  }
  return out;
}

}  // namespace lumatix::datastore
