// From the control panel to the saved file: the simulator served over gRPC on the loopback
// plays a store without pauses between blocks, the link thread receives it, and the on-line
// window's rule saves it as LumBinaryX. "values_per_second" counts the store's values over the
// whole of it (goal: at least 5 million); "blocks_per_second" the data blocks.

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "app/online_window.h"
#include "link/control_panel_server.h"
#include "link/grpc_control_panel_client.h"
#include "link/link_thread.h"
#include "link/reply_checks.h"

#include "app/unattended_ui.h"

namespace {

namespace il = instrument_link;

using lumatix::app::UnattendedUi;

// A kinetic run of `wavelengths` traces of 2000 time points.
lumatix::datastore::DataStore run(int wavelengths) {
  lumatix::datastore::DataStore store;
  store.title = "throughput";
  store.addProperty("Absorbance");
  std::vector<float> time(2000), wavelength(static_cast<std::size_t>(wavelengths));
  for (std::size_t i = 0; i < time.size(); ++i) time[i] = 0.001f * static_cast<float>(i);
  for (std::size_t i = 0; i < wavelength.size(); ++i) wavelength[i] = 200.0f + static_cast<float>(i);
  store.addDimension(lumatix::datastore::Dimension("Time", time));
  store.addDimension(lumatix::datastore::Dimension("Wavelength", wavelength));
  for (std::int32_t i = 0; i < store.data.count; ++i) store.data.data[i] = static_cast<float>(i % 977) * 1e-3f;
  return store;
}

struct Codes {
  static void notified(void* context, int code, std::int64_t) {
    auto* self = static_cast<Codes*>(context);
    std::lock_guard lock(self->mutex);
    if (code == il::kAcquisitionFinished) ++self->finished;
    self->changed.notify_all();
  }
  std::mutex mutex;
  std::condition_variable changed;
  int finished = 0;
};

void BM_SimulatorToSavedFile(benchmark::State& state) {
  const int wavelengths = static_cast<int>(state.range(0));
  const lumatix::datastore::DataStore played = run(wavelengths);
  const std::string folder = (std::filesystem::temp_directory_path() / "lumatix-link-bench").string();
  std::filesystem::create_directories(folder);
  UnattendedUi ui(nullptr, lumatix::app::Answer::No);
  std::int64_t values = 0, blocks = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(folder + "/run.dsx");
    auto core = std::make_shared<il::SimulatorCore>(std::vector<il::PlayItem>{{"run.dsx", played}}, il::SimulatorOptions{});
    il::ControlPanelServer panel(core, il::ServerOptions{});
    il::CClientInfo info;
    il::CBRegister callbacks;
    Codes codes;
    callbacks.Register(&Codes::notified, &codes);
    il::LinkThread link(info, callbacks, [](const il::ServerAddress& a) { return il::makeGrpcControlPanelClient(a); });
    lumatix::app::OnlineWindow window(info, ui, folder + "/run.dsx");
    state.ResumeTiming();

    link.goOnLine({"127.0.0.1", static_cast<std::uint16_t>(panel.port())});
    {
      std::unique_lock lock(codes.mutex);
      codes.changed.wait(lock, [&] { return codes.finished > 0; });
    }
    window.headerReady(info.store());
    if (!window.finished()) state.SkipWithError("the acquisition was not saved");

    state.PauseTiming();
    link.stop();
    values += played.data.count;
    blocks += static_cast<std::int64_t>(info.storedRecords() / (il::kMaxBlockBytes / 12));
    state.ResumeTiming();
  }
  state.counters["values_per_second"] = benchmark::Counter(static_cast<double>(values), benchmark::Counter::kIsRate);
  state.counters["blocks_per_second"] = benchmark::Counter(static_cast<double>(blocks), benchmark::Counter::kIsRate);
}

}  // namespace

// 100 and 500 traces of 2000 points: 200,000 and 1,000,000 values.
BENCHMARK(BM_SimulatorToSavedFile)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
