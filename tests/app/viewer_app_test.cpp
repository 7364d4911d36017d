#include "app/viewer_app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "app/compliance_settings.h"
#include "link/control_panel_handshake.h"
#include "platform/local_message.h"
#include "platform/named_pipe.h"
#include "platform/event_log.h"
#include "support/env_var.h"
#include "support/fixed_providers.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/wrapped.h"

namespace lumatix::app {
namespace {

using namespace std::chrono_literals;

const std::string kInit = "Lumatix Viewer initializing.\n";
const std::string kDown = "Lumatix Viewer shutting down.";
const std::string kNotInGroup =
    "Warning!\n\t\t\t\t\t\t\t   The current logged-on user does not belong to the group of users that can operate "
    "this software.\n\t\t\t\t\t\t\t   Only member of the \"Lumatix Users\" security group can operate this "
    "software.\n\n\t\t\t\t\t\t\t   Please see your system Administrator.";
const std::string kSorry = "Sorry! Error in username and/or password.\nPlease try again.";

std::string mode(const std::string& user, const std::string& verdict) {
  return "Lumatix Viewer '21 CFR Part 11' mode: enabled\n\t\t\t\t\t\t\t  The user with Windows(R) logon username: '" +
         user + "' is " + verdict + " to run the software.\n\n";
}

std::string refused(const std::string& user) {
  return "\t\t\t\t\t\t\t\t  Warning! Lumatix Viewer '21 CFR Part 11' mode: is enabled; however, the user "
         "with\n\t\t\t\t\t\t\t\t  Windows(R) logon username: '" +
         user +
         "' is not authenticated to run the software.\n\t\t\t\t\t\t\t\t  The software will now close. Contact "
         "your system administrator.\n";
}

struct FakeAuthenticator : platform::Authenticator {
  std::string user = "jsmith", password = "Secret1";
  bool authenticate(const std::string& u, const std::string& p) override { return u == user && p == password; }
};

struct RecordingHost : MainFrameHost {
  std::vector<std::string> calls;
  std::function<void()> onBroadcast;
  bool openSucceeds = true;
  void keepSystemAwake() override { calls.push_back("awake"); }
  void broadcastViewerRequest() override {
    calls.push_back("broadcast");
    if (onBroadcast) onBroadcast();
  }
  bool openDocument(const std::string& f) override {
    calls.push_back("open:" + f);
    return openSucceeds;
  }
  std::uint32_t registerClipboardFormat(const std::string& name) override {
    calls.push_back("clipboard:" + name);
    return 0xC000 + static_cast<std::uint32_t>(calls.size());
  }
  void goOnLine(bool synchronous) override { calls.push_back(synchronous ? "online:send" : "online:post"); }
  void setMainWindowTitle(const std::string& t) override { calls.push_back("title:" + t); }
};

Credentials typed(std::string user, std::string password) { return {std::move(user), std::move(password), true}; }

class ViewerAppTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  testing::ScopedEnv runtime{"XDG_RUNTIME_DIR", dir.path().string()};
  testing::ScopedEnv sink{"LUMATIX_EVENT_LOG", dir.file("events.log")};
  testing::FixedProviders fixed{"jsmith"};
  testing::ScriptedUi ui;
  RecordingHost host;
  FakeAuthenticator auth;

  void SetUp() override {
    ComplianceSettings::instance().reset();
    CurrentUserName::instance().set("");
    std::filesystem::create_directories(dir.file("Documents"));
    writeProtected("group", "lumatix-users:x:2000:jsmith\n");
    testing::writeFile(dir.file("passwd"), "");
  }

  void writeProtected(const std::string& name, const std::string& text) {
    testing::writeFile(dir.file(name), text);
    ::chmod(dir.file(name).c_str(), 0644);
  }
  void machine(const std::string& text) { writeProtected("machine.conf", text); }
  void compliant(bool localOnly = false) {
    machine(std::string("CFRCompliant=dword:00000001\n") + (localOnly ? "CFRLocalAuthOnly=dword:00000001\n" : ""));
  }

  StartupEnvironment environment() {
    StartupEnvironment env;
    env.machineConfigPath = dir.file("machine.conf");
    env.machineConfigOverride = "";
    env.trustedOwner = ::geteuid();
    env.groupSources.aclFile = dir.file("ACL.txt");
    env.groupSources.localGroupFile = dir.file("group");
    env.groupSources.localPasswdFile = dir.file("passwd");
    env.settingsPath = dir.file("Lumatix Viewer.conf");
    env.syslogSocket = dir.file("no-syslog");
    env.instanceFolder = dir.path().string();
    std::string docs = dir.file("Documents");
    env.documents = [docs] { return platform::DocumentsFolder{true, docs, 0}; };
    env.authenticator = &auth;
    return env;
  }

  std::vector<std::string> events() {
    std::vector<std::string> texts;
    for (const auto& r : platform::readEventLogFile(dir.file("events.log"))) {
      EXPECT_EQ(r.source, "Lumatix Viewer");
      texts.push_back(r.text);
    }
    return texts;
  }

  bool start(std::vector<std::string> args = {}) {
    CKVViewerApp app(ui, host, environment());
    bool ok = app.InitInstance(CKVCommandLineInfo::parse(args));
    app.ExitInstance();
    return ok;
  }
};

TEST_F(ViewerAppTest, NormalStartAndEnd) {
  CKVViewerApp app(ui, host, environment());
  ASSERT_TRUE(app.InitInstance(CKVCommandLineInfo::parse({})));
  EXPECT_EQ(events(), (std::vector<std::string>{kInit}));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"awake", "open:", "clipboard:_DATASET_FORMAT_",
                                                  "clipboard:_DATASTORE_FORMAT_", "title:Lumatix Viewer"}));
  EXPECT_NE(app.GetClipboardFormat("_DATASTORE_FORMAT_"), 0u);
  EXPECT_EQ(app.GetClipboardFormat("_OTHER_"), 0u);
  EXPECT_EQ(app.commandLineOnLineRequest(), 1);
  // An empty working directory becomes the documents folder plus "My Data", created and stored.
  const std::string wd = dir.file("Documents/My Data");
  EXPECT_EQ(app.userPref().workingDirectory, wd);
  EXPECT_TRUE(std::filesystem::is_directory(wd));
  EXPECT_TRUE(ui.shown.empty());

  app.userPref().workingDirectory = "/data/lab";
  app.ExitInstance();
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, kDown}));
  EXPECT_EQ(platform::SettingsStore(dir.file("Lumatix Viewer.conf")).getString("Preferences", "Working Directory", ""),
            "/data/lab");
}

TEST_F(ViewerAppTest, ComplianceModeOnlyFromAPositiveNumber) {
  struct Row {
    const char* name;
    std::string config;
    mode_t permissions;
    std::vector<std::string> events;
  };
  const std::string path = dir.file("machine.conf");
  const Row rows[] = {
      {"text instead of a number", "CFRCompliant=\"1\"\n", 0644, {kInit, kDown}},
      {"zero", "CFRCompliant=dword:00000000\n", 0644, {kInit, kDown}},
      {"writable by others", "CFRCompliant=dword:00000001\n", 0666,
       {kInit, path + " ignored: writable by other users\n", kDown}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(dir.file("events.log"));
    machine(row.config);
    ::chmod(path.c_str(), row.permissions);
    host.calls.clear();
    EXPECT_TRUE(start());  // no log-on dialog: the script has no credentials to give
    EXPECT_EQ(events(), row.events);
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "broadcast"), 0);
  }
}

TEST_F(ViewerAppTest, MemberLogsOnWithThePassword) {
  compliant();
  ui.credentials = {typed("jsmith", "Secret1")};
  EXPECT_TRUE(start());
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].userName, "jsmith");
  EXPECT_EQ(CurrentUserName::instance().get(), "jsmith");
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, mode("jsmith", "authenticated"), kDown}));
}

TEST_F(ViewerAppTest, NonMemberIsRefusedWithTheWarning) {
  compliant();
  writeProtected("group", "lumatix-users:x:2000:mjones\n");
  platform::SettingsStore(dir.file("Lumatix Viewer.conf")).setString("Preferences", "Working Directory", "/data/lab");
  EXPECT_FALSE(start());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, kNotInGroup);
  EXPECT_EQ(ui.shown[0].caption, "User Authentication");
  EXPECT_TRUE(ui.prompts.empty());
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, mode("jsmith", "not authenticated"), refused("jsmith"), kDown}));
  EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "open:"), 0);
  // The refused run leaves the stored working directory alone.
  EXPECT_EQ(platform::SettingsStore(dir.file("Lumatix Viewer.conf")).getString("Preferences", "Working Directory", ""),
            "/data/lab");
}

TEST_F(ViewerAppTest, ThreeFailedTriesEndStartUpAfterTwoSorries) {
  compliant();
  ui.credentials = {typed("jsmith", "a"), typed("JSmith", "Secret1"), typed("jsmith", "c")};
  EXPECT_FALSE(start());
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{kSorry, kSorry}));
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, mode("jsmith", "not authenticated"), refused("jsmith"), kDown}));
}

TEST_F(ViewerAppTest, AclFileInAnyCaseGrantsWithoutAGroup) {
  compliant(true);
  writeProtected("group", "");
  writeProtected("ACL.txt", "JSMITH\n");
  ui.credentials = {typed("jsmith", "Secret1")};
  EXPECT_TRUE(start());
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, mode("jsmith", "authenticated"), kDown}));
}

TEST_F(ViewerAppTest, UserWritableAclFileGrantsNothing) {
  compliant(true);
  writeProtected("group", "");
  writeProtected("ACL.txt", "jsmith\n");
  ::chmod(dir.file("ACL.txt").c_str(), 0666);
  EXPECT_FALSE(start());
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{kNotInGroup}));
  EXPECT_EQ(events()[1], dir.file("ACL.txt") + " ignored: writable by other users\n");
}

TEST_F(ViewerAppTest, ControlSoftwareConfirmationSkipsTheDialog) {
  compliant();
  platform::CNamedPipe controlPanel;  // the control software's server end
  controlPanel.Init(".", "ControlPanelPipe");
  ASSERT_TRUE(controlPanel.Open(true, "QUIT", [](const std::string&) {}));
  host.onBroadcast = [&] {
    ASSERT_TRUE(controlPanel.Write("jsmith"));
    for (int i = 0; i < 200 && !ComplianceSettings::instance().snapshot().controlPanelConfirmedUser; ++i)
      std::this_thread::sleep_for(5ms);
  };
  EXPECT_TRUE(start());
  EXPECT_TRUE(ui.prompts.empty());
  EXPECT_EQ(host.calls.back(), "online:send");
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, mode("jsmith", "authenticated"), kDown}));
}

TEST_F(ViewerAppTest, TheSimulatedControlPanelConfirmsTheUserThroughItsSocketAndPipe) {
  compliant();
  instrument_link::ControlPanelHandshake controlPanel("jsmith");
  // As the viewer's host asks: the receipt comes once the name is in the pipe.
  host.onBroadcast = [&] {
    ASSERT_TRUE(platform::sendLocalMessage(platform::controlPanelSocketPath(),
                                           std::string(platform::kViewerRequestAuthMessage) + "\n", 1000));
    for (int i = 0; i < 200 && !ComplianceSettings::instance().snapshot().controlPanelConfirmedUser; ++i)
      std::this_thread::sleep_for(5ms);
  };
  EXPECT_TRUE(start());
  EXPECT_TRUE(ui.prompts.empty());
  EXPECT_EQ(controlPanel.requestsAnswered(), 1);
  EXPECT_EQ(controlPanel.namesDelivered(), 1);
  // Anything else on the socket is not answered.
  EXPECT_FALSE(platform::sendLocalMessage(platform::controlPanelSocketPath(), "WM_SOMETHING_ELSE\n", 1000));
}

TEST_F(ViewerAppTest, TheControlPanelLearnsTheUserFromTheViewerPipeEachTimeItAsks) {
  compliant();
  CKVViewerApp app(ui, host, environment());
  ui.credentials = {typed("jsmith", "Secret1")};
  ASSERT_TRUE(app.InitInstance(CKVCommandLineInfo::parse({})));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    std::mutex mutex;
    std::string told;
    platform::CNamedPipe reader;  // the control panel's end
    reader.Init(".", "ViewerPipe");
    ASSERT_TRUE(reader.Open(false, "QUIT", [&](const std::string& m) {
      std::lock_guard lock(mutex);
      told = m;
    }));
    EXPECT_TRUE(app.answerControlPanelAuthRequest());
    for (int i = 0; i < 200; ++i) {
      std::lock_guard lock(mutex);
      if (!told.empty()) break;
      std::this_thread::sleep_for(5ms);
    }
    std::lock_guard lock(mutex);
    EXPECT_EQ(told, "jsmith");
  }
  app.ExitInstance();
}

TEST_F(ViewerAppTest, OutsideComplianceModeNobodyIsToldTheUser) {
  CKVViewerApp app(ui, host, environment());
  ASSERT_TRUE(app.InitInstance(CKVCommandLineInfo::parse({})));
  EXPECT_FALSE(app.answerControlPanelAuthRequest());
  app.ExitInstance();
}

TEST_F(ViewerAppTest, OnLineFlagIsCaseSensitive) {
  EXPECT_TRUE(start({"-online"}));
  EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "online:post"), 0);
  host.calls.clear();
  EXPECT_TRUE(start({"/OnLine", "run.dsx"}));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"awake", "open:run.dsx", "clipboard:_DATASET_FORMAT_",
                                                  "clipboard:_DATASTORE_FORMAT_", "online:post",
                                                  "title:Lumatix Viewer"}));
}

TEST_F(ViewerAppTest, SecondInstanceHandsOverItsFileAndEnds) {
  CKVViewerApp first(ui, host, environment());
  ASSERT_TRUE(first.InitInstance(CKVCommandLineInfo::parse({})));

  testing::ScriptedUi ui2;
  RecordingHost host2;
  bool secondStarted = true;
  std::thread second([&] {
    CKVViewerApp app(ui2, host2, environment());
    secondStarted = app.InitInstance(CKVCommandLineInfo::parse({"run 2.dsx"}));
    app.ExitInstance();
  });
  auto request = first.instance()->takeRequest(5000);
  second.join();
  EXPECT_FALSE(secondStarted);
  EXPECT_TRUE(host2.calls.empty());
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->fileName, (std::filesystem::current_path() / "run 2.dsx").string());

  // "mi" skips the rule.
  CKVViewerApp third(ui2, host2, environment());
  EXPECT_TRUE(third.InitInstance(CKVCommandLineInfo::parse({"-mi"})));
  third.ExitInstance();
  first.ExitInstance();
}

TEST_F(ViewerAppTest, FailingFirstDocumentEndsStartUp) {
  host.openSucceeds = false;
  EXPECT_FALSE(start({"broken.dsx"}));
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, kDown}));
}

// Real PAM and the name service, under tests/support/run_wrapped.sh.
class WrappedStartup : public ViewerAppTest {
 protected:
  void SetUp() override {
    LUMATIX_REQUIRE_WRAPPERS();
    ViewerAppTest::SetUp();
    platform::setLogonNameSource({});  // the logon name of the (wrapped) effective user
  }
  void TearDown() override { ::seteuid(0); }
  bool startAs(uid_t uid) {
    StartupEnvironment env = environment();
    env.authenticator = nullptr;  // PAM
    env.groupSources.localGroupFile = testing::wrapDir() + "/local-group";
    env.groupSources.localPasswdFile = testing::wrapDir() + "/passwd";
    CKVViewerApp app(ui, host, env);
    if (::seteuid(uid) != 0) return false;
    bool ok = app.InitInstance(CKVCommandLineInfo::parse({}));
    ::seteuid(0);
    app.ExitInstance();
    return ok;
  }
};

TEST_F(WrappedStartup, LocalMemberWithThePamPassword) {
  compliant(true);
  ui.credentials = {typed("jsmith", "wrong"), typed("jsmith", "Secret1")};
  EXPECT_TRUE(startAs(1001));
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{kSorry}));
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, mode("jsmith", "authenticated"), kDown}));
}

TEST_F(WrappedStartup, DomainOnlyMemberPassesUnlessLocalOnly) {
  compliant(false);
  ui.credentials = {std::nullopt};  // a member gets the dialog; cancelling it refuses
  EXPECT_FALSE(startAs(1003));
  EXPECT_EQ(ui.prompts.size(), 1u);
  EXPECT_TRUE(ui.shown.empty());

  std::filesystem::remove(dir.file("events.log"));
  ui.prompts.clear();
  compliant(true);
  EXPECT_FALSE(startAs(1003));
  EXPECT_TRUE(ui.prompts.empty());
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{kNotInGroup}));
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, mode("dsmith", "not authenticated"), refused("dsmith"), kDown}));
}

TEST_F(WrappedStartup, AccountWithoutANameIsRefusedWhateverTheEnvironmentSays) {
  compliant(true);
  writeProtected("ACL.txt", "jsmith\n");
  testing::ScopedEnv spoof("USERNAME", "jsmith");
  EXPECT_FALSE(startAs(4242));  // no passwd entry for this uid
  EXPECT_TRUE(ui.prompts.empty());
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{kNotInGroup}));
  EXPECT_EQ(events(), (std::vector<std::string>{kInit, mode("", "not authenticated"), refused(""), kDown}));
}

}  // namespace
}  // namespace lumatix::app
