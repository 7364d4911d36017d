// The link thread's phases against a scripted control panel: a stop in each phase ends the
// thread within a second, and the records of a block land where their indices say.

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "link/link_fixture.h"
#include "link/reply_checks.h"
#include "link/simulator_core.h"

namespace instrument_link {
namespace {

using testing::eventually;
using testing::makeStore;
using testing::Recorder;

// Answers at once except in the call it is told to hang in, which ends only when cancelled.
class HangingClient final : public ControlPanelClient {
 public:
  enum class Hang { WaitStarted, Name, Header, DataNotYet, WaitComplete };
  HangingClient(Hang hang, bool temperature) : hang_(hang) {
    auto store = makeStore({{"Wavelength", 3}, {temperature ? "Temperature" : "Time", 2}});
    header_ = lumBinaryXBytes(store, true);
    file_ = lumBinaryXBytes(store, false);
  }
  OpenSessionResult openSession() override { return {true, "session"}; }
  NameResult getAcquisitionName(const std::string&, int32_t) override {
    block(Hang::Name);
    return {"run.dsx", 7};
  }
  bool waitForServerEvent(uint32_t event, int32_t) override {
    if (event == kEventStarted) block(Hang::WaitStarted);
    if (event == kEventComplete) block(Hang::WaitComplete);
    return event != kEventAborted;
  }
  BlockResult getHeaderBlock(const std::string&, bool first) override {
    block(Hang::Header);
    const std::string& bytes = first ? header_ : file_;
    return {kHeaderLastBlock, bytes, static_cast<std::uint32_t>(bytes.size()), 0};
  }
  BlockResult getDataBlock(const std::string&) override {
    if (hang_ == Hang::DataNotYet) return {kDataNotYet, "", 0, 0};
    return {kDataLastBlock, "", 0, 0};
  }
  bool closeSession(const std::string&) override {
    closed_ = true;
    return true;
  }
  void cancel() override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
  }
  static inline std::atomic<bool> closed_{false};

 private:
  void block(Hang where) {
    if (where != hang_) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_; });
    throw std::runtime_error("Rpc exception : 0x1: cancelled");
  }
  Hang hang_;
  std::string header_, file_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool cancelled_ = false;
};

TEST(LinkPhases, AStopInEveryPhaseEndsTheThreadWithinASecond) {
  using Hang = HangingClient::Hang;
  struct Row {
    const char* label;
    Hang hang;
    bool temperature;
    LinkState state;
    bool sessionClosed;
  };
  const Row rows[] = {
      {"waiting for an acquisition", Hang::WaitStarted, false, LinkState::Waiting, false},
      {"reading the name", Hang::Name, false, LinkState::Name, false},
      {"reading the header", Hang::Header, false, LinkState::Header, false},
      {"waiting for data", Hang::DataNotYet, false, LinkState::Data, true},
      {"waiting before the second header", Hang::WaitComplete, true, LinkState::SecondHeader, false},
      {"waiting for the end", Hang::WaitComplete, false, LinkState::Ending, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    HangingClient::closed_ = false;
    CClientInfo info;
    CBRegister callbacks;
    Recorder recorder(callbacks);
    LinkThread link(info, callbacks, [&](const ServerAddress&) {
      return std::make_unique<HangingClient>(row.hang, row.temperature);
    });
    link.goOnLine({"127.0.0.1", 1});
    ASSERT_TRUE(eventually([&] { return link.state() == row.state; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto start = std::chrono::steady_clock::now();
    link.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(link.running());
    EXPECT_EQ(link.state(), LinkState::Offline);
    EXPECT_EQ(HangingClient::closed_.load(), row.sessionClosed);
    for (int code : recorder.codes()) EXPECT_NE(code, kLinkLost);
  }
}

TEST(LinkPhases, ASuspendedLinkMakesNoCallUntilResumedAndAStopStillEndsIt) {
  // Counts the calls; data never come.
  class CountingClient final : public ControlPanelClient {
   public:
    explicit CountingClient(std::atomic<int>& calls) : calls_(calls) {}
    OpenSessionResult openSession() override { return ++calls_, OpenSessionResult{false, ""}; }
    NameResult getAcquisitionName(const std::string&, int32_t) override { return ++calls_, NameResult{}; }
    bool waitForServerEvent(uint32_t, int32_t) override { return ++calls_, false; }
    BlockResult getHeaderBlock(const std::string&, bool) override { return ++calls_, BlockResult{}; }
    BlockResult getDataBlock(const std::string&) override { return ++calls_, BlockResult{}; }
    bool closeSession(const std::string&) override { return ++calls_, true; }
    void cancel() override {}

   private:
    std::atomic<int>& calls_;
  };
  std::atomic<int> calls{0};
  CClientInfo info;
  CBRegister callbacks;
  LinkThread link(info, callbacks, [&](const ServerAddress&) { return std::make_unique<CountingClient>(calls); });
  link.goOnLine({"127.0.0.1", 1});
  ASSERT_TRUE(eventually([&] { return calls.load() > 3; }));
  link.suspend();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a call in flight ends
  const int held = calls.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(calls.load(), held);
  link.resume();
  EXPECT_TRUE(eventually([&] { return calls.load() > held; }));
  link.suspend();
  const auto start = std::chrono::steady_clock::now();
  link.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_FALSE(link.running());
}

TEST(LinkPhases, AFactoryThatFailsLosesTheLink) {
  CClientInfo info;
  CBRegister callbacks;
  Recorder recorder(callbacks);
  LinkThread link(info, callbacks, [](const ServerAddress&) -> std::unique_ptr<ControlPanelClient> {
    throw std::runtime_error("Cannot read the certificate authority file /nowhere.");
  });
  link.goOnLine({"127.0.0.1", 1});
  ASSERT_TRUE(recorder.waitFor(kLinkLost));
  EXPECT_EQ(link.lastError(), "Cannot read the certificate authority file /nowhere.");
}

std::string record(std::vector<std::int32_t> indices, std::vector<float> values) {
  std::string bytes;
  for (auto i : indices) bytes.append(reinterpret_cast<const char*>(&i), 4);
  for (auto v : values) bytes.append(reinterpret_cast<const char*>(&v), 4);
  return bytes;
}

TEST(ClientInfo, RecordsLandAtTheirIndicesAndThoseOutsideAreSkippedAndCounted) {
  CClientInfo info;
  auto shape = makeStore({{"Wavelength", 4}, {"Time", 3}}, 2);
  ASSERT_TRUE(info.completeHeader(lumBinaryXBytes(shape, true), true));
  ASSERT_EQ(info.recordBytes(), 16u);
  auto store = info.store();
  EXPECT_EQ(store->data.count, 24);
  EXPECT_EQ(store->data.data[0], 0.0f);  // values arrive as records, not with the header

  const std::string block = record({1, 2}, {7.5f, -1.0f}) + record({4, 0}, {9, 9}) + record({-1, 0}, {9, 9}) +
                            record({3, 0}, {2.25f, 8.0f});
  info.storeDataBlock(block, 4);
  EXPECT_EQ(store->data.data[1 + 2 * 4], 7.5f);
  EXPECT_EQ(store->data.data[1 + 2 * 4 + 12], -1.0f);
  EXPECT_EQ(store->data.data[3], 2.25f);
  EXPECT_EQ(store->data.data[3 + 12], 8.0f);
  EXPECT_EQ(info.storedRecords(), 2u);
  EXPECT_EQ(info.skippedRecords(), 2u);
  EXPECT_TRUE(info.newData());

  // The tuples set so far, and only they, are marked received; each block counts as new data.
  {
    auto lock = info.lockData();
    std::vector<std::uint8_t> expected(12, 0);
    expected[1 + 2 * 4] = expected[3] = 1;
    EXPECT_EQ(info.receivedUnderLock(), expected);
  }
  const auto generation = info.dataGeneration();
  info.storeDataBlock("", 0);
  EXPECT_GT(info.dataGeneration(), generation);
  // A second header is the whole file: every tuple is there.
  ASSERT_TRUE(info.completeHeader(lumBinaryXBytes(shape, false), false));
  {
    auto lock = info.lockData();
    EXPECT_EQ(info.receivedUnderLock(), std::vector<std::uint8_t>(12, 1));
  }

  info.beginAcquisition();
  EXPECT_EQ(info.skippedRecords(), 0u);
}

TEST(ClientInfo, ABlockWithoutRecordsStillSetsNewDataAndABadHeaderLeavesAnEmptyStore) {
  CClientInfo info;
  EXPECT_FALSE(info.newData());
  info.storeDataBlock("", 0);
  EXPECT_TRUE(info.newData());

  EXPECT_FALSE(info.completeHeader("LumBinaryX\ncut short", true));
  ASSERT_TRUE(info.store());
  EXPECT_TRUE(info.headerReady());
  // Data for a store the reader could not fill are skipped, not written anywhere.
  info.storeDataBlock(record({0}, {1.0f}), 1);
  EXPECT_EQ(info.storedRecords(), 0u);
}

TEST(ClientInfo, AWindowKeepsItsStoreWhenTheLinkReplacesIt) {
  CClientInfo info;
  auto shape = makeStore({{"Time", 5}});
  info.completeHeader(lumBinaryXBytes(shape, true), true);
  StorePtr kept = info.store();
  info.completeHeader(lumBinaryXBytes(shape, false), false);
  EXPECT_NE(kept.get(), info.store().get());
  EXPECT_EQ(kept.use_count(), 1);
  EXPECT_EQ(kept->data.count, 5);
}

void countInto(void* context, int code, std::int64_t parameter) {
  static_cast<std::vector<std::int64_t>*>(context)->push_back(code * 100 + parameter);
}
void countTwice(void* context, int code, std::int64_t parameter) {
  static_cast<std::vector<std::int64_t>*>(context)->push_back(-(code * 100 + parameter));
}

TEST(CBRegister, NotifiesEachPairOnceInOrderAndStopsAtAnEmptyCallback) {
  CBRegister callbacks;
  std::vector<std::int64_t> a, b;
  callbacks.Register(&countInto, &a);
  callbacks.Register(&countInto, &a);
  callbacks.Register(&countTwice, &a);
  callbacks.Register(&countInto, &b);
  EXPECT_EQ(callbacks.size(), 3u);
  callbacks.Notify(8, 1);
  EXPECT_EQ(a, (std::vector<std::int64_t>{801, -801}));
  EXPECT_EQ(b, (std::vector<std::int64_t>{801}));
  callbacks.Unregister(&countInto, &a);
  callbacks.Register(nullptr, nullptr);
  callbacks.Register(&countInto, &a);
  callbacks.Notify(3, 0);
  EXPECT_EQ(a, (std::vector<std::int64_t>{801, -801, -300}));  // stopped at the empty entry
  EXPECT_EQ(b, (std::vector<std::int64_t>{801, 300}));
}

}  // namespace
}  // namespace instrument_link
