// The readers of large text files, step by step: the numbers alone, the rows of a table
// in one pass (on one thread and on several), and whole loads of a file of columns and of
// a JCAMP-DX file of x y pairs. bench/readers_vs_numpy.sh compares whole loads with
// numpy.loadtxt.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "datastore/bulk_rows.h"
#include "datastore/data_store.h"
#include "datastore/text_number.h"

namespace {

using namespace lumatix::datastore;

constexpr std::size_t kRows = 500000;

// Rows as numpy.savetxt writes them with "%.4f": x, then three normally spread values.
const std::string& tableText() {
  static const std::string text = [] {
    std::mt19937 random(1);
    std::normal_distribution<double> spread;
    std::string out;
    char buffer[96];
    for (std::size_t i = 0; i < kRows; ++i) {
      const int n = std::snprintf(buffer, sizeof buffer, "%.4f\t%.4f\t%.4f\t%.4f\n", 200.0 + 0.01 * static_cast<double>(i),
                                  spread(random), spread(random), spread(random));
      out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
  }();
  return text;
}

std::string writeTemporary(const std::string& name, const std::string& text) {
  const auto path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

void BM_ParseFloats(benchmark::State& state) {
  const std::string& text = tableText();
  for (auto _ : state) {
    float sum = 0.0f;
    std::size_t at = 0;
    while (at < text.size()) {
      float value = 0.0f;
      const std::size_t used = text::parseFloatAt(text.data() + at, text.data() + text.size(), value);
      sum += value;
      at += used + 1;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_PlainRows(benchmark::State& state) {
  const std::string& text = tableText();
  const auto threads = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    std::vector<std::vector<float>> columns(4);
    text::BulkRows rows(text, text::Separator::Tab, columns, text::Parts{threads});
    benchmark::DoNotOptimize(rows.advance(0));
    if (columns[0].size() != kRows) state.SkipWithError("rows lost");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_LoadColumns(benchmark::State& state) {
  const std::string path = writeTemporary("lumatix_bench_columns.txt", "x\ta\tb\tc\n" + tableText());
  for (auto _ : state) {
    DataStore store;
    if (!store.load(path, false)) state.SkipWithError("not read");
    benchmark::DoNotOptimize(store.data.data);
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * tableText().size()));
}

void BM_LoadJcampPairs(benchmark::State& state) {
  std::string text = "##TITLE= bench\n##JCAMP-DX= 5.01\n##XUNITS= NANOMETERS\n##YUNITS= ABSORBANCE\n##XYDATA= (XY..XY)\n";
  const std::string& table = tableText();
  // x and the first value of every row.
  for (std::size_t at = 0; at < table.size();) {
    const std::size_t second = table.find('\t', table.find('\t', at) + 1);
    const std::size_t end = table.find('\n', at);
    std::string pair = table.substr(at, second - at);
    pair[pair.find('\t')] = ' ';
    text += pair + "\n";
    at = end + 1;
  }
  text += "##END=\n";
  const std::string path = writeTemporary("lumatix_bench_pairs.jdx", text);
  for (auto _ : state) {
    DataStore store;
    if (!store.load(path, false)) state.SkipWithError("not read");
    benchmark::DoNotOptimize(store.data.data);
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_ParseFloats)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRows)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadColumns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadJcampPairs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
