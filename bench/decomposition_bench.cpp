// Decomposing a store of four dimensions (200 x 50 x 10 x 10 points) into its 5,000 trace
// files: the first dimension kept whole, the three others split into folders. Every file is
// written, synced and renamed as the launch pad does it, into a fresh folder each time.
// The target is under 10 seconds per decomposition.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "app/decomposition.h"
#include "datastore/data_store.h"

#include "app/unattended_ui.h"

namespace {

using lumatix::datastore::DataStore;

using lumatix::app::UnattendedUi;

std::unique_ptr<DataStore> makeStore() {
  auto store = std::make_unique<DataStore>("bench", 1, 4);
  store->properties[0] = "CircularDichroism";
  const char* names[] = {"Wavelength", "Time", "Temperature", "Repeat"};
  const int sizes[] = {200, 50, 10, 10};
  for (int d = 0; d < 4; ++d) {
    store->dimensions[d].set(names[d], sizes[d]);
    for (int j = 0; j < sizes[d]; ++j) store->dimensions[d].values[j] = 1.0f + static_cast<float>(j);
  }
  if (!store->initialise()) throw std::runtime_error("cannot allocate the benchmark store");
  for (int i = 0; i < store->data.count; ++i) store->data.data[i] = static_cast<float>(i % 977) * 0.001f;
  return store;
}

void BM_Decompose(benchmark::State& state) {
  auto store = makeStore();
  auto rows = lumatix::app::defaultChoice(*store);
  rows[0].primary = true;
  UnattendedUi ui;
  const auto root = std::filesystem::temp_directory_path() / "lumatix-decomposition-bench";
  std::size_t files = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    state.ResumeTiming();
    files = lumatix::app::decompose(*store, rows, root.string(), ui);
  }
  std::filesystem::remove_all(root);
  if (files != 5000) state.SkipWithError("expected 5,000 files");
  state.counters["files"] = static_cast<double>(files);
}
BENCHMARK(BM_Decompose)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
