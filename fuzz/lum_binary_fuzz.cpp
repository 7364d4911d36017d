// Any bytes given to the LumBinary reader either fail (stream state or exception) or make a
// store whose values and names write and read back unchanged.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "datastore/data_store.h"
#include "datastore/lum_binary.h"

using lumatix::datastore::DataStore;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  DataStore store(true);
  try {
    std::istringstream in(bytes);
    lumatix::datastore::readLumBinary(store, in, false);
    if (in.fail()) return 0;
  } catch (const std::exception&) {
    return 0;
  }
  std::ostringstream out;
  lumatix::datastore::writeLumBinary(store, out, false);
  DataStore again(true);
  std::istringstream back(out.str());
  lumatix::datastore::readLumBinary(again, back, false);
  if (back.fail() || again.title != store.title || again.properties != store.properties ||
      again.data.count != store.data.count ||
      (store.data.count && std::memcmp(again.data.data, store.data.data, 4 * std::size_t(store.data.count)) != 0))
    std::abort();
  return 0;
}
