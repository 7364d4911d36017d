#include "processing/trace_types.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lumatix::processing {
namespace {

using ::testing::ThrowsMessage;
using ::testing::HasSubstr;

struct LookupCase {
  const char* name;
  const char* property;
  int option;
  const char* yLabel;
  const char* shortName;
  int unitCode;
  const char* valueName;
  bool explicitOption;
};

class LookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LookupTest, NamesTheTraceType) {
  const auto& c = GetParam();
  TraceInfo info = lookupTraceType(c.property, c.option);
  EXPECT_EQ(info.yLabel, c.yLabel);
  EXPECT_EQ(info.shortName, c.shortName);
  EXPECT_EQ(info.unitCode, c.unitCode);
  EXPECT_EQ(info.valueName, c.valueName);
  EXPECT_EQ(info.explicitOption, c.explicitOption);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LookupTest,
    ::testing::Values(
        LookupCase{"MrmeIsNotTakenForMe", "CircularDichroism -mrme", -1, "Mean Residue Molar Ellipticity",
                   "Circular Dichroism", 6, "CircularDichroism -mrme", false},
        LookupCase{"Me", "CircularDichroism -me", -1, "Molar Ellipticity", "Circular Dichroism", 3,
                   "CircularDichroism -me", false},
        LookupCase{"MrmcdIsNotTakenForMcd", "CircularDichroism -mrmcd", -1, "Mean Residue Delta Epsilon",
                   "Circular Dichroism", 4, "CircularDichroism -mrmcd", false},
        LookupCase{"DefaultRowHasNoKey", "CircularDichroism", -1, "Circular Dichroism (mdeg)", "Circular Dichroism", 0,
                   "CircularDichroism ", false},
        LookupCase{"ExplicitDefaultRow", "CircularDichroism -me", 6, "Circular Dichroism (mdeg)",
                   "Circular Dichroism", 0, "CircularDichroism ", true},
        LookupCase{"StoredOptionChosenAgainIsNotExplicit", "Absorbance -tran", 1, "Transmission (%)", "Transmission",
                   8, "Absorbance -tran", false},
        LookupCase{"AbsorbanceAsTransmission", "Absorbance", 1, "Transmission (%)", "Transmission", 8,
                   "Absorbance -tran", true},
        LookupCase{"TypeKeyAnywhereInTheText", "Signal Absorbance (AU)", -1, "Absorbance (AU)", "Absorbance", 7,
                   "Signal ", false},
        LookupCase{"PhotodiodeDefaultHasNoShortName", "PhotodiodeArray", -1, "Voltage", "", 9, "PhotodiodeArray ",
                   false},
        LookupCase{"Anisotropy", "FluoPolarisation -Ani", -1, "Fluorescence Anisotropy", "Fluorescence Anisotropy",
                   11, "FluoPolarisation -Ani", false},
        LookupCase{"CcdExcitation", "CCD -excitation", -1, "Intensity (arb. units)", "Intensity", 17,
                   "CCD -excitation", false},
        LookupCase{"HtIsLabelledAsHv", "HT", -1, "HV (v)", "", -1, "HT", false},
        LookupCase{"UnknownTypeKeepsItsText", "Pressure (bar)", 3, "Pressure (bar)", "", -1, "Pressure", false}),
    [](const auto& row) { return std::string(row.param.name); });

struct TransformCase {
  const char* name;
  const char* property;
  int option;
  double stored;
  double shown;
};

class TransformTest : public ::testing::TestWithParam<TransformCase> {};

TEST_P(TransformTest, ShowsTheValueInTheSelectedUnit) {
  const auto& c = GetParam();
  EXPECT_NEAR(lookupTraceType(c.property, c.option).Transform(c.stored), c.shown, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TransformTest,
    ::testing::Values(TransformCase{"AbsorbanceOneAsTransmission", "Absorbance", 1, 1.0, 10.0},
                      TransformCase{"TransmissionFiftyAsAbsorbance", "Absorbance -tran", 2, 50.0, 0.30102999566398},
                      TransformCase{"PolarisationAsAnisotropy", "FluoPolarisation", 0, 0.5, 0.4},
                      TransformCase{"AnisotropyAsPolarisation", "FluoPolarisation -Ani", 1, 0.4, 0.5},
                      TransformCase{"StoredOptionIsUnchanged", "Absorbance", 2, 0.7, 0.7},
                      TransformCase{"RowWithoutProgramsSkipsOnlyItsHalf", "Absorbance -base", 2, 0.7, 0.15490195998574319},
                      TransformCase{"CircularDichroismHasNoConversion", "CircularDichroism", 0, 12.5, 12.5}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(LookupTest, OptionRowThatDoesNotExistIsRefused) {
  for (auto [property, option] : {std::pair{"Absorbance", 3}, std::pair{"Voltage", 1}, std::pair{"CCD -volt", 99}})
    EXPECT_THAT([&] { lookupTraceType(property, option); },
                ThrowsMessage<std::runtime_error>("The currently selected option is invalid.\n"))
        << property;
}

struct RangeCase {
  int unitCode;
  double low;
  double high;
};

TEST(DefaultRangeTest, GivesTheStandardRangeOfEachUnit) {
  const RangeCase cases[] = {{0, -1000, 1000}, {3, -1000, 1000},     {1, -0.1, 0.1},   {2, -1e6, 1e6},
                             {7, 0, 5},        {8, 0, 100},          {12, 0, 100},     {9, 0, 10},
                             {17, 0, 10},      {10, 0, 8},           {11, -0.333, 0.5}, {13, 0, 100000},
                             {14, 0, 1000}};
  for (const auto& c : cases) {
    double low = 42, high = 43;
    EXPECT_TRUE(defaultRange(c.unitCode, low, high)) << c.unitCode;
    EXPECT_EQ(low, c.low) << c.unitCode;
    EXPECT_EQ(high, c.high) << c.unitCode;
  }
}

TEST(DefaultRangeTest, LeavesTheRangeOfMeanResidueUnitsAlone) {
  for (int code : {4, 5, 6, 15, 16, -1}) {
    double low = 42, high = 43;
    EXPECT_FALSE(defaultRange(code, low, high)) << code;
    EXPECT_EQ(low, 42);
    EXPECT_EQ(high, 43);
  }
}

}  // namespace
}  // namespace lumatix::processing
