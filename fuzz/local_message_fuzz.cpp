// What a peer writes on the viewer's instance socket: any bytes name a file to open unless they
// are exactly one of the control panel's one-line messages (the name, with at most its line end).

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/local_message.h"
#include "platform/single_instance.h"

using lumatix::platform::SingleInstance;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const SingleInstance::HandOver request = SingleInstance::parse(text);
  const bool auth = lumatix::platform::isMessage(text, lumatix::platform::kControlRequestAuthMessage);
  const bool connect = lumatix::platform::isMessage(text, lumatix::platform::kControlPanelRequestConnectMessage);
  if (auth && connect) std::abort();
  if (auth != (request.request == SingleInstance::Request::ControlRequestAuth)) std::abort();
  if (connect != (request.request == SingleInstance::Request::ControlPanelRequestConnect)) std::abort();
  if (auth || connect) {
    const char* name = auth ? lumatix::platform::kControlRequestAuthMessage
                            : lumatix::platform::kControlPanelRequestConnectMessage;
    if (!request.fileName.empty() || text.compare(0, std::strlen(name), name) != 0 ||
        text.size() > std::strlen(name) + 1)
      std::abort();
  } else if (request.request != SingleInstance::Request::OpenWindow || request.fileName != text) {
    std::abort();
  }
  return 0;
}
