#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace lumatix::platform {
namespace {

std::size_t entries(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(AtomicFile, CommitReplacesTheTargetWhole) {
  testing::TempDir dir;
  std::string target = dir.file("data.dsx");
  testing::writeFile(target, "old contents");
  {
    AtomicFile file(target);
    file.stream() << std::string(3 << 20, 'x');  // larger than the buffer
    EXPECT_EQ(testing::readFile(target), "old contents");
    file.commit();
  }
  EXPECT_EQ(testing::readFile(target).size(), std::size_t{3 << 20});
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicFile, AbandonedWriteLeavesTheTargetAndNoTemporary) {
  testing::TempDir dir;
  std::string target = dir.file("data.dsx");
  testing::writeFile(target, "old contents");
  {
    AtomicFile file(target);
    file.stream() << "half written";
  }
  EXPECT_EQ(testing::readFile(target), "old contents");
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicFile, UnwritableFolderIsReportedWithThePath) {
  try {
    AtomicFile file("/nonexistent-folder/out.dsx");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Can't open /nonexistent-folder/out.dsx for writing.");
  }
}

TEST(AtomicFile, RefusalSaysWhy) {
  try {
    AtomicFile file("/nonexistent-folder/out.dsx");
    FAIL() << "no exception";
  } catch (const OpenRefused& e) {
    EXPECT_EQ(e.reason(), "No such file or directory");
  }
}

TEST(AtomicFile, FailedWriteFailsTheCommitAndLeavesNoFile) {
  testing::TempDir dir;
  AtomicFile file(dir.file("x"));
  file.stream().setstate(std::ios::badbit);
  EXPECT_THROW(file.commit(), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir.file("x")));
}

void save(const std::string& target, const std::string& contents) {
  AtomicFile file(target);
  file.stream() << contents;
  file.commit();
}

std::string refusal(const std::string& target) {
  try {
    save(target, "new");
  } catch (const OpenRefused& e) {
    return std::string(e.what()) + "\n" + e.reason();
  }
  return "";
}

TEST(AtomicFile, SymbolicLinksAreFollowedAndKept) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "real");
  testing::writeFile(dir.file("real/data.dsx"), "old");
  std::filesystem::create_symlink("real/data.dsx", dir.path() / "link.dsx");
  std::filesystem::create_symlink("link.dsx", dir.path() / "chain.dsx");
  std::filesystem::create_symlink("real/new.dsx", dir.path() / "dangling.dsx");
  save(dir.file("chain.dsx"), "through two links");
  save(dir.file("dangling.dsx"), "made by the link");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.dsx"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "chain.dsx"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "dangling.dsx"));
  EXPECT_EQ(testing::readFile(dir.file("real/data.dsx")), "through two links");
  EXPECT_EQ(testing::readFile(dir.file("real/new.dsx")), "made by the link");
  EXPECT_EQ(entries(dir.path() / "real"), 2u);
}

TEST(AtomicFile, TargetsThatAreNotRegularFilesAreLeftAlone) {
  testing::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.path() / "folder");
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = dir.file("sock");
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  std::filesystem::create_symlink("/dev/null", dir.path() / "null-link");
  struct Row {
    const char* name;
    const char* reason;
  } rows[] = {{"fifo", "It is a named pipe, not a regular file; it was left alone."},
              {"folder", "It is a folder, not a file."},
              {"sock", "It is a socket, not a regular file; it was left alone."},
              {"null-link", "It is a device, not a regular file; it was left alone."}};
  for (const auto& row : rows) {
    const std::string target = dir.file(row.name);
    EXPECT_EQ(refusal(target), "Can't open " + target + " for writing.\n" + row.reason) << row.name;
  }
  ::close(sock);
  EXPECT_TRUE(std::filesystem::is_fifo(dir.path() / "fifo"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder"));
  EXPECT_TRUE(std::filesystem::is_socket(dir.path() / "sock"));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  EXPECT_EQ(entries(dir.path()), 4u);
}

TEST(AtomicFile, ReadOnlyTargetIsNotReplaced) {
  testing::TempDir dir;
  const std::string target = dir.file("locked.dsx");
  testing::writeFile(target, "keep");
  ::chmod(target.c_str(), 0444);
  EXPECT_EQ(refusal(target), "Can't open " + target +
                                 " for writing.\nThe file is read-only; save it under another name or make it "
                                 "writable first.");
  EXPECT_EQ(testing::readFile(target), "keep");
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicFile, NamesUpToTheFolderLimitCanBeWritten) {
  testing::TempDir dir;
  for (std::size_t length : {200u, 230u, 242u, 250u, 255u}) {
    const std::string target = dir.file(std::string(length - 4, 'n') + ".dsx");
    save(target, "long");
    save(target, "longer");  // a second save must not trip over the first one's leftovers
    EXPECT_EQ(testing::readFile(target), "longer") << length;
  }
  EXPECT_EQ(entries(dir.path()), 5u);
}

TEST(AtomicFile, StaleTemporariesOfTheTargetAreRemovedByTheNextSave) {
  testing::TempDir dir;
  const std::string target = dir.file("data.dsx");
  // A process id that cannot run: above the kernel's limit.
  testing::writeFile(dir.file("data.dsx.lmxtmp-2147483646-abcdef"), "left by a killed save");
  testing::writeFile(dir.file("other.dsx.lmxtmp-2147483646-abcdef"), "another target's");
  const std::string live = dir.file("data.dsx.lmxtmp-" + std::to_string(::getpid()) + "-ghijkl");
  testing::writeFile(live, "a save of a running process");
  save(target, "new");
  EXPECT_FALSE(std::filesystem::exists(dir.file("data.dsx.lmxtmp-2147483646-abcdef")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("other.dsx.lmxtmp-2147483646-abcdef")));
  EXPECT_TRUE(std::filesystem::exists(live));
}

TEST(AtomicFile, RemoveTemporariesNowTakesEverySaveInProgress) {
  testing::TempDir dir;
  AtomicFile first(dir.file("a.dsx"));
  AtomicFile second(dir.file("b.dsx"));
  first.stream() << "x";
  EXPECT_EQ(entries(dir.path()), 2u);
  AtomicFile::removeTemporariesNow();
  EXPECT_EQ(entries(dir.path()), 0u);
}

}  // namespace
}  // namespace lumatix::platform
