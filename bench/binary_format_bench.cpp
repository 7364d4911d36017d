// Speed of the checksum and of loading and saving a 256 MiB LumBinaryX file, each beside the
// plain fread/fwrite of the same bytes measured in the same run.
//
//   lumatix_bench_binary [benchmark options]
//   lumatix_bench_binary --write-big FILE     writes the 256 MiB test file and exits

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "datastore/crc32.h"
#include "datastore/data_store.h"
#include "datastore/diagnostics.h"
#include "datastore/lum_binary.h"

namespace {

using lumatix::datastore::Crc32;
using lumatix::datastore::DataStore;
using lumatix::datastore::Dimension;

constexpr int kSide = 8192;  // 8192 x 8192 floats: the format's largest block, 256 MiB

const std::vector<unsigned char>& randomBytes() {
  static const std::vector<unsigned char> bytes = [] {
    std::vector<unsigned char> b(16 << 20);
    std::mt19937 random(3);
    for (auto& x : b) x = static_cast<unsigned char>(random());
    return b;
  }();
  return bytes;
}

template <std::uint32_t (*F)(std::uint32_t, const void*, std::size_t)>
void BM_Crc(benchmark::State& state) {
  const auto& bytes = randomBytes();
  for (auto _ : state) benchmark::DoNotOptimize(F(0, bytes.data(), bytes.size()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK_TEMPLATE(BM_Crc, Crc32::bytewise)->Name("crc32/bytewise");
BENCHMARK_TEMPLATE(BM_Crc, Crc32::slicingBy8)->Name("crc32/slicing-by-8");
BENCHMARK_TEMPLATE(BM_Crc, Crc32::folding)->Name("crc32/folding");

DataStore bigStore() {
  std::vector<float> axis(kSide);
  for (int i = 0; i < kSide; ++i) axis[static_cast<std::size_t>(i)] = static_cast<float>(i);
  DataStore store("256 MiB", 1, 2);
  store.properties[0] = "Absorbance";
  store.dimensions[0] = Dimension("Wavelength", axis);
  store.dimensions[1] = Dimension("Time", axis);
  if (!store.initialise()) std::abort();
  for (std::int32_t i = 0; i < store.data.count; ++i) store.data.data[i] = static_cast<float>(i % 1000) * 0.001f;
  return store;
}

void writeBig(const std::string& path) {
  DataStore store = bigStore();
  std::ofstream out(path, std::ios::binary);
  lumatix::datastore::writeLumBinaryX(store, out, false);
}

const std::string& bigFile() {
  static const std::string path = [] {
    std::string p = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/lumatix-bench-256mib.dsx";
    writeBig(p);
    return p;
  }();
  return path;
}

std::size_t fileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return static_cast<std::size_t>(in.tellg());
}

void BM_FreadFresh(benchmark::State& state) {
  const std::string& path = bigFile();
  std::size_t size = fileSize(path);
  for (auto _ : state) {
    std::unique_ptr<char[]> buffer(new char[size]);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::size_t got = std::fread(buffer.get(), 1, size, f);
    std::fclose(f);
    benchmark::DoNotOptimize(buffer.get());
    if (got != size) state.SkipWithError("short read");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_FreadFresh)->Name("load/fread-fresh-buffer")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadLumBinaryX(benchmark::State& state) {
  const std::string& path = bigFile();
  std::size_t size = fileSize(path);
  std::ostream quiet(nullptr);
  lumatix::datastore::setDiagnostics(&quiet);
  for (auto _ : state) {
    DataStore store(true);
    if (!store.load(path, false)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(store.data.data);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_LoadLumBinaryX)->Name("load/LumBinaryX")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FwriteBlock(benchmark::State& state) {
  DataStore store = bigStore();
  std::string path = bigFile() + ".out";
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(store.data.data, 4, static_cast<std::size_t>(store.data.count), f);
    std::fclose(f);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * store.data.count * 4);
  std::remove(path.c_str());
}
BENCHMARK(BM_FwriteBlock)->Name("save/fwrite")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveLumBinaryX(benchmark::State& state) {
  DataStore store = bigStore();
  std::string path = bigFile() + ".out";
  for (auto _ : state) {
    std::ofstream out(path, std::ios::binary);
    lumatix::datastore::writeLumBinaryX(store, out, false);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * store.data.count * 4);
  std::remove(path.c_str());
}
BENCHMARK(BM_SaveLumBinaryX)->Name("save/LumBinaryX")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-big") == 0) {
    writeBig(argv[2]);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::remove(bigFile().c_str());
  return 0;
}
