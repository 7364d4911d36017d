// Files of columns: rows of numbers in their separators, the spectrometers' text export,
// Cary files of several samples, and columns as the last resort, through DataStore::load.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "datastore/data_store.h"
#include "datastore/delimited_rows.h"
#include "datastore/load_refusal.h"
#include "support/fixed_providers.h"
#include "support/temp_dir.h"
#include "text_test_support.h"

namespace lumatix::datastore {
namespace {

using ::lumatix::testing::TempDir;
using ::lumatix::testing::valuesOf;
using ::lumatix::testing::writeFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct RowCase {
  const char* name;
  const char* line;
  bool parsed;
  text::RowShape shape;
  std::vector<float> values;
};

class RowShapes : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowShapes, AreGuessedAndRead) {
  const RowCase& row = GetParam();
  const auto shape = text::guessShape(row.line);
  ASSERT_EQ(shape.has_value(), row.parsed);
  if (!row.parsed) return;
  EXPECT_EQ(*shape, row.shape);
  std::vector<float> values;
  ASSERT_TRUE(text::parseRow(row.line, *shape, values));
  ASSERT_EQ(values.size(), row.values.size());
  for (std::size_t k = 0; k < values.size(); ++k)
    if (std::isnan(row.values[k]))
      EXPECT_TRUE(std::isnan(values[k]));
    else
      EXPECT_FLOAT_EQ(values[k], row.values[k]);
}

using text::Separator;
const float kNaN = std::nanf("");

INSTANTIATE_TEST_SUITE_P(
    Rows, RowShapes,
    ::testing::Values(RowCase{"tabs", "200.5\t1.25\t-3", true, {Separator::Tab, false}, {200.5f, 1.25f, -3}},
                      RowCase{"tabsWithDecimalCommas", "200,5\t1,25", true, {Separator::Tab, true}, {200.5f, 1.25f}},
                      RowCase{"semicolonsWithDecimalCommas", "200,5;1,25;3", true, {Separator::Semicolon, true},
                              {200.5f, 1.25f, 3}},
                      RowCase{"commas", "200.5,1.25,3", true, {Separator::Comma, false}, {200.5f, 1.25f, 3}},
                      RowCase{"commasPaddedAtTheEnd", "1,2,,,", true, {Separator::Comma, false}, {1, 2}},
                      RowCase{"emptyInnerCell", "1,,3", true, {Separator::Comma, false}, {1, kNaN, 3}},
                      RowCase{"blanks", "  1e-3   4.5 ", true, {Separator::Blanks, false}, {1e-3f, 4.5f}},
                      RowCase{"blanksWithDecimalCommas", "1,5 2,5", true, {Separator::Blanks, true}, {1.5f, 2.5f}},
                      RowCase{"oneNumber", "42", false, {}, {}},
                      RowCase{"words", "Wavelength\tAbs", false, {}, {}},
                      RowCase{"numberThenText", "12 apples", false, {}, {}}),
    [](const auto& row) { return std::string(row.param.name); });

class ColumnFiles : public ::testing::Test {
 protected:
  // Loads bytes written to a file (path suffix "#k" for store k); "true", "false" or the
  // exception text.
  std::string load(const std::string& bytes, bool allowCary = false, const std::string& suffix = "") {
    path_ = dir_.file("input.txt");
    writeFile(path_, bytes);
    store_ = DataStore(true);
    store_.allowCary = allowCary;
    try {
      return store_.load(path_ + suffix, false) ? "true" : "false";
    } catch (const std::exception& e) {
      return e.what();
    }
  }
  std::vector<std::string> traceNames() const {
    std::vector<std::string> names;
    if (store_.viewState.marks.size() > 1)
      for (const auto& mark : store_.viewState.marks[1]) names.push_back(mark.label);
    return names;
  }
  std::vector<std::string> properties() const { return {store_.properties.begin(), store_.properties.end()}; }

  ::lumatix::testing::FixedProviders providers_;
  TempDir dir_;
  std::string path_;
  DataStore store_{true};
};

const std::string kCdExport =
    "TITLE\tLysozyme\nDATA TYPE\t\nORIGIN\tmaker\nXUNITS\tNANOMETERS\nYUNITS\tCD [mdeg]\nY2UNITS\tHT [V]\n"
    "Y3UNITS\tABSORBANCE\nFIRSTX\t260,0000\nNPOINTS\t3\nXYDATA\n260,0000\t-0,5\t301,5\t0,12\n"
    "259,0000\t-1,0\t302,0\t0,13\n258,0000\t-1,5\t303,0\t0,14\n\n##### Extended Information\n[Comments]\n"
    "Sample name\tLysozyme\n";

TEST_F(ColumnFiles, SpectrometerExportGivesAPropertyPerChannel) {
  ASSERT_EQ(load(kCdExport), "true") << lastLoadRefusal();
  EXPECT_EQ(store_.formatName, "SPECTROMETER-TEXT");
  EXPECT_EQ(store_.title, "Lysozyme");
  ASSERT_EQ(store_.dimensions.size(), 1);
  EXPECT_EQ(store_.dimensions[0].name, "Wavelength");
  EXPECT_THAT(valuesOf(store_.dimensions[0].values), ElementsAre(260, 259, 258));
  EXPECT_THAT(properties(), ElementsAre("CircularDichroism", "HV", "Absorbance"));
  EXPECT_THAT(valuesOf(store_), ElementsAre(-0.5f, -1, -1.5f, 301.5f, 302, 303, 0.12f, 0.13f, 0.14f));
  EXPECT_THAT(std::vector<std::string>(store_.remarks.begin(), store_.remarks.end()),
              ::testing::IsSupersetOf({"ORIGIN: maker", "##### Extended Information", "Sample name: Lysozyme"}));
}

TEST_F(ColumnFiles, SpectrometerExportOfATemperatureScanInCommas) {
  ASSERT_EQ(load("TITLE,melt,,\r\nXUNITS,Temperature [C],,\r\nYUNITS,CD [mdeg],,\r\nXYDATA,,,\r\n20,-10\r\n25,-9\r\n"
                 "30,-7\r\n"),
            "true")
      << lastLoadRefusal();
  EXPECT_EQ(store_.dimensions[0].name, "Temperature");
  EXPECT_THAT(properties(), ElementsAre("CircularDichroism"));
  EXPECT_THAT(valuesOf(store_), ElementsAre(-10, -9, -7));
}

TEST_F(ColumnFiles, SpectrometerExportTableOfSpectraAtSeveralTemperatures) {
  ASSERT_EQ(load("TITLE\tt\nXUNITS\tNANOMETERS\nYUNITS\tCD [mdeg]\nY2UNITS\tTemperature [C]\nXYDATA\n"
                 "\t20\t40\n250\t1\t2\n251\t3\t4\n"),
            "true")
      << lastLoadRefusal();
  ASSERT_EQ(store_.dimensions.size(), 2);
  EXPECT_EQ(store_.dimensions[1].name, "Temperature");
  EXPECT_THAT(valuesOf(store_.dimensions[1].values), ElementsAre(20, 40));
  EXPECT_THAT(valuesOf(store_), ElementsAre(1, 3, 2, 4));
}

const std::string kCary =
    "\xEF\xBB\xBF" "Baseline,,Sample 1,,Sample 2,,\r\nWavelength (nm),Abs,Wavelength (nm),Abs,Wavelength (nm),Abs,\r\n"
    "300,0.01,300,0.5,300,0.7,\r\n299,0.02,299,0.6,299,0.8,\r\n298,0.03,298,0.65,,,\r\n,,,,,,\r\n\r\n"
    "Baseline\r\nCollection Time: 1/2/2024\r\n\r\nMethod,,\r\nInstrument,Model 60,\r\n";

TEST_F(ColumnFiles, CarySamplesOfOneLengthShareAStoreAndTheShorterFollows) {
  ASSERT_EQ(load(kCary, true), "true") << lastLoadRefusal();
  EXPECT_EQ(store_.formatName, "CARY-ASCII");
  ASSERT_EQ(store_.dimensions.size(), 2);
  EXPECT_EQ(store_.dimensions[1].name, "Sample");
  EXPECT_THAT(traceNames(), ElementsAre("Baseline", "Sample 1"));
  EXPECT_THAT(valuesOf(store_), ElementsAre(0.01f, 0.02f, 0.03f, 0.5f, 0.6f, 0.65f));
  EXPECT_THAT(std::vector<std::string>(store_.headerLines.begin(), store_.headerLines.end()),
              ElementsAre("Baseline", "Collection Time: 1/2/2024"));
  EXPECT_THAT(std::vector<std::string>(store_.remarks.begin(), store_.remarks.end()),
              ElementsAre("Method", "Instrument Model 60", HasSubstr("Set 1 of 2 in this file")));

  ASSERT_EQ(load(kCary, true, "#2"), "true") << lastLoadRefusal();
  EXPECT_THAT(valuesOf(store_.dimensions[0].values), ElementsAre(300, 299));
  EXPECT_THAT(valuesOf(store_), ElementsAre(0.7f, 0.8f));

  EXPECT_EQ(load(kCary, true, "#3"), "false");
  EXPECT_EQ(lastLoadRefusal(), "The file holds 2 sets of spectra; there is no set 3.");
}

TEST_F(ColumnFiles, CaryRowsMayRunToTheEndOfTheFile) {
  ASSERT_EQ(load("Sample,,\nWavelength (nm),Abs,\n300,1,\n290,2,", true), "true") << lastLoadRefusal();
  EXPECT_THAT(valuesOf(store_), ElementsAre(1, 2));
}

TEST_F(ColumnFiles, ColumnsAfterAMetadataBlockWithAHeaderRow) {
  ASSERT_EQ(load("Data from probe.txt\nIntegration Time (sec): 0.1\n>>>>>Begin Spectral Data<<<<<\n"
                 "Wavelength (nm);Sample A;Sample B\n200,5;1,5;2,5\n201,5;1,25;2,25\n202,5;1;2\n"
                 ">>>>>End Spectral Data<<<<<\n"),
            "true")
      << lastLoadRefusal();
  EXPECT_EQ(store_.formatName, "DELIMITED-COLUMNS");
  EXPECT_EQ(store_.title, "Data from probe.txt");
  EXPECT_EQ(store_.dimensions[0].name, "Wavelength");
  EXPECT_THAT(valuesOf(store_.dimensions[0].values), ElementsAre(200.5f, 201.5f, 202.5f));
  EXPECT_THAT(traceNames(), ElementsAre("Sample A", "Sample B"));
  EXPECT_THAT(valuesOf(store_), ElementsAre(1.5f, 1.25f, 1, 2.5f, 2.25f, 2));
  EXPECT_THAT(std::vector<std::string>(store_.remarks.begin(), store_.remarks.end()),
              ElementsAre("Data from probe.txt", "Integration Time (sec): 0.1", ">>>>>Begin Spectral Data<<<<<",
                          ">>>>>End Spectral Data<<<<<"));
}

TEST_F(ColumnFiles, DecimalCommasAfterRowsOfWholeNumbersLoseNoRow) {
  // The first rows read the same with decimal points or commas; the later ones only with commas.
  ASSERT_EQ(load("# t\tA\n0\t1\n1\t2\n1,5\t2,5\n2\t3\n"), "true") << lastLoadRefusal();
  EXPECT_THAT(valuesOf(store_.dimensions[0].values), ElementsAre(0, 1, 1.5f, 2));
  EXPECT_THAT(valuesOf(store_), ElementsAre(1, 2, 2.5f, 3));
  ASSERT_EQ(load("TITLE\tt\nXYDATA\n250\t1\n249,5\t1,5\n"), "true") << lastLoadRefusal();
  EXPECT_THAT(valuesOf(store_), ElementsAre(1, 1.5f));
}

TEST_F(ColumnFiles, ColumnsOfKnownQuantitiesBecomeProperties) {
  ASSERT_EQ(load("Wavelength (nm)\tCD (mdeg)\tHT (V)\n250\t1\t300\n251\t2\t301\n252\t3\t302\n"), "true")
      << lastLoadRefusal();
  EXPECT_EQ(store_.dimensions.size(), 1);
  EXPECT_THAT(properties(), ElementsAre("CircularDichroism", "HV"));
}

struct NotColumns {
  const char* name;
  std::string bytes;
  std::string reason;  // a part of the reason
};

class ColumnRefusals : public ColumnFiles, public ::testing::WithParamInterface<NotColumns> {};

TEST_P(ColumnRefusals, AreNotTakenForData) {
  EXPECT_THAT(load(GetParam().bytes), ::testing::AnyOf("false", "The file is of an unrecognised format\n"));
  EXPECT_THAT(lastLoadRefusal(), HasSubstr(GetParam().reason));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ColumnRefusals,
    ::testing::Values(
        NotColumns{"prose", "A letter.\nIt mentions 3 numbers, 4 and 5.\nRegards\n", "holds no columns of numbers"},
        NotColumns{"fewRowsAmongMuchText",
                   "a\nb\nc\nd\ne\nf\ng\nh\n1 2\n3 4\n5 6\ni\nj\nk\nl\n", "holds no columns of numbers"},
        NotColumns{"binaryAfterNumbers", std::string("1 2\n3 4\n5 6\n\x01\x02\x03\n", 16), "binary data"},
        NotColumns{"rowOfTheWrongLength", "x y z\n1 2 3\n4 5 6\n7 8 9\n10 11\n", "line 5: 2 values where 3 were expected."},
        NotColumns{"textAmongTheRows", "1 2\n3 4\n5 6\nnote\n7 8\n", "line 4: \"note\" interrupts the rows of numbers."},
        NotColumns{"spectrometerExportCountDisagrees",
                   "TITLE\tt\nNPOINTS\t4\nXYDATA\n1\t2\n3\t4\n5\t6\n",
                   "Spectrometer text export: there are 3 rows after XYDATA where NPOINTS announces 4."},
        NotColumns{"spectrometerExportRowShort", "TITLE\tt\nXYDATA\n1\t2\t3\n4\t5\n",
                   "Spectrometer text export: line 4: 2 values where 3 were expected."}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ColumnFiles, PartOfAFileOfOneStoreOrAPathWithAHash) {
  ASSERT_EQ(load("1 2\n3 4\n5 6\n"), "true");
  EXPECT_EQ(load("1 2\n3 4\n5 6\n", false, "#1"), "true");
  EXPECT_EQ(load("1 2\n3 4\n5 6\n", false, "#2"), "false");
  EXPECT_EQ(lastLoadRefusal(), "The file holds 1 set of spectra; there is no set 2.");
  // A file whose own name ends in "#2" is that file.
  const std::string hashed = dir_.file("scan#2");
  writeFile(hashed, "1 2\n3 4\n5 6\n");
  DataStore store(true);
  EXPECT_TRUE(store.load(hashed, false));
}

}  // namespace
}  // namespace lumatix::datastore
