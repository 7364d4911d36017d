#include "link/simulator_core.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>

#include "datastore/lum_binary.h"
#include "link/link_state.h"
#include "link/reply_checks.h"

namespace instrument_link {
namespace {

// Any status but 5 and 6 is a data block with more to follow.
constexpr std::int32_t kDataBlockMore = 0;
constexpr std::int32_t kHeaderOver = 3;

void putLe32(std::string& out, std::uint32_t v) {
  const char b[4] = {static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff),
                     static_cast<char>((v >> 16) & 0xff), static_cast<char>((v >> 24) & 0xff)};
  out.append(b, 4);
}

std::vector<std::string> splitBlocks(const std::string& bytes, int parts) {
  std::size_t n = std::max<std::size_t>(static_cast<std::size_t>(std::max(parts, 1)),
                                        (bytes.size() + kMaxBlockBytes - 1) / kMaxBlockBytes);
  const std::size_t each = (bytes.size() + n - 1) / n;
  std::vector<std::string> blocks;
  for (std::size_t at = 0; at < bytes.size(); at += each) blocks.push_back(bytes.substr(at, each));
  if (blocks.empty()) blocks.emplace_back();
  return blocks;
}

std::string repeatName(const std::string& name, int round) {
  if (round == 0) return name;
  const auto dot = name.rfind('.');
  const std::string suffix = "-" + std::to_string(round + 1);
  return dot == std::string::npos || dot == 0 ? name + suffix : name.substr(0, dot) + suffix + name.substr(dot);
}

std::string newSession() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  static const char digits[] = "0123456789abcdef";
  std::string s(16, '0');
  for (char& c : s) c = digits[random() & 15];
  return s;
}

}  // namespace

std::string lumBinaryXBytes(const lumatix::datastore::DataStore& store, bool headerOnly) {
  lumatix::datastore::DataStore copy(store);  // the writer renames dimensions and marks the store saved
  std::ostringstream out;
  lumatix::datastore::writeLumBinaryX(copy, out, headerOnly);
  return std::move(out).str();
}

struct SimulatorCore::Current {
  const PlayItem* item = nullptr;
  std::string name;
  std::string session;  // empty until the session is opened
  std::vector<std::string> header;
  std::size_t headerAt = 0;
  std::vector<std::string> second;
  std::size_t secondAt = 0;
  std::int64_t nextRecord = 0;
  std::int64_t records = 0;
  std::uint32_t perBlock = 1;
  int blocks = 0;
  bool complete = false;
  bool aborted = false;
  std::chrono::steady_clock::time_point nextBlockAt;
};

SimulatorCore::SimulatorCore(std::vector<PlayItem> plays, SimulatorOptions options)
    : plays_(std::move(plays)), options_(options) {}

SimulatorCore::~SimulatorCore() = default;

int SimulatorCore::totalAcquisitions() const { return static_cast<int>(plays_.size()) * std::max(options_.repeat, 0); }

int SimulatorCore::acquisitionsClosed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

void SimulatorCore::log(const std::string& line) const {
  if (log_) log_(line);
}

void SimulatorCore::prepare() {
  if (current_ || next_ >= totalAcquisitions()) return;
  const std::size_t k = static_cast<std::size_t>(next_) % plays_.size();
  auto c = std::make_unique<Current>();
  c->item = &plays_[k];
  c->name = repeatName(plays_[k].name, next_ / static_cast<int>(plays_.size()));
  const auto& store = c->item->store;
  c->header = splitBlocks(lumBinaryXBytes(store, true), options_.headerBlocks);
  if (store.findDimension("Temperature", true) >= 0) c->second = splitBlocks(lumBinaryXBytes(store, false), 1);
  c->records = std::max<std::int64_t>(store.valuesPerProperty(), 0);
  const std::uint64_t recordBytes = 4ull * static_cast<std::uint64_t>(store.dimensions.size() + store.properties.size());
  const std::uint32_t fit = static_cast<std::uint32_t>(kMaxBlockBytes / std::max<std::uint64_t>(recordBytes, 4));
  c->perBlock = options_.recordsPerBlock > 0 ? std::min(options_.recordsPerBlock, fit) : fit;
  current_ = std::move(c);
  ++next_;
}

bool SimulatorCore::eventSignalled(std::uint32_t event) const {
  if (!current_) return false;
  if (event == kEventStarted) return current_->session.empty();
  if (current_->session.empty()) return false;
  if (event == kEventComplete) return current_->complete;
  if (event == kEventAborted) return current_->aborted;
  return false;
}

void SimulatorCore::hangIfSilent(std::unique_lock<std::mutex>& lock) {
  if (shutDown_ || dropped_) throw CallRefused{CallRefused::Why::ShutDown};
  if (options_.hangAfter >= 0 && blocksServed_ >= options_.hangAfter) {
    changed_.wait(lock, [this] { return shutDown_; });
    throw CallRefused{CallRefused::Why::ShutDown};
  }
}

void SimulatorCore::requireSession(const std::string& session, bool dataPhase) const {
  if (!current_ || current_->session.empty() || session != current_->session || (dataPhase && options_.forgetSession))
    throw CallRefused{CallRefused::Why::UnknownSession};
}

OpenSessionResult SimulatorCore::openSession() {
  std::unique_lock lock(mutex_);
  hangIfSilent(lock);
  prepare();
  OpenSessionResult r;
  if (current_ && current_->session.empty()) {
    current_->session = options_.longSession ? std::string(kMaxSessionBytes + 1, 's') : newSession();
    current_->nextBlockAt = std::chrono::steady_clock::now();
    r = {true, current_->session};
    changed_.notify_all();
  }
  log("OpenSession opened=" + std::to_string(r.opened));
  return r;
}

NameResult SimulatorCore::getAcquisitionName(const std::string& session, std::int32_t length) {
  std::unique_lock lock(mutex_);
  hangIfSilent(lock);
  requireSession(session, false);
  NameResult r;
  r.buffer = current_->name.substr(0, static_cast<std::size_t>(std::clamp<std::int32_t>(length, 0, kMaxNameBytes)));
  r.length = static_cast<std::int32_t>(r.buffer.size());
  log("GetAcquisitionName length=" + std::to_string(r.length));
  return r;
}

bool SimulatorCore::waitForServerEvent(std::uint32_t event, std::int32_t timeoutMs) {
  std::unique_lock lock(mutex_);
  hangIfSilent(lock);
  prepare();
  auto ready = [&] { return shutDown_ || dropped_ || eventSignalled(event); };
  if (timeoutMs < 0)
    changed_.wait(lock, ready);
  else if (timeoutMs > 0)
    changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
  if (shutDown_ || dropped_) throw CallRefused{CallRefused::Why::ShutDown};
  const bool signalled = eventSignalled(event);
  log("WaitForServerEvent event=" + std::to_string(event) + " timeout=" + std::to_string(timeoutMs) +
      " signalled=" + std::to_string(signalled));
  return signalled;
}

BlockResult SimulatorCore::getHeaderBlock(const std::string& session, bool firstHeader) {
  std::unique_lock lock(mutex_);
  hangIfSilent(lock);
  requireSession(session, false);
  BlockResult r;
  auto& c = *current_;
  if (firstHeader && options_.endlessHeader) {
    r.status = kHeaderMoreToFollow;
    r.buffer.assign(kMaxBlockBytes, '\0');
  } else {
    auto& blocks = firstHeader ? c.header : c.second;
    auto& at = firstHeader ? c.headerAt : c.secondAt;
    if (at < blocks.size()) {
      r.buffer = blocks[at];
      r.status = ++at == blocks.size() ? kHeaderLastBlock : kHeaderMoreToFollow;
    } else {
      r.status = kHeaderOver;
    }
  }
  r.count = static_cast<std::uint32_t>(r.buffer.size());
  log("GetHeaderBlock first=" + std::to_string(firstHeader) + " status=" + std::to_string(r.status) +
      " count=" + std::to_string(r.count));
  return r;
}

BlockResult SimulatorCore::getDataBlock(const std::string& session) {
  std::unique_lock lock(mutex_);
  hangIfSilent(lock);
  requireSession(session, true);
  auto& c = *current_;
  BlockResult r;
  const auto now = std::chrono::steady_clock::now();
  if (c.aborted || c.complete || now < c.nextBlockAt) {
    r.status = c.complete ? kDataLastBlock : kDataNotYet;
    log("GetDataBlock status=" + std::to_string(r.status) + " count=0 records=0");
    return r;
  }
  const auto& store = c.item->store;
  const std::int64_t perProperty = c.records;
  const std::size_t dims = static_cast<std::size_t>(store.dimensions.size());
  const std::size_t props = static_cast<std::size_t>(store.properties.size());
  const std::int64_t end = std::min<std::int64_t>(c.nextRecord + c.perBlock, c.records);
  r.buffer.reserve(static_cast<std::size_t>(end - c.nextRecord) * 4 * (dims + props));
  for (std::int64_t flat = c.nextRecord; flat < end; ++flat) {
    std::int64_t rest = flat;
    for (std::size_t k = 0; k < dims; ++k) {
      const std::int64_t size = store.dimensions[static_cast<std::int32_t>(k)].size();
      putLe32(r.buffer, static_cast<std::uint32_t>(rest % size));
      rest /= size;
    }
    for (std::size_t q = 0; q < props; ++q) {
      std::uint32_t bits;
      std::memcpy(&bits, store.data.data + flat + static_cast<std::int64_t>(q) * perProperty, 4);
      putLe32(r.buffer, bits);
    }
  }
  r.recordCount = static_cast<std::uint32_t>(end - c.nextRecord);
  r.count = static_cast<std::uint32_t>(r.buffer.size());
  c.nextRecord = end;
  ++c.blocks;
  ++blocksServed_;
  if (c.nextRecord >= c.records) {
    r.status = kDataLastBlock;
    c.complete = true;
  } else {
    r.status = kDataBlockMore;
  }
  c.nextBlockAt = now + std::chrono::milliseconds(options_.blockIntervalMs);
  if (options_.wrongCount) ++r.count;
  if (options_.recordOverflow) r.recordCount = 0x80000000u;
  if (options_.abortAfter >= 0 && c.blocks >= options_.abortAfter && !c.complete) c.aborted = true;
  changed_.notify_all();
  log("GetDataBlock status=" + std::to_string(r.status) + " count=" + std::to_string(r.count) +
      " records=" + std::to_string(r.recordCount));
  if (options_.dropAfter >= 0 && blocksServed_ >= options_.dropAfter && !dropped_) {
    dropped_ = true;
    changed_.notify_all();
    lock.unlock();
    if (onDrop_) onDrop_();
  }
  return r;
}

bool SimulatorCore::closeSession(const std::string& session) {
  std::unique_lock lock(mutex_);
  hangIfSilent(lock);
  requireSession(session, false);
  current_.reset();
  ++closed_;
  prepare();
  changed_.notify_all();
  log("CloseSession closed=1");
  return true;
}

void SimulatorCore::shutdown() {
  {
    std::lock_guard lock(mutex_);
    shutDown_ = true;
  }
  changed_.notify_all();
}

}  // namespace instrument_link
