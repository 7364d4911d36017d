#include "platform/named_pipe.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/env_var.h"
#include "support/temp_dir.h"

namespace lumatix::platform {
namespace {

using namespace std::chrono_literals;

// Collects what listeners deliver, from any thread.
struct Inbox {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::string> messages;

  CNamedPipe::Callback callback() {
    return [this](const std::string& m) {
      std::lock_guard lock(mutex);
      messages.push_back(m);
      arrived.notify_all();
    };
  }
  bool waitFor(std::size_t count, std::chrono::milliseconds timeout = 2000ms) {
    std::unique_lock lock(mutex);
    return arrived.wait_for(lock, timeout, [&] { return messages.size() >= count; });
  }
  std::vector<std::string> snapshot() {
    std::lock_guard lock(mutex);
    return messages;
  }
};

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class NamedPipeTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  testing::ScopedEnv runtime{"XDG_RUNTIME_DIR", dir.path().string()};
  Inbox inbox;

  void initPair(CNamedPipe& server, CNamedPipe& client, const std::string& name = "ViewerPipe") {
    server.Init(".", name);
    client.Init(".", name);
    ASSERT_TRUE(server.Open(true, "QUIT", [](const std::string&) {}));
    ASSERT_TRUE(client.Open(false, "QUIT", inbox.callback()));
  }
};

TEST_F(NamedPipeTest, FifoKeepsTheOutSuffixInTheRuntimeFolder) {
  CNamedPipe server;
  server.Init(".", "ViewerPipe");
  ASSERT_TRUE(server.Open(true, "QUIT", [](const std::string&) {}));
  EXPECT_EQ(server.fifoPath(), dir.file("lumatix/ViewerPipe_OUT"));
  EXPECT_TRUE(std::filesystem::is_fifo(server.fifoPath()));
}

TEST_F(NamedPipeTest, WriteSendsTheTextAndItsZeroByte) {
  CNamedPipe server;
  server.Init(".", "ViewerPipe");
  ASSERT_TRUE(server.Open(true, "QUIT", [](const std::string&) {}));
  int reader = ::open(server.fifoPath().c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(server.Write("abc"));
  char buffer[16];
  ssize_t n = ::read(reader, buffer, sizeof buffer);
  ::close(reader);
  ASSERT_EQ(n, 4);
  EXPECT_EQ(std::string(buffer, 4), std::string("abc\0", 4));
}

TEST_F(NamedPipeTest, WriteWithoutReaderFailsAtOnce) {
  CNamedPipe server;
  server.Init(".", "ViewerPipe");
  ASSERT_TRUE(server.Open(true, "QUIT", [](const std::string&) {}));
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(server.Write("abc"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
}

TEST_F(NamedPipeTest, OverlongMessageIsRefused) {
  CNamedPipe server, client;
  initPair(server, client);
  EXPECT_FALSE(server.Write(std::string(1024, 'x')));  // 1025 bytes with the zero
  EXPECT_TRUE(server.Write(std::string(1023, 'y')));
  ASSERT_TRUE(inbox.waitFor(1));
  EXPECT_EQ(inbox.snapshot()[0], std::string(1023, 'y'));
}

TEST_F(NamedPipeTest, EachListenerDeliversExactlyOneMessage) {
  CNamedPipe server, client;
  initPair(server, client);
  ASSERT_TRUE(server.Write("jsmith"));
  ASSERT_TRUE(inbox.waitFor(1));
  EXPECT_TRUE(server.Write("second"));  // the client end is still open, nobody listens
  EXPECT_FALSE(inbox.waitFor(2, 200ms));

  ASSERT_TRUE(client.Open(false, "QUIT", inbox.callback()));
  ASSERT_TRUE(server.Write("third"));
  ASSERT_TRUE(inbox.waitFor(2));
  EXPECT_EQ(inbox.snapshot(), (std::vector<std::string>{"jsmith", "third"}));
}

TEST_F(NamedPipeTest, MessageEndsAtItsFirstZeroByte) {
  CNamedPipe server, client;
  initPair(server, client);
  ASSERT_TRUE(server.Write(std::string("ab\0cd", 5)));
  ASSERT_TRUE(inbox.waitFor(1));
  EXPECT_EQ(inbox.snapshot()[0], "ab");
}

TEST_F(NamedPipeTest, BrokenPipeEndsTheListenerWithoutSpinning) {
  CNamedPipe client;
  CNamedPipe server;
  initPair(server, client);
  int writer = ::open(server.fifoPath().c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ::close(writer);  // the peer went away before saying anything
  double before = cpuSeconds();
  std::this_thread::sleep_for(300ms);
  EXPECT_LT(cpuSeconds() - before, 0.1);
  EXPECT_TRUE(inbox.snapshot().empty());
}

TEST_F(NamedPipeTest, DestructionEndsAWaitingListenerPromptly) {
  CNamedPipe server;
  server.Init(".", "ControlPanelPipe");
  ASSERT_TRUE(server.Open(true, "QUIT", [](const std::string&) {}));
  auto start = std::chrono::steady_clock::now();
  {
    CNamedPipe client;
    client.Init(".", "ControlPanelPipe");
    ASSERT_TRUE(client.Open(false, "QUIT", inbox.callback()));
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_FALSE(server.Write("late"));  // the reader is gone with the object
}

TEST_F(NamedPipeTest, ServerEndRemovesItsFifoWhenDestroyed) {
  std::string fifo;
  {
    CNamedPipe server;
    server.Init(".", "ViewerPipe");
    ASSERT_TRUE(server.Open(true, "QUIT", [](const std::string&) {}));
    fifo = server.fifoPath();
    ASSERT_TRUE(std::filesystem::exists(fifo));
  }
  EXPECT_FALSE(std::filesystem::exists(fifo));
}

TEST_F(NamedPipeTest, OpenFailures) {
  struct Row {
    const char* name;
    std::string machine;
    bool serverEnd;
    bool withCallback;
  };
  const Row rows[] = {
      {"no callback", ".", true, false},
      {"client without a server", ".", false, true},
      {"another machine", "labpc", true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CNamedPipe pipe;
    pipe.Init(row.machine, "ControlPanelPipe");
    CNamedPipe::Callback cb;
    if (row.withCallback) cb = inbox.callback();
    EXPECT_FALSE(pipe.Open(row.serverEnd, "QUIT", cb));
  }
}

TEST_F(NamedPipeTest, ServerRefusesToReplaceSomethingThatIsNotAFifo) {
  std::filesystem::create_directories(dir.path() / "lumatix");
  testing::writeFile(dir.file("lumatix/ViewerPipe_OUT"), "keep me");
  CNamedPipe server;
  server.Init(".", "ViewerPipe");
  EXPECT_FALSE(server.Open(true, "QUIT", [](const std::string&) {}));
  EXPECT_EQ(testing::readFile(dir.file("lumatix/ViewerPipe_OUT")), "keep me");
}

TEST_F(NamedPipeTest, MessageCrossesProcesses) {
  CNamedPipe server;
  server.Init(".", "ControlPanelPipe");
  ASSERT_TRUE(server.Open(true, "QUIT", [](const std::string&) {}));
  int report[2];
  ASSERT_EQ(::pipe(report), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(report[0]);
    CNamedPipe client;
    client.Init(".", "ControlPanelPipe");
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    if (!client.Open(false, "QUIT", [&](const std::string& msg) {
          (void)!::write(report[1], msg.data(), msg.size());
          std::lock_guard lock(m);
          done = true;
          cv.notify_all();
        }))
      ::_exit(2);
    std::unique_lock lock(m);
    cv.wait_for(lock, 5s, [&] { return done; });
    ::_exit(done ? 0 : 3);
  }
  ::close(report[1]);
  bool written = false;
  for (int i = 0; i < 200 && !written; ++i) {
    written = server.Write("operator1");
    if (!written) std::this_thread::sleep_for(10ms);
  }
  EXPECT_TRUE(written);
  char buffer[64];
  ssize_t n = ::read(report[0], buffer, sizeof buffer);
  ::close(report[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(n)), "operator1");
}

}  // namespace
}  // namespace lumatix::platform
