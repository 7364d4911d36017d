#include <gtest/gtest.h>

#include <filesystem>

#include "app/launch_pad.h"
#include "app/launch_pad_paths.h"
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

TEST(WorkingDirectoryDisplay, CutsPathsOfMoreThanThreeSeparators) {
  struct Row {
    const char* name;
    const char* path;
    const char* shown;
  } rows[] = {
      {"five components", "/home/ann/data/cd/melts", "/home/.../melts"},
      {"four components", "/a/b/c/d", "/a/.../d"},
      {"three separators kept", "/a/b/c", "/a/b/c"},
      {"relative", "a/b/c/d/e", "a/b/.../e"},
      {"root", "/", "/"},
  };
  for (const auto& r : rows) EXPECT_EQ(workingDirectoryDisplay(r.path), r.shown) << r.name;
}

TEST(ParentFolder, EndsAtTheDriveList) {
  EXPECT_EQ(parentFolder("/home/ann"), "/home");
  EXPECT_EQ(parentFolder("/home"), "");
  EXPECT_EQ(parentFolder("relative"), "");
  auto drives = listFolder("");
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].name, "/");
  EXPECT_TRUE(drives[0].folder);
}

TEST(ListFolder, FoldersThenFilesEachSortedIgnoringCase) {
  TempDir dir;
  for (const char* f : {"b.dsx", "A.dsx", "c.txt"}) testing::writeFile(dir.file(f), "x");
  for (const char* d : {"zeta", "Alpha", "beta"}) fs::create_directory(dir.path() / d);
  std::vector<std::string> names;
  for (const auto& e : listFolder(dir.path().string())) names.push_back(e.name + (e.folder ? "/" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha/", "beta/", "zeta/", "A.dsx", "b.dsx", "c.txt"}));
}

TEST(NewFolderName, FollowsTheLargestNumberFound) {
  struct Row {
    const char* name;
    std::vector<std::string> folders;
    const char* expected;
  } rows[] = {
      {"none", {}, "New Folder"},
      {"plain one", {"New Folder"}, "New Folder (2)"},
      {"after two", {"New Folder", "New Folder (2)"}, "New Folder (3)"},
      {"gap", {"New Folder", "New Folder (5)"}, "New Folder (6)"},
      {"unrelated", {"Old Folder (9)"}, "New Folder"},
  };
  for (const auto& r : rows) {
    TempDir dir;
    for (const auto& f : r.folders) fs::create_directory(dir.path() / f);
    // A file of that name is no folder and does not count.
    testing::writeFile(dir.file("New Folder (40)"), "x");
    EXPECT_EQ(newFolderName(dir.path().string()), r.expected) << r.name;
  }
}

TEST(LaunchPad, NewFolderCreatesTheNextNameInTheSelectedFolder) {
  TempDir dir;
  ScriptedUi ui;
  LaunchPad pad(ui, dir.path().string());
  EXPECT_EQ(pad.newFolder({dir.path().string()}), dir.file("New Folder"));
  EXPECT_EQ(pad.newFolder({dir.path().string()}), dir.file("New Folder (2)"));
  EXPECT_TRUE(fs::is_directory(dir.file("New Folder (2)")));
  testing::writeFile(dir.file("f.dsx"), "x");
  EXPECT_EQ(pad.newFolder({dir.file("f.dsx")}), "");  // a file selected: nothing
  EXPECT_TRUE(ui.shown.empty());
}

TEST(LaunchPad, RootAndWorkingDirectoryCommands) {
  TempDir dir;
  fs::create_directories(dir.path() / "a" / "b");
  testing::writeFile(dir.file("f.dsx"), "x");
  ScriptedUi ui;
  std::string told;
  LaunchPad pad(ui, dir.path().string());
  int notices = 0;
  auto subscription = pad.changes().subscribe([&](Change what) {
    if (any(what, Change::WorkingDirectory)) ++notices;
    told = pad.shownWorkingDirectory();
  });

  EXPECT_FALSE(pad.setWorkingDirectory({dir.file("f.dsx")}));
  EXPECT_FALSE(pad.setRoot({}));
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Please select a directory\n",
                                                  "Please select a directory to set as the root.\n"}));
  EXPECT_EQ(pad.root(), dir.path().string());

  EXPECT_TRUE(pad.setRoot({dir.file("a")}));
  EXPECT_EQ(pad.workingDirectory(), dir.path().string());
  pad.moveRootUp();
  EXPECT_EQ(pad.root(), dir.path().string());
  EXPECT_TRUE(pad.setWorkingDirectory({dir.file("a/b")}));
  EXPECT_EQ(told, dir.file("a/b"));
  EXPECT_EQ(pad.root(), dir.file("a/b"));
  pad.setRoot({dir.file("a")});
  pad.backToWorkingDirectory();
  EXPECT_EQ(pad.root(), dir.file("a/b"));
  pad.browseRoot(dir.file("a"));
  EXPECT_EQ(pad.root(), dir.file("a"));
  EXPECT_EQ(told, dir.file("a"));
  // The chosen folder is only shown: the working directory to go back to stays.
  EXPECT_EQ(pad.workingDirectory(), dir.file("a/b"));
  // setRoot(a), moveRootUp, setWorkingDirectory(a/b), setRoot(a), back, browseRoot.
  EXPECT_EQ(notices, 6);
}

TEST(LaunchPad, RenameNeverReplacesAnExistingItem) {
  TempDir dir;
  testing::writeFile(dir.file("one.dsx"), "1");
  testing::writeFile(dir.file("two.dsx"), "2");
  ScriptedUi ui;
  LaunchPad pad(ui, dir.path().string());
  EXPECT_EQ(pad.rename(dir.file("one.dsx"), "two.dsx"), "");
  EXPECT_EQ(testing::readFile(dir.file("two.dsx")), "2");
  EXPECT_EQ(pad.rename(dir.file("one.dsx"), "../escape.dsx"), "");
  EXPECT_EQ(pad.rename(dir.file("one.dsx"), "three.dsx"), dir.file("three.dsx"));
  EXPECT_EQ(testing::readFile(dir.file("three.dsx")), "1");
  EXPECT_EQ(ui.shown.size(), 2u);

  fs::create_directories(dir.path() / "sub" / "deeper");
  EXPECT_TRUE(pad.remove(dir.file("sub")));
  EXPECT_FALSE(fs::exists(dir.file("sub")));
}

TEST(LaunchPad, BrowseWithTheFileManager) {
  ScriptedUi ui;
  LaunchPad pad(ui, "/data");
  std::vector<std::string> launched;
  EXPECT_TRUE(pad.browseWithFileManager("/data/a", [&](const std::string& f) {
    launched.push_back(f);
    return true;
  }));
  EXPECT_FALSE(pad.browseWithFileManager("/data/b", [](const std::string&) { return false; }));
  EXPECT_EQ(launched, std::vector<std::string>{"/data/a"});
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Error!\n\nExplorer.exe not found or could not be loaded.\n"});
}

TEST(LaunchPadInfo, TextsForOneFileAFileThatCannotBeShownAndSeveral) {
  testing::FixedProviders fixed;
  TempDir dir;
  datastore::DataStore store("Melt of lysozyme", 1, 1);
  store.properties[0] = "CircularDichroism";
  store.dimensions[0] = datastore::Dimension("Wavelength", {200, 210});
  ASSERT_TRUE(store.initialise());
  store.addRemark("first remark");
  {
    platform::AtomicFile out(dir.file("melt.dsx"));
    datastore::writeLumBinaryX(store, out.stream(), false);
    out.commit();
  }
  testing::writeFile(dir.file("notes.txt"), "nothing to see\n");

  std::string text = LaunchPad::infoText({dir.file("melt.dsx")}, false);
  EXPECT_EQ(text.rfind("File: melt.dsx\r\nMelt of lysozyme\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("Remarks: \r\nfirst remark\r\nSettings: \r\n"), std::string::npos) << text;

  EXPECT_EQ(LaunchPad::infoText({dir.file("notes.txt")}, false),
            "File: notes.txt\r\nIt is not possible to view this file\r\nusing the Lumatix Viewer.\r\n");
  EXPECT_EQ(LaunchPad::infoText({dir.file("notes.txt"), dir.file("melt.dsx"), dir.path().string()}, false),
            "3 files selected.\r\n");
}

}  // namespace
}  // namespace lumatix::app
