#include "processing/settings_description.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datastore/dimension.h"

namespace lumatix::processing {
namespace {

using datastore::Dimension;

std::vector<float> ramp(float first, float step, int n) {
  std::vector<float> v;
  for (int i = 0; i < n; ++i) v.push_back(first + step * static_cast<float>(i));
  return v;
}

struct DimensionCase {
  const char* name;
  Dimension dimension;
  std::string expected;
};

class DescribeDimensionTest : public ::testing::TestWithParam<DimensionCase> {};

TEST_P(DescribeDimensionTest, WritesTheSettingsText) {
  EXPECT_EQ(DescribeDimension(GetParam().dimension), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DescribeDimensionTest,
    ::testing::Values(
        DimensionCase{"TimeLogTrigger", Dimension("Time -log -trigger", ramp(0.002f, 0.002f, 1000)),
                      "1000 time points over 2s,logarithmic,not oversampled,external trigger,pressure hold off "
                      "(pressure released immediately)"},
        DimensionCase{"TimeOnePointNoPlural", Dimension("Time", {0.5f}),
                      "1 time point over 0.5s,linear,not oversampled"},
        DimensionCase{"TimePressureHold", Dimension("Time -ovs -trigger -ptd", {1, 2}),
                      "2 time points over 2s,linear,oversampled,external trigger,pressure hold in operation"},
        DimensionCase{"TimePretriggerBeforeRemote", Dimension("Time -pretrigger -remotetrigger", {1, 2}),
                      "2 time points over 2s,linear,not oversampled,with pre-trigger"},
        DimensionCase{"TimeRemote", Dimension("Time -remotetrigger", {1, 2}),
                      "2 time points over 2s,linear,not oversampled,remote trigger"},
        DimensionCase{"WavelengthDescendingScan", Dimension("Wavelength", ramp(260, -1, 81)),
                      "Wavelength: 180nm - 260nm, Step Size: 1nm"},
        DimensionCase{"WavelengthStepRoundedToTenth", Dimension("Wavelength", {200, 200.25f, 200.5f}),
                      "Wavelength: 200nm - 200.5nm, Step Size: 0.3nm"},
        DimensionCase{"WavelengthSingle", Dimension("Wavelength -pda512", {250}),
                      "Wavelength: 250nm, using 512 element photodiode array"},
        DimensionCase{"WavelengthPlainPda", Dimension("Wavelength -pda", {250}),
                      "Wavelength: 250nm, using photodiode array"},
        DimensionCase{"EmissionScan", Dimension("Wavelength -emmono -excitation 280", {300, 301}),
                      "Wavelength (Emission Scanning) Range: 300nm - 301nm, Step Size: 1nm,Excitation Wavelength: "
                      "280 nm"},
        DimensionCase{"ExcitationScanWithoutFixedWavelength", Dimension("Wavelength -exmono", {300, 301}),
                      "Wavelength (Excitation Scanning) Range: 300nm - 301nm, Step Size: 1nm,Emission Wavelength: "
                      "0 nm"},
        DimensionCase{"BandwidthsEqualAtTenths", Dimension("Wavelength -en 1.0 -ex 1.04", {250}),
                      "Wavelength: 250nm,Bandwidth: 1nm"},
        DimensionCase{"BandwidthsDiffer", Dimension("Wavelength -en 1 -ex 2", {250}),
                      "Wavelength: 250nm,Bandwidth (entrance slit): 1nm,Bandwidth (exit slit): 2nm"},
        DimensionCase{"ExitSlitAlone", Dimension("Wavelength -ex 2", {250}),
                      "Wavelength: 250nm,Bandwidth (exit slit): 2nm"},
        DimensionCase{"Cells", Dimension("Cell -iter", {1, 2, 3}), "3 cells in set., -iter option selected"},
        DimensionCase{"Repeats", Dimension("Repeat", {1, 2}), "2 repeats in set."},
        DimensionCase{"TemperatureSingle", Dimension("Temperature", {25}), "temperature is: 25 in stepped ramp mode."},
        DimensionCase{"TemperatureRamp", Dimension("Temperature -ramp 1.5", {80, 20}),
                      "2 temperatures, from 20 to 80degrees Celsius  in smooth ramp mode at ramp-rate of 1.5degrees "
                      "C per min."},
        DimensionCase{"EmptyTimeHasNoLastValue", Dimension("Time", {}), "0 time point over 0s,linear,not oversampled"},
        DimensionCase{"OtherWritesFirstWord", Dimension("Concentration mM", {1, 2}), "Concentration"}),
    [](const auto& row) { return std::string(row.param.name); });

struct PropertyCase {
  const char* name;
  std::string property;
  std::string expected;
};

class DescribePropertyTest : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(DescribePropertyTest, WritesTheSettingsText) {
  EXPECT_EQ(DescribeProperty(GetParam().property), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DescribePropertyTest,
    ::testing::Values(
        PropertyCase{"AbsorbanceFlags", "Absorbance -dual -cd", "using CD detector reference beam in operation "},
        PropertyCase{"FluorescenceFlags", "Fluorescence -abs -dual", "using Absorbance detector dual channel fluorescence "},
        PropertyCase{"Anisotropy", "FluoPolarisation -Ani", "Anisotropy units "},
        PropertyCase{"Polarisation", "FluoPolarisation", "Polarisation units "},
        PropertyCase{"CdWritesNothing", "CircularDichroism -me", ""},
        PropertyCase{"AutoPm", "HV -autopm", "AutoPM: enabled"},
        PropertyCase{"Sensor", "Temperature -sensor 2", "measured with sensor number: 2"},
        PropertyCase{"CountTimePerPoint", "Count -sampleperiod 100 -current 8",
                     "Time-per-point: 8e-05s (10us x 8),"},
        PropertyCase{"CountAdaptiveNtca", "Count -auto -ntca", "Adaptive: enabled,Noise-Time Correlation Analysis: enabled,"},
        PropertyCase{"CountWithoutCurrent", "Count -sampleperiod 100", ""},
        PropertyCase{"Other", "Pressure bar", "Pressure"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FirstWordTest, StopsAtTheFirstBlank) {
  EXPECT_EQ(FirstWord("CircularDichroism -me"), "CircularDichroism");
  EXPECT_EQ(FirstWord("Time"), "Time");
  EXPECT_EQ(FirstWord(" Time"), "");
}

}  // namespace
}  // namespace lumatix::processing
