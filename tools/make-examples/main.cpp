// make-examples: writes the sample measurements shipped in examples/.
// Everything is computed from physical models with seeded noise, and the clock, user and
// file identifiers are fixed, so the files are the same on every run.
//
//   make-examples OUTDIR           the sample measurements
//   make-examples --seeds DIR      tiny files in every native format and every imported text shape, the
//                                  fuzzers' seeds

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <random>
#include <string>

#include "datastore/data_store.h"
#include "datastore/lum_binary.h"
#include "datastore/lumatix_store.h"
#include "platform/atomic_file.h"
#include "platform/build_info.h"
#include "platform/clock.h"
#include "platform/file_id.h"
#include "platform/identity.h"
#include "text_seeds.h"

namespace {

using lumatix::datastore::DataStore;
using lumatix::datastore::Dimension;

std::tm acquisitionTime() {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 10;
  t.tm_mday = 17;
  t.tm_hour = 10;
  t.tm_min = 42;
  t.tm_sec = 5;
  t.tm_wday = 2;
  t.tm_yday = 320;
  return t;
}

void fixProviders() {
  lumatix::platform::setTimeSource(acquisitionTime);
  lumatix::platform::setLogonNameSource([] { return std::string("labuser"); });
  lumatix::platform::setBuildStamp({"Nov 17 2026", "09:00:00"});
  static std::mt19937 guidRandom(20261117);
  lumatix::platform::setGuidSource([] {
    lumatix::platform::GuidBytes g{};
    for (auto& b : g) b = static_cast<std::uint8_t>(guidRandom());
    g[6] = static_cast<std::uint8_t>((g[6] & 0x0F) | 0x40);
    g[8] = static_cast<std::uint8_t>((g[8] & 0x3F) | 0x80);
    return g;
  });
}

DataStore makeStore(const std::string& title, std::vector<std::string> properties, std::vector<Dimension> dimensions) {
  DataStore store(title, static_cast<std::int32_t>(properties.size()), static_cast<std::int32_t>(dimensions.size()));
  for (std::size_t i = 0; i < properties.size(); ++i) store.properties[static_cast<std::int64_t>(i)] = properties[i];
  for (std::size_t i = 0; i < dimensions.size(); ++i) store.dimensions[static_cast<std::int64_t>(i)] = dimensions[i];
  if (!store.initialise()) throw std::runtime_error("cannot allocate the example " + title);
  store.attributes.timeStamp = lumatix::platform::ctimeNow();
  store.attributes.fileId = lumatix::platform::newFileId();
  return store;
}

float gauss(double x, double centre, double width) { return static_cast<float>(std::exp(-std::pow((x - centre) / width, 2))); }

// A helical protein melting: the helix bands at 222 and 208 nm (negative) and 192 nm
// (positive) give way to the random-coil minimum near 198 nm as the temperature rises.
DataStore cdThermalMelt(std::mt19937& random) {
  std::vector<float> wavelengths, temperatures{20.0f, 35.0f, 50.0f, 65.0f, 80.0f};
  for (int i = 0; i <= 160; ++i) wavelengths.push_back(260.0f - 0.5f * static_cast<float>(i));
  DataStore store = makeStore("Thermal melt of a helical peptide, 0.2 mg/ml, 1 mm cell",
                              {"CircularDichroism", "HV"},
                              {Dimension("Wavelength -en 1 -ex 1", wavelengths),
                               Dimension("Temperature -ramp 1", temperatures)});
  std::normal_distribution<double> noise(0.0, 0.25);
  const std::int64_t perProperty = store.valuesPerProperty();
  for (std::size_t t = 0; t < temperatures.size(); ++t) {
    double folded = 1.0 / (1.0 + std::exp((temperatures[t] - 55.0) / 6.0));
    for (std::size_t w = 0; w < wavelengths.size(); ++w) {
      double l = wavelengths[w];
      double helix = -32.0 * gauss(l, 222.0, 9.0) - 30.0 * gauss(l, 208.0, 6.0) + 65.0 * gauss(l, 192.0, 6.5);
      double coil = -38.0 * gauss(l, 198.0, 7.0) + 2.0 * gauss(l, 218.0, 8.0);
      double cd = folded * helix + (1.0 - folded) * coil + noise(random);
      // The photomultiplier voltage climbs as the light fades in the far ultraviolet.
      double hv = 240.0 + 420.0 / (1.0 + std::exp((l - 196.0) / 6.0)) + 2.0 * noise(random);
      std::int64_t at = static_cast<std::int64_t>(w) + static_cast<std::int64_t>(t) * static_cast<std::int64_t>(wavelengths.size());
      store.data[at] = static_cast<float>(cd);
      store.data[perProperty + at] = static_cast<float>(hv);
    }
  }
  store.addRemark("Sample: 20-residue helical peptide in 10 mM phosphate, pH 7.0");
  store.addRemark("Baseline: buffer in the same cell, subtracted on the instrument");
  store.options.push_back("Wavelength: 180nm - 260nm, Step Size: 0.5nm,Bandwidth: 1nm");
  store.options.push_back("5 temperatures, from 20 to 80degrees Celsius  in smooth ramp mode at ramp-rate of 1degrees C per min.");
  store.options.push_back("Time-per-point: 0.5s, 3 scans averaged");
  store.computeRange();
  return store;
}

// A temperature ramp of the same kind of peptide: spectra at eight temperatures, with the
// cell temperature the block measured at every point beside the CD signal, as a ramp
// acquisition records it.
DataStore cdTemperatureRamp(std::mt19937& random) {
  std::vector<float> wavelengths, temperatures;
  for (int i = 0; i <= 40; ++i) wavelengths.push_back(240.0f - 1.0f * static_cast<float>(i));
  for (int i = 0; i < 8; ++i) temperatures.push_back(10.0f + 10.0f * static_cast<float>(i));
  DataStore store = makeStore("Temperature ramp of a helical peptide, 0.1 mg/ml, 1 mm cell",
                              {"CircularDichroism", "HV", "Temperature"},
                              {Dimension("Wavelength -en 1 -ex 1", wavelengths),
                               Dimension("Temperature -ramp 1", temperatures)});
  std::normal_distribution<double> noise(0.0, 0.25);
  const std::int64_t perProperty = store.valuesPerProperty();
  for (std::size_t t = 0; t < temperatures.size(); ++t) {
    double folded = 1.0 / (1.0 + std::exp((temperatures[t] - 50.0) / 7.0));
    for (std::size_t w = 0; w < wavelengths.size(); ++w) {
      double l = wavelengths[w];
      double helix = -32.0 * gauss(l, 222.0, 9.0) - 30.0 * gauss(l, 208.0, 6.0);
      double coil = -38.0 * gauss(l, 198.0, 7.0) + 2.0 * gauss(l, 218.0, 8.0);
      std::int64_t at = static_cast<std::int64_t>(w) + static_cast<std::int64_t>(t) * static_cast<std::int64_t>(wavelengths.size());
      store.data[at] = static_cast<float>(folded * helix + (1.0 - folded) * coil + noise(random));
      store.data[perProperty + at] = static_cast<float>(250.0 + 300.0 / (1.0 + std::exp((l - 200.0) / 6.0)));
      store.data[2 * perProperty + at] = static_cast<float>(temperatures[t] + 0.05 * noise(random));
    }
  }
  store.addRemark("Sample: 20-residue helical peptide in 10 mM phosphate, pH 7.0");
  store.computeRange();
  return store;
}

// Stopped-flow absorbance: a single-exponential decay at 420 nm, 1000 logarithmically
// spaced points from 1 ms to 2 s, three shots.
DataStore stoppedFlowAbsorbance(std::mt19937& random) {
  std::vector<float> times, repeats{1.0f, 2.0f, 3.0f};
  for (int i = 0; i < 1000; ++i) times.push_back(static_cast<float>(0.001 * std::pow(2000.0, i / 999.0)));
  DataStore store = makeStore("Stopped-flow absorbance at 420 nm, 5 uM haem protein + 50 uM ligand",
                              {"Absorbance"},
                              {Dimension("Time -log -trigger", times), Dimension("Repeat", repeats)});
  std::normal_distribution<double> noise(0.0, 0.0015);
  for (std::size_t r = 0; r < repeats.size(); ++r)
    for (std::size_t i = 0; i < times.size(); ++i) {
      double a = 0.25 + 0.18 * std::exp(-12.5 * times[i]) + noise(random);
      store.data[static_cast<std::int64_t>(i + r * times.size())] = static_cast<float>(a);
    }
  store.addRemark("Monochromator 420 nm, 2 mm path, 25 C");
  store.options.push_back("1000 time points over 2s,logarithmic,not oversampled,external trigger,pressure hold off (pressure released immediately)");
  store.options.push_back("3 repeats in set.");
  store.computeRange();
  return store;
}

// Fluorescence polarisation of a labelled ligand binding its receptor: the polarisation
// rises from 0.05 towards 0.21 with a rate of 0.35 per second over 20 s.
DataStore fluorescencePolarisation(std::mt19937& random) {
  std::vector<float> times;
  for (int i = 0; i < 500; ++i) times.push_back(0.04f * static_cast<float>(i + 1));
  DataStore store = makeStore("Fluorescence polarisation, 10 nM fluorescein-peptide + 1 uM receptor",
                              {"FluoPolarisation"}, {Dimension("Time", times)});
  std::normal_distribution<double> noise(0.0, 0.003);
  for (std::size_t i = 0; i < times.size(); ++i) {
    double p = 0.05 + 0.16 * (1.0 - std::exp(-0.35 * times[i])) + noise(random);
    store.data[static_cast<std::int64_t>(i)] = static_cast<float>(p);
  }
  store.addRemark("Excitation 495 nm, emission through 515 nm cut-off filters, 25 C");
  store.options.push_back("500 time points over 20s,linear,not oversampled,with pre-trigger");
  store.computeRange();
  return store;
}

void save(DataStore& store, const std::filesystem::path& path) {
  lumatix::platform::AtomicFile file(path.string());
  lumatix::datastore::writeLumBinaryX(store, file.stream(), false);
  file.commit();
  std::printf("wrote %s\n", path.string().c_str());
}

// Small stores that reach the corners of the readers: marks, old comments, several
// properties, a single point.
void writeSeeds(const std::filesystem::path& dir, std::mt19937& random) {
  std::vector<DataStore> stores;
  {
    DataStore s = makeStore("tiny", {"CircularDichroism -me"}, {Dimension("Wavelength", {200.0f, 199.5f, 199.0f})});
    s.data[1] = 1.5f;
    stores.push_back(s);
  }
  {
    DataStore s = makeStore("marks", {"Absorbance", "HV"},
                            {Dimension("Time -log", {0.1f, 0.2f}), Dimension("Repeat", {1.0f, 2.0f, 3.0f})});
    s.viewState.marks[1].push_back({4.0f, 2, 0, "Subtracted:0", true});
    s.viewState.marks[1].push_back({5.0f, 7, 1, "Average:1", false});
    s.addRemark("one remark");
    s.addHistory(lumatix::datastore::makeOldComment("an old comment\r\n"));
    for (std::int32_t i = 0; i < s.data.count; ++i) s.data[i] = static_cast<float>(random() % 1000) / 10.0f;
    stores.push_back(s);
  }
  {
    DataStore s = makeStore("point", {"Count"}, {Dimension("Cell", {1.0f})});
    s.attributes.dataUnmodified = false;
    s.parent.parentFileName = "parent.dsx";
    stores.push_back(s);
  }
  std::filesystem::create_directories(dir / "lum_binary_x");
  std::filesystem::create_directories(dir / "lum_binary");
  int n = 0;
  for (auto& store : stores) {
    ++n;
    for (bool headerOnly : {false, true}) {
      std::string suffix = std::to_string(n) + (headerOnly ? "-header" : "");
      {
        lumatix::platform::AtomicFile file((dir / "lum_binary_x" / ("seed" + suffix + ".dsx")).string());
        lumatix::datastore::writeLumBinaryX(store, file.stream(), headerOnly);
        file.commit();
      }
      lumatix::platform::AtomicFile file((dir / "lum_binary" / ("seed" + suffix + ".dsb")).string());
      lumatix::datastore::writeLumBinary(store, file.stream(), headerOnly);
      file.commit();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool seeds = argc == 3 && std::string(argv[1]) == "--seeds";
  if (argc != 2 && !seeds) {
    std::fprintf(stderr, "usage: make-examples OUTDIR | make-examples --seeds DIR\n");
    return 2;
  }
  try {
    fixProviders();
    if (seeds) {
      std::mt19937 random(7);
      writeSeeds(argv[2], random);
      writeTextSeeds(argv[2]);
      return 0;
    }
    std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir);
    std::mt19937 random(42);
    DataStore cd = cdThermalMelt(random);
    save(cd, dir / "cd_thermal_melt.dsx");
    // The readable text form also carries the option lines, which LumBinaryX has no place for.
    {
      lumatix::platform::AtomicFile file((dir / "cd_thermal_melt.dsa").string());
      lumatix::datastore::writeLumatixStore(cd, file.stream(), false);
      file.commit();
      std::printf("wrote %s\n", (dir / "cd_thermal_melt.dsa").string().c_str());
    }
    DataStore sf = stoppedFlowAbsorbance(random);
    save(sf, dir / "stopped_flow_absorbance.dsx");
    DataStore fp = fluorescencePolarisation(random);
    save(fp, dir / "fluorescence_polarisation.dsx");
    // Its own generator, so that the examples above stay as they were.
    std::mt19937 rampRandom(43);
    DataStore ramp = cdTemperatureRamp(rampRandom);
    save(ramp, dir / "cd_temperature_ramp.dsx");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
