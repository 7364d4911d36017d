#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/temperature_ramp.h"
#include "datastore/data_store.h"
#include "support/fixed_providers.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedUi;
using testing::TempDir;

// Wavelength (3) x Temperature (2) with the CD signal and the setpoint temperature.
datastore::DataStore melt() {
  datastore::DataStore s("melt", 2, 2);
  s.properties[0] = "CircularDichroism";
  s.properties[1] = "Temperature Setpoint";
  s.dimensions[0] = datastore::Dimension("Wavelength", {250, 260, 270});
  s.dimensions[1] = datastore::Dimension("Temperature", {20, 37.5});
  EXPECT_TRUE(s.initialise());
  for (int i = 0; i < 6; ++i) s.data[i] = static_cast<float>(i);
  for (int i = 6; i < 12; ++i) s.data[i] = i < 9 ? 20.0f : 37.5f;
  return s;
}

std::set<std::string> files(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

const std::set<std::string> kAllFiles{"out 20.dsx", "out 37.5.dsx", "out 250.dsx", "out 260.dsx", "out 270.dsx"};

TEST(TemperatureRamp, RefusalsInTheirOrder) {
  testing::FixedProviders fixed;
  struct Row {
    const char* name;
    void (*change)(datastore::DataStore&);
    const char* message;
  } rows[] = {
      {"no setpoint", [](datastore::DataStore& s) { s.properties[1] = "HT"; },
       "File m.dsx does not contain the setpoint temperature property."},
      {"three dimensions even with both names",
       [](datastore::DataStore& s) { s.dimensions.push_back(datastore::Dimension("Repeat", {1})); },
       "File m.dsx has too many/too few dimensions"},
      {"no temperature", [](datastore::DataStore& s) { s.dimensions[1].name = "Time"; },
       "File m.dsx is missing the Temperature dimension"},
      {"no wavelength", [](datastore::DataStore& s) { s.dimensions[0].name = "Time"; },
       "File m.dsx is missing the Wavelength dimension"},
  };
  for (const auto& r : rows) {
    datastore::DataStore s = melt();
    r.change(s);
    EXPECT_EQ(rampRefusal(s, "m.dsx"), r.message) << r.name;
    TempDir dir;
    ScriptedUi ui;
    EXPECT_EQ(extractTemperatureRamp(s, "m.dsx", RampFormat::Dsx, dir.file("out"), ui), RampOutcome::Refused);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{r.message}) << r.name;
    EXPECT_FALSE(fs::exists(dir.file("out"))) << r.name;
  }
  EXPECT_EQ(rampRefusal(melt(), "m.dsx"), "");
}

TEST(TemperatureRamp, OneFilePerTemperatureThenPerWavelength) {
  testing::FixedProviders fixed;
  TempDir dir;
  ScriptedUi ui;
  datastore::DataStore s = melt();
  ASSERT_EQ(extractTemperatureRamp(s, "m.dsx", RampFormat::Dsx, dir.file("out"), ui), RampOutcome::Done);
  EXPECT_EQ(files(dir.file("out")), kAllFiles);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Temperature ramp data successfully decomposed."});

  datastore::DataStore spectrum(true);
  ASSERT_TRUE(spectrum.load(dir.file("out/out 37.5.dsx"), false));
  EXPECT_EQ(spectrum.title, "melt 37.5");
  ASSERT_EQ(spectrum.dimensions.size(), 1);
  EXPECT_EQ(spectrum.dimensions[0].name, "Wavelength");
  EXPECT_EQ(std::vector<float>(spectrum.data.data, spectrum.data.data + 3), (std::vector<float>{3, 4, 5}));

  datastore::DataStore curve(true);
  ASSERT_TRUE(curve.load(dir.file("out/out 260.dsx"), false));
  EXPECT_EQ(curve.title, "melt 260");
  EXPECT_EQ(curve.dimensions[0].name, "Temperature");
  EXPECT_EQ(std::vector<float>(curve.data.data, curve.data.data + 2), (std::vector<float>{1, 4}));
}

TEST(TemperatureRamp, TextFormats) {
  testing::FixedProviders fixed;
  for (auto [format, extension, firstLine] :
       {std::tuple{RampFormat::Csv, ".csv", "LumatixCSV"}, std::tuple{RampFormat::Dsa, ".dsa", "LumatixStore"}}) {
    TempDir dir;
    ScriptedUi ui;
    datastore::DataStore s = melt();
    ASSERT_EQ(extractTemperatureRamp(s, "m.dsx", format, dir.file("out"), ui), RampOutcome::Done) << extension;
    std::string text = testing::readFile(dir.file(std::string("out/out 20") + extension));
    EXPECT_EQ(text.rfind(firstLine, 0), 0u) << text.substr(0, 40);
  }
}

TEST(TemperatureRamp, ExistingFilesAskYesNoCancel) {
  testing::FixedProviders fixed;
  TempDir dir;
  fs::create_directory(dir.file("out"));
  testing::writeFile(dir.file("out/out 20.dsx"), "old 20");
  testing::writeFile(dir.file("out/out 37.5.dsx"), "old 37.5");
  testing::writeFile(dir.file("out/out 260.dsx"), "old 260");

  {  // Yes replaces the first, No keeps the second, Yes the third.
    ScriptedUi ui;
    ui.answers = {Answer::Yes, Answer::No, Answer::Yes};
    datastore::DataStore s = melt();
    EXPECT_EQ(extractTemperatureRamp(s, "m.dsx", RampFormat::Dsx, dir.file("out"), ui), RampOutcome::Done);
    EXPECT_NE(testing::readFile(dir.file("out/out 20.dsx")), "old 20");
    EXPECT_EQ(testing::readFile(dir.file("out/out 37.5.dsx")), "old 37.5");
    ASSERT_EQ(ui.shown.size(), 4u);
    EXPECT_EQ(ui.shown[0].text,
              "Error converting out to out 20.dsx.\n\nA file called out 20.dsx already exists in the target "
              "directory.\n\nOverwrite?");
    EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNoCancel);
  }
  {  // Cancel at the first existing file writes nothing more.
    TempDir other;
    fs::create_directory(other.file("out"));
    testing::writeFile(other.file("out/out 20.dsx"), "old 20");
    ScriptedUi ui;
    ui.answers = {Answer::Cancel};
    datastore::DataStore s = melt();
    EXPECT_EQ(extractTemperatureRamp(s, "m.dsx", RampFormat::Dsx, other.file("out"), ui), RampOutcome::Cancelled);
    EXPECT_EQ(files(other.file("out")), std::set<std::string>{"out 20.dsx"});
    EXPECT_EQ(testing::readFile(other.file("out/out 20.dsx")), "old 20");
    EXPECT_EQ(ui.shown.size(), 1u);
  }
}

TEST(TemperatureRamp, FolderAndWriteFailures) {
  testing::FixedProviders fixed;
  TempDir dir;
  {
    ScriptedUi ui;
    datastore::DataStore s = melt();
    const std::string deep = dir.file("a/b/out");
    EXPECT_EQ(extractTemperatureRamp(s, "m.dsx", RampFormat::Dsx, deep, ui), RampOutcome::Failed);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Failed to create directory '" + deep + "'"});
    EXPECT_EQ(ui.shown[0].icon, Icon::Warning);
  }
  {
    ScriptedUi ui;
    datastore::DataStore s = melt();
    WorkHooks hooks;
    int calls = 0;
    hooks.write = [&](datastore::DataStore&, const std::string& path) {
      if (++calls == 2) throw std::runtime_error("Can't write " + path + ": No space left on device");
      testing::writeFile(path, "ok");
    };
    EXPECT_EQ(extractTemperatureRamp(s, "m.dsx", RampFormat::Dsx, dir.file("out"), ui, hooks), RampOutcome::Failed);
    EXPECT_EQ(ui.texts(),
              std::vector<std::string>{"Can't write " + dir.file("out/out 37.5.dsx") + ": No space left on device"});
    EXPECT_EQ(files(dir.file("out")), std::set<std::string>{"out 20.dsx"});
  }
}

}  // namespace
}  // namespace lumatix::app
