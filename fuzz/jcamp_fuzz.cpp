// Any bytes given to the JCAMP-DX reader either fail (stream state, with a reason) or make
// stores, one per set of spectra over one x, that survive a LumatixStore write and read.

#include <cstdint>

#include "datastore/import_text.h"
#include "parts_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumatix::fuzz::checkEveryPart(data, size, [](auto& store, auto& in, std::size_t part) {
    return lumatix::datastore::readJcampPart(store, in, part);
  });
  return 0;
}
