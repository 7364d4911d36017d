#include "app/user_pref.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/env_var.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

platform::DocumentsFolder docsAt(const std::string& path) { return {true, path, 0}; }

TEST(UserPref, DefaultIsDocumentsPlusMyDataCreatedWhenMissing) {
  testing::TempDir dir;
  testing::ScriptedUi ui;
  std::string docs = dir.file("Documents");
  ASSERT_TRUE(std::filesystem::create_directory(docs));
  std::string wd = CUserPref::defaultWorkingDirectory(ui, [&] { return docsAt(docs + "//"); });
  EXPECT_EQ(wd, docs + "/My Data");
  EXPECT_TRUE(std::filesystem::is_directory(wd));
  EXPECT_TRUE(ui.shown.empty());
}

TEST(UserPref, UncreatableFolderIsKeptWithAMessage) {
  testing::TempDir dir;
  testing::ScriptedUi ui;
  std::string docs = dir.file("missing/Documents");  // two levels missing: only one is created
  std::string wd = CUserPref::defaultWorkingDirectory(ui, [&] { return docsAt(docs); });
  EXPECT_EQ(wd, docs + "/My Data");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "can't create " + docs + "/My Data, check the dir property\n");
  EXPECT_EQ(ui.shown[0].caption, "Morvath");
  EXPECT_EQ(ui.shown[0].icon, Icon::Information);
}

TEST(UserPref, UnknownDocumentsFolderFallsBackToTmp) {
  testing::ScriptedUi ui;
  std::string wd = CUserPref::defaultWorkingDirectory(ui, [] { return platform::DocumentsFolder{false, "", 0x2A}; });
  EXPECT_EQ(wd, "/tmp");
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{
                            "Unable to read My Documents path from system. hr = 0x2A\nSet /tmp as the working "
                            "directory instead"}));
}

TEST(UserPref, EmptyEntryIsReplacedAndWrittenBackAtOnce) {
  testing::TempDir dir;
  testing::ScriptedUi ui;
  std::string conf = dir.file("viewer.conf");
  testing::writeFile(conf, "[Preferences]\nWorking%20Directory=\n");
  platform::SettingsStore store(conf);
  CUserPref pref;
  pref.load(store, ui, [&] { return docsAt(dir.path().string()); });
  EXPECT_EQ(pref.workingDirectory, dir.file("My Data"));
  EXPECT_EQ(platform::SettingsStore(conf).getString("Preferences", "Working Directory", ""), dir.file("My Data"));

  platform::SettingsStore kept(conf);
  kept.setString("Preferences", "Working Directory", "/data/lab");
  CUserPref other;
  other.load(kept, ui, [] { return platform::DocumentsFolder{false, "", 1}; });
  EXPECT_EQ(other.workingDirectory, "/data/lab");
  EXPECT_TRUE(ui.shown.empty());
}

TEST(UserPref, SwitchesDefaultToOn) {
  testing::TempDir dir;
  platform::SettingsStore store(dir.file("viewer.conf"));
  EXPECT_TRUE(singleWindow(store));
  EXPECT_TRUE(allowCaryFiles(store));
  setSingleWindow(store, false);
  setAllowCaryFiles(store, false);
  platform::SettingsStore reread(dir.file("viewer.conf"));
  EXPECT_FALSE(singleWindow(reread));
  EXPECT_FALSE(allowCaryFiles(reread));
}

TEST(DocumentsFolder, UserDirsEntryThenHomeDocuments) {
  testing::TempDir dir;
  testing::ScopedEnv home("HOME", dir.path().string());
  testing::ScopedEnv xdg("XDG_CONFIG_HOME", dir.file("config"));
  EXPECT_EQ(platform::documentsFolder().path, dir.file("Documents"));
  // A fresh account has no documents folder yet: it is made, so that the working directory
  // inside it can be.
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("Documents")));
  std::filesystem::create_directories(dir.file("config"));
  testing::writeFile(dir.file("config/user-dirs.dirs"), "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
  auto docs = platform::documentsFolder();
  EXPECT_TRUE(docs.ok);
  EXPECT_EQ(docs.path, dir.file("Papiere"));
}

}  // namespace
}  // namespace lumatix::app
