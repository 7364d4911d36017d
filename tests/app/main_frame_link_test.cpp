// The main frame's side of the link against the simulator over the loopback: notices become
// windows, the end saves by name, a lost link asks, "SingleWindow" asks the oldest window to
// close, and the live fit carries over to the next acquisition.

#include "app/main_frame_link.h"

#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <deque>
#include <filesystem>

#include "app/main_frame.h"
#include "app/online_window.h"
#include "app/user_pref.h"
#include "fitting/fit_funx.h"
#include "link/control_panel_server.h"
#include "link/link_fixture.h"
#include "platform/settings_store.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

namespace il = instrument_link;
using namespace std::chrono_literals;

// The GUI thread's queue: the link's notices wait here until the test runs them.
class Posted {
 public:
  void post(std::function<void()> call) {
    {
      std::lock_guard lock(mutex_);
      calls_.push_back(std::move(call));
    }
    changed_.notify_all();
  }
  // Runs posted calls (and the tick, every 50 ms) until done() holds; false after the time-out.
  bool runUntil(const std::function<bool()>& done, const std::function<void()>& tick = {},
                std::chrono::milliseconds timeout = 20s) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      std::function<void()> call;
      {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_until(lock, std::min(until, std::chrono::steady_clock::now() + 50ms),
                                 [&] { return !calls_.empty(); })) {
          lock.unlock();
          if (tick) tick();
          if (std::chrono::steady_clock::now() > until) return done();
          continue;
        }
        call = std::move(calls_.front());
        calls_.pop_front();
      }
      call();
    }
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> calls_;
};

// A plot window as the frame holds it; an acquisition's carries the on-line model.
class Window : public PlotWindow {
 public:
  Window(std::string path, std::vector<std::string>& journal, std::unique_ptr<OnlineWindow> online)
      : path_(std::move(path)), journal_(journal), online_(std::move(online)) {}
  std::string path() const override { return online_ ? online_->path() : path_; }
  std::string title() const override { return online_ ? online_->title() : path_; }
  void activate() override {}
  void close() override { journal_.push_back("close " + title()); }
  bool requestClose() override {
    journal_.push_back("request close " + title());
    return online_ ? online_->mayClose() : true;
  }
  OnlineWindow* onlineWindow() override { return online_.get(); }

 private:
  std::string path_;
  std::vector<std::string>& journal_;
  std::unique_ptr<OnlineWindow> online_;
};

struct Served {
  explicit Served(std::vector<il::PlayItem> plays, il::SimulatorOptions options = {})
      : core(std::make_shared<il::SimulatorCore>(std::move(plays), options)), panel(core, il::ServerOptions{}) {}
  std::string address() const { return "127.0.0.1:" + std::to_string(panel.port()); }
  std::shared_ptr<il::SimulatorCore> core;
  il::ControlPanelServer panel;
};

struct Viewer {
  explicit Viewer(std::uint16_t localPort = il::kDefaultControlPanelPort) {
    preferences.workingDirectory = dir.path().string();
    frame = std::make_unique<MainFrame>(ui, settings, preferences, [this](const std::string& path, bool acquisition) {
      std::unique_ptr<OnlineWindow> online;
      if (acquisition) online = std::make_unique<OnlineWindow>(link->clientInfo(), ui, path);
      return std::unique_ptr<PlotWindow>(std::make_unique<Window>(path, journal, std::move(online)));
    });
    link = std::make_unique<MainFrameLink>(*frame, ui, il::testing::grpcFactory(),
                                           [this](std::function<void()> call) { posted.post(std::move(call)); },
                                           localPort);
  }
  ~Viewer() { link.reset(); }
  bool run(const std::function<bool()>& done) {
    return posted.runUntil(done, [this] { link->tick(); });
  }

  lumatix::testing::TempDir dir;
  testing::ScriptedUi ui;
  platform::SettingsStore settings{dir.file("viewer.conf")};
  CUserPref preferences;
  std::vector<std::string> journal;
  Posted posted;
  std::unique_ptr<MainFrame> frame;
  std::unique_ptr<MainFrameLink> link;
};

// A stopped-flow shot: 0.8 exp(-3 t) + 0.1 on 120 points.
datastore::DataStore shot() {
  datastore::DataStore store;
  store.title = "shot";
  store.addProperty("Absorbance");
  std::vector<float> t(120);
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = 0.01f * static_cast<float>(i);
  store.addDimension(datastore::Dimension("Time", t));
  for (std::int32_t i = 0; i < store.data.count; ++i)
    store.data.data[i] = static_cast<float>(0.8 * std::exp(-3.0 * t[static_cast<std::size_t>(i)]) + 0.1);
  return store;
}

int function(const std::string& name) {
  const auto& table = fitting::FitFunx();
  for (std::size_t f = 0; f < table.size(); ++f)
    if (table[f].name == name) return static_cast<int>(f);
  return -1;
}

TEST(MainFrameLink, AnAcquisitionOpensAnOnLineWindowThatSavesItUnderItsName) {
  il::SimulatorOptions options;
  options.recordsPerBlock = 7;
  options.blockIntervalMs = 2;
  Served served({{"shot.dsx", shot()}}, options);
  Viewer v;
  EXPECT_EQ(v.frame->statusText(), kReadyOffLine);
  ASSERT_TRUE(v.link->goOnLine(served.address()));
  EXPECT_EQ(v.frame->statusText(), kReadyOnLine);
  EXPECT_EQ(v.link->serverAddress(), served.address());
  ASSERT_TRUE(v.run([&] { return v.frame->onlineWindow() != nullptr; }));
  PlotWindow* window = v.frame->onlineWindow();
  EXPECT_EQ(window->path(), v.dir.file("shot.dsx"));
  // While on-line the window refuses to close.
  EXPECT_FALSE(window->requestClose());
  EXPECT_EQ(v.ui.texts().back(), "Acquistion in progress.  Please wait for the data acquisition to finish.\n");

  ASSERT_TRUE(v.run([&] { return served.core->acquisitionsClosed() == 1 && v.frame->onlineWindow() == nullptr; }));
  EXPECT_FALSE(window->onlineWindow()->online());
  EXPECT_EQ(window->title(), v.dir.file("shot.dsx"));
  datastore::DataStore back;
  ASSERT_TRUE(back.load(v.dir.file("shot.dsx"), false));
  const datastore::DataStore played = shot();
  ASSERT_EQ(back.data.count, played.data.count);
  for (std::int32_t i = 0; i < played.data.count; ++i) EXPECT_EQ(back.data.data[i], played.data.data[i]);
  EXPECT_TRUE(v.link->running());  // waiting for the next acquisition
  EXPECT_EQ(v.frame->statusText(), kReadyOnLine);

  // Closing the frame stops the link at once.
  v.ui.answers = {Answer::Ok};
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(v.frame->close());
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  EXPECT_FALSE(v.link->running());
}

TEST(MainFrameLink, SingleWindowAsksTheLastAcquisitionsWindowToCloseAndOffTheyAccumulate) {
  for (const bool single : {true, false}) {
    SCOPED_TRACE(single ? "SingleWindow on" : "SingleWindow off");
    Served served({{"run.dsx", shot()}, {"run.dsx", shot()}, {"run.dsx", shot()}});
    Viewer v;
    if (!single) v.frame->toggleSingleWindow();
    // Each run's file exists when the next one ends: its save asks, and is cancelled.
    v.ui.files = {{"", 1}, {"", 1}};
    ASSERT_TRUE(v.link->goOnLine(served.address()));
    ASSERT_TRUE(v.run([&] { return v.ui.fileDialogs.size() == 2 && v.frame->onlineWindow() == nullptr; }));
    const auto asked = std::count_if(v.journal.begin(), v.journal.end(),
                                     [](const std::string& e) { return e.rfind("request close", 0) == 0; });
    EXPECT_EQ(v.frame->windowCount(), single ? 1u : 3u);
    EXPECT_EQ(asked, single ? 2 : 0);
  }
}

TEST(MainFrameLink, ALostLinkAsksAndYesGoesOnLineToTheLocalAddress) {
  int gone = 0;
  {
    Served vanished({});
    gone = vanished.panel.port();
  }
  Viewer v(static_cast<std::uint16_t>(gone));
  const std::string address = "127.0.0.1:" + std::to_string(gone);
  v.ui.answers = {Answer::Yes, Answer::Cancel};
  ASSERT_TRUE(v.link->goOnLine(address));
  // Yes tries the local address (here the same dead port), whose loss asks again.
  ASSERT_TRUE(v.run([&] { return v.ui.shown.size() == 2 && !v.link->running(); }));
  for (const auto& shown : v.ui.shown) {
    EXPECT_EQ(shown.text, linkLostText(address));
    EXPECT_EQ(shown.caption, "Morvath");
    EXPECT_EQ(shown.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(shown.icon, Icon::Information);
  }
  EXPECT_EQ(v.frame->statusText(), kReadyOffLine);
  EXPECT_FALSE(v.link->goOnLine("127.0.0.1:99999"));
}

TEST(MainFrameLink, ALostLinkLeavesTheWindowOffLineAndClosable) {
  il::SimulatorOptions options;
  options.recordsPerBlock = 5;
  options.blockIntervalMs = 5;
  options.dropAfter = 4;
  Served served({{"dropped.dsx", shot()}}, options);
  Viewer v;
  v.ui.answers = {Answer::No};
  ASSERT_TRUE(v.link->goOnLine(served.address()));
  ASSERT_TRUE(v.run([&] { return v.ui.shown.size() == 1; }));
  ASSERT_EQ(v.frame->windowCount(), 1u);
  EXPECT_EQ(v.frame->onlineWindow(), nullptr);
  EXPECT_EQ(v.frame->statusText(), kReadyOffLine);
  EXPECT_FALSE(v.link->running());
  EXPECT_TRUE(v.frame->find(v.dir.file("dropped.dsx"))->requestClose());
}

TEST(MainFrameLink, TheLiveFitChoiceCarriesOverToEachAcquisition) {
  il::SimulatorOptions options;
  options.repeat = 2;
  options.recordsPerBlock = 30;
  Served served({{"fit.dsx", shot()}}, options);
  Viewer v;
  v.link->setLiveFitChoice(LiveFitSettings{function("Single Exponential"), 0});
  ASSERT_TRUE(v.link->goOnLine(served.address()));
  ASSERT_TRUE(v.run([&] {
    return std::filesystem::exists(v.dir.file("fit-2.dsx")) && v.frame->onlineWindow() == nullptr;
  }));
  for (const char* name : {"fit.dsx", "fit-2.dsx"}) {
    SCOPED_TRACE(name);
    datastore::DataStore back;
    ASSERT_TRUE(back.load(v.dir.file(name), false));
    ASSERT_FALSE(back.history.empty());
    EXPECT_EQ(back.history.back().title, "Fitting");
    EXPECT_NE(back.history.back().text.find("k = 3.0"), std::string::npos) << back.history.back().text;
  }
}

}  // namespace
}  // namespace lumatix::app
