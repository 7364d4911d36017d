#include "platform/event_log.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include <gtest/gtest.h>

#include "support/env_var.h"
#include "support/temp_dir.h"

namespace lumatix::platform {
namespace {

TEST(EventLog, FileSinkKeepsTextsWordForWord) {
  testing::TempDir dir;
  testing::ScopedEnv sink("LUMATIX_EVENT_LOG", dir.file("events.log"));
  const std::string tabbed = "Lumatix Viewer '21 CFR Part 11' mode: enabled\n\t\t\t\t\t\t\t  The user\n\n";
  {
    CEventLog log("Lumatix Viewer", "", dir.file("no-syslog"));
    ASSERT_TRUE(log.registered());
    EXPECT_TRUE(log.Report("Lumatix Viewer initializing.\n"));
    EXPECT_TRUE(log.Report(tabbed));
    EXPECT_TRUE(log.Report(""));
    log.Deregister();
    EXPECT_FALSE(log.Report("after deregistering"));
  }
  auto records = readEventLogFile(dir.file("events.log"));
  std::vector<EventRecord> expected = {{"Lumatix Viewer", ::geteuid(), "Lumatix Viewer initializing.\n"},
                                       {"Lumatix Viewer", ::geteuid(), tabbed},
                                       {"Lumatix Viewer", ::geteuid(), ""}};
  EXPECT_EQ(records, expected);
}

TEST(EventLog, WithoutAnySinkNothingIsRegistered) {
  testing::TempDir dir;
  testing::ScopedEnv sink("LUMATIX_EVENT_LOG", std::nullopt);
  CEventLog log("Lumatix Viewer", "", dir.file("no-syslog"));
  EXPECT_FALSE(log.registered());
  EXPECT_FALSE(log.Report("lost"));
  CEventLog unnamed;
  EXPECT_FALSE(unnamed.registered());
}

TEST(EventLog, CorruptFileSinkIsReported) {
  testing::TempDir dir;
  testing::writeFile(dir.file("bad.log"), "Lumatix Viewer\tuid=0\tevent=0x20000001\tlength=999\nshort\n");
  try {
    readEventLogFile(dir.file("bad.log"));
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Corrupt event log " + dir.file("bad.log"));
  }
}

TEST(EventLog, RecordReachesALocalSyslogSocket) {
  testing::TempDir dir;
  testing::ScopedEnv sink("LUMATIX_EVENT_LOG", std::nullopt);
  std::string path = dir.file("log.sock");
  int server = ::socket(AF_UNIX, SOCK_DGRAM, 0);
  ASSERT_GE(server, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  CEventLog log("Lumatix Viewer", "", path);
  ASSERT_TRUE(log.registered());
  ASSERT_TRUE(log.Report("Lumatix Viewer shutting down."));
  char buffer[2048];
  ssize_t n = ::recv(server, buffer, sizeof buffer, MSG_DONTWAIT);
  ::close(server);
  ASSERT_GT(n, 0);
  std::string record(buffer, static_cast<std::size_t>(n));
  EXPECT_EQ(record.substr(0, 4), "<14>");
  std::string tail = " Lumatix Viewer[" + std::to_string(::getpid()) + "]: uid=" + std::to_string(::geteuid()) +
                     " event=0x20000001 Lumatix Viewer shutting down.";
  ASSERT_GE(record.size(), tail.size());
  EXPECT_EQ(record.substr(record.size() - tail.size()), tail);
  EXPECT_EQ(record.size(), 4 + 15 + tail.size());  // "Mmm dd hh:mm:ss"
}

}  // namespace
}  // namespace lumatix::platform
