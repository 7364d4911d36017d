#include <gtest/gtest.h>

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

TEST(AtomicFile, FailedWriteFailsTheCommitAndLeavesNoFile) {
  testing::TempDir dir;
  AtomicFile file(dir.file("x"));
  file.stream().setstate(std::ios::badbit);
  EXPECT_THROW(file.commit(), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir.file("x")));
}

}  // namespace
}  // namespace lumatix::platform
