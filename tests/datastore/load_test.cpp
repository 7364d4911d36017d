#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "datastore/data_store.h"
#include "datastore/lum_binary.h"
#include "datastore/lumatix_store.h"
#include "datastore/qvl_ascii.h"
#include "support/fixed_providers.h"
#include "support/temp_dir.h"
#include "text_test_support.h"

namespace lumatix::datastore {
namespace {

using ::lumatix::testing::makeStore;
using ::lumatix::testing::TempDir;
using ::lumatix::testing::valuesOf;
using ::lumatix::testing::writeFile;
using ::testing::ElementsAre;

class LoadTest : public ::testing::Test {
 protected:
  // Loads bytes written to a file; the exception text, or "true" / "false".
  std::string load(const std::string& bytes, bool allowCary = false) {
    const std::string path = dir_.file("input");
    writeFile(path, bytes);
    store_ = DataStore(true);
    store_.allowCary = allowCary;
    try {
      return store_.load(path, false) ? "true" : "false";
    } catch (const std::exception& e) {
      return e.what();
    }
  }

  ::lumatix::testing::FixedProviders providers_;
  TempDir dir_;
  DataStore store_{true};
};

const std::string kStoreBody = "\nT\nRemarks:\n0\n0\nProperties:\n1\nP\nDimensions:\n1\nX\n2\n1,2\n\n3,4\nHistory:\n0\n0\n";
const std::string kCary = "Title,,\nWavelength (nm),Abs\n300,1\n290,2\n\n";

struct LoadRow {
  const char* name;
  std::string bytes;
  bool allowCary;
  std::string result;
  std::string formatName;
};

class Dispatch : public LoadTest, public ::testing::WithParamInterface<LoadRow> {};

TEST_P(Dispatch, ChoosesByTheFirstLine) {
  const LoadRow& row = GetParam();
  EXPECT_EQ(load(row.bytes, row.allowCary), row.result);
  if (row.result == "true") {
    EXPECT_EQ(store_.formatName, row.formatName);
    EXPECT_EQ(store_.filePath, dir_.file("input"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Dispatch,
    ::testing::Values(
        LoadRow{"lumatixStore", "LumatixStore" + kStoreBody, false, "true", "LumatixStore"},
        LoadRow{"lumatixStoreCrLf", "LumatixStore\r" + kStoreBody, false, "true", "LumatixStore"},
        LoadRow{"leadingBlankLines", "\n\n  \nLumatixStore 1.1" + kStoreBody, false, "true", "LumatixStore 1.1"},
        LoadRow{"wrongCase", "LUMATIXSTORE" + kStoreBody, false, "The file is of an unrecognised format\n", ""},
        LoadRow{"simpleCsv", "SimpleCSV\n1,2\n", false, "CSV is an export only format.\nIt cannot be imported.\n", ""},
        LoadRow{"lumatixCsv", "LumatixCSV\r\n", false, "CSV is an export only format.\nIt cannot be imported.\n", ""},
        LoadRow{"jcampExport", "JCAMP-DX 5.0\n", false, "JCAMP-DX is an export only format.\nIt cannot be imported.\n", ""},
        LoadRow{"jcampTitle", "##TITLE= x\n##JCAMP-DX= 5.0\n##NPOINTS= 1\n##XYDATA=(X++(Y..Y))\n1 2\n", false, "true",
                "##TITLE= x"},
        LoadRow{"jcampTitleWithoutVersion", "##TITLE= x\n##ORIGIN= y\n", false, "false", ""},
        LoadRow{"ascii", "ASCII\n1\n1 2\n", false, "true", "ASCII"},
        LoadRow{"asciiCutShort", "ASCII\n2\n1 2\n", false, "false", ""},
        LoadRow{"qvlAsciiBroken", "QVL-ASCII\nINFO>wl_1\n5\n", false, "false", ""},
        LoadRow{"spectraKineticBroken", "QVL-ASCII-SPECTRAKINETIC\nTYPE>DATA_CD\n%\n%\n", false, "The file is corrupt.\n", ""},
        LoadRow{"caryAllowed", kCary, true, "true", "CARY-ASCII"},
        LoadRow{"caryNotAllowed", kCary, false, "The file is of an unrecognised format\n", ""},
        LoadRow{"caryShapeWithoutComma", "Title\nWavelength Abs\n300 1\n\n", true, "The file is of an unrecognised format\n", ""},
        LoadRow{"unknown", "Hello\nWorld\n", true, "The file is of an unrecognised format\n", ""},
        LoadRow{"oneLongBinaryLine", std::string(200000, '\x01'), true, "The file is of an unrecognised format\n", ""},
        LoadRow{"empty", "", true, "The file is of an unrecognised format\n", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(LoadTest, MissingFileIsFalseWithoutAnException) {
  DataStore store(true);
  EXPECT_FALSE(store.load(dir_.file("absent.dsa"), false));
}

TEST_F(LoadTest, BinaryMagicWithCrLfIsStillBinary) {
  DataStore store = makeStore({Dimension("X", {1, 2})}, {"P"});
  std::ostringstream out;
  writeLumBinary(store, out, false);
  std::string bytes = out.str();
  bytes.insert(bytes.find('\n'), "\r");
  EXPECT_EQ(load(bytes), "true");
  EXPECT_EQ(store_.formatName, "LumBinary");
  EXPECT_THAT(valuesOf(store_), ElementsAre(0.0f, 1.0f));
}

TEST_F(LoadTest, WrittenTextFormatsLoadBack) {
  DataStore store = makeStore({Dimension("Wavelength", {200, 210, 220}), Dimension("Time", {0, 1})}, {"Absorbance"}, 0.25f);
  store.options.push_back("Slit 1 nm");
  std::ostringstream dsa, glb, kin;
  writeLumatixStore(store, dsa, false);
  writeQvlSpectraKinetic(store, glb);
  writeQvlAscii(store, kin, 1);

  ASSERT_EQ(load(dsa.str()), "true");
  EXPECT_EQ(store_.options.size(), 1);
  EXPECT_EQ(valuesOf(store_), valuesOf(store));

  ASSERT_EQ(load(glb.str()), "true");
  EXPECT_EQ(valuesOf(store_), valuesOf(store));
  EXPECT_EQ(store_.properties[0], "Absorbance");

  ASSERT_EQ(load(kin.str()), "true");
  EXPECT_EQ(store_.dimensions[0].name, "Time (seconds)");
  EXPECT_EQ(store_.properties[0], "Absorbance");
  EXPECT_THAT(valuesOf(store_), ElementsAre(0.0f, 0.75f));
  EXPECT_THAT(valuesOf(store_.dimensions[1].values), ElementsAre(200.0f));
}

TEST_F(LoadTest, HeaderOnlyLumatixStoreSkipsTheValues) {
  const std::string path = dir_.file("header.dsa");
  writeFile(path, "LumatixStore" + kStoreBody);
  DataStore store(true);
  ASSERT_TRUE(store.load(path, true));
  EXPECT_EQ(store.dimensions[0].size(), 2);
  EXPECT_EQ(store.data.count, 0);
}

}  // namespace
}  // namespace lumatix::datastore
