#include "app/command_line_info.h"

#include <gtest/gtest.h>

namespace lumatix::app {
namespace {

TEST(CommandLineInfo, FlagsAndFileName) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
    bool onLine, suppressBlank, multiInstance;
    std::string file;
  };
  const Row rows[] = {
      {"nothing", {}, false, false, false, ""},
      {"dash on-line", {"-OnLine"}, true, false, false, ""},
      {"slash on-line", {"/OnLine"}, true, false, false, ""},
      {"lower-case online has no effect", {"-online"}, false, false, false, ""},
      {"upper-case MI has no effect", {"-MI"}, false, false, false, ""},
      {"all three and a file", {"/mi", "-SuppressBlank", "/OnLine", "run1.dsx"}, true, true, true, "run1.dsx"},
      {"absolute path is a file, not a flag", {"/home/lab/run1.dsx"}, false, false, false, "/home/lab/run1.dsx"},
      {"slash and an unknown word is a path", {"/online"}, false, false, false, "/online"},
      {"shell verb is ignored", {"/p", "run2.dsx"}, false, false, false, "run2.dsx"},
      {"flag without prefix is a file name", {"OnLine"}, false, false, false, "OnLine"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto info = CKVCommandLineInfo::parse(row.args);
    EXPECT_EQ(info.onLine, row.onLine);
    EXPECT_EQ(info.suppressBlank, row.suppressBlank);
    EXPECT_EQ(info.multiInstance, row.multiInstance);
    EXPECT_EQ(info.fileName, row.file);
  }
}

TEST(CommandLineInfo, ArgvSkipsTheProgramName) {
  const char* argv[] = {"lumatix-viewer", "-mi", "a.dsx"};
  auto info = CKVCommandLineInfo::parse(3, argv);
  EXPECT_TRUE(info.multiInstance);
  EXPECT_EQ(info.fileName, "a.dsx");
}

}  // namespace
}  // namespace lumatix::app
