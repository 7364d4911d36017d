// What the main frame, the launch pad and the fit session tell the windows that observe them.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/fit_session.h"
#include "app/launch_pad.h"
#include "app/main_frame.h"
#include "app/plot_document.h"
#include "plot_document_fixture.h"
#include "app/user_pref.h"
#include "fitting/fit_funx.h"
#include "fitting/fit_test_support.h"
#include "platform/settings_store.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedUi;
using testing::TempDir;

// Every notice an observer received, in order.
struct Recorder {
  std::vector<Change> notices;
  ChangeNotifier::Subscription subscription;
  explicit Recorder(ChangeNotifier& n) : subscription(n.subscribe([this](Change c) { notices.push_back(c); })) {}
  int count(Change flag) const {
    int n = 0;
    for (Change c : notices) n += any(c, flag) ? 1 : 0;
    return n;
  }
};

class QuietWindow : public PlotWindow {
 public:
  explicit QuietWindow(std::string path) : path_(std::move(path)) {}
  std::string path() const override { return path_; }
  std::string title() const override { return path_.empty() ? "Empty" : path_; }
  void activate() override {}
  void close() override {}
  bool requestClose() override { return true; }

 private:
  std::string path_;
};

struct Frame {
  TempDir dir;
  ScriptedUi ui;
  platform::SettingsStore settings{dir.file("viewer.conf")};
  CUserPref preferences;
  MainFrame frame{ui, settings, preferences,
                  [](const std::string& path, bool) { return std::make_unique<QuietWindow>(path); }};
};

TEST(MainFrameNotices, EachCommandReportsWhatItChanged) {
  Frame f;
  Recorder seen(f.frame.changes());
  struct Row {
    const char* name;
    std::function<void()> command;
    Change expected;  // None: no notice at all
  } rows[] = {
      {"open", [&] { f.frame.open("/a.dsx"); }, Change::WindowList},
      {"open a shown file raises it", [&] { f.frame.open("/a.dsx"); }, Change::None},
      {"new", [&] { f.frame.openEmpty(); }, Change::WindowList},
      {"acquisition closes the oldest", [&] { f.frame.openAcquisitionWindow("Acq"); }, Change::WindowList},
      {"status", [&] { f.frame.setStatusText("On-line"); }, Change::StatusText},
      {"same status", [&] { f.frame.setStatusText("On-line"); }, Change::None},
      {"single window", [&] { f.frame.toggleSingleWindow(); }, Change::Options},
      {"always on top", [&] { f.frame.toggleAlwaysOnTop(); }, Change::Options},
      {"working directory", [&] { f.frame.setWorkingDirectory("/w"); }, Change::WorkingDirectory},
      {"close all", [&] { f.frame.closeAll(); }, Change::WindowList},
      {"close all of nothing", [&] { f.frame.closeAll(); }, Change::None},
  };
  for (const auto& r : rows) {
    seen.notices.clear();
    r.command();
    if (r.expected == Change::None) {
      EXPECT_TRUE(seen.notices.empty()) << r.name;
    } else {
      ASSERT_EQ(seen.notices.size(), 1u) << r.name;  // one notice per command, never two
      EXPECT_EQ(seen.notices[0], r.expected) << r.name;
    }
  }
}

TEST(MainFrameNotices, AnObserverMayCloseAWindowWhileTheListIsReported) {
  Frame f;
  f.frame.open("/a.dsx");
  std::vector<std::vector<std::string>> lists;
  auto subscription = f.frame.changes().subscribe([&](Change) {
    lists.push_back(f.frame.windowList());
    // The window bar closes the first window whenever two are open.
    if (f.frame.windowCount() == 2) f.frame.windowClosed(f.frame.find("/a.dsx"));
  });
  f.frame.open("/b.dsx");
  EXPECT_EQ(lists, (std::vector<std::vector<std::string>>{{"a.dsx", "b.dsx"}, {"b.dsx"}}));
}

TEST(MainFrameNotices, FollowsTheLaunchPadsWorkingDirectory) {
  Frame f;
  fs::create_directories(f.dir.path() / "x" / "y");
  LaunchPad pad(f.ui, f.dir.path().string());
  f.frame.follow(pad);
  EXPECT_EQ(f.frame.workingDirectory(), f.dir.path().string());
  Recorder seen(f.frame.changes());
  ASSERT_TRUE(pad.setWorkingDirectory({f.dir.file("x")}));
  EXPECT_EQ(f.frame.workingDirectory(), f.dir.file("x"));
  pad.setRoot({f.dir.file("x/y")});  // the root alone is not the working directory
  EXPECT_EQ(f.frame.workingDirectory(), f.dir.file("x"));
  pad.browseRoot(f.dir.file("x/y"));
  EXPECT_EQ(f.frame.workingDirectory(), f.dir.file("x/y"));
  EXPECT_EQ(seen.count(Change::WorkingDirectory), 2);
  // The copy is what the exit stores.
  f.ui.answers = {Answer::Ok};
  ASSERT_TRUE(f.frame.close());
  EXPECT_EQ(f.preferences.workingDirectory, f.dir.file("x/y"));
}

TEST(LaunchPadNotices, TheTreeIsReportedOnlyWhenTheDiskChanged) {
  TempDir dir;
  ScriptedUi ui;
  LaunchPad pad(ui, dir.path().string());
  Recorder seen(pad.changes());
  const std::string folder = pad.newFolder({dir.path().string()});
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(seen.count(Change::Tree), 1);
  const std::string renamed = pad.rename(folder, "melts");
  ASSERT_EQ(renamed, dir.file("melts"));
  EXPECT_EQ(seen.count(Change::Tree), 2);
  testing::writeFile(dir.file("taken"), "x");
  EXPECT_EQ(pad.rename(renamed, "taken"), "");  // refused: nothing on the disk moved
  EXPECT_EQ(seen.count(Change::Tree), 2);
  EXPECT_TRUE(pad.remove(renamed));
  EXPECT_EQ(seen.count(Change::Tree), 3);
  EXPECT_EQ(seen.count(Change::WorkingDirectory), 0);
}

TEST(FitSessionNotices, OneNoticePerStepAndTheLastAfterTheOutcome) {
  const auto& single = fitting::FitFunx()[1];
  const auto trace =
      fitting::test::synthetic(single, {0.25, 0.18, 12.5}, fitting::test::evenly(0.001, 2.0, 200), 0.0015);
  ScriptedUi ui;
  FitSession session(ui, trace.x, trace.y, nullptr);
  std::vector<FitProgress> outcomeAtNotice;
  auto subscription = session.changes().subscribe([&](Change what) {
    if (any(what, Change::Progress)) outcomeAtNotice.push_back(session.LastOutcome());
  });
  Recorder seen(session.changes());
  session.Begin();
  session.SelectFunction(1);
  ASSERT_TRUE(session.Estimate());
  EXPECT_TRUE(any(seen.notices.back(), Change::Parameters | Change::View));
  seen.notices.clear();

  int calls = 1;
  FitProgress progress = session.StartFit();
  while (progress == FitProgress::Running) {
    progress = session.Iterate();
    ++calls;
  }
  ASSERT_EQ(progress, FitProgress::Converged);
  EXPECT_EQ(static_cast<int>(seen.notices.size()), calls);
  ASSERT_FALSE(outcomeAtNotice.empty());
  EXPECT_EQ(outcomeAtNotice.back(), FitProgress::Converged);
  EXPECT_TRUE(any(seen.notices.back(), Change::View));  // the final preview was drawn
}


// A plot's windows redraw from these notices: each command says what it changed, and a
// command that was refused or changed nothing says nothing.
TEST(PlotDocumentNotices, EachCommandReportsWhatItChanged) {
  ScriptedUi ui;
  PlotDocument doc(testing::cdStore(), "/data/melt.dsx", ui);
  Recorder seen(doc.changes());
  doc.load(0, 1, 0, -1);
  ASSERT_EQ(seen.notices.size(), 1u);
  EXPECT_TRUE(any(seen.notices[0], Change::Data));

  const Change edited = Change::Data | Change::Selection | Change::History | Change::SavedState;
  struct Row {
    const char* name;
    std::function<void()> command;
    std::vector<Change> expected;
  };
  const Row rows[] = {
      {"refused removal", [&] { doc.removeSelected(); }, {}},
      {"select", [&] { doc.select(1, true); }, {Change::Selection}},
      {"select again", [&] { doc.select(1, true); }, {}},
      {"remove", [&] { doc.removeSelected(); }, {edited}},
      {"legend", [&] { doc.setViewOptions({.legend = true}); }, {Change::View}},
      {"same options", [&] { doc.setViewOptions({.legend = true}); }, {}},
      {"overlays dropped", [&] { doc.removeOverlaidTraces(); }, {Change::Data}},
      {"reset", [&] { doc.reset(); }, {edited}},
      {"deselect all", [&] { doc.deselectAll(); }, {Change::Selection}},
  };
  for (const Row& row : rows) {
    seen.notices.clear();
    row.command();
    EXPECT_EQ(seen.notices, row.expected) << row.name;
  }
}

}  // namespace
}  // namespace lumatix::app
