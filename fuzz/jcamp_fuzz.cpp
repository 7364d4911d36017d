// Any bytes given to the JCAMP-DX reader either fail (stream state or exception) or make a
// store that survives a LumatixStore write and read.

#include <cstdint>
#include <sstream>
#include <string>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "text_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumatix::datastore::DataStore store(true);
  try {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    lumatix::datastore::readJcamp(store, in);
    if (in.fail()) return 0;
  } catch (const std::exception&) {
    return 0;
  }
  lumatix::fuzz::checkLumatixStoreRoundTrip(store);
  return 0;
}
