#include "platform/machine_config.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/trusted_file.h"
#include "support/temp_dir.h"

namespace lumatix::platform {
namespace {

TEST(MachineConfig, OnlyNumbersGreaterThanZeroSwitchAModeOn) {
  struct Row {
    const char* name;
    std::string text;
    bool compliant;
  };
  const Row rows[] = {
      {"number one", "CFRCompliant=dword:00000001\n", true},
      {"short hex", "CFRCompliant=dword:a\n", true},
      {"zero", "CFRCompliant=dword:00000000\n", false},
      {"text instead of a number", "CFRCompliant=\"1\"\n", false},
      {"untyped", "CFRCompliant=1\n", false},
      {"more than 32 bits", "CFRCompliant=dword:100000000\n", false},
      {"name in another case", "cfrcompliant=dword:00000001\n", false},
      {"missing", "CFRLocalAuthOnly=dword:00000001\n", false},
      {"comment and section", "[SOFTWARE\\Corvane Ltd]\n# off\r\nCFRCompliant=dword:2\r\n", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MachineConfig::parse(row.text).flag("CFRCompliant"), row.compliant);
  }
}

class TrustedFileTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string path = dir.file("machine.conf");
  void write(mode_t mode) {
    testing::writeFile(path, "CFRCompliant=dword:00000001\n");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
  }
};

TEST_F(TrustedFileTest, OwnedAndProtectedFileIsRead) {
  write(0644);
  MachineConfig config = MachineConfig::read(path, ::geteuid());
  EXPECT_TRUE(config.flag("CFRCompliant"));
  EXPECT_EQ(config.warning(), "");
}

TEST_F(TrustedFileTest, MissingFileIsQuietlyEmpty) {
  MachineConfig config = MachineConfig::read(dir.file("none.conf"), ::geteuid());
  EXPECT_FALSE(config.flag("CFRCompliant"));
  EXPECT_EQ(config.warning(), "");
}

TEST_F(TrustedFileTest, WorldWritableFileIsIgnoredWithAWarning) {
  write(0646);
  MachineConfig config = MachineConfig::read(path, ::geteuid());
  EXPECT_FALSE(config.flag("CFRCompliant"));
  EXPECT_EQ(config.warning(), path + " ignored: writable by other users");
}

TEST_F(TrustedFileTest, FileOfAnotherOwnerIsIgnored) {
  write(0644);
  uid_t other = ::geteuid() + 1;
  MachineConfig config = MachineConfig::read(path, other);
  EXPECT_FALSE(config.flag("CFRCompliant"));
  EXPECT_EQ(config.warning(), path + " ignored: not owned by uid " + std::to_string(other));
}

TEST_F(TrustedFileTest, OverrideCanAddButNotSwitchOff) {
  struct Row {
    const char* name;
    std::string system;  // empty: no system file
    std::string extra;
    bool compliant, localOnly;
  };
  const Row rows[] = {
      {"override alone", "", "CFRCompliant=dword:1\nCFRLocalAuthOnly=dword:1\n", true, true},
      {"override cannot switch off", "CFRCompliant=dword:1\n", "CFRCompliant=dword:0\n", true, false},
      {"override adds a missing value", "CFRCompliant=dword:1\n", "CFRLocalAuthOnly=dword:1\n", true, true},
      {"explicit off stays off", "CFRCompliant=dword:0\n", "CFRCompliant=dword:1\n", false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(path);
    if (!row.system.empty()) testing::writeFile(path, row.system);
    testing::writeFile(dir.file("extra.conf"), row.extra);
    auto config = MachineConfig::readEffective(path, dir.file("extra.conf"), ::geteuid());
    EXPECT_EQ(config.flag("CFRCompliant"), row.compliant);
    EXPECT_EQ(config.flag("CFRLocalAuthOnly"), row.localOnly);
  }
}

TEST_F(TrustedFileTest, SymbolicLinkIsNotFollowed) {
  write(0644);
  std::string link = dir.file("link.conf");
  std::filesystem::create_symlink(path, link);
  TrustedRead read = readTrustedFile(link, 1024, ::geteuid());
  EXPECT_TRUE(read.exists);
  EXPECT_FALSE(read.text.has_value());
}

}  // namespace
}  // namespace lumatix::platform
