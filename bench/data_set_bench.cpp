// Cutting a store of 1000 traces x 10,000 points into a data set and turning it back into a
// store. The "per_value" counter is the time per stored value (the target is at most 5 ns).

#include <benchmark/benchmark.h>

#include <memory>

#include "datastore/data_store.h"
#include "processing/data_set.h"

namespace {

using lumatix::datastore::DataStore;
using lumatix::datastore::Dimension;
using lumatix::processing::CDataSet;

constexpr int kPoints = 10000;
constexpr int kTraces = 1000;
constexpr double kValues = double(kPoints) * kTraces;

std::unique_ptr<DataStore> makeStore(const char* property) {
  auto store = std::make_unique<DataStore>("bench", 1, 2);
  store->properties[0] = property;
  store->dimensions[0].set("Wavelength", kPoints);
  store->dimensions[1].set("Temperature", kTraces);
  for (int j = 0; j < kPoints; ++j) store->dimensions[0].values[j] = 180.0f + 0.01f * static_cast<float>(j);
  for (int t = 0; t < kTraces; ++t) store->dimensions[1].values[t] = 20.0f + 0.1f * static_cast<float>(t);
  if (!store->initialise()) throw std::runtime_error("cannot allocate the benchmark store");
  for (int i = 0; i < store->data.count; ++i) store->data.data[i] = static_cast<float>(i % 977) * 0.001f;
  return store;
}

void perValue(benchmark::State& state) {
  state.counters["per_value"] =
      benchmark::Counter(kValues, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Load(benchmark::State& state) {
  auto store = makeStore("CircularDichroism");
  for (auto _ : state) {
    CDataSet set;
    set.Load(*store, 0, 1, 0, -1);
    benchmark::DoNotOptimize(set.yA.data());
  }
  perValue(state);
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

// With a unit conversion every value runs through the evaluator.
void BM_LoadConverted(benchmark::State& state) {
  auto store = makeStore("Absorbance");
  for (auto _ : state) {
    CDataSet set;
    set.Load(*store, 0, 1, 0, 1);
    benchmark::DoNotOptimize(set.yA.data());
  }
  perValue(state);
}
BENCHMARK(BM_LoadConverted)->Unit(benchmark::kMillisecond);

void BM_ToDataStore(benchmark::State& state) {
  auto store = makeStore("CircularDichroism");
  CDataSet set;
  set.Load(*store, 0, 1, 0, -1);
  for (auto _ : state) {
    auto written = set.ToDataStore();
    benchmark::DoNotOptimize(written->data.data);
  }
  perValue(state);
}
BENCHMARK(BM_ToDataStore)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
