// The table and JCAMP-DX exports: LumatixCSV and SimpleCSV of a 1000 x 1000 store, and
// JCAMP-DX of a 1,000,000-point trace (y-factor choice included), each to a file.
//
//   lumatix_bench_export                         run the benchmarks
//   lumatix_bench_export --write-simple CSV RAW  write the store's SimpleCSV file and its
//                                                table (row coordinate, then the values) as
//                                                raw float32, for export_compare.sh

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "datastore/data_store.h"
#include "export/jcamp_writer.h"
#include "export/lumatix_csv.h"
#include "export/simple_csv.h"

namespace {

using lumatix::datastore::DataStore;
using lumatix::datastore::Dimension;

constexpr std::int32_t kRows = 1000;
constexpr std::int32_t kColumns = 1000;
constexpr std::int32_t kTracePoints = 1000000;

class SilentReporter : public lumatix::exports::Reporter {
 public:
  void error(const std::string&) override {}
  void warning(const std::string&) override {}
  void information(const std::string&) override {}
};

// Values of measurement-like spread (six significant digits mostly needed), fixed seed.
float nextValue(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  const double unit = static_cast<double>(state >> 8) / 16777216.0;
  return static_cast<float>((unit - 0.5) * std::pow(10.0, static_cast<int>(state % 7) - 3));
}

DataStore makeStore(std::int32_t rows, std::int32_t columns) {
  DataStore store(true);
  store.title = "Export benchmark";
  std::vector<float> wavelengths(static_cast<std::size_t>(rows)), times(static_cast<std::size_t>(columns));
  for (std::int32_t i = 0; i < rows; ++i) wavelengths[static_cast<std::size_t>(i)] = 180.0f + 0.1f * static_cast<float>(i);
  for (std::int32_t j = 0; j < columns; ++j) times[static_cast<std::size_t>(j)] = 0.001f * static_cast<float>(j + 1);
  store.dimensions.push_back(Dimension("Wavelength", wavelengths));
  if (columns > 1) store.dimensions.push_back(Dimension("Time", times));
  store.properties.push_back("CircularDichroism -me");
  store.initialise();
  std::uint32_t state = 12345;
  for (std::int32_t i = 0; i < store.data.count; ++i) store.data.data[i] = nextValue(state);
  return store;
}

DataStore& tableStore() {
  static DataStore store = makeStore(kRows, kColumns);
  return store;
}

std::string benchFile() { return (std::filesystem::temp_directory_path() / ("lumatix-export-bench-" + std::to_string(getpid()))).string(); }

template <class Write>
void runToFile(benchmark::State& state, std::int64_t values, Write write) {
  std::int64_t bytes = 0;
  for (auto _ : state) {
    // A new file each time, as export_compare.sh gives numpy: rewriting a truncated file
    // makes some file systems flush the old one first.
    state.PauseTiming();
    std::filesystem::remove(benchFile());
    state.ResumeTiming();
    std::ofstream out(benchFile(), std::ios::binary | std::ios::trunc);
    write(out);
    out.flush();
    bytes += static_cast<std::int64_t>(out.tellp());
  }
  state.SetItemsProcessed(state.iterations() * values);
  state.SetBytesProcessed(bytes);
}

void BM_LumatixCSV(benchmark::State& state) {
  runToFile(state, std::int64_t{kRows} * kColumns,
            [](std::ostream& out) { lumatix::exports::writeLumatixCSV(out, tableStore(), false); });
}

void BM_SimpleCSV(benchmark::State& state) {
  SilentReporter reporter;
  runToFile(state, std::int64_t{kRows} * kColumns,
            [&](std::ostream& out) { lumatix::exports::writeSimpleCSV(out, tableStore(), reporter); });
}

void BM_JcampMillionPoints(benchmark::State& state) {
  static DataStore trace = makeStore(kTracePoints, 1);
  runToFile(state, kTracePoints, [](std::ostream& out) { lumatix::exports::writeJcamp(trace, out); });
}

BENCHMARK(BM_LumatixCSV)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SimpleCSV)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_JcampMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--write-simple") == 0) {
    SilentReporter reporter;
    DataStore& store = tableStore();
    std::ofstream csv(argv[2], std::ios::binary);
    lumatix::exports::writeSimpleCSV(csv, store, reporter);
    // Row-major (row coordinate, then the row's values); dimension 0 varies fastest in the block.
    std::ofstream raw(argv[3], std::ios::binary);
    for (std::int32_t i = 0; i < kRows; ++i) {
      const float coordinate = store.dimensions[0].values[i];
      raw.write(reinterpret_cast<const char*>(&coordinate), sizeof coordinate);
      for (std::int32_t j = 0; j < kColumns; ++j)
        raw.write(reinterpret_cast<const char*>(&store.data.data[i + std::int64_t{j} * kRows]), sizeof(float));
    }
    return csv && raw ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(benchFile().c_str());
  return 0;
}
