#include "datastore/qvl_ascii.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "datastore/data_store.h"
#include "datastore/qv_data.h"
#include "support/fixed_providers.h"
#include "text_test_support.h"

namespace lumatix::datastore {
namespace {

using ::lumatix::testing::makeStore;
using ::lumatix::testing::valuesOf;
using ::testing::ElementsAre;

bool readQvl(DataStore& store, const std::string& text) {
  return ::lumatix::testing::readText(text, [&](std::istream& in) { readQvlAscii(store, in); });
}

void readKinetic(DataStore& store, const std::string& text) {
  std::istringstream in(text);
  readQvlSpectraKinetic(store, in);
}

const std::string kKineticFile =
    "QVL-ASCII\nINFO>cp_wl_222.5nm_tp_25_tm_0\n3\n0\t1.5\n0.1\t2.5\n0.2\t-0.5\n\n0.2\n2.5\n0\n-0.5\n"
    "Time (seconds)\nCD\nextra 1\nextra 2\nextra 3\nextra 4\nKinetic run\nSun Dec  6 19:16:54 2026\n";

class QvlTest : public ::testing::Test {
  ::lumatix::testing::FixedProviders providers_;
};

TEST_F(QvlTest, QvDataReadsTheInfoLineAndNormalisesTheBox) {
  std::istringstream in(kKineticFile);
  QVdata qv;
  qv.read(in);
  ASSERT_FALSE(in.fail());
  EXPECT_EQ(qv.wavelength, 2225);
  EXPECT_FLOAT_EQ(qv.temperature, 25.0f);
  EXPECT_FALSE(qv.hasThirdColumn);
  EXPECT_EQ(qv.box, (std::array<double, 4>{0.0, -0.5, 0.2, 2.5}));
  EXPECT_EQ(qv.extraLines[3], "extra 4");
  EXPECT_EQ(qv.timeStamp, "Sun Dec  6 19:16:54 2026");
}

TEST_F(QvlTest, TimeTraceGetsAWavelengthDimensionFromTheInfoLine) {
  DataStore store(true);
  store.attributes.cfrCompliant = true;
  ASSERT_TRUE(readQvl(store, kKineticFile));
  EXPECT_FALSE(store.attributes.cfrCompliant);
  EXPECT_EQ(store.title, "Kinetic run");
  ASSERT_EQ(store.dimensions.size(), 2);
  EXPECT_EQ(store.dimensions[0].name, "Time (seconds)");
  EXPECT_EQ(store.dimensions[1].name, "Wavelength");
  EXPECT_THAT(valuesOf(store.dimensions[1].values), ElementsAre(222.5f));
  EXPECT_EQ(store.properties[0], "CircularDichroism");
  EXPECT_THAT(valuesOf(store), ElementsAre(1.5f, 2.5f, -0.5f));
  EXPECT_DOUBLE_EQ(store.minValue, -0.5);
  EXPECT_DOUBLE_EQ(store.maxValue, 2.5);
}

TEST_F(QvlTest, ThirdColumnIsCarried) {
  std::istringstream in("QVL-ASCII\nINFO>wl_200_ft\n2\n1 2 3\n4 5 6\n\n1\n2\n4\n5\nA\nB\n\n\n\n\nT\nS\n");
  QVdata qv;
  qv.read(in);
  ASSERT_FALSE(in.fail());
  EXPECT_TRUE(qv.hasThirdColumn);
  EXPECT_THAT(qv.z, ElementsAre(3.0f, 6.0f));
}

TEST_F(QvlTest, SpectrumWrittenDescendingReadsBackAscendingWithExternalNames) {
  DataStore store = makeStore({Dimension("Wavelength", {260, 240, 220}), Dimension("Time", {0, 5})},
                              {"CircularDichroism"}, 0.5f);
  store.setCurrentIndex(1, 1);
  std::ostringstream out;
  writeQvlAscii(store, out, 0);
  const std::string text = out.str();
  EXPECT_THAT(text, ::testing::StartsWith("QVL-ASCII\nINFO>cp_wl_260nm_tp_0_tm_0\n3\n220\t2.5\n240\t2\n260\t1.5\n\n220\n1.5\n260\n2.5\n"
                                          "Wavelength (nm)\nCD\n"));

  DataStore back(true);
  ASSERT_TRUE(readQvl(back, text));
  ASSERT_EQ(back.dimensions.size(), 1);
  EXPECT_EQ(back.dimensions[0].name, "Wavelength");
  EXPECT_THAT(valuesOf(back.dimensions[0].values), ElementsAre(220.0f, 240.0f, 260.0f));
  EXPECT_EQ(back.properties[0], "CircularDichroism");
  EXPECT_THAT(valuesOf(back), ElementsAre(2.5f, 2.0f, 1.5f));
  EXPECT_EQ(back.title, "Test store");
}

struct QvlBadRow {
  const char* name;
  std::string text;
};

class QvlRefused : public ::testing::TestWithParam<QvlBadRow> {};

TEST_P(QvlRefused, LeavesTheStreamFailedAndTheStoreEmpty) {
  DataStore store(true);
  EXPECT_FALSE(readQvl(store, GetParam().text));
  EXPECT_EQ(store.dimensions.size(), 0);
  EXPECT_EQ(store.data.count, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QvlRefused,
    ::testing::Values(QvlBadRow{"wrongMagic", "QVL-ASCIIX\nINFO>wl_1\n1\n1 1\n"},
                      QvlBadRow{"wrongInfoLabel", "QVL-ASCII\nINFOS>wl_1\n1\n1 1\n"},
                      QvlBadRow{"unreadableWavelength", "QVL-ASCII\nINFO>wl_abc\n1\n1 1\n"},
                      QvlBadRow{"hugeWavelength", "QVL-ASCII\nINFO>wl_1e30\n1\n1 1\n"},
                      QvlBadRow{"billionPointsInOneLine", "QVL-ASCII\nINFO>wl_1\n1000000000\n1 1\n"},
                      QvlBadRow{"noPoints", "QVL-ASCII\nINFO>wl_1\n0\n\n0\n0\n0\n0\nA\nB\n\n\n\n\nT\nS\n"},
                      QvlBadRow{"wordAmongPoints", "QVL-ASCII\nINFO>wl_1\n2\n1 1\nx 2\n\n0\n0\n0\n0\nA\nB\n\n\n\n\nT\nS\n"},
                      QvlBadRow{"cutBeforeTheNames", "QVL-ASCII\nINFO>wl_1\n1\n1 1\n\n0\n0\n1\n1\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(QvlTest, SpectraKineticWritesAscendingWavelengthsAndTheFirstPropertyThatIsNotCount) {
  DataStore store = makeStore({Dimension("Wavelength", {260, 220, 180}), Dimension("Time", {0, 10})},
                              {"Count", "CircularDichroism (mdeg)"});
  store.remarks.push_back("remark one");
  std::ostringstream out;
  writeQvlSpectraKinetic(store, out);
  EXPECT_EQ(out.str(),
            "QVL-ASCII-SPECTRAKINETIC\nTYPE>DATA_CircularDichroism (mdeg)\n%\nTest store\nremark one\n%\n/\n"
            "N_spec:2\nN_lam:3\nTimes:\n0\n10\nLambda:\n180\n220\n260\nData:\n8\n7\n6\n\n11\n10\n9\n\n\n");
  EXPECT_EQ(store.currentProperty, 1);
  EXPECT_EQ(store.formatName, "QVL-ASCII-SPECTRAKINETIC");

  DataStore back(true);
  readKinetic(back, out.str());
  EXPECT_EQ(std::vector<std::string>(back.remarks.begin(), back.remarks.end()),
            (std::vector<std::string>{"Test store", "remark one", "---------------------"}));
  EXPECT_EQ(back.properties[0], "CircularDichroism (mdeg)");
  EXPECT_EQ(back.dimensions[0].name, "Wavelength");
  EXPECT_THAT(valuesOf(back.dimensions[0].values), ElementsAre(180.0f, 220.0f, 260.0f));
  EXPECT_EQ(back.dimensions[1].name, "Time");
  EXPECT_THAT(valuesOf(back.dimensions[1].values), ElementsAre(0.0f, 10.0f));
  EXPECT_THAT(valuesOf(back), ElementsAre(8.0f, 7.0f, 6.0f, 11.0f, 10.0f, 9.0f));
  EXPECT_DOUBLE_EQ(back.minValue, 6.0);
}

TEST_F(QvlTest, SpectraKineticWithoutPropertyNameIsAbsorbance) {
  DataStore store(true);
  readKinetic(store, "QVL-ASCII-SPECTRAKINETIC\nTYPE>DATA_%\nTitle\n%\n/\nN_spec:1\nN_lam:2\nTimes:\n0\nLambda:\n1\n2\nData:\n3\n4\n");
  EXPECT_EQ(store.properties[0], "Absorbance");
  EXPECT_EQ(store.remarks[0], "Title");
  EXPECT_THAT(valuesOf(store), ElementsAre(3.0f, 4.0f));
}

TEST_F(QvlTest, SpectraKineticWriterRefusesStoresWithoutTheShape) {
  DataStore store = makeStore({Dimension("Wavelength", {260, 220})}, {"CD"});
  std::ostringstream out;
  try {
    writeQvlSpectraKinetic(store, out);
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Cannot export this file to spectrakinetic format");
  }
  EXPECT_TRUE(out.str().empty());
}

std::string manyRemarkLines(int n) {
  std::string s = "QVL-ASCII-SPECTRAKINETIC\nTYPE>DATA_CD\n%\n";
  for (int i = 0; i < n; ++i) s += "line\n";
  return s + "%\n/\nN_spec:1\nN_lam:1\nTimes:\n0\nLambda:\n1\nData:\n3\n";
}

class KineticCorrupt : public ::testing::TestWithParam<QvlBadRow> {};

TEST_P(KineticCorrupt, IsRefusedWithTheCorruptMessage) {
  DataStore store(true);
  try {
    readKinetic(store, GetParam().text);
    FAIL() << "read without an exception";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "The file is corrupt.\n");
  }
}

const std::string kKineticHead = "QVL-ASCII-SPECTRAKINETIC\nTYPE>DATA_CD\n%\n%\n/\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, KineticCorrupt,
    ::testing::Values(QvlBadRow{"wrongType", "QVL-ASCII-SPECTRAKINETIC\nKIND>DATA_CD\n%\n%\n"},
                      QvlBadRow{"noData", "QVL-ASCII-SPECTRAKINETIC\nTYPE>INFO_CD\n%\n%\n"},
                      QvlBadRow{"thousandRemarkLines", manyRemarkLines(1000)},
                      QvlBadRow{"remarksRunToTheEnd", "QVL-ASCII-SPECTRAKINETIC\nTYPE>DATA_CD\n%\nno end"},
                      QvlBadRow{"noSlash", "QVL-ASCII-SPECTRAKINETIC\nTYPE>DATA_CD\n%\n%\nN_spec:1\n"},
                      QvlBadRow{"hugeCountsInAShortFile", kKineticHead + "N_spec:100000\nN_lam:100000\nTimes:\n0\n"},
                      QvlBadRow{"billionSpectra", kKineticHead + "N_spec:1000000000\nN_lam:1\n"},
                      QvlBadRow{"noLambdaLine", kKineticHead + "N_spec:1\nN_lam:1\nTimes:\n0\nWaves:\n1\nData:\n3\n"},
                      QvlBadRow{"dataCutShort", kKineticHead + "N_spec:1\nN_lam:2\nTimes:\n0\nLambda:\n1\n2\nData:\n3\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(QvlTest, NineHundredNinetyNineRemarkLinesAreRead) {
  DataStore store(true);
  readKinetic(store, manyRemarkLines(999));
  EXPECT_EQ(store.remarks.size(), 1000);
}

}  // namespace
}  // namespace lumatix::datastore
