// Reading and writing a LumatixStore file of 10 million values, against the stream loop the
// text formats used to be written with and against std::to_chars alone.
//
//   lumatix_bench_text                    run the benchmarks
//   lumatix_bench_text --write-file PATH  write the benchmark's file (for loadtxt_compare.sh)

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <unistd.h>

#include "datastore/data_store.h"
#include "datastore/lumatix_store.h"
#include "datastore/text_number.h"

namespace {

using lumatix::datastore::DataStore;
using lumatix::datastore::Dimension;

constexpr std::int32_t kWavelengths = 1000;
constexpr std::int32_t kTimes = 10000;
constexpr std::int64_t kValues = std::int64_t{kWavelengths} * kTimes;

// Counts what is written and keeps none of it, so the benchmarks measure formatting only.
class CountingBuffer : public std::streambuf {
 public:
  std::size_t count = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    count += static_cast<std::size_t>(n);
    return n;
  }
  int_type overflow(int_type c) override {
    ++count;
    return traits_type::not_eof(c);
  }
};

// A decaying, noisy family of spectra: values of every magnitude and sign, 6 digits.
DataStore& benchStore() {
  static DataStore store = [] {
    std::vector<float> lambdas(kWavelengths), times(kTimes);
    for (std::int32_t i = 0; i < kWavelengths; ++i) lambdas[static_cast<std::size_t>(i)] = 180.0f + 0.1f * static_cast<float>(i);
    for (std::int32_t t = 0; t < kTimes; ++t) times[static_cast<std::size_t>(t)] = 0.001f * static_cast<float>(t);
    DataStore s(true);
    s.title = "Benchmark";
    s.dimensions.push_back(Dimension("Wavelength", lambdas));
    s.dimensions.push_back(Dimension("Time", times));
    s.properties.push_back("CircularDichroism");
    s.initialise();
    std::uint32_t noise = 12345;
    for (std::int64_t i = 0; i < kValues; ++i) {
      noise = noise * 1664525u + 1013904223u;
      const double wave = std::sin(static_cast<double>(i % kWavelengths) * 0.01);
      const double decay = std::exp(-static_cast<double>(i / kWavelengths) * 0.0005);
      s.data.data[i] = static_cast<float>(25.0 * wave * decay + (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 0.01);
    }
    return s;
  }();
  return store;
}

const std::string& benchFile() {
  static const std::string path = [] {
    std::string p = (std::filesystem::temp_directory_path() / ("lumatix-bench-" + std::to_string(getpid()) + ".dsa")).string();
    std::ofstream out(p, std::ios::binary);
    lumatix::datastore::writeLumatixStore(benchStore(), out, false);
    return p;
  }();
  return path;
}

void BM_WriteLumatixStore(benchmark::State& state) {
  DataStore& store = benchStore();
  for (auto _ : state) {
    CountingBuffer buffer;
    std::ostream out(&buffer);
    lumatix::datastore::writeLumatixStore(store, out, false);
    benchmark::DoNotOptimize(buffer.count);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
}

void BM_ReadLumatixStore(benchmark::State& state) {
  const std::string& path = benchFile();
  for (auto _ : state) {
    DataStore store(true);
    std::ifstream in(path);
    lumatix::datastore::readLumatixStore(store, in, false);
    if (in.fail() || store.data.count != kValues) state.SkipWithError("the file did not read back");
    benchmark::DoNotOptimize(store.data.data);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
}

// The way the values were written before: one `<<` per value on a stream.
void BM_OstreamLoop(benchmark::State& state) {
  const DataStore& store = benchStore();
  for (auto _ : state) {
    CountingBuffer buffer;
    std::ostream out(&buffer);
    for (std::int64_t i = 0; i < kValues; ++i) out << store.data.data[i] << ',';
    benchmark::DoNotOptimize(buffer.count);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
}

void BM_ToCharsAlone(benchmark::State& state) {
  const DataStore& store = benchStore();
  char text[lumatix::datastore::text::kMaxNumberChars];
  for (auto _ : state) {
    std::size_t total = 0;
    for (std::int64_t i = 0; i < kValues; ++i)
      total += static_cast<std::size_t>(lumatix::datastore::text::formatFloat(text, store.data.data[i]) - text);
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
}

BENCHMARK(BM_WriteLumatixStore)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadLumatixStore)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OstreamLoop)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ToCharsAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-file") == 0) {
    std::ofstream out(argv[2], std::ios::binary);
    lumatix::datastore::writeLumatixStore(benchStore(), out, false);
    return out ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(benchFile().c_str());
  return 0;
}
