// Any bytes given to the event-log file reader either throw the corrupt-log error or give
// records that, written again, read back the same.

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/event_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<lumatix::platform::EventRecord> records;
  try {
    records = lumatix::platform::parseEventLog(bytes, "fuzz");
  } catch (const std::runtime_error&) {
    return 0;
  }
  std::string again;
  for (const auto& r : records) again += lumatix::platform::formatEventRecord(r);
  if (lumatix::platform::parseEventLog(again, "again") != records) std::abort();
  return 0;
}
