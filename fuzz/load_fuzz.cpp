// Any file given to DataStore::load (Cary files allowed) either is refused (false or an
// exception, with a reason) or makes a store that survives a LumatixStore write and read.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "datastore/data_store.h"
#include "refusal_check.h"
#include "text_round_trip.h"

namespace {

const std::string& scratchPath() {
  static const std::string path = "/tmp/lumatix-load-fuzz-" + std::to_string(getpid());
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(scratchPath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  lumatix::datastore::DataStore store(true);
  store.allowCary = true;
  const bool loaded = lumatix::fuzz::readOrRequireReason([&] { return store.load(scratchPath(), false); });
  std::remove(scratchPath().c_str());
  if (loaded && store.data.count > 0) lumatix::fuzz::checkLumatixStoreRoundTrip(store);
  return 0;
}
