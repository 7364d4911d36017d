// Any bytes given to the Cary reader either fail (stream state or exception, with a reason)
// or make stores, one per set of samples over one x, that survive a LumatixStore write and
// read.

#include <cstdint>

#include "datastore/import_text.h"
#include "parts_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumatix::fuzz::checkEveryPart(data, size, [](auto& store, auto& in, std::size_t part) {
    return lumatix::datastore::readCaryPart(store, in, part);
  });
  return 0;
}
