#pragma once

// The control panel as the simulator plays it: a list of acquisitions (stores read from files)
// served through the six procedures, with the knobs that make a test's or a demonstration's
// acquisition (block sizes and pace, an abort, a vanishing or silent server, replies that break
// the protocol). The core knows no transport; ControlPanelServer serves it over gRPC.
//
// Acquisition k: event 0 is signalled while it waits and no session is open; OpenSession opens
// it; the first header is the store's header-only LumBinaryX stream in headerBlocks blocks, the
// data are its values as records in value-layout order, event 2 is signalled once the last
// data block was taken, and a store with a "Temperature" dimension then gives its whole
// LumBinaryX file as the second header. Closing the session moves on to acquisition k + 1.
//
// Threading: every call may come from any thread; waits block on a condition variable and end
// at shutdown().

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "link/control_panel_client.h"

namespace instrument_link {

struct PlayItem {
  std::string name;  // the acquisition name sent
  lumatix::datastore::DataStore store;
};

struct SimulatorOptions {
  int repeat = 1;                // plays of the whole list
  std::uint32_t recordsPerBlock = 0;  // 0: as many as a block holds
  int blockIntervalMs = 0;       // the pace of the data blocks
  int headerBlocks = 1;          // the first header split into this many status-2/1 blocks
  int abortAfter = -1;           // data blocks of each acquisition before it is aborted
  int dropAfter = -1;            // data blocks served in all before the server vanishes
  int hangAfter = -1;            // data blocks served in all before every call hangs
  // Faults in the replies, for the link's tests.
  bool wrongCount = false;       // data blocks say one byte more than they hold
  bool recordOverflow = false;   // data blocks claim 2^31 records
  bool longSession = false;      // a session of 21 bytes
  bool forgetSession = false;    // the session is unknown to the data phase
  bool endlessHeader = false;    // the first header never ends (full status-2 blocks)
};

// Refusal of a call, as the transport should answer it (a gRPC status in the server).
struct CallRefused {
  enum class Why { UnknownSession, ShutDown } why;
};

class SimulatorCore {
 public:
  SimulatorCore(std::vector<PlayItem> plays, SimulatorOptions options);
  ~SimulatorCore();

  OpenSessionResult openSession();
  NameResult getAcquisitionName(const std::string& session, std::int32_t length);
  bool waitForServerEvent(std::uint32_t event, std::int32_t timeoutMs);
  BlockResult getHeaderBlock(const std::string& session, bool firstHeader);
  BlockResult getDataBlock(const std::string& session);
  bool closeSession(const std::string& session);

  // Ends every wait; later calls throw CallRefused{ShutDown}.
  void shutdown();
  // Called (once, outside the lock) when dropAfter is reached: the server is to vanish.
  void onDrop(std::function<void()> drop) { onDrop_ = std::move(drop); }

  int acquisitionsClosed() const;
  int totalAcquisitions() const;
  // One line per call answered ("GetDataBlock status=0 count=24576 records=3072").
  void onCall(std::function<void(const std::string&)> log) { log_ = std::move(log); }

 private:
  struct Current;
  void requireSession(const std::string& session, bool dataPhase) const;
  void hangIfSilent(std::unique_lock<std::mutex>& lock);
  void log(const std::string& line) const;
  bool eventSignalled(std::uint32_t event) const;
  void prepare();

  std::vector<PlayItem> plays_;
  SimulatorOptions options_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::unique_ptr<Current> current_;  // the acquisition being served or waiting
  int next_ = 0;                      // index of the next acquisition over repeat * plays
  int closed_ = 0;
  int blocksServed_ = 0;
  bool shutDown_ = false;
  bool dropped_ = false;
  std::function<void()> onDrop_;
  std::function<void(const std::string&)> log_;
};

// The LumBinaryX bytes of a store: header only, or the whole file.
std::string lumBinaryXBytes(const lumatix::datastore::DataStore& store, bool headerOnly);

}  // namespace instrument_link
