#pragma once
// The names other programs use for the quantities of a store, and back.

#include <string>

namespace lumatix::datastore {

// "CircularDichroism" -> "CD", "Wavelength" -> "Wavelength (nm)", "Absorbance" ->
// "Rel.Absorbance", "Fluorescence" -> "Emission", "Time" -> "Time (seconds)"; any other
// name unchanged.
std::string externalNameForWriting(const std::string& name);

// "CD" -> "CircularDichroism", "Rel.Absorbance" -> "Absorbance", "Emission" ->
// "Fluorescence", "Wavelength (nm)" -> "Wavelength"; any other name unchanged.
std::string internalNameForReading(const std::string& name);

}  // namespace lumatix::datastore
