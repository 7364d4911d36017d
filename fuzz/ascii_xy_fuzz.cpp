// Any bytes given to the plain ASCII reader either fail (stream state or exception, with a
// reason) or make a store that survives a LumatixStore write and read.

#include <cstdint>
#include <sstream>
#include <string>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "refusal_check.h"
#include "text_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumatix::datastore::DataStore store(true);
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  if (!lumatix::fuzz::readOrRequireReason([&] {
        lumatix::datastore::readAsciiXY(store, in);
        return !in.fail();
      }))
    return 0;
  lumatix::fuzz::checkLumatixStoreRoundTrip(store);
  return 0;
}
