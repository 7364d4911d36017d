// Files from 16 MiB on are read in place from a mapping: the same stores as a small file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "datastore/data_store.h"
#include "datastore/load_refusal.h"
#include "datastore/lum_binary.h"
#include "datastore/text_cursor.h"
#include "platform/mapped_file.h"
#include "support/fixed_providers.h"
#include "support/temp_dir.h"
#include "text_test_support.h"

namespace lumatix::datastore {
namespace {

using ::lumatix::testing::TempDir;
using ::lumatix::testing::writeFile;

class MappedLoad : public ::testing::Test {
 protected:
  ::lumatix::testing::FixedProviders providers_;
  TempDir dir_;
};

TEST_F(MappedLoad, ALargeColumnFileGivesEveryRowWhileItsPagesAreLetGo) {
  // About 20 MB: more than the step after which passed pages are let go.
  constexpr int kRows = 1'500'000;
  std::string text = "time\tsignal\n";
  text.reserve(static_cast<std::size_t>(kRows) * 14);
  for (int i = 0; i < kRows; ++i) text += std::to_string(i) + "\t" + std::to_string(i % 1000) + ".5\n";
  const std::string path = dir_.file("big.txt");
  writeFile(path, text);
  DataStore store(true);
  ASSERT_TRUE(store.load(path, false)) << lastLoadRefusal();
  ASSERT_EQ(store.dimensions[0].size(), kRows);
  EXPECT_EQ(store.dimensions[0].name, "Time");
  EXPECT_EQ(store.dimensions[0].values[kRows - 1], static_cast<float>(kRows - 1));
  EXPECT_EQ(store.data.data[kRows - 1], static_cast<float>((kRows - 1) % 1000) + 0.5f);
  EXPECT_EQ(store.data.data[123456], 456.5f);
}

TEST_F(MappedLoad, ALargeBinaryFileReadsThroughTheMappedStream) {
  DataStore original(true);
  original.title = "big";
  std::vector<float> x(4'500'000);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(i);
  original.dimensions.push_back(Dimension("Time", x));
  original.properties.push_back("Absorbance");
  ASSERT_TRUE(original.initialise());
  for (std::int64_t i = 0; i < original.data.count; i += 1000) original.data.data[i] = static_cast<float>(i);
  const std::string path = dir_.file("big.dsx");
  {
    std::ofstream out(path, std::ios::binary);
    writeLumBinaryX(original, out, false);
  }
  DataStore store(true);
  ASSERT_TRUE(store.load(path, false)) << lastLoadRefusal();
  ASSERT_EQ(store.data.count, original.data.count);
  EXPECT_EQ(store.data.data[4'499'000], 4'499'000.0f);
}

TEST_F(MappedLoad, LoneCarriageReturnsOfAMappedFileAreReadFromACopy) {
  const std::string path = dir_.file("cr.txt");
  writeFile(path, "a\rb\rc");
  auto mapped = platform::MappedFileBuf::open(path);
  ASSERT_TRUE(mapped);
  text::TextCursor c(*mapped);
  c.normaliseLineEnds();
  std::string line;
  ASSERT_TRUE(c.line(line));
  EXPECT_EQ(line, "a");
  ASSERT_TRUE(c.line(line));
  EXPECT_EQ(line, "b");
  EXPECT_EQ(mapped->bytes(), "a\rb\rc");  // the file's own bytes are untouched
}

TEST_F(MappedLoad, AFileCutShortWhileMappedReadsZerosAndSaysSoInsteadOfEndingTheProcess) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::string path = dir_.file("cut.txt");
  writeFile(path, std::string(3 * page, '7'));
  auto mapped = platform::MappedFileBuf::open(path);
  ASSERT_TRUE(mapped);
  const std::string_view bytes = mapped->bytes();
  EXPECT_EQ(bytes[2 * page], '7');
  EXPECT_FALSE(mapped->cutShort());
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(page)), 0);
  ::madvise(const_cast<char*>(bytes.data()), 3 * page, MADV_DONTNEED);  // read the pages again
  EXPECT_EQ(bytes[0], '7');
  EXPECT_EQ(bytes[2 * page + 5], '\0');
  EXPECT_TRUE(mapped->cutShort());

  // Another mapping of another file knows nothing of it.
  const std::string other = dir_.file("whole.txt");
  writeFile(other, std::string(page, '1'));
  auto whole = platform::MappedFileBuf::open(other);
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->bytes()[10], '1');
  EXPECT_FALSE(whole->cutShort());
}

}  // namespace
}  // namespace lumatix::datastore
