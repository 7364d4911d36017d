// Any bytes given to the columns reader either are not taken for columns (nothing read,
// nothing said), fail with a reason, or make stores that survive a LumatixStore write and
// read.

#include <cstdint>

#include "datastore/import_text.h"
#include "parts_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumatix::fuzz::checkEveryPart(data, size, [](auto& store, auto& in, std::size_t part) {
    const auto read = lumatix::datastore::readColumnsPart(store, in, part);
    return read.columns ? read.parts : std::size_t{0};
  });
  return 0;
}
