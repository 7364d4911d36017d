// The link thread against the simulator served over gRPC on the loopback.

#include <gtest/gtest.h>

#include <cstring>

#include "datastore/lum_binary.h"
#include "link/control_panel_server.h"
#include "link/link_fixture.h"

namespace instrument_link {
namespace {

using testing::eventually;
using testing::grpcFactory;
using testing::makeStore;
using testing::Recorder;

struct Served {
  explicit Served(std::vector<PlayItem> plays, SimulatorOptions options = {}, ServerOptions server = {})
      : core(std::make_shared<SimulatorCore>(std::move(plays), options)), panel(core, server) {}
  ServerAddress address() const { return {"127.0.0.1", static_cast<std::uint16_t>(panel.port())}; }
  std::shared_ptr<SimulatorCore> core;
  ControlPanelServer panel;
};

struct Link {
  explicit Link(ClientFactory factory = grpcFactory()) : recorder(callbacks), thread(info, callbacks, std::move(factory)) {}
  CClientInfo info;
  CBRegister callbacks;
  Recorder recorder;
  LinkThread thread;
};

void expectSameValues(const lumatix::datastore::DataStore& got, const lumatix::datastore::DataStore& played) {
  ASSERT_EQ(got.dimensions.size(), played.dimensions.size());
  for (std::int32_t k = 0; k < played.dimensions.size(); ++k) {
    EXPECT_EQ(got.dimensions[k].name, played.dimensions[k].name);
    ASSERT_EQ(got.dimensions[k].size(), played.dimensions[k].size());
    for (std::int32_t i = 0; i < played.dimensions[k].size(); ++i)
      EXPECT_EQ(got.dimensions[k].values[i], played.dimensions[k].values[i]);
  }
  ASSERT_EQ(got.properties.size(), played.properties.size());
  for (std::int32_t p = 0; p < played.properties.size(); ++p) EXPECT_EQ(got.properties[p], played.properties[p]);
  ASSERT_EQ(got.data.count, played.data.count);
  EXPECT_EQ(0, std::memcmp(got.data.data, played.data.data, 4 * static_cast<std::size_t>(played.data.count)));
}

TEST(LinkThread, ReceivesAnAcquisitionValueForValueInSmallBlocks) {
  auto played = makeStore({{"Wavelength", 37}, {"Time", 11}}, 2);
  SimulatorOptions options;
  options.recordsPerBlock = 29;
  options.headerBlocks = 3;
  Served served({{"shot.dsx", played}}, options);
  Link link;
  ASSERT_TRUE(link.thread.goOnLine(served.address()));
  ASSERT_TRUE(link.recorder.waitFor(kAcquisitionFinished));
  EXPECT_EQ(link.recorder.codes(), (std::vector<int>{kNewAcquisition, kHeaderReady, kAcquisitionFinished}));
  EXPECT_EQ(link.info.name(), "shot.dsx");
  ASSERT_TRUE(link.info.store());
  expectSameValues(*link.info.store(), played);
  EXPECT_EQ(link.info.store()->remarks.size(), 1);
  EXPECT_EQ(link.info.storedRecords(), 37u * 11u);
  EXPECT_EQ(link.info.skippedRecords(), 0u);
  EXPECT_TRUE(link.info.newData());
  EXPECT_FALSE(link.info.store()->saved);
  // Back to waiting for the next acquisition.
  EXPECT_TRUE(eventually([&] { return link.thread.state() == LinkState::Waiting; }));
  EXPECT_EQ(link.thread.acquisitionsDone(), 1);
  link.thread.stop();
  EXPECT_FALSE(link.thread.running());
  EXPECT_EQ(link.recorder.codes().size(), 3u);  // a stop notifies nothing
}

TEST(LinkThread, ATemperatureRunEndsWithTheWholeFileAsSecondHeader) {
  auto played = makeStore({{"Wavelength", 20}, {"Temperature", 4}});
  played.addHistory(lumatix::datastore::HistoryEntry{});
  played.history.back().title = "Ramp :";
  played.history.back().text = "from the control panel";
  Served served({{"ramp.dsx", played}});
  Link link;
  link.thread.goOnLine(served.address());
  ASSERT_TRUE(link.recorder.waitFor(kAcquisitionFinished));
  EXPECT_EQ(link.recorder.codes(),
            (std::vector<int>{kNewAcquisition, kHeaderReady, kSecondHeaderReady, kAcquisitionFinished}));
  auto store = link.info.store();
  expectSameValues(*store, played);
  // The second header replaced the store with the file, history included.
  ASSERT_FALSE(store->history.empty());
  EXPECT_EQ(store->history.back().title, "Ramp :");
}

TEST(LinkThread, RepeatsAndAnAbortedAcquisitionKeepTheLinkOnLine) {
  auto played = makeStore({{"Time", 3000}});
  SimulatorOptions options;
  options.repeat = 2;
  options.recordsPerBlock = 100;
  options.abortAfter = 2;
  Served served({{"kinetics.dsx", played}}, options);
  Link link;
  link.thread.goOnLine(served.address());
  ASSERT_TRUE(link.recorder.waitFor(kAcquisitionFinished, 2));
  EXPECT_EQ(link.recorder.codes(), (std::vector<int>{kNewAcquisition, kHeaderReady, kAcquisitionFinished,
                                                     kNewAcquisition, kHeaderReady, kAcquisitionFinished}));
  EXPECT_EQ(link.info.name(), "kinetics-2.dsx");
  EXPECT_EQ(link.info.storedRecords(), 200u);
  EXPECT_TRUE(link.thread.running());
  EXPECT_EQ(served.core->acquisitionsClosed(), 2);
}

TEST(LinkThread, TwoGoOnLinesStartOneThread) {
  Served served({});
  Link link;
  EXPECT_TRUE(link.thread.goOnLine(served.address()));
  EXPECT_FALSE(link.thread.goOnLine(served.address()));
  EXPECT_TRUE(link.thread.running());
  link.thread.stop();
  EXPECT_FALSE(link.thread.running());
  EXPECT_TRUE(link.thread.goOnLine(served.address()));  // a stopped link may go on-line again
}

TEST(LinkThread, GoingOnLineWithoutAServerLosesTheLink) {
  int port;
  {
    Served gone({});
    port = gone.panel.port();
  }
  Link link;
  link.thread.goOnLine({"127.0.0.1", static_cast<std::uint16_t>(port)});
  ASSERT_TRUE(link.recorder.waitFor(kLinkLost));
  EXPECT_TRUE(eventually([&] { return !link.thread.running(); }));
  EXPECT_EQ(link.thread.state(), LinkState::Offline);
  EXPECT_NE(link.thread.lastError().find("Rpc exception : 0x"), std::string::npos);
  // After a lost link, going on-line starts a new thread.
  EXPECT_TRUE(link.thread.goOnLine({"127.0.0.1", static_cast<std::uint16_t>(port)}));
  ASSERT_TRUE(link.recorder.waitFor(kLinkLost, 2));
}

TEST(LinkThread, AServerThatVanishesMidAcquisitionLosesTheLink) {
  SimulatorOptions options;
  options.recordsPerBlock = 10;
  options.dropAfter = 3;
  Served served({{"a.dsx", makeStore({{"Time", 500}})}}, options);
  Link link;
  link.thread.goOnLine(served.address());
  ASSERT_TRUE(link.recorder.waitFor(kLinkLost));
  EXPECT_EQ(link.recorder.codes(), (std::vector<int>{kNewAcquisition, kHeaderReady, kLinkLost}));
  EXPECT_LE(link.info.storedRecords(), 30u);
}

TEST(LinkThread, ASilentServerIsNoticedByTheCallDeadline) {
  SimulatorOptions options;
  options.recordsPerBlock = 10;
  options.hangAfter = 2;
  Served served({{"a.dsx", makeStore({{"Time", 500}})}}, options);
  Link link(grpcFactory(std::chrono::milliseconds(300)));
  const auto start = std::chrono::steady_clock::now();
  link.thread.goOnLine(served.address());
  ASSERT_TRUE(link.recorder.waitFor(kLinkLost, 1, std::chrono::seconds(5)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_NE(link.thread.lastError().find("Rpc exception : 0x4"), std::string::npos);  // DEADLINE_EXCEEDED
}

TEST(LinkThread, RepliesThatBreakTheProtocolLoseTheLink) {
  struct Row {
    const char* label;
    void (*set)(SimulatorOptions&);
    const char* error;
  };
  const Row rows[] = {
      {"count differs from the bytes", [](SimulatorOptions& o) { o.wrongCount = true; }, "data block"},
      {"records beyond the bytes", [](SimulatorOptions& o) { o.recordOverflow = true; }, "records in a block"},
      {"session over 20 bytes", [](SimulatorOptions& o) { o.longSession = true; }, "session of 21 bytes"},
      {"session unknown to the server", [](SimulatorOptions& o) { o.forgetSession = true; }, "0x5"},
      {"header that never ends", [](SimulatorOptions& o) { o.endlessHeader = true; }, "header of more than"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    SimulatorOptions options;
    row.set(options);
    Served served({{"a.dsx", makeStore({{"Time", 100}})}}, options);
    Link link;
    link.thread.goOnLine(served.address());
    ASSERT_TRUE(link.recorder.waitFor(kLinkLost));
    EXPECT_NE(link.thread.lastError().find(row.error), std::string::npos) << link.thread.lastError();
    EXPECT_TRUE(eventually([&] { return !link.thread.running(); }));
  }
}

TEST(LinkThread, StopCancelsAWaitThatNeverEnds) {
  // Every call hangs: the stop must cancel the call in flight.
  SimulatorOptions options;
  options.hangAfter = 0;
  Served served({{"a.dsx", makeStore({{"Time", 10}})}}, options);
  Link link;
  link.thread.goOnLine(served.address());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto start = std::chrono::steady_clock::now();
  link.thread.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_FALSE(link.thread.running());
  EXPECT_TRUE(link.recorder.codes().empty());
}

TEST(LinkThread, StopWhileDataAreAwaitedClosesTheSession) {
  SimulatorOptions options;
  options.recordsPerBlock = 10;
  options.blockIntervalMs = 60000;
  Served served({{"a.dsx", makeStore({{"Time", 100}})}}, options);
  Link link;
  link.thread.goOnLine(served.address());
  ASSERT_TRUE(eventually([&] { return link.info.storedRecords() == 10; }));
  EXPECT_EQ(link.thread.state(), LinkState::Data);
  const auto start = std::chrono::steady_clock::now();
  link.thread.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(served.core->acquisitionsClosed(), 1);  // the session was closed before the thread ended
  EXPECT_EQ(link.recorder.codes(), (std::vector<int>{kNewAcquisition, kHeaderReady}));
}

}  // namespace
}  // namespace instrument_link
