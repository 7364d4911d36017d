#pragma once
// CDNN: one CD spectrum as a wavelength/value list over the fixed range that
// secondary-structure estimation programs expect.

#include <string>

#include "export/reporter.h"

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::exports {

// Takes the single trace along dimension 0 of property 0. Refuses (returns false, writes
// nothing) a store with more than one trace, fewer than 51 points, a step that is not
// 0.1, 0.2, 0.5 or 1 nm from high to low wavelength, or a range that does not cover 210 to
// 260 nm; advises when the spectrum does not reach down to 190 nm. Writes the points from
// 180 to 260 nm, ascending, atomically. Throws "Sorry. Can't open <path> for writing." when
// the file cannot be made.
bool exportCDNN(const datastore::DataStore& store, const std::string& fileName, Reporter& reporter);

}  // namespace lumatix::exports
