#pragma once
// The two QVL text formats of the instrument family's older software: QVL-ASCII (".kin",
// one trace) and QVL-ASCII-SPECTRAKINETIC (".glb", spectra against time). Quantity names
// are translated by the external-name mapping in both directions.

#include <cstdint>
#include <istream>
#include <ostream>

namespace lumatix::datastore {

class DataStore;

// Reads a QVL-ASCII file from its first byte into an empty store: one dimension when x is
// a wavelength, else a second dimension "Wavelength" holding the file's wavelength. A file
// that cannot be read leaves the store empty and the stream failed.
void readQvlAscii(DataStore& store, std::istream& in);

// Writes the trace along the given dimension of the current property (other dimensions at
// their current index), x ascending. Throws "Datastore not valid" for a dimension the
// store does not have, and "Index out-of-range in DPointer::operator[]" for a store whose
// value block does not match its dimensions.
std::ostream& writeQvlAscii(DataStore& store, std::ostream& out, std::int32_t dimension);

// Reads a QVL-ASCII-SPECTRAKINETIC file from its first byte: dimension 0 "Wavelength",
// dimension 1 "Time", one property. Throws "The file is corrupt.\n" for any fault.
void readQvlSpectraKinetic(DataStore& store, std::istream& in);

// Throws "Cannot export this file to spectrakinetic format" unless the store has a time
// dimension and a wavelength dimension of at least two values. Writes the first property
// whose short name is not "Count" (it becomes the current property) and sets formatName.
std::ostream& writeQvlSpectraKinetic(DataStore& store, std::ostream& out);

}  // namespace lumatix::datastore
