#pragma once

// The six procedures the link calls on the control panel, independent of the transport.

#include <cstdint>
#include <string>

namespace instrument_link {

struct OpenSessionResult {
  bool opened = false;
  std::string session;  // at most 20 bytes
};

struct NameResult {
  std::string buffer;
  int32_t length = 0;  // <= 0: no name
};

struct BlockResult {
  int32_t status = 0;
  std::string buffer;
  uint32_t count = 0;
  uint32_t recordCount = 0;  // data blocks only
};

class ControlPanelClient {
 public:
  virtual ~ControlPanelClient() = default;
  virtual OpenSessionResult openSession() = 0;
  virtual NameResult getAcquisitionName(const std::string& session, int32_t length) = 0;
  virtual bool waitForServerEvent(uint32_t event, int32_t timeoutMs) = 0;
  virtual BlockResult getHeaderBlock(const std::string& session, bool firstHeader) = 0;
  virtual BlockResult getDataBlock(const std::string& session) = 0;
  virtual bool closeSession(const std::string& session) = 0;
  // Ends the call in flight and every later one, from any thread.
  virtual void cancel() = 0;
};

}  // namespace instrument_link
