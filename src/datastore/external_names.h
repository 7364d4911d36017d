#pragma once
// The names the QVL-ASCII family of formats uses for the program's own type and dimension
// names ("CircularDichroism" is written as "CD", "Wavelength" as "Wavelength (nm)", ...).

#include <string>

namespace lumatix::datastore {

// The name written to a file; names without an external form are written unchanged.
std::string externalNameForWriting(const std::string& internalName);

// The internal name for a name read from a file; names without a mapping are kept (so
// "Time (seconds)" reads back unchanged).
std::string internalNameForReading(const std::string& externalName);

}  // namespace lumatix::datastore
