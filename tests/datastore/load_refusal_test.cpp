// A refused file says why: what it looked like, what was wrong and where.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "datastore/data_store.h"
#include "datastore/load_refusal.h"
#include "datastore/lum_binary.h"
#include "support/fixed_providers.h"
#include "support/temp_dir.h"
#include "text_test_support.h"

namespace lumatix::datastore {
namespace {

using ::lumatix::testing::makeStore;
using ::lumatix::testing::TempDir;
using ::lumatix::testing::writeFile;
using ::testing::HasSubstr;

struct Refused {
  const char* name;
  std::string bytes;
  bool allowCary;
  std::string message;  // the exception text, or "false"
  std::string reason;
};

class RefusalTest : public ::testing::Test {
 protected:
  ::lumatix::testing::FixedProviders providers_;
  TempDir dir_;
};

class Refusals : public RefusalTest, public ::testing::WithParamInterface<Refused> {};

TEST_P(Refusals, SayWhy) {
  const Refused& row = GetParam();
  const std::string path = dir_.file("input");
  writeFile(path, row.bytes);
  DataStore store(true);
  store.allowCary = row.allowCary;
  std::string outcome;
  std::string thrownReason;
  try {
    outcome = store.load(path, false) ? "true" : "false";
  } catch (const LoadRefused& e) {
    outcome = e.what();
    thrownReason = e.reason();
  }
  EXPECT_EQ(outcome, row.message);
  EXPECT_EQ(lastLoadRefusal(), row.reason);
  if (outcome != "false") {
    EXPECT_EQ(thrownReason, row.reason);
  }
}

const std::string kUnrecognised = "The file is of an unrecognised format\n";
const std::string kCorrupt = "The file is corrupt.\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, Refusals,
    ::testing::Values(
        Refused{"unknownText", "Hello\nWorld\n", true, kUnrecognised,
                "Its first line \"Hello\" names none of the formats the viewer reads (LumBinaryX, LumBinary, "
                "LumatixStore, QVL-ASCII, QVL-ASCII-SPECTRAKINETIC, ASCII, JCAMP-DX, Cary, spectrometer text exports), and "
                "it holds no columns of numbers."},
        Refused{"longFirstLineIsCut", std::string(40, 'a') + "\n", false, kUnrecognised,
                "Its first line \"aaaaaaaaaaaaaaaaaaaaaaaa...\" names none of the formats the viewer reads (LumBinaryX, "
                "LumBinary, LumatixStore, QVL-ASCII, QVL-ASCII-SPECTRAKINETIC, ASCII, JCAMP-DX, Cary, spectrometer text "
                "exports), and it holds no columns of numbers."},
        Refused{"binary", std::string("\x89PNG\r\n\x1a\n\0\0", 10), false, kUnrecognised,
                "It holds binary data of no format the viewer reads (its first bytes are \"?PNG\")."},
        Refused{"empty", "", true, kUnrecognised, "The file is empty."},
        Refused{"caryNotAllowed", "Title,,\nWavelength (nm),Abs\n300,1\n\n", false, kUnrecognised,
                "It looks like a Cary export (a title, a line naming the columns, then rows of comma-separated "
                "numbers); Cary files open only when \"Allow Cary Files\" is switched on (--allow-cary on the "
                "command line)."},
        Refused{"caryRowBroken", "Title,,\nWavelength (nm),Abs\n300,1\n290;x\n\n", true, kUnrecognised,
                "Cary file: line 4: \"290;x\" is not a row of two numbers parted by a comma."},
        Refused{"csvExport", "LumatixCSV\n1,2\n", false, "CSV is an export only format.\nIt cannot be imported.\n",
                "The file is a LumatixCSV export, which other programs read; open the file it was exported from."},
        Refused{"asciiCutShort", "ASCII\n3\n1 2\n3 4\n", false, "false",
                "ASCII file: the count announces 3 points, more than the rest of the file can hold."},
        Refused{"asciiNotANumber", "ASCII\n2\n1 2\n3 four\n", false, "false",
                "ASCII file: line 4: point 2 of 2: found \"four\" where a number was expected."},
        Refused{"jcampWithoutData", "##TITLE= x\n##JCAMP-DX= 5.0\n##ORIGIN= y\n", false, "false",
                "JCAMP-DX file: no XYDATA, XYPOINTS or PEAK TABLE block."},
        Refused{"jcampTooFewValues",
                "##TITLE= x\n##JCAMP-DX= 5.0\n##FIRSTX= 1\n##LASTX= 4\n##NPOINTS= 4\n##XYDATA=(X++(Y..Y))\n1 5 6\n"
                "3 7\n##END=\n",
                false, "false", "JCAMP-DX file: line 7: the data hold 3 values where ##NPOINTS announces 4."},
        Refused{"jcampBadFactor", "##TITLE= x\n##JCAMP-DX= 5.0\n##YFACTOR= much\n##XYDATA=(X++(Y..Y))\n", false,
                "false", "JCAMP-DX file: line 3: the ##YFACTOR \"much\" is not a number."},
        Refused{"jcampCheckValueWrong",
                "##TITLE= x\n##JCAMP-DX= 5.0\n##FIRSTX= 1\n##LASTX= 4\n##NPOINTS= 4\n##XYDATA=(X++(Y..Y))\n1 5J\n"
                "3 7J\n##END=\n",
                false, "false",
                "JCAMP-DX file: line 8: the check value 7 does not repeat the last value 6 of the line before."},
        Refused{"lumatixStoreNotANumber", "LumatixStore\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n1\nX\n2\n1,b\n",
                false, kCorrupt, "LumatixStore file: line 13: value 2 of \"X\" was expected; found \"b\"."},
        Refused{"lumatixStoreNoProperties", "LumatixStore\nT\nRemarks:\n0\n0\nProps:\n1\n", false, kCorrupt,
                "LumatixStore file: line 6: \"Properties:\" was expected; found \"Props:\"."},
        Refused{"qvlAsciiCutShort", "QVL-ASCII\nINFO>wl_1\n5\n1 2\n", false, "false",
                "QVL-ASCII file: line 3: a point count, no more points than the file holds, was expected; found "
                "\"5\"."},
        Refused{"spectraKinetic", "QVL-ASCII-SPECTRAKINETIC\nTYPE>DATA_CD\n%\n%\n", false, kCorrupt,
                "QVL-ASCII-SPECTRAKINETIC file: line 5: \"/\" was expected; found the end of the file."}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(RefusalTest, ABinaryStoreCutShortSaysWhereItEnds) {
  DataStore written = makeStore({Dimension("X", {1, 2, 3})}, {"P"});
  std::ostringstream out;
  writeLumBinaryX(written, out, false);
  const std::string bytes = out.str();
  writeFile(dir_.file("cut.dsx"), bytes.substr(0, bytes.size() - 30));
  DataStore store(true);
  try {
    EXPECT_FALSE(store.load(dir_.file("cut.dsx"), false));
  } catch (const LoadRefused& e) {
    EXPECT_EQ(e.reason(), lastLoadRefusal());
  }
  EXPECT_THAT(lastLoadRefusal(), HasSubstr("LumBinaryX file: it ends (after " + std::to_string(bytes.size() - 30) +
                                           " bytes) before the data it announces."));
}

TEST_F(RefusalTest, AMissingFileSaysSoAndALoadThatWorksForgetsTheLastReason) {
  DataStore store(true);
  EXPECT_FALSE(store.load(dir_.file("absent.dsa"), false));
  EXPECT_EQ(lastLoadRefusal(), "The file cannot be opened for reading: No such file or directory.");
  writeFile(dir_.file("good.txt"), "ASCII\n1\n1 2\n");
  EXPECT_TRUE(store.load(dir_.file("good.txt"), false));
  EXPECT_EQ(lastLoadRefusal(), "");
}

}  // namespace
}  // namespace lumatix::datastore
