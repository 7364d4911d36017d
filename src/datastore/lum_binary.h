#pragma once
// The program's own binary files: LumBinaryX (".dsx": attributes, view, structured history
// and a checksum) and the older LumBinary (".dsb").

#include <cstdint>
#include <istream>
#include <ostream>

namespace lumatix::datastore {

class DataStore;

// The largest value count of one dimension and the largest value block, in bytes.
inline constexpr std::uint32_t kMaxBinaryValues = 268435456;
inline constexpr std::uint32_t kMaxBinaryBlockBytes = 268435456;

// Writes the store; removes "-arb" from its dimension names, sets formatName and saved.
// Throws "Datastore not valid" for a store that was never initialised, and refuses, before
// writing anything, a store whose file could not be read back.
std::ostream& writeLumBinaryX(DataStore& store, std::ostream& out, bool headerOnly);

// Every fault throws "The file is corrupt.\n" (or "This file is corrupt" at the history).
void readLumBinaryX(DataStore& store, std::istream& in, bool headerOnly);

// Writes the older format; changes neither formatName nor saved.
std::ostream& writeLumBinary(DataStore& store, std::ostream& out, bool headerOnly);

// Most faults set the stream's fail state; a string cut off by the end of the file throws
// "The file is corrupt.\n".
void readLumBinary(DataStore& store, std::istream& in, bool headerOnly);

}  // namespace lumatix::datastore
