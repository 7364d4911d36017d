// Any text given to the machine-config parser gives values where a flag is on exactly when a
// 32-bit number above zero is stored under its name.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/machine_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  auto config = lumatix::platform::MachineConfig::parse(text);
  for (const char* name : {"CFRCompliant", "CFRLocalAuthOnly"}) {
    auto value = config.dword(name);
    if (config.flag(name) != (value && *value > 0)) std::abort();
  }
  return 0;
}
