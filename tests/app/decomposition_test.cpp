#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <set>

#include "app/decomposition.h"
#include "app/parallel_store_writer.h"
#include "datastore/data_store.h"
#include "datastore/lum_binary.h"
#include "platform/atomic_file.h"
#include "support/fixed_providers.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedUi;
using testing::TempDir;

// Wavelength (3) x Temperature (2) x Repeat (2); the value is 100*repeat + 10*temperature + wavelength index.
datastore::DataStore cube() {
  datastore::DataStore s("cube", 1, 3);
  s.properties[0] = "Absorbance";
  s.dimensions[0] = datastore::Dimension("Wavelength", {250, 260, 270});
  s.dimensions[1] = datastore::Dimension("Temperature", {20, 30.5});
  s.dimensions[2] = datastore::Dimension("Repeat", {1, 2});
  EXPECT_TRUE(s.initialise());
  for (int r = 0; r < 2; ++r)
    for (int t = 0; t < 2; ++t)
      for (int w = 0; w < 3; ++w) s.data[w + 3 * t + 6 * r] = static_cast<float>(100 * r + 10 * t + w);
  return s;
}

std::vector<DimensionChoice> wavelengthPrimary(const datastore::DataStore& s) {
  auto rows = defaultChoice(s);
  rows[0].primary = true;
  return rows;
}

std::set<std::string> tree(const fs::path& root) {
  std::set<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(root))
    names.insert(fs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ""));
  return names;
}

datastore::DataStore read(const std::string& path) {
  datastore::DataStore s(true);
  EXPECT_TRUE(s.load(path, false)) << path;
  return s;
}

TEST(Decomposition, OneFolderLevelPerSplitDimensionAndOneFilePerCombination) {
  testing::FixedProviders fixed;
  TempDir dir;
  ScriptedUi ui;
  datastore::DataStore s = cube();
  EXPECT_EQ(decompose(s, wavelengthPrimary(s), dir.path().string(), ui), 4u);
  EXPECT_EQ(tree(dir.path()), (std::set<std::string>{
                                  "Temperature=20/",
                                  "Temperature=20/Temperature=20 Repeat=1.dsx",
                                  "Temperature=20/Temperature=20 Repeat=2.dsx",
                                  "Temperature=30.5/",
                                  "Temperature=30.5/Temperature=30.5 Repeat=1.dsx",
                                  "Temperature=30.5/Temperature=30.5 Repeat=2.dsx",
                              }));
  datastore::DataStore leaf = read(dir.file("Temperature=30.5/Temperature=30.5 Repeat=2.dsx"));
  ASSERT_EQ(leaf.dimensions.size(), 1);
  EXPECT_EQ(leaf.dimensions[0].name, "Wavelength");
  EXPECT_EQ(std::vector<float>(leaf.data.data, leaf.data.data + leaf.data.count), (std::vector<float>{110, 111, 112}));
  ASSERT_FALSE(ui.progressSeen.empty());
  EXPECT_DOUBLE_EQ(ui.progressSeen.back().second, 1.0);
}

TEST(Decomposition, RangesLimitWhatIsWritten) {
  testing::FixedProviders fixed;
  TempDir dir;
  ScriptedUi ui;
  datastore::DataStore s = cube();
  auto rows = wavelengthPrimary(s);
  rows[0].rangeMin = 255;  // wavelengths 260 and 270
  rows[1].rangeMin = 25;   // temperature 30.5 only
  EXPECT_EQ(decompose(s, rows, dir.path().string(), ui), 2u);
  datastore::DataStore leaf = read(dir.file("Temperature=30.5/Temperature=30.5 Repeat=1.dsx"));
  EXPECT_EQ(std::vector<float>(leaf.data.data, leaf.data.data + leaf.data.count), (std::vector<float>{11, 12}));
}

TEST(Decomposition, ExistingNamesGetASuffixAndAreNeverReplaced) {
  testing::FixedProviders fixed;
  TempDir dir;
  ScriptedUi ui;
  testing::writeFile(dir.file("x.dsx"), "mine");
  EXPECT_EQ(freeFileName(dir.path().string(), "x"), dir.file("x_1.dsx"));
  EXPECT_EQ(freeFileName(dir.path().string(), "x.dsa"), dir.file("x_1.dsx"));
  EXPECT_EQ(freeFileName(dir.path().string(), "Wavelength=200.5"), dir.file("Wavelength=200.5.dsx"));

  datastore::DataStore s = cube();
  auto rows = wavelengthPrimary(s);
  rows[2].primary = true;  // only Temperature is split: two files at the top
  testing::writeFile(dir.file("Temperature=20.dsx"), "mine");
  testing::writeFile(dir.file("Temperature=20_1.dsx"), "mine too");
  EXPECT_EQ(decompose(s, rows, dir.path().string(), ui), 2u);
  EXPECT_EQ(testing::readFile(dir.file("Temperature=20.dsx")), "mine");
  EXPECT_EQ(read(dir.file("Temperature=20_2.dsx")).dimensions.size(), 2);

  // A second run beside the first: folders take "_1".
  TempDir again;
  decompose(s, wavelengthPrimary(s), again.path().string(), ui);
  decompose(s, wavelengthPrimary(s), again.path().string(), ui);
  EXPECT_TRUE(fs::exists(again.file("Temperature=20_1/Temperature=20 Repeat=1.dsx")));
}

TEST(Decomposition, RefusalsCarryTheProgramsMessage) {
  testing::FixedProviders fixed;
  TempDir dir;
  ScriptedUi ui;
  datastore::DataStore s = cube();
  struct Row {
    const char* name;
    std::vector<DimensionChoice> rows;
    std::string folder;
    std::string message;
  } rows[] = {
      {"missing folder", wavelengthPrimary(s), dir.file("none"), "Failed to Move to directory " + dir.file("none")},
      {"nothing split", {{250, 270, true}, {20, 30.5f, true}, {1, 2, true}}, dir.path().string(),
       "Error! No more dimensions to select from."},
      {"rows short", {{250, 270, true}}, dir.path().string(), "Error! The decomposition needs one row per dimension."},
  };
  for (auto& r : rows) {
    try {
      decompose(s, r.rows, r.folder, ui);
      ADD_FAILURE() << r.name;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(e.what(), r.message) << r.name;
    }
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(Decomposition, AFailedWriteStopsAtTheFirstFailureAndLeavesNoPartialFile) {
  testing::FixedProviders fixed;
  TempDir dir;
  ScriptedUi ui;
  datastore::DataStore s = cube();
  WorkHooks hooks;
  // The disk fills half way through the second file.
  hooks.write = [](datastore::DataStore& store, const std::string& path) {
    platform::AtomicFile file(path);
    datastore::writeLumBinaryX(store, file.stream(), false);
    if (path.find("30.5") != std::string::npos) file.stream().setstate(std::ios::badbit);
    file.commit();
  };
  auto rows = wavelengthPrimary(s);
  rows[2].primary = true;
  try {
    decompose(s, rows, dir.path().string(), ui, hooks);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Can't write " + dir.file("Temperature=30.5.dsx") + ": Input/output error");
  }
  EXPECT_EQ(tree(dir.path()), std::set<std::string>{"Temperature=20.dsx"});
}

TEST(ParallelStoreWriter, ReportsTheFirstFailureInTheOrderHandedOver) {
  std::atomic<int> written{0};
  ParallelStoreWriter writer(
      [&](datastore::DataStore&, const std::string& path) {
        if (path == "b") {
          // Fails after c has failed.
          std::this_thread::sleep_for(std::chrono::milliseconds(50));
          throw std::runtime_error("b failed");
        }
        if (path == "c") throw std::runtime_error("c failed");
        ++written;
      },
      4);
  for (const char* path : {"a", "b", "c"}) writer.submit(std::make_unique<datastore::DataStore>(true), path);
  try {
    writer.finish();
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "b failed");
  }
  EXPECT_EQ(written, 1);
  EXPECT_EQ(writer.written(), 1u);
}

TEST(Decomposition, StopsBetweenFilesWhenCancelled) {
  testing::FixedProviders fixed;
  TempDir dir;
  ScriptedUi ui;
  datastore::DataStore s = cube();
  WorkHooks hooks;
  int asked = 0;
  hooks.cancelled = [&] { return ++asked > 1; };
  auto rows = wavelengthPrimary(s);
  rows[2].primary = true;
  EXPECT_THROW(decompose(s, rows, dir.path().string(), ui, hooks), std::runtime_error);
  EXPECT_EQ(tree(dir.path()), std::set<std::string>{"Temperature=20.dsx"});
}

TEST(Decomposition, LaunchPadCommandsTellThePerson) {
  testing::FixedProviders fixed;
  TempDir dir;
  datastore::DataStore s = cube();
  {
    platform::AtomicFile out(dir.file("cube.dsx"));
    datastore::writeLumBinaryX(s, out.stream(), false);
    out.commit();
  }
  ScriptedUi ui;
  ui.files = {{dir.file("split"), 1}, {dir.file("other.dir"), 1}, {"", 1}};
  auto name = askDecompositionName(ui);
  ASSERT_TRUE(name);
  EXPECT_EQ(*name, dir.file("split.dir"));
  EXPECT_EQ(askDecompositionName(ui), dir.file("other.dir"));
  EXPECT_EQ(askDecompositionName(ui), std::nullopt);
  ASSERT_TRUE(decomposeSaveAs(dir.file("cube.dsx"), false, wavelengthPrimary(s), *name, ui));
  EXPECT_TRUE(fs::exists(dir.file("split/Temperature=20/Temperature=20 Repeat=1.dsx")));
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Datastore Successfully decomposed and saved"});

  ScriptedUi failing;
  EXPECT_FALSE(decomposeIntoFolder(dir.file("cube.dsx"), false, wavelengthPrimary(s), dir.file("absent"), failing));
  EXPECT_EQ(failing.texts(), std::vector<std::string>{"Failed to Move to directory " + dir.file("absent")});

  testing::writeFile(dir.file("bad.dsx"), "LumBinaryX\nrubbish");
  ScriptedUi corrupt;
  EXPECT_FALSE(decomposeIntoFolder(dir.file("bad.dsx"), false, wavelengthPrimary(s), dir.path().string(), corrupt));
  ASSERT_EQ(corrupt.shown.size(), 1u);
  EXPECT_EQ(corrupt.shown[0].text.rfind("Failed to load DataStore.\nThe file may be corrupt.\n(", 0), 0u);
}

}  // namespace
}  // namespace lumatix::app
