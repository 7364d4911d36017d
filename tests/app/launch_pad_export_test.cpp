#include <gtest/gtest.h>

#include <filesystem>

#include "app/launch_pad_export.h"
#include "datastore/data_store.h"
#include "datastore/lum_binary.h"
#include "platform/atomic_file.h"
#include "support/fixed_providers.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

void save(datastore::DataStore& s, const std::string& path) {
  platform::AtomicFile out(path);
  datastore::writeLumBinaryX(s, out.stream(), false);
  out.commit();
}

TEST(LaunchPadExport, WritesTheChosenFormatOrTellsWhyNot) {
  testing::FixedProviders fixed;
  TempDir dir;
  datastore::DataStore s("spectrum", 1, 1);
  s.properties[0] = "CircularDichroism";
  s.dimensions[0] = datastore::Dimension("Wavelength", {200, 210});
  ASSERT_TRUE(s.initialise());
  save(s, dir.file("s.dsx"));
  testing::writeFile(dir.file("locked.csv"), "kept");
  std::filesystem::permissions(dir.file("locked.csv"), std::filesystem::perms::owner_read);

  struct Row {
    const char* name;
    std::string file;
    std::optional<ExportRequest> request;
    std::vector<std::string> messages;
    bool written;
  } rows[] = {
      {"LumatixStore", dir.file("s.dsx"), ExportRequest{3, dir.file("out.dsa")}, {}, true},
      {"cancelled dialog", dir.file("s.dsx"), std::nullopt, {}, false},
      {"unknown format", dir.file("s.dsx"), ExportRequest{11, dir.file("out.x")}, {"Error! Unknown export format!\n"},
       false},
      {"folder missing", dir.file("s.dsx"), ExportRequest{1, dir.file("none/out.dsx")},
       {"Can't open " + dir.file("none/out.dsx") + " for writing.\nNo such file or directory"}, false},
      {"read-only target", dir.file("s.dsx"), ExportRequest{9, dir.file("locked.csv")},
       {"Can't open " + dir.file("locked.csv") +
        " for writing.\nThe file is read-only; save it under another name or make it writable first."},
       false},
      {"missing file", dir.file("gone.dsx"), ExportRequest{1, dir.file("out.dsx")},
       {"Failed to load DataStore.\nThe file may be corrupt.\n(Can't open the file " + dir.file("gone.dsx") +
        ")\nThe file cannot be opened for reading: No such file or directory."},
       false},
  };
  for (const auto& r : rows) {
    ScriptedUi ui;
    bool ok = exportFile(r.file, false, ui, [&](datastore::DataStore&) {
      return r.request;
    });
    EXPECT_EQ(ok, r.written) << r.name;
    EXPECT_EQ(ui.texts(), r.messages) << r.name;
  }
  EXPECT_EQ(testing::readFile(dir.file("out.dsa")).rfind("LumatixStore", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.x")));
  EXPECT_EQ(testing::readFile(dir.file("locked.csv")), "kept");
}

}  // namespace
}  // namespace lumatix::app
