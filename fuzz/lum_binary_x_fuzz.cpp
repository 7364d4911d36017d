// Any bytes given to the LumBinaryX reader either fail with an exception or make a store
// that writes and reads back to the same content.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "datastore/data_store.h"
#include "datastore/diagnostics.h"
#include "datastore/lum_binary.h"

using lumatix::datastore::DataStore;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::ostringstream quiet;
  lumatix::datastore::setDiagnostics(&quiet);
  quiet.str({});
  std::string bytes(reinterpret_cast<const char*>(data), size);
  for (bool headerOnly : {false, true}) {
    DataStore store(true);
    try {
      std::istringstream in(bytes);
      lumatix::datastore::readLumBinaryX(store, in, headerOnly);
    } catch (const std::exception&) {
      continue;
    }
    if (headerOnly) continue;
    std::ostringstream out;
    try {
      lumatix::datastore::writeLumBinaryX(store, out, false);
    } catch (const std::exception&) {
      continue;  // a store the format cannot hold is refused before anything is written
    }
    DataStore again(true);
    std::istringstream back(out.str());
    lumatix::datastore::readLumBinaryX(again, back, false);  // must not throw
    if (again.title != store.title || again.data.count != store.data.count || again.history != store.history ||
        again.attributes != store.attributes || again.remarks != store.remarks)
      std::abort();
  }
  return 0;
}
