// Any bytes given to the QVL-ASCII reader either fail, saying why, or make a store whose
// trace writes as QVL-ASCII and reads back with the same number of points, and which
// survives LumatixStore.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "datastore/data_store.h"
#include "datastore/qvl_ascii.h"
#include "refusal_check.h"
#include "text_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumatix::datastore;
  DataStore store(true);
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  if (!lumatix::fuzz::readOrRequireReason([&] {
        readQvlAscii(store, in);
        return !in.fail();
      }))
    return 0;

  std::ostringstream out;
  writeQvlAscii(store, out, 0);
  DataStore again(true);
  std::istringstream back(out.str());
  readQvlAscii(again, back);
  if (back.fail() || again.dimensions.size() < 1 || again.dimensions[0].size() != store.dimensions[0].size())
    std::abort();
  lumatix::fuzz::checkLumatixStoreRoundTrip(store);
  return 0;
}
