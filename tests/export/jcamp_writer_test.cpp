#include "export/jcamp_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "datastore/data_store.h"
#include "export/jcamp_yfactor.h"
#include "export_test_support.h"
#include "support/fixed_providers.h"

namespace lumatix::exports {
namespace {

using datastore::DataStore;
using datastore::Dimension;
using ::lumatix::testing::between;
using ::lumatix::testing::makeStore;
using ::lumatix::testing::occurrences;
using ::lumatix::testing::ramp;

class JcampTest : public ::testing::Test {
 protected:
  JcampTest() {
    const char* user = std::getenv("USERNAME");
    if (user) savedUser_ = user, hadUser_ = true;
    unsetenv("USERNAME");
  }
  ~JcampTest() override {
    if (hadUser_) setenv("USERNAME", savedUser_.c_str(), 1);
  }

  static std::string jcamp(DataStore& store) {
    std::ostringstream out;
    writeJcamp(store, out);
    return out.str();
  }

 private:
  ::lumatix::testing::FixedProviders providers_;
  std::string savedUser_;
  bool hadUser_ = false;
};

TEST_F(JcampTest, OnePropertyOneDimensionIsOneBlockWithoutBlockHeader) {
  DataStore store = makeStore({Dimension("Wavelength", {250, 251, 252})}, {"CircularDichroism -me"}, 0.0123456f);
  store.lastModified = "Tue Mar  3 04:05:06 2026";
  EXPECT_EQ(jcamp(store),
            "##TITLE=Test store\n##JCAMP-DX=5.0    $$ Lumatix v. 4.2\n##DATATYPE=SPECTRUM\n##ORIGIN=Corvane\n"
            "##OWNER=Unknown\n##DATE=26/03/03\n##TIME=04:05:06\n"
            "##DATACLASS=XYDATA\n##XUNITS=NANOMETERS\n##YUNITS=ARBITRARY UNITS\n##XLABEL=\n##XFACTOR=1.00000\n"
            "##YFACTOR=0.000001\n##FIRSTX=250.000000\n##LASTX=252.000000\n##MAXY=0.024691\n##MINY=0.000000\n"
            "##NPOINTS=3\n##FIRSTY=0.000000\n##XYDATA=(X++(Y..Y))\n250.0000 0\n251.0000 12345\n252.0000 24691\n"
            "##END=\n");
}

TEST_F(JcampTest, HeaderNamesOwnerAndFallsBackToExportDataAndTheClock) {
  DataStore store = makeStore({Dimension("Wavelength", {250})}, {"CD"});
  store.title.clear();
  store.lastModified = "not a time";
  setenv("USERNAME", "ann", 1);
  const std::string text = jcamp(store);
  EXPECT_THAT(text, ::testing::StartsWith("##TITLE=Export Data\n"));
  EXPECT_NE(text.find("##OWNER=ann\n##DATE=26/12/06\n##TIME=19:16:54\n"), std::string::npos) << text;
}

TEST_F(JcampTest, ExportTimeFromTheTitleWhenLastModifiedHasNone) {
  DataStore store = makeStore({Dimension("Wavelength", {250})}, {"CD"});
  store.title = "2025-01-02 03:04:05";
  EXPECT_NE(jcamp(store).find("##DATE=25/01/02\n##TIME=03:04:05\n"), std::string::npos);
}

TEST_F(JcampTest, TraceDimensionGivesOneBlockPerTemperature) {
  DataStore store = makeStore({Dimension("Wavelength", ramp(200, 1, 41)), Dimension("Temperature", ramp(20, 5, 5))},
                              {"CircularDichroism"});
  const std::string text = jcamp(store);
  EXPECT_EQ(occurrences(text, "##XYDATA="), 5);
  EXPECT_EQ(occurrences(text, "##END="), 5);
  EXPECT_EQ(occurrences(text, "##BLOCK_ID="), 0);
  EXPECT_NE(text.find("##FIRSTY=41.000000\n##TEMPERATURE=25.000000\n##XYDATA"), std::string::npos);
  EXPECT_EQ(store.dimensions[1].currentIndex, 0);
}

TEST_F(JcampTest, TwoPropertiesNumberTheirBlocksPerTrace) {
  DataStore store = makeStore({Dimension("Wavelength", ramp(200, 1, 41)), Dimension("Temperature", ramp(20, 5, 5))},
                              {"CircularDichroism", "HV"});
  const std::string text = jcamp(store);
  EXPECT_EQ(occurrences(text, "##TITLE=CircularDichroism over Wavelength at specific Temperature\n"
                              "##DATATYPE=CircularDichroism\n##BLOCK_ID=1\n"),
            5);
  EXPECT_EQ(occurrences(text, "##TITLE=HV over Wavelength at specific Temperature\n##DATATYPE=HV\n##BLOCK_ID=2\n"), 5);
  std::vector<std::string> ids;
  for (auto at = text.find("##BLOCK_ID="); at != std::string::npos; at = text.find("##BLOCK_ID=", at + 1))
    ids.push_back(text.substr(at + 11, 1));
  EXPECT_THAT(ids, ::testing::ElementsAre("1", "2", "1", "2", "1", "2", "1", "2", "1", "2"));
  EXPECT_THAT(text, ::testing::EndsWith("##END=\n##END=\n"));
  EXPECT_EQ(occurrences(text, "##END="), 11);
}

TEST_F(JcampTest, TwoPropertiesOneDimensionCloseWithAnExtraEnd) {
  DataStore store = makeStore({Dimension("Time", {1, 2})}, {"Absorbance", "Voltage"});
  const std::string text = jcamp(store);
  EXPECT_EQ(occurrences(text, "##XYDATA="), 2);
  EXPECT_EQ(occurrences(text, "##END="), 3);
  EXPECT_NE(text.find("##TITLE=Absorbance over Time\n"), std::string::npos);
  EXPECT_NE(text.find("##XUNITS=SECONDS\n##YUNITS=ABSORBANCE\n"), std::string::npos);
}

TEST_F(JcampTest, FixedParametersAreWrittenByNameAfterTheTraceValue) {
  DataStore store = makeStore({Dimension("Wavelength", {200, 201}), Dimension("Temperature", {25}),
                               Dimension("Time", {1, 2, 3}), Dimension("Cell", {4})},
                              {"CD"});
  const std::string text = jcamp(store);
  EXPECT_EQ(occurrences(text, "##XYDATA="), 2);  // x is Time (3 values), traces along Wavelength
  EXPECT_NE(text.find("##WAVELENGTH=201.000000\n##$CELL=4.000000\n##$TEMPERATURE=25.000000\n##XYDATA"),
            std::string::npos)
      << text;
}

TEST_F(JcampTest, ThreeVariableDimensionsWriteOnlyTheHeader) {
  DataStore store = makeStore({Dimension("A", {1, 2}), Dimension("B", {1, 2}), Dimension("C", {1, 2})}, {"CD"});
  const std::string text = jcamp(store);
  EXPECT_EQ(occurrences(text, "\n"), 7);
  EXPECT_EQ(text.find("##XYDATA"), std::string::npos);
}

TEST_F(JcampTest, NegativeTraceReportsItsLeastNegativeValueAsMaximum) {
  DataStore store = makeStore({Dimension("Wavelength", {1, 2, 3})}, {"CD"}, -1.0f);
  for (std::int32_t i = 0; i < 3; ++i) store.data.data[i] -= 1.0f;
  const std::string text = jcamp(store);
  EXPECT_EQ(between(text, "##MAXY=", "\n"), "-1.000000");
  EXPECT_EQ(between(text, "##MINY=", "\n"), "-3.000000");
  EXPECT_NE(text.find("1.0000 -1000000\n"), std::string::npos);
}

TEST_F(JcampTest, LargeValuesGetALargerFactorSoEveryIntegerFits) {
  DataStore store = makeStore({Dimension("Wavelength", {1, 2, 3})}, {"CD"});
  store.data.data[0] = 3.5e9f;
  store.data.data[1] = -12.5f;
  store.data.data[2] = std::numeric_limits<float>::infinity();
  const std::string text = jcamp(store);
  EXPECT_EQ(between(text, "##YFACTOR=", "\n"), "10.000000");
  EXPECT_NE(text.find("1.0000 350000000\n2.0000 -1\n3.0000 ?\n"), std::string::npos) << text;
}

TEST(JcampUnitTest, FirstMatchingRuleGivesTheUnit) {
  const std::vector<std::pair<std::string, std::string>> rows{
      {"Wavelength", "NANOMETERS"},         {"Timed Wavelength", "NANOMETERS"}, {"Timed", "SECONDS"},
      {"Temperature", "ARBITRARY UNITS"},   {"Absorbance", "ABSORBANCE"},       {"Fluorescence", "ARBITRARY UNITS"},
      {"PhotodiodeArray", "ABSORBANCE"},    {"CircularDichroism -Absorbance", "ARBITRARY UNITS"},
      {"Other", "ARBITRARY UNITS"}};
  for (const auto& [name, unit] : rows) EXPECT_EQ(jcampUnit(name), unit) << name;
}

// The duplicate count exactly as defined, pair by pair.
std::int64_t directDuplicateScore(const std::vector<float>& a) {
  const auto n = static_cast<std::int64_t>(a.size());
  if (n == 0) return 0;
  std::int64_t pairs = 0;
  for (std::int64_t k = 0; k < n; ++k)
    for (std::int64_t j = 1; j < n - 1 - k; ++j)
      if (a[static_cast<std::size_t>(k)] == a[static_cast<std::size_t>(j)]) ++pairs;
  return 100 * pairs / n;
}

TEST(DuplicateScoreTest, EqualsTheDirectCountOnRandomAndDuplicateHeavyInput) {
  std::mt19937 random(12345);
  for (int round = 0; round < 400; ++round) {
    const int n = std::uniform_int_distribution<int>(0, 300)(random);
    // Few distinct values make long runs of equal values; many make almost none.
    const int distinct = std::uniform_int_distribution<int>(1, round % 2 ? 4 : 1000)(random);
    std::vector<float> a(static_cast<std::size_t>(n));
    for (float& v : a) v = static_cast<float>(std::uniform_int_distribution<int>(0, distinct)(random)) * 0.25f - 1.0f;
    if (n > 3 && round % 5 == 0) a[1] = -0.0f, a[2] = 0.0f, a[3] = std::numeric_limits<float>::quiet_NaN();
    ASSERT_EQ(duplicateScore(a), directDuplicateScore(a)) << "round " << round << " n " << n;
  }
}

TEST(DuplicateScoreTest, CountsBeyondThirtyTwoBits) {
  // All equal: the pairs number about N^2 / 2, past 2^31 for N = 100000.
  std::vector<float> a(100000, 1.0f);
  const std::int64_t n = 100000, pairs = (n - 2) * (n - 1) / 2;
  EXPECT_EQ(duplicateScore(a), 100 * pairs / n);
}

TEST(YFactorTest, ChoosesTheFirstFactorThatKeepsTheDuplicates) {
  EXPECT_EQ(chooseYFactorExponent(std::vector<float>{0.5f, 0.25f, 0.5f}), -6);
  // Divided by 1e-6 down to 1e-3 these overflow single precision and all become infinity,
  // which adds duplicates; 1e-2 leaves only the last two infinite, in positions no pair
  // reaches, so -2 is chosen; the 32-bit rule then raises it until 5e36 / 10^e fits.
  EXPECT_EQ(chooseYFactorExponent(std::vector<float>{1e36f, 2e36f, 3e36f, 4e36f, 5e36f}), 28);
  EXPECT_EQ(chooseYFactorExponent(std::vector<float>{2147.48f, -2147.48f}), -6);
  EXPECT_EQ(chooseYFactorExponent(std::vector<float>{2147.49f}), -5);
}

}  // namespace
}  // namespace lumatix::exports
