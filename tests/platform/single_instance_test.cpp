#include "platform/single_instance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "platform/local_message.h"
#include "support/temp_dir.h"

namespace lumatix::platform {
namespace {

using Result = SingleInstance::Result;

TEST(SingleInstance, SecondStartHandsItsFileToTheFirst) {
  testing::TempDir dir;
  SingleInstance first("Lumatix Viewer", dir.path().string());
  ASSERT_EQ(first.acquire(), Result::First);
  EXPECT_TRUE(std::filesystem::is_socket(dir.file("Lumatix Viewer")));

  // The second start runs in its own process, as it would for real.
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SingleInstance second("Lumatix Viewer", dir.path().string());
    if (second.acquire() != Result::AlreadyRunning) ::_exit(2);
    ::_exit(second.handOver({"/data/run 1.dsx"}) ? 0 : 3);
  }
  auto request = first.takeRequest(5000);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->fileName, "/data/run 1.dsx");
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SingleInstance, LockIsFreeAgainAfterRelease) {
  testing::TempDir dir;
  SingleInstance first("Lumatix Viewer", dir.path().string());
  ASSERT_EQ(first.acquire(), Result::First);
  first.release();
  EXPECT_FALSE(std::filesystem::exists(dir.file("Lumatix Viewer")));
  SingleInstance next("Lumatix Viewer", dir.path().string());
  EXPECT_EQ(next.acquire(), Result::First);
}

TEST(SingleInstance, HandOverWithoutARunningInstanceFails) {
  testing::TempDir dir;
  SingleInstance lonely("Lumatix Viewer", dir.path().string());
  EXPECT_FALSE(lonely.handOver({"a.dsx"}, 200));
}

TEST(SingleInstance, SilentPeerDoesNotHoldTheRunningInstance) {
  testing::TempDir dir;
  SingleInstance first("Lumatix Viewer", dir.path().string());
  ASSERT_EQ(first.acquire(), Result::First);
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, first.socketPath().c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(first.takeRequest(1000).has_value());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  ::close(fd);
}

TEST(SingleInstance, OverlongNameIsRefused) {
  testing::TempDir dir;
  SingleInstance first("Lumatix Viewer", dir.path().string());
  ASSERT_EQ(first.acquire(), Result::First);
  SingleInstance second("Lumatix Viewer", dir.path().string());
  EXPECT_FALSE(second.handOver({std::string(SingleInstance::kMaxFileName + 1, 'a')}, 200));
}

TEST(SingleInstance, TheControlPanelsMessagesAreToldFromFileNames) {
  using Request = SingleInstance::Request;
  struct Row {
    const char* label;
    std::string text;
    Request request;
    std::string fileName;
  };
  const Row rows[] = {
      {"a file", "/data/run 1.dsx", Request::OpenWindow, "/data/run 1.dsx"},
      {"no file", "", Request::OpenWindow, ""},
      {"auth, one line", std::string(kControlRequestAuthMessage) + "\n", Request::ControlRequestAuth, ""},
      {"auth, no line end", kControlRequestAuthMessage, Request::ControlRequestAuth, ""},
      {"connect", std::string(kControlPanelRequestConnectMessage) + "\n", Request::ControlPanelRequestConnect, ""},
      {"two line ends", std::string(kControlPanelRequestConnectMessage) + "\n\n", Request::OpenWindow,
       std::string(kControlPanelRequestConnectMessage) + "\n\n"},
      {"another case", "wm_controlpanel_request_connect_cc914aa5-810b-4216-ab7e-05226e0ef450", Request::OpenWindow,
       "wm_controlpanel_request_connect_cc914aa5-810b-4216-ab7e-05226e0ef450"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const SingleInstance::HandOver h = SingleInstance::parse(row.text);
    EXPECT_EQ(h.request, row.request);
    EXPECT_EQ(h.fileName, row.fileName);
  }
}

TEST(SingleInstance, APeerOfAnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to connect as another user";
  testing::TempDir dir;
  ::chmod(dir.path().c_str(), 0777);
  SingleInstance first("Lumatix Viewer", dir.path().string());
  ASSERT_EQ(first.acquire(), Result::First);
  ::chmod(first.socketPath().c_str(), 0777);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    ::_exit(sendLocalMessage(first.socketPath(), std::string(kControlPanelRequestConnectMessage) + "\n", 3000) ? 0 : 1);
  }
  EXPECT_FALSE(first.takeRequest(3000).has_value());
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);  // connected, but no receipt
}

}  // namespace
}  // namespace lumatix::platform
