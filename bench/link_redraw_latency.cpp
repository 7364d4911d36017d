// From a data block's arrival to the on-line window's redraw: the viewer's main frame with its
// 500 ms tick receives an acquisition from the simulator (one block every 700 ms); a watcher
// notes when each block was stored, the window when it drew. Prints the minimum, median and
// maximum over the blocks (goal: every block drawn within 600 ms). Run offscreen:
//   QT_QPA_PLATFORM=offscreen lumatix_link_redraw_latency [BLOCKS]

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "app/main_frame.h"
#include "app/user_pref.h"
#include "gui/main_frame_window.h"
#include "gui/online_plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui/qt_ui.h"
#include "link/control_panel_server.h"
#include "platform/settings_store.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace il = instrument_link;

lumatix::datastore::DataStore shot(int points) {
  lumatix::datastore::DataStore store;
  store.addProperty("Absorbance");
  std::vector<float> t(static_cast<std::size_t>(points));
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = 0.01f * static_cast<float>(i);
  store.addDimension(lumatix::datastore::Dimension("Time", t));
  for (std::int32_t i = 0; i < store.data.count; ++i) store.data.data[i] = static_cast<float>(i);
  return store;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  const int blocks = argc > 1 ? std::max(3, std::atoi(argv[1])) : 10;
  QTemporaryDir dir;
  lumatix::platform::SettingsStore settings(dir.path().toStdString() + "/viewer.conf");
  lumatix::app::CUserPref preferences;
  preferences.workingDirectory = dir.path().toStdString();

  il::SimulatorOptions options;
  options.recordsPerBlock = 10;
  options.blockIntervalMs = 700;
  auto core = std::make_shared<il::SimulatorCore>(std::vector<il::PlayItem>{{"latency.dsx", shot(10 * blocks)}}, options);
  il::ControlPanelServer panel(core, il::ServerOptions{});
  settings.setInt("Preferences", "ControlPanelPort", panel.port());

  lumatix::gui::QtUi ui;
  lumatix::gui::MainFrameWindow* frame = nullptr;
  lumatix::gui::MainFrameWindow window(ui, settings, preferences,
                                       lumatix::gui::plotWindowMaker(ui, [&]() -> lumatix::app::MainFrame* {
                                         return frame ? &frame->frame() : nullptr;
                                       }));
  frame = &window;
  ui.setParent(&window);

  // The watcher: when each block was stored.
  std::mutex mutex;
  std::vector<Clock::time_point> stored, drawn;
  std::atomic<bool> watching{true};
  std::thread watcher([&] {
    std::uint64_t seen = window.link().clientInfo().dataGeneration();
    while (watching) {
      const std::uint64_t now = window.link().clientInfo().dataGeneration();
      if (now != seen) {
        seen = now;
        std::lock_guard lock(mutex);
        stored.push_back(Clock::now());
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });

  bool connected = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* handle = dynamic_cast<lumatix::gui::OnlinePlotWindowHandle*>(window.frame().onlineWindow());
    if (!connected && handle != nullptr && handle->controller() != nullptr) {
      connected = true;
      QObject::connect(handle->controller(), &lumatix::gui::OnlinePlotController::redrawn, [&] {
        std::lock_guard lock(mutex);
        drawn.push_back(Clock::now());
      });
    }
    if (core->acquisitionsClosed() > 0 && window.frame().onlineWindow() == nullptr) qt.quit();
  });
  poll.start(5);
  window.link().goOnLineLocal();
  QTimer::singleShot(blocks * 700 + 10000, &qt, &QApplication::quit);
  qt.exec();
  watching = false;
  watcher.join();

  // Each block waits for the first redraw after it; the header's counts as the first block.
  std::vector<double> latency;
  for (Clock::time_point s : stored) {
    auto it = std::lower_bound(drawn.begin(), drawn.end(), s);
    if (it != drawn.end()) latency.push_back(std::chrono::duration<double, std::milli>(*it - s).count());
  }
  if (latency.empty()) {
    std::fprintf(stderr, "no block was drawn\n");
    return 1;
  }
  std::sort(latency.begin(), latency.end());
  std::printf("block to redraw over %zu blocks: min %.0f ms, median %.0f ms, max %.0f ms (goal: under 600 ms)\n",
              latency.size(), latency.front(), latency[latency.size() / 2], latency.back());
  return latency.back() < 600.0 ? 0 : 1;
}
