#include "datastore/external_names.h"

namespace lumatix::datastore {

std::string externalNameForWriting(const std::string& name) {
  if (name == "CircularDichroism") return "CD";
  if (name == "Wavelength") return "Wavelength (nm)";
  if (name == "Absorbance") return "Rel.Absorbance";
  if (name == "Fluorescence") return "Emission";
  if (name == "Time") return "Time (seconds)";
  return name;
}

std::string internalNameForReading(const std::string& name) {
  if (name == "CD") return "CircularDichroism";
  if (name == "Rel.Absorbance") return "Absorbance";
  if (name == "Emission") return "Fluorescence";
  if (name == "Wavelength (nm)") return "Wavelength";
  return name;
}

}  // namespace lumatix::datastore
