// JCAMP-DX files of several blocks, NTUPLES pages, the names units give, the program's own
// export read back, and the refusals of data that contradict their records.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "datastore/load_refusal.h"
#include "datastore/quantity_names.h"
#include "export/jcamp_writer.h"
#include "support/fixed_providers.h"
#include "text_test_support.h"

namespace lumatix::datastore {
namespace {

using ::lumatix::testing::makeStore;
using ::lumatix::testing::readText;
using ::lumatix::testing::valuesOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class JcampBlocks : public ::testing::Test {
 protected:
  // Reads store part of the text; the number of stores, 0 when refused.
  std::size_t read(const std::string& text, std::size_t part = 0) {
    store_ = DataStore(true);
    std::istringstream in(text);
    setLastLoadRefusal({});
    const std::size_t parts = readJcampPart(store_, in, part);
    return in.fail() ? 0 : parts;
  }
  std::vector<std::string> traceNames() const {
    std::vector<std::string> names;
    if (store_.viewState.marks.size() > 1)
      for (const auto& mark : store_.viewState.marks[1]) names.push_back(mark.label);
    return names;
  }

  ::lumatix::testing::FixedProviders providers_;
  DataStore store_{true};
};

std::string block(const std::string& title, const std::string& xUnits, const std::string& data,
                  const std::string& extra = "") {
  return "##TITLE= " + title + "\n##JCAMP-DX= 5.01\n##DATA TYPE= UV/VIS SPECTRUM\n##XUNITS= " + xUnits +
         "\n##YUNITS= ABSORBANCE\n" + extra + data + "##END=\n";
}

const std::string kFourPoints = "##FIRSTX= 200\n##LASTX= 203\n##NPOINTS= 4\n##XYDATA= (X++(Y..Y))\n200 1 2 3 4\n";

TEST_F(JcampBlocks, LinkedSpectraOfOneXShareAStoreAndTheOthersFollow) {
  const std::string file = "##TITLE= linked\n##JCAMP-DX= 5.01\n##DATA TYPE= LINK\n##BLOCKS= 3\n" +
                           block("Sample A", "NANOMETERS", kFourPoints) +
                           block("Sample B", "NANOMETERS", "##FIRSTX= 200\n##LASTX= 203\n##NPOINTS= 4\n"
                                                           "##XYDATA= (X++(Y..Y))\n200 5 6\n202 7 8\n") +
                           block("Peaks", "1/CM", "##NPOINTS= 2\n##PEAK TABLE= (XYW..XYW)\n1000, 0.5, 3; 1200, 0.7, 4\n") +
                           "##END=\n";
  ASSERT_EQ(read(file), 2u) << lastLoadRefusal();
  EXPECT_EQ(store_.title, "linked");
  ASSERT_EQ(store_.dimensions.size(), 2);
  EXPECT_EQ(store_.dimensions[0].name, "Wavelength");
  EXPECT_THAT(valuesOf(store_.dimensions[0].values), ElementsAre(200.0f, 201.0f, 202.0f, 203.0f));
  EXPECT_EQ(store_.properties[0], "Absorbance");
  EXPECT_THAT(valuesOf(store_), ElementsAre(1, 2, 3, 4, 5, 6, 7, 8));
  EXPECT_THAT(traceNames(), ElementsAre("Sample A", "Sample B"));

  ASSERT_EQ(read(file, 1), 2u);
  EXPECT_EQ(store_.dimensions[0].name, "Wavenumber (cm-1)");
  EXPECT_THAT(valuesOf(store_.dimensions[0].values), ElementsAre(1000.0f, 1200.0f));
  EXPECT_THAT(valuesOf(store_), ElementsAre(0.5f, 0.7f));
}

TEST_F(JcampBlocks, NtuplesPagesOfRealAndImaginaryPartsBecomeTwoProperties) {
  const std::string file =
      "##TITLE= complex\n##JCAMP-DX= 5.00\n##DATA TYPE= NMR SPECTRUM\n##NTUPLES= NMR SPECTRUM\n"
      "##VAR_NAME= FREQUENCY, SPECTRUM/REAL, SPECTRUM/IMAG, PAGE NUMBER\n##SYMBOL= X, R, I, N\n"
      "##VAR_DIM= 4, 4, 4, 2\n##UNITS= HZ, ARBITRARY UNITS, ARBITRARY UNITS,\n##FIRST= 100, 5, -1,\n"
      "##LAST= 400, 8, -4,\n##FACTOR= 1, 2, 2,\n##PAGE= N=1\n##DATA TABLE= (X++(R..R)), XYDATA\n100 2.5 3 3.5 4\n"
      "##PAGE= N=2\n##DATA TABLE= (X++(I..I)), XYDATA\n100 -.5 -1 -1.5 -2\n##END NTUPLES= NMR SPECTRUM\n##END=\n";
  ASSERT_EQ(read(file), 1u) << lastLoadRefusal();
  EXPECT_EQ(store_.dimensions.size(), 1);
  EXPECT_EQ(store_.dimensions[0].name, "Frequency (Hz)");
  EXPECT_THAT(valuesOf(store_.dimensions[0].values), ElementsAre(100.0f, 200.0f, 300.0f, 400.0f));
  EXPECT_THAT(std::vector<std::string>(store_.properties.begin(), store_.properties.end()),
              ElementsAre("SPECTRUM/REAL", "SPECTRUM/IMAG"));
  EXPECT_THAT(valuesOf(store_), ElementsAre(5, 6, 7, 8, -1, -2, -3, -4));
}

TEST_F(JcampBlocks, NtuplesPagesOfOneQuantityAreTracesAlongThePageVariable) {
  const std::string file =
      "##TITLE= kinetics\n##JCAMP-DX= 5.01\n##NTUPLES= UV/VIS SPECTRUM\n##VAR_NAME= WAVELENGTH, ABSORBANCE, TIME\n"
      "##SYMBOL= X, Y, T\n##UNITS= NANOMETERS, ABSORBANCE, SECONDS\n##FIRST= 300, 0, 0\n##LAST= 302, 0, 0\n"
      "##VAR_DIM= 3, 3, 2\n##PAGE= T= 0.5\n##DATA TABLE= (XY..XY), XYDATA\n300 1; 301 2; 302 3\n"
      "##PAGE= T= 1.5\n##DATA TABLE= (XY..XY), XYDATA\n300 4; 301 5; 302 6\n##END NTUPLES=\n##END=\n";
  ASSERT_EQ(read(file), 1u) << lastLoadRefusal();
  ASSERT_EQ(store_.dimensions.size(), 2);
  EXPECT_EQ(store_.dimensions[0].name, "Wavelength");
  EXPECT_EQ(store_.dimensions[1].name, "Time");
  EXPECT_THAT(valuesOf(store_.dimensions[1].values), ElementsAre(0.5f, 1.5f));
  EXPECT_EQ(store_.properties[0], "Absorbance");
  EXPECT_THAT(valuesOf(store_), ElementsAre(1, 2, 3, 4, 5, 6));
}

TEST_F(JcampBlocks, CommentsMayComeBeforeTheTitle) {
  ASSERT_EQ(read("$$ written by hand\n\n  $$ another\n##TITLE= c\n##XYPOINTS= (XY..XY)\n1 2\n"), 1u) << lastLoadRefusal();
  EXPECT_EQ(store_.title, "c");
}

TEST_F(JcampBlocks, MissingValuesAndLoneCarriageReturnsAreRead) {
  ASSERT_EQ(read("##TITLE= m\r##XUNITS= SECONDS\r##YUNITS= ABSORBANCE\r##XYPOINTS= (XY..XY)\r1 2\r2 ?\r3 4\r##END=\r"), 1u)
      << lastLoadRefusal();
  EXPECT_EQ(store_.dimensions[0].name, "Time");
  ASSERT_EQ(store_.data.count, 3);
  EXPECT_TRUE(std::isnan(store_.data.data[1]));
  EXPECT_EQ(store_.data.data[2], 4.0f);
}

TEST_F(JcampBlocks, HeaderRecordsAreKeptAsRemarksAndDataRecordsAreNot) {
  ASSERT_EQ(read("##TITLE= r\n##JCAMP-DX= 4.24\n##ORIGIN= the lab\n##OWNER= public domain\n##$SOFTWARE= v2\n"
                 "##SAMPLE DESCRIPTION= lysozyme\n in buffer\n##XUNITS= NANOMETERS\n##NPOINTS= 2\n"
                 "##XYPOINTS= (XY..XY)\n1 2\n3 4\n##END=\n"),
            1u);
  EXPECT_THAT(std::vector<std::string>(store_.remarks.begin(), store_.remarks.end()),
              ElementsAre("ORIGIN=the lab", "OWNER=public domain", "$SOFTWARE=v2", "SAMPLE DESCRIPTION=lysozyme",
                          "in buffer"));
}

struct RefusedJcamp {
  const char* name;
  std::string text;
  std::string reason;
};

class JcampRefusals : public JcampBlocks, public ::testing::WithParamInterface<RefusedJcamp> {};

TEST_P(JcampRefusals, SayWhatDisagrees) {
  EXPECT_EQ(read(GetParam().text), 0u);
  EXPECT_EQ(lastLoadRefusal(), "JCAMP-DX file: " + GetParam().reason);
  EXPECT_EQ(store_.data.count, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JcampRefusals,
    ::testing::Values(
        RefusedJcamp{"noData", "##TITLE= a\n##JCAMP-DX= 5\n##NPOINTS= 1\n##END=\n",
                     "no XYDATA, XYPOINTS or PEAK TABLE block."},
        RefusedJcamp{"countDisagrees", "##TITLE= a\n##NPOINTS= 3\n##XYPOINTS= (XY..XY)\n1 2\n3 4\n##END=\n",
                     "line 4: the data hold 2 values where ##NPOINTS announces 3."},
        RefusedJcamp{"firstYDisagrees",
                     "##TITLE= a\n##FIRSTX= 1\n##LASTX= 3\n##FIRSTY= 50\n##NPOINTS= 3\n##XYDATA= (X++(Y..Y))\n1 2 3 4\n",
                     "line 7: the first value is 2 where ##FIRSTY gives 50 (is ##YFACTOR right?)."},
        RefusedJcamp{"lineXDisagrees",
                     "##TITLE= a\n##FIRSTX= 1\n##LASTX= 6\n##NPOINTS= 6\n##XYDATA= (X++(Y..Y))\n1 2 3 4\n40 5 6 7\n",
                     "line 7: the line starts at x = 40 where ##FIRSTX, ##LASTX and ##NPOINTS place its first value "
                     "at 4."},
        RefusedJcamp{"groupCutShort", "##TITLE= a\n##PEAK TABLE= (XYW..XYW)\n1 2 3\n4 5\n##END=\n",
                     "line 4: the last group holds 2 of its 3 values."},
        RefusedJcamp{"unknownForm", "##TITLE= a\n##XYDATA= (X Y)\n1 2\n",
                     "line 2: the data form \"(X Y)\" is not one the viewer reads ((X++(Y..Y)), (XY..XY), (XYW..XYW) and "
                     "the like)."},
        RefusedJcamp{"zeroFactor", "##TITLE= a\n##YFACTOR= 0\n##XYPOINTS= (XY..XY)\n1 2\n",
                     "line 2: the ##YFACTOR \"0\" would make every value 0."}),
    [](const auto& row) { return std::string(row.param.name); });

struct UnitRow {
  const char* text;
  const char* name;
  double scale;
};

TEST(QuantityNames, UnitWordsAndHeadingsGiveTheProgramsNames) {
  const UnitRow rows[] = {{"NANOMETERS", "Wavelength", 1},      {"Wavelength (nm)", "Wavelength", 1},
                          {"MICROMETERS", "Wavelength", 1000},  {"1/CM", "Wavenumber (cm-1)", 1},
                          {"SECONDS", "Time", 1},               {"Time [ms]", "Time", 0.001},
                          {"MINUTES", "Time (min)", 1},         {"Temperature [\xC2\xB0" "C]", "Temperature", 1},
                          {"ABSORBANCE", "Absorbance", 1},      {"Abs", "Absorbance", 1},
                          {"CD [mdeg]", "CircularDichroism", 1}, {"CD [Delta A]", "CircularDichroism -deltaa", 1},
                          {"HT [V]", "HV", 1},                  {"%T", "Transmittance (%)", 1},
                          {"ARBITRARY UNITS", "ARBITRARY UNITS", 1}, {"Counts", "Counts", 1}};
  for (const UnitRow& row : rows) {
    const Quantity q = quantityOf(row.text);
    EXPECT_EQ(q.name, row.name) << row.text;
    EXPECT_DOUBLE_EQ(q.scale, row.scale) << row.text;
  }
}

// The export's stores, written and read back, keep their names, shape and values.
struct ExportRow {
  const char* name;
  std::vector<Dimension> dimensions;
  std::vector<std::string> properties;
};

class ExportReadBack : public JcampBlocks, public ::testing::WithParamInterface<ExportRow> {};

TEST_P(ExportReadBack, KeepsNamesShapeAndValues) {
  const ExportRow& row = GetParam();
  DataStore original = makeStore(row.dimensions, row.properties, 0.25f);
  original.title = "exported";
  std::ostringstream out;
  exports::writeJcamp(original, out);
  ASSERT_GE(read(out.str()), 1u) << lastLoadRefusal() << "\n" << out.str();
  ASSERT_EQ(store_.dimensions.size(), original.dimensions.size());
  for (std::int32_t d = 0; d < original.dimensions.size(); ++d) {
    const auto& want = original.dimensions[d];
    const std::int32_t at = store_.findDimension(want.shortName(), true);
    ASSERT_GE(at, 0) << want.name;
    EXPECT_EQ(valuesOf(store_.dimensions[at].values), valuesOf(want.values)) << want.name;
  }
  ASSERT_EQ(store_.properties.size(), original.properties.size());
  if (original.properties.size() > 1) {
    for (std::int32_t p = 0; p < original.properties.size(); ++p) EXPECT_EQ(store_.properties[p], original.properties[p]);
  }
  ASSERT_EQ(store_.data.count, original.data.count);
  // The written values are integers of the y factor's unit.
  for (std::int64_t i = 0; i < original.data.count; ++i)
    EXPECT_NEAR(store_.data.data[i], original.data.data[i], 1e-5 * std::max(1.0f, std::fabs(original.data.data[i])));
  EXPECT_EQ(store_.title, "exported");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExportReadBack,
    ::testing::Values(
        ExportRow{"spectrum", {Dimension("Wavelength", {260, 259, 258, 257})}, {"Absorbance"}},
        ExportRow{"melt",
                  {Dimension("Wavelength", {260, 250, 240, 230, 220}), Dimension("Temperature", {20, 40, 60})},
                  {"CircularDichroism", "HV"}},
        ExportRow{"unevenTimesWithRepeats",
                  {Dimension("Time", {0.001f, 0.01f, 0.1f, 1.0f}), Dimension("Repeat", {1, 2})},
                  {"Absorbance"}},
        ExportRow{"fixedCell",
                  {Dimension("Wavelength", {300, 301, 302}), Dimension("Temperature", {20, 25}), Dimension("Cell", {4})},
                  {"CircularDichroism", "HV"}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::datastore
