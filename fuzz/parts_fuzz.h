#pragma once
// The check of the readers of files that may hold several stores: every store the reader
// says the file holds is read (the first few of them), each refused with a reason or
// surviving a LumatixStore write and read; a store beyond the count is never filled.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "datastore/data_store.h"
#include "refusal_check.h"
#include "text_round_trip.h"

namespace lumatix::fuzz {

// Reads parts with read(store, stream, part) -> the number of stores.
template <class Read>
void checkEveryPart(const std::uint8_t* data, std::size_t size, Read read) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::size_t parts = 1;
  for (std::size_t part = 0; part < parts && part < 4; ++part) {
    datastore::DataStore store(true);
    std::istringstream in(bytes);
    std::size_t count = 0;
    if (!readOrRequireReason([&] {
          count = read(store, in, part);
          return !in.fail();
        }))
      return;
    if (count == 0) return;  // nothing of the format
    parts = count;
    checkLumatixStoreRoundTrip(store);
  }
  // Asking for a store the file does not hold leaves the store empty.
  datastore::DataStore beyond(true);
  std::istringstream in(bytes);
  startRefusalCheck();
  try {
    read(beyond, in, parts);
  } catch (const std::exception&) {
    return;
  }
  if (beyond.data.count != 0) std::abort();
}

}  // namespace lumatix::fuzz
