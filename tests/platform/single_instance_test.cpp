#include "platform/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lumatix::platform
