#pragma once
// The program's own dimension and property names for the unit words other programs write
// (JCAMP-DX XUNITS and YUNITS, the unit lines of spectrometer text exports): "NANOMETERS"
// is a "Wavelength", "1/CM" a "Wavenumber (1/cm)", "SECONDS" a "Time", "ABSORBANCE" the
// "Absorbance" property, "CD [mdeg]" the "CircularDichroism" property.

#include <string>
#include <string_view>

namespace lumatix::datastore {

// The dimension name for an x unit word; empty when the word names no quantity the program
// knows (ARBITRARY UNITS, an empty word, an unknown word).
std::string dimensionNameForUnits(std::string_view units);

// The property name for a y unit word, likewise.
std::string propertyNameForUnits(std::string_view units);

// The program's name for a quantity word of a file ("TEMPERATURE", "Time"), for the value
// that tells traces apart: known words get the program's spelling, others their first
// letter in upper case and the rest in lower case.
std::string quantityName(std::string_view word);

}  // namespace lumatix::datastore
