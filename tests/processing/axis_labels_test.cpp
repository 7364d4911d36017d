#include "processing/axis_labels.h"

#include <gtest/gtest.h>

namespace lumatix::processing {
namespace {

TEST(AxisLabelTest, XLabelIsTheFirstKeyThatOccurs) {
  const std::pair<const char*, const char*> cases[] = {
      {"Time (min)", "Time (min)"},
      {"Time", "Time (s)"},
      {"Wavelength", "Wavelength (nm)"},
      {"Volume", "Concentration (M)"},
      {"Cell Temperature", "Temperature (C)"},  // "Temperature" comes before "Cell" in the table
      {"Pressure", "Pressure"},
      {"Wavelength -arb", "Arb ( Wavelength (nm) )"},
      {"Time (min) -arb", "Arb ( Time (s) )"},
      {"Volume -arb", "Arb ( Concentration (M) )"},
      {"Pressure -arb", "Pressure -arb"},
  };
  for (auto [name, label] : cases) EXPECT_EQ(xAxisLabel(name), label) << name;
}

TEST(AxisLabelTest, TraceAxisLabelFallsBackToDefault) {
  const std::pair<const char*, const char*> cases[] = {{"Wavelength", "Wavelength (nm)"},
                                                       {"Time (min)", "Time (s)"},
                                                       {"Concentration", "Concentration (g/mol)"},
                                                       {"Volume", "default"},
                                                       {"Repeat", "default"},
                                                       {"Cell", "Cell Position"}};
  for (auto [name, label] : cases) EXPECT_EQ(traceAxisLabel(name), label) << name;
}

TEST(AxisLabelTest, CoordinatesLoseTrailingZerosAndPoint) {
  const std::pair<double, const char*> cases[] = {
      {250.0, "250"}, {260.5, "260.5"}, {0.5, "0.5"}, {-3.0, "-3"}, {0.0, "0"}, {1e-7, "0"}, {100.0, "100"}};
  for (auto [value, text] : cases) EXPECT_EQ(coordinateName(value), text) << value;
}

TEST(AxisLabelTest, DerivedNamesUseTwoColonsAndAGNumber) {
  EXPECT_EQ(derivedTraceName(2, 0), "Subtracted::0");
  EXPECT_EQ(derivedTraceName(8, 1000000), "Smooth (s)::1e+06");
  EXPECT_THROW(derivedTraceName(12, 0), std::out_of_range);
}

}  // namespace
}  // namespace lumatix::processing
