// Any bytes given to the reader of the spectrometers' text export either fail (stream
// state, with a reason) or make a store that survives a LumatixStore write and read.

#include <cstdint>

#include "datastore/import_text.h"
#include "parts_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumatix::fuzz::checkEveryPart(data, size, [](auto& store, auto& in, std::size_t part) {
    return lumatix::datastore::readSpectrometerTextPart(store, in, part);
  });
  return 0;
}
