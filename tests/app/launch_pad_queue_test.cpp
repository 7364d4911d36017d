#include <gtest/gtest.h>

#include <filesystem>

#include "app/file_operation_queue.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

struct Folders {
  TempDir dir;
  std::string source = dir.file("source");
  std::string target = dir.file("target");
  Folders() {
    fs::create_directory(source);
    fs::create_directory(target);
  }
  std::string from(const std::string& name) const { return source + "/" + name; }
  std::string to(const std::string& name) const { return target + "/" + name; }
};

TEST(FileOperations, ADroppedFileIsQueuedOnceIgnoringCase) {
  Folders f;
  testing::writeFile(f.from("a.dsx"), "new");
  testing::writeFile(f.to("a.dsx"), "old and longer");
  FileOperations operations;
  EXPECT_EQ(operations.drop({f.from("a.dsx"), f.from("A.DSX"), f.from("a.dsx")}, DropEffect::Copy, f.target + "//"),
            1u);
  operations.queue(DropEffect::Copy).waitUntilIdle();
  EXPECT_EQ(operations.queue(DropEffect::Copy).done(), 1u);
  EXPECT_TRUE(operations.queue(DropEffect::Copy).failures().empty());
  // A copy overwrites, and leaves no temporary beside it.
  EXPECT_EQ(testing::readFile(f.to("a.dsx")), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(f.target), fs::directory_iterator()), 1);
}

TEST(FileOperations, MoveAndLink) {
  Folders f;
  testing::writeFile(f.from("m.dsx"), "moved");
  testing::writeFile(f.from("kept.dsx"), "mine");
  testing::writeFile(f.to("kept.dsx"), "theirs");
  testing::writeFile(f.from("l.dsx"), "linked");
  FileOperations operations;
  operations.drop({f.from("m.dsx"), f.from("kept.dsx")}, DropEffect::Move, f.target);
  operations.drop({f.from("l.dsx")}, DropEffect::Link, f.target);
  operations.queue(DropEffect::Move).waitUntilIdle();
  operations.queue(DropEffect::Link).waitUntilIdle();

  EXPECT_FALSE(fs::exists(f.from("m.dsx")));
  EXPECT_EQ(testing::readFile(f.to("m.dsx")), "moved");
  // A move does not replace a file of the same name: it is reported instead.
  EXPECT_EQ(testing::readFile(f.to("kept.dsx")), "theirs");
  EXPECT_EQ(testing::readFile(f.from("kept.dsx")), "mine");
  auto failures = operations.queue(DropEffect::Move).failures();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0], "Can't move " + f.from("kept.dsx") + ": " + f.to("kept.dsx") + " exists.");

  const std::string link = f.to("Shortcut to l.dsx.lnk");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(testing::readFile(link), "linked");
}

TEST(FileOperations, StoppedWorkerEndsAndTakesNoMoreFiles) {
  Folders f;
  testing::writeFile(f.from("a.dsx"), "a");
  FileOperationQueue queue(DropEffect::Copy);
  queue.enqueue({f.from("a.dsx")}, f.target);
  queue.waitUntilIdle();
  queue.stop();
  queue.enqueue({f.from("a.dsx")}, f.source);  // ignored once stopped
  EXPECT_EQ(queue.pending(), 0u);
  EXPECT_EQ(queue.done(), 1u);
}

TEST(FileOperations, AMissingSourceIsReportedAndTheQueueGoesOn) {
  Folders f;
  testing::writeFile(f.from("b.dsx"), "b");
  FileOperationQueue queue(DropEffect::Copy);
  queue.enqueue({f.from("gone.dsx"), f.from("b.dsx")}, f.target);
  queue.waitUntilIdle();
  EXPECT_EQ(queue.failures(), std::vector<std::string>{"Can't open " + f.from("gone.dsx") + " for reading."});
  EXPECT_EQ(testing::readFile(f.to("b.dsx")), "b");
}

}  // namespace
}  // namespace lumatix::app
