#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "app/user_pref.h"
#include "platform/settings_store.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

// Records what the main frame does to each window.
struct Journal {
  std::vector<std::string> events;
};

class FakeWindow : public PlotWindow {
 public:
  FakeWindow(Journal& journal, std::string path) : journal_(journal), path_(std::move(path)) {}
  std::string path() const override { return path_; }
  std::string title() const override { return path_.empty() ? "Empty" : path_; }
  void activate() override { journal_.events.push_back("activate " + path_); }
  void close() override { journal_.events.push_back("close " + path_); }
  // The window's own questions decide; keepOpen stands for an answer that keeps it.
  bool requestClose() override {
    journal_.events.push_back("request close " + path_);
    return !keepOpen;
  }
  bool keepOpen = false;

 private:
  Journal& journal_;
  std::string path_;
};

struct Frame {
  TempDir dir;
  ScriptedUi ui;
  platform::SettingsStore settings{dir.file("viewer.conf")};
  CUserPref preferences;
  Journal journal;
  std::unique_ptr<MainFrame> frame;

  explicit Frame(const std::string& workingDirectory = "/data/cd/2026/melts/run1") {
    preferences.workingDirectory = workingDirectory;
    frame = std::make_unique<MainFrame>(ui, settings, preferences, [this](const std::string& path, bool) {
      if (path == "/unreadable.dsx") return std::unique_ptr<PlotWindow>();
      journal.events.push_back("open " + path);
      return std::unique_ptr<PlotWindow>(std::make_unique<FakeWindow>(journal, path));
    });
  }
};

TEST(MainFrame, StartsOffLineWithTheWorkingDirectoryShortened) {
  Frame f;
  EXPECT_EQ(f.frame->statusText(), "Ready (Off-line)");
  EXPECT_EQ(f.frame->workingDirectoryText(), "/data/.../run1");
  EXPECT_TRUE(f.frame->singleWindow());
  EXPECT_TRUE(f.frame->allowCaryFiles());
}

TEST(MainFrame, OpeningAShownFileActivatesItsWindow) {
  Frame f;
  PlotWindow* first = f.frame->open("/d/a.dsx");
  EXPECT_EQ(f.frame->open("/d/a.dsx"), first);
  // The comparison is exact: another spelling is another window.
  EXPECT_NE(f.frame->open("/d/A.dsx"), first);
  EXPECT_EQ(f.frame->open("/unreadable.dsx"), nullptr);
  f.frame->openEmpty();
  EXPECT_EQ(f.journal.events,
            (std::vector<std::string>{"open /d/a.dsx", "activate /d/a.dsx", "open /d/A.dsx", "open "}));
  EXPECT_EQ(f.frame->windowList(), (std::vector<std::string>{"a.dsx", "A.dsx", "Empty"}));
  f.frame->selectWindow(1);
  EXPECT_EQ(f.journal.events.back(), "activate /d/A.dsx");
}

TEST(MainFrame, CloseAllClosesInOrderWithoutQuestions) {
  Frame f;
  f.frame->open("/a.dsx");
  f.frame->open("/b.dsx");
  f.frame->closeAll();
  EXPECT_EQ(f.frame->windowCount(), 0u);
  EXPECT_TRUE(f.ui.shown.empty());
  EXPECT_EQ(f.journal.events, (std::vector<std::string>{"open /a.dsx", "open /b.dsx", "close /a.dsx", "close /b.dsx"}));
}

TEST(MainFrame, SingleWindowAsksTheOldestToCloseForAnAcquisition) {
  Frame f;
  f.frame->open("/a.dsx");
  f.frame->open("/b.dsx");
  PlotWindow* online = f.frame->openAcquisitionWindow("/d/Acquisition 1");
  EXPECT_EQ(f.frame->onlineWindow(), online);
  // The oldest is asked as the person closing it would be, after the new one is there.
  EXPECT_EQ(f.journal.events, (std::vector<std::string>{"open /a.dsx", "open /b.dsx", "open /d/Acquisition 1",
                                                         "request close /a.dsx"}));
  EXPECT_EQ(f.frame->windowList(), (std::vector<std::string>{"b.dsx", "Acquisition 1"}));

  // A window whose questions keep it open stays in the list.
  static_cast<FakeWindow*>(f.frame->find("/b.dsx"))->keepOpen = true;
  f.frame->forgetOnlineWindow();
  f.frame->openAcquisitionWindow("/d/Acquisition 2");
  EXPECT_EQ(f.frame->windowList(), (std::vector<std::string>{"b.dsx", "Acquisition 1", "Acquisition 2"}));

  // With the rule off, windows accumulate and nobody is asked.
  f.frame->toggleSingleWindow();
  EXPECT_FALSE(platform::SettingsStore(f.dir.file("viewer.conf")).getInt("Preferences", "SingleWindow", 1));
  f.frame->forgetOnlineWindow();
  const std::size_t asked = f.journal.events.size();
  f.frame->openAcquisitionWindow("/d/Acquisition 3");
  EXPECT_EQ(f.frame->windowCount(), 4u);
  EXPECT_EQ(f.journal.events.size(), asked + 1);
  f.frame->windowClosed(f.frame->find("/d/Acquisition 3"));
  EXPECT_EQ(f.frame->onlineWindow(), nullptr);

  f.frame->toggleAllowCaryFiles();
  EXPECT_FALSE(platform::SettingsStore(f.dir.file("viewer.conf")).getInt("Preferences", "AllowCaryFiles", 1));
}

TEST(MainFrame, CloseAllSparesTheWindowStillReceivingAnAcquisition) {
  Frame f;
  f.frame->open("/a.dsx");
  PlotWindow* online = f.frame->openAcquisitionWindow("/d/shot.dsx");
  f.frame->closeAll(true);
  EXPECT_EQ(f.frame->windowCount(), 1u);
  EXPECT_EQ(f.frame->onlineWindow(), online);
  // Closing the program closes it too.
  f.frame->closeAll();
  EXPECT_EQ(f.frame->windowCount(), 0u);
  EXPECT_EQ(f.frame->onlineWindow(), nullptr);
}

TEST(MainFrame, ExitQuestionInItsTwoForms) {
  struct Row {
    const char* name;
    bool withWindow;
    Answer answer;
    const char* question;
    bool closed;
  } rows[] = {
      {"no window, OK", false, Answer::Ok, "Are you sure you want to exit the Lumatix Viewer application?\n\n", true},
      {"window, cancel", true, Answer::Cancel,
       "Are you sure?\nAll the graph windows will be closed if the launch pad is closed.\n", false},
      {"window, OK", true, Answer::Ok,
       "Are you sure?\nAll the graph windows will be closed if the launch pad is closed.\n", true},
  };
  for (const auto& r : rows) {
    Frame f;
    if (r.withWindow) f.frame->open("/a.dsx");
    f.frame->setWorkingDirectory("/new/place");
    f.ui.answers = {r.answer};
    EXPECT_EQ(f.frame->close(), r.closed) << r.name;
    ASSERT_EQ(f.ui.shown.size(), 1u) << r.name;
    EXPECT_EQ(f.ui.shown[0].text, r.question) << r.name;
    EXPECT_EQ(f.ui.shown[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(f.ui.shown[0].icon, Icon::Information);
    EXPECT_EQ(f.frame->windowCount(), r.withWindow && !r.closed ? 1u : 0u) << r.name;
    EXPECT_EQ(f.preferences.workingDirectory, r.closed ? "/new/place" : "/data/cd/2026/melts/run1") << r.name;
  }
}

}  // namespace
}  // namespace lumatix::app
