#include "link/link_thread.h"

#include <chrono>
#include <stdexcept>

#include "link/reply_checks.h"

namespace instrument_link {
namespace {

// A reply that breaks the protocol: the link is lost as when a call fails.
struct ProtocolFault : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void checkBlock(const BlockResult& r, const char* what) {
  if (!blockSizeValid(r.buffer, r.count))
    throw ProtocolFault(std::string("The control panel sent a ") + what + " block of " + std::to_string(r.buffer.size()) +
                        " bytes with a count of " + std::to_string(r.count) + " (at most " +
                        std::to_string(kMaxBlockBytes) + ").");
}

std::string takeName(const NameResult& r) {
  if (r.buffer.size() > kMaxNameBytes || r.length > static_cast<std::int32_t>(kMaxNameBytes) ||
      (r.length > 0 && static_cast<std::size_t>(r.length) > r.buffer.size()))
    throw ProtocolFault("The control panel sent an acquisition name of " + std::to_string(r.buffer.size()) +
                        " bytes with a length of " + std::to_string(r.length) + ".");
  if (r.length <= 0) return {};
  std::string name = r.buffer.substr(0, static_cast<std::size_t>(r.length));
  // A name that would leave the working directory (or name no file) is refused.
  return acquisitionNameSafe(name) ? name : std::string();
}

}  // namespace

const char* linkStateName(LinkState state) {
  switch (state) {
    case LinkState::Offline: return "Off-line";
    case LinkState::Waiting: return "On-line, waiting";
    case LinkState::Name: return "Acquiring: name";
    case LinkState::Header: return "Acquiring: header";
    case LinkState::Data: return "Acquiring: data";
    case LinkState::SecondHeader: return "Acquiring: second header";
    case LinkState::Ending: return "Ending";
  }
  return "";
}

LinkThread::LinkThread(CClientInfo& info, CBRegister& callbacks, ClientFactory factory)
    : info_(info), callbacks_(callbacks), factory_(std::move(factory)) {}

LinkThread::~LinkThread() { stop(); }

bool LinkThread::goOnLine(const ServerAddress& address) {
  if (running()) return false;
  if (thread_.joinable()) thread_.join();  // ended by itself; only its last steps may remain
  stop_.store(false, std::memory_order_release);
  suspended_.store(false, std::memory_order_release);
  running_.store(true, std::memory_order_release);
  setState(LinkState::Waiting);
  done_.store(0, std::memory_order_release);
  thread_ = std::thread([this, address] { run(address); });
  return true;
}

void LinkThread::stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_.store(true, std::memory_order_release);
  }
  wake_.notify_all();
  const auto grace = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopGraceMs);
  while (running() && std::chrono::steady_clock::now() < grace) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (running()) {
    std::shared_ptr<ControlPanelClient> client;
    {
      std::lock_guard lock(mutex_);
      client = client_;
    }
    if (client) client->cancel();
  }
  thread_.join();
}

std::string LinkThread::lastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

void LinkThread::holdWhileSuspended() {
  if (!suspended_.load(std::memory_order_acquire)) return;
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] {
    return stop_.load(std::memory_order_acquire) || !suspended_.load(std::memory_order_acquire);
  });
}

void LinkThread::checkStop() {
  holdWhileSuspended();
  if (stop_.load(std::memory_order_acquire)) throw Stopped{};
}

void LinkThread::suspend() {
  std::lock_guard lock(mutex_);
  suspended_.store(true, std::memory_order_release);
}

void LinkThread::resume() {
  {
    std::lock_guard lock(mutex_);
    suspended_.store(false, std::memory_order_release);
  }
  wake_.notify_all();
}

void LinkThread::pause(int ms) {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_.load(std::memory_order_acquire); });
}

void LinkThread::run(ServerAddress address) {
  bool lost = false;
  try {
    std::shared_ptr<ControlPanelClient> client(factory_(address));
    {
      std::lock_guard lock(mutex_);
      client_ = client;
    }
    loop(*client);
  } catch (const Stopped&) {
  } catch (const std::exception& e) {
    // A call cancelled by the stop request is no lost link.
    if (!stop_.load(std::memory_order_acquire)) {
      lost = true;
      std::lock_guard lock(mutex_);
      lastError_ = e.what();
    }
  }
  {
    std::lock_guard lock(mutex_);
    client_.reset();
  }
  setState(LinkState::Offline);
  running_.store(false, std::memory_order_release);
  if (lost) callbacks_.Notify(kLinkLost, 0);
}

void LinkThread::loop(ControlPanelClient& client) {
  for (;;) {
    setState(LinkState::Waiting);
    checkStop();
    if (!client.waitForServerEvent(kEventStarted, 250)) {
      std::this_thread::yield();
      continue;
    }
    checkStop();
    OpenSessionResult opened = client.openSession();
    if (!opened.opened) {
      std::this_thread::yield();
      continue;
    }
    if (!sessionValid(opened.session))
      throw ProtocolFault("The control panel sent a session of " + std::to_string(opened.session.size()) +
                          " bytes (at most " + std::to_string(kMaxSessionBytes) + ").");
    try {
      acquire(client, opened.session);
    } catch (const Stopped&) {
      // The stop request closes the session before the thread ends.
      client.closeSession(opened.session);
      throw;
    }
    if (state() == LinkState::Offline) return;  // aborted before it began: the thread ends
    done_.fetch_add(1, std::memory_order_acq_rel);
  }
}

bool LinkThread::abortedOrStopped(ControlPanelClient& client, const std::string& /*session*/) {
  holdWhileSuspended();
  if (client.waitForServerEvent(kEventAborted, 0)) return true;
  checkStop();
  return false;
}

void LinkThread::acquire(ControlPanelClient& client, const std::string& session) {
  setState(LinkState::Name);
  info_.beginAcquisition();
  checkStop();
  info_.setName(takeName(client.getAcquisitionName(session, static_cast<std::int32_t>(kMaxNameBytes))));
  callbacks_.Notify(kNewAcquisition, 0);

  bool aborted = false;
  bool hasTemperature = false;
  // An acquisition aborted before its header ends the link thread, its session left open.
  if (client.waitForServerEvent(kEventAborted, 0)) {
    setState(LinkState::Offline);
    return;
  }

  setState(LinkState::Header);
  for (;;) {
    if (abortedOrStopped(client, session)) {
      aborted = true;
      break;
    }
    BlockResult r = client.getHeaderBlock(session, true);
    checkBlock(r, "header");
    if (r.status == kHeaderNothingYet) continue;
    if (r.status == kHeaderMoreToFollow || r.status == kHeaderLastBlock) {
      if (!headerGrowthValid(info_.headerSize(), r.buffer.size()))
        throw ProtocolFault("The control panel sent a header of more than " + std::to_string(kMaxHeaderBytes) + " bytes.");
    }
    if (r.status == kHeaderMoreToFollow) {
      info_.appendHeader(r.buffer);
      continue;
    }
    if (r.status == kHeaderLastBlock) {
      info_.completeHeader(r.buffer, true);
      callbacks_.Notify(kHeaderReady, 0);
      StorePtr store = info_.store();
      hasTemperature = store && store->findDimension("Temperature", true) >= 0;
    }
    break;
  }

  if (!aborted) {
    setState(LinkState::Data);
    for (;;) {
      if (abortedOrStopped(client, session)) {
        aborted = true;
        break;
      }
      BlockResult r = client.getDataBlock(session);
      checkBlock(r, "data");
      if (r.status == kDataNotYet) {
        pause(100);
        continue;
      }
      if (!recordsFit(r.recordCount, info_.recordBytes(), r.count))
        throw ProtocolFault("The control panel sent " + std::to_string(r.recordCount) + " records in a block of " +
                            std::to_string(r.count) + " bytes.");
      info_.storeDataBlock(r.buffer, r.recordCount);
      if (r.status == kDataLastBlock) {
        std::this_thread::yield();
        break;
      }
    }
  }

  if (!aborted && hasTemperature) {
    setState(LinkState::SecondHeader);
    checkStop();
    client.waitForServerEvent(kEventComplete, -1);
    while (hasTemperature) {
      if (abortedOrStopped(client, session)) break;  // to the end, without the aborted flag
      BlockResult r = client.getHeaderBlock(session, false);
      checkBlock(r, "header");
      if (r.status == kHeaderMoreToFollow || r.status == kHeaderLastBlock) {
        if (!headerGrowthValid(info_.headerSize(), r.buffer.size()))
          throw ProtocolFault("The control panel sent a header of more than " + std::to_string(kMaxHeaderBytes) +
                              " bytes.");
      }
      if (r.status == kHeaderMoreToFollow) {
        info_.appendHeader(r.buffer);
      } else if (r.status == kHeaderLastBlock) {
        info_.completeHeader(r.buffer, false);
        callbacks_.Notify(kSecondHeaderReady, 0);
        hasTemperature = false;
      }
    }
  }

  setState(LinkState::Ending);
  checkStop();
  client.waitForServerEvent(aborted ? kEventAborted : kEventComplete, -1);
  checkStop();
  client.closeSession(session);
  callbacks_.Notify(kAcquisitionFinished, 0);
}

}  // namespace instrument_link
