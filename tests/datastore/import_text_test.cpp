#include "datastore/import_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "datastore/data_store.h"
#include "support/fixed_providers.h"
#include "text_test_support.h"

namespace lumatix::datastore {
namespace {

using ::lumatix::testing::readText;
using ::lumatix::testing::valuesOf;
using ::testing::ElementsAre;

class ImportTextTest : public ::testing::Test {
  ::lumatix::testing::FixedProviders providers_;
};

TEST_F(ImportTextTest, AsciiPairsBecomeXAndYData) {
  DataStore store(true);
  store.attributes.cfrCompliant = true;
  ASSERT_TRUE(readText("ASCII\r\n3\r\n1 10\r\n2\t-20\r\n3 30.5\r\n", [&](std::istream& in) { readAsciiXY(store, in); }));
  EXPECT_FALSE(store.attributes.cfrCompliant);
  EXPECT_EQ(store.title, "ASCII Import Data");
  EXPECT_EQ(store.dimensions[0].name, "X Data");
  EXPECT_THAT(valuesOf(store.dimensions[0].values), ElementsAre(1.0f, 2.0f, 3.0f));
  EXPECT_EQ(store.properties[0], "Y Data");
  EXPECT_THAT(valuesOf(store), ElementsAre(10.0f, -20.0f, 30.5f));
  EXPECT_DOUBLE_EQ(store.minValue, -20.0);
  EXPECT_DOUBLE_EQ(store.maxValue, 30.5);
}

struct RefusedRow {
  const char* name;
  std::string text;
};

class AsciiRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(AsciiRefused, LeavesTheStreamFailed) {
  DataStore store(true);
  EXPECT_FALSE(readText(GetParam().text, [&](std::istream& in) { readAsciiXY(store, in); }));
  EXPECT_EQ(store.data.count, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, AsciiRefused,
                         ::testing::Values(RefusedRow{"wrongFirstLine", "ASCII data\n1\n1 1\n"},
                                           RefusedRow{"billionPointsInOneLine", "ASCII\n1000000000\n1 2\n"},
                                           RefusedRow{"negativeCount", "ASCII\n-1\n"},
                                           RefusedRow{"cutShort", "ASCII\n3\n1 1\n2 2\n"}),
                         [](const auto& row) { return std::string(row.param.name); });

const std::string kCaryFile =
    "Sample 1,,Baseline,\r\nWavelength (nm),Abs,Wavelength (nm),Abs\r\n300,0.25,\r\n290 , 0.5,x\r\n280,1e-1\r\n\r\n"
    "Method:,  Scan   rate,  600\r\nCollection\ttime\r\n\r\nignored after the second empty line\r\n";

TEST_F(ImportTextTest, CaryFileKeepsTitleRowsAndTidiedHeaderLines) {
  DataStore store(true);
  ASSERT_TRUE(readText(kCaryFile, [&](std::istream& in) { readCary(store, in); }));
  EXPECT_EQ(store.title, "Sample 1,");
  ASSERT_EQ(store.dimensions.size(), 1);
  EXPECT_EQ(store.dimensions[0].name, "Wavelength (nm)");
  EXPECT_THAT(valuesOf(store.dimensions[0].values), ElementsAre(300.0f, 290.0f, 280.0f));
  EXPECT_EQ(store.properties[0], "Absorbance");
  EXPECT_THAT(valuesOf(store), ElementsAre(0.25f, 0.5f, 0.1f));
  EXPECT_EQ(std::vector<std::string>(store.headerLines.begin(), store.headerLines.end()),
            (std::vector<std::string>{"Method: Scan rate 600", "Collection time"}));
}

TEST_F(ImportTextTest, CaryTimeScanGetsAWavelengthDimension) {
  DataStore store(true);
  ASSERT_TRUE(readText("Kinetics\nTime (sec),Abs\n0,1\n1,2\n\n", [&](std::istream& in) { readCary(store, in); }));
  EXPECT_EQ(store.title, "Kinetics");
  ASSERT_EQ(store.dimensions.size(), 2);
  EXPECT_EQ(store.dimensions[1].name, "Wavelength");
  EXPECT_THAT(valuesOf(store.dimensions[1].values), ElementsAre(0.0f));
}

class CaryRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(CaryRefused, WithTheUnrecognisedMessage) {
  DataStore store(true);
  try {
    readText(GetParam().text, [&](std::istream& in) { readCary(store, in); });
    FAIL() << "read without an exception";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "The file is of an unrecognised format\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, CaryRefused,
                         ::testing::Values(RefusedRow{"textAmongRows", "T\nWavelength,Abs\n1,2\nnot a row\n\n"},
                                           RefusedRow{"noRows", "T\nWavelength,Abs\n\n"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ImportTextTest, JcampAppliesFactorsAndLabelsWinOverUnits) {
  const std::string file =
      "##TITLE= Spectrum\n##JCAMP-DX= 5.0\n##XUNITS= NANOMETERS\n##YUNITS= MDEG\n##YLABEL= CircularDichroism\n"
      "##XFACTOR= 2\n##YFACTOR=0.001000\n##NPOINTS= 3\n##XYDATA=(X++(Y..Y))\n100.0000 1500\n101.0000 -250\n"
      "102.0000 0\n##END=\n";
  DataStore store(true);
  ASSERT_TRUE(readText(file, [&](std::istream& in) { readJcamp(store, in); }));
  EXPECT_EQ(store.dimensions[0].name, "Wavelength");
  EXPECT_THAT(valuesOf(store.dimensions[0].values), ElementsAre(200.0f, 202.0f, 204.0f));
  EXPECT_EQ(store.properties[0], "CircularDichroism");
  EXPECT_THAT(valuesOf(store), ElementsAre(1.5f, -0.25f, 0.0f));
  EXPECT_DOUBLE_EQ(store.minValue, -0.25f);
}

TEST_F(ImportTextTest, JcampLabelsIgnoreBlanksCaseAndPunctuation) {
  struct Row {
    const char* line;
    const char* label;
  } rows[] = {{"##TITLE= a", "TITLE"},          {"  ## Title =a", "TITLE"},  {"##JCAMP-DX=5.01", "JCAMPDX"},
              {"##data_type= x", "DATATYPE"},   {"##X/Units=nm", "XUNITS"}, {"no label", ""},  {"\xEF\xBB\xBF##TITLE=a", "TITLE"},
              {"#TITLE=a", ""}};
  for (const Row& row : rows) EXPECT_EQ(jcampLabel(row.line), row.label) << row.line;
}

TEST_F(ImportTextTest, JcampReadsLooselySpelledLabelsAndDropsComments) {
  const std::string file =
      "## Title = Spectrum $$ from the lab\r\n$$ a comment line\r\n##JCAMPDX=4.24\r\n##x_units = NANOMETERS\r\n"
      "##YLabel= Absorbance   $$ note\r\n##Y-Factor = 0.5\r\n##N Points=2\r\n##XY Data=(X++(Y..Y))\r\n1 4\r\n2 6\r\n##END=\r\n";
  DataStore store(true);
  ASSERT_TRUE(readText(file, [&](std::istream& in) { readJcamp(store, in); }));
  EXPECT_EQ(store.title, "Spectrum");
  EXPECT_EQ(store.dimensions[0].name, "Wavelength");
  EXPECT_THAT(valuesOf(store.dimensions[0].values), ElementsAre(1.0f, 2.0f));
  EXPECT_EQ(store.properties[0], "Absorbance");
  EXPECT_THAT(valuesOf(store), ElementsAre(2.0f, 3.0f));
}

TEST_F(ImportTextTest, JcampSeveralYValuesPerLineTakeTheirXFromFirstAndLastX) {
  const std::string file =
      "##TITLE= s\n##JCAMP-DX= 4.24\n##FIRSTX= 200\n##LASTX= 210\n##YFACTOR= 0.1\n##NPOINTS= 6\n"
      "##XYDATA= (X++(Y..Y))\n200 10 20 30\n206 -40 50\n210 60\n##END=\n";
  DataStore store(true);
  ASSERT_TRUE(readText(file, [&](std::istream& in) { readJcamp(store, in); }));
  EXPECT_THAT(valuesOf(store.dimensions[0].values), ElementsAre(200.0f, 202.0f, 204.0f, 206.0f, 208.0f, 210.0f));
  EXPECT_THAT(valuesOf(store), ElementsAre(1.0f, 2.0f, 3.0f, -4.0f, 5.0f, 6.0f));
}

TEST_F(ImportTextTest, JcampXyPointsArePairs) {
  DataStore store(true);
  ASSERT_TRUE(readText("##TITLE=p\n##NPOINTS=2\n##XYPOINTS=(XY..XY)\n1 5\n3 7\n##END=\n",
                       [&](std::istream& in) { readJcamp(store, in); }));
  EXPECT_THAT(valuesOf(store.dimensions[0].values), ElementsAre(1.0f, 3.0f));
  EXPECT_THAT(valuesOf(store), ElementsAre(5.0f, 7.0f));
}

TEST_F(ImportTextTest, JcampCompressedLinesDropTheirDifCheckValue) {
  // x 1..6: y 10 20 30, then check 30 and 40 50, then check 50 and 60.
  const std::string file =
      "##TITLE=c\n##FIRSTX=1\n##LASTX=6\n##XFACTOR=1\n##YFACTOR=2\n##NPOINTS=6\n##XYDATA=(X++(Y..Y))\n"
      "1A0J0T\n3C0J0J0\n5E0J0\n##END=\n";
  DataStore store(true);
  ASSERT_TRUE(readText(file, [&](std::istream& in) { readJcamp(store, in); }));
  EXPECT_THAT(valuesOf(store.dimensions[0].values), ElementsAre(1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f));
  EXPECT_THAT(valuesOf(store), ElementsAre(20.0f, 40.0f, 60.0f, 80.0f, 100.0f, 120.0f));
}

class JcampRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(JcampRefused, LeavesTheStreamFailed) {
  DataStore store(true);
  EXPECT_FALSE(readText(GetParam().text, [&](std::istream& in) { readJcamp(store, in); }));
  EXPECT_EQ(store.data.count, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JcampRefused,
    ::testing::Values(RefusedRow{"noTitle", "##TITLEX\n"}, RefusedRow{"secondLineNotVersion", "##TITLE=a\n##DATA TYPE=b\n"},
                      RefusedRow{"noXyData", "##TITLE=a\n##JCAMP-DX=5\n##NPOINTS=1\n"},
                      RefusedRow{"billionPointsInOneLine", "##TITLE=a\n##JCAMP-DX=5\n##NPOINTS=1000000000\n##XYDATA=\n1 2\n"},
                      RefusedRow{"pointsCutShort", "##TITLE=a\n##JCAMP-DX=5\n##NPOINTS=2\n##XYDATA=\n1 2\n##END=\n"},
                      RefusedRow{"moreYValuesThanPoints",
                                 "##TITLE=a\n##FIRSTX=1\n##LASTX=2\n##NPOINTS=2\n##XYDATA=(X++(Y..Y))\n1 5 6 7\n##END=\n"},
                      RefusedRow{"fewerYValuesThanPoints",
                                 "##TITLE=a\n##FIRSTX=1\n##LASTX=3\n##NPOINTS=3\n##XYDATA=(X++(Y..Y))\n1 5 6\n##END=\n"},
                      RefusedRow{"wrongDifCheckValue",
                                 "##TITLE=a\n##FIRSTX=1\n##LASTX=4\n##NPOINTS=4\n##XYDATA=(X++(Y..Y))\n1A0J0\n3C0J0\n##END=\n"},
                      RefusedRow{"dupCountBeyondPoints",
                                 "##TITLE=a\n##FIRSTX=1\n##LASTX=2\n##NPOINTS=2\n##XYDATA=(X++(Y..Y))\n1A0s9999999\n##END=\n"},
                      RefusedRow{"unknownCharacter",
                                 "##TITLE=a\n##FIRSTX=1\n##LASTX=2\n##NPOINTS=2\n##XYDATA=(X++(Y..Y))\n1 2 #3\n##END=\n"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::datastore
