#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/settings_store.h"
#include "support/temp_dir.h"

namespace lumatix::platform {
namespace {

TEST(SettingsStore, DefaultPathFollowsXdgConfigHome) {
  const char* old = std::getenv("XDG_CONFIG_HOME");
  std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(SettingsStore::defaultPath(), "/tmp/cfg/Corvane Ltd/Lumatix Viewer.conf");
  if (old) setenv("XDG_CONFIG_HOME", saved.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
}

TEST(SettingsStore, ValuesSurviveAReloadInTheQtIniLayout) {
  testing::TempDir dir;
  std::string path = dir.file("sub/Lumatix Viewer.conf");
  {
    SettingsStore store(path);
    store.setInt("Preferences\\Export", "Default", 3);
    store.setString("Preferences", "Working Directory", "/home/ann/My Data");
    store.setString("Preferences\\Fitting", "Function", "a, b; \"c\" \\ d");
    store.setInt("Preferences", "SingleWindow", -1);
  }
  SettingsStore again(path);
  EXPECT_EQ(again.getInt("Preferences\\Export", "Default", 0), 3);
  EXPECT_EQ(again.getString("Preferences", "Working Directory", ""), "/home/ann/My Data");
  EXPECT_EQ(again.getString("Preferences\\Fitting", "Function", ""), "a, b; \"c\" \\ d");
  EXPECT_EQ(again.getInt("Preferences", "SingleWindow", 0), -1);

  std::string text = testing::readFile(path);
  EXPECT_NE(text.find("[Preferences]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Export\\Default=3\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Working%20Directory=/home/ann/My Data\n"), std::string::npos) << text;
}

TEST(SettingsStore, MissingOrMalformedValuesGiveTheFallback) {
  testing::TempDir dir;
  testing::writeFile(dir.file("s.conf"), "[Preferences]\nAllowCaryFiles=yes\nBroken line\nSingleWindow = 1 \n");
  SettingsStore store(dir.file("s.conf"));
  EXPECT_EQ(store.getInt("Preferences", "AllowCaryFiles", 7), 7);
  EXPECT_EQ(store.getInt("Preferences", "SingleWindow", 0), 1);
  EXPECT_EQ(store.getInt("Preferences", "Missing", 5), 5);
  EXPECT_EQ(SettingsStore(dir.file("none.conf")).getString("A", "B", "fallback"), "fallback");
}

}  // namespace
}  // namespace lumatix::platform
