#include "processing/cd_converter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "datastore/data_store.h"
#include "processing/data_set.h"
#include "store_builder.h"
#include "support/fixed_providers.h"

namespace lumatix::processing {
namespace {

using ::testing::ElementsAre;

TEST(CConverterTest, MdegToMolarEllipticity) {
  CConverter c;
  c.SetMolarConcentration(1e-4);
  c.SetPathLength(0.1);
  double factor = 0;
  ASSERT_EQ(c.GetFactor("mdeg2me", factor), CConverter::kFactorComputed);
  EXPECT_DOUBLE_EQ(factor, 1e4);
}

TEST(CConverterTest, DeltaAAndMdegNeedNothing) {
  CConverter c;
  double factor = 0;
  ASSERT_EQ(c.GetFactor("deltaa2mdeg", factor), 0);
  EXPECT_EQ(factor, 32982.102);
  ASSERT_EQ(c.GetFactor("mdeg2deltaa", factor), 0);
  EXPECT_EQ(factor, 3.031947448346379e-05);
}

TEST(CConverterTest, MissingParametersAndUnknownNamesLeaveTheFactor) {
  CConverter c;
  c.SetPathLength(1);
  double factor = 7;
  EXPECT_EQ(c.GetFactor("deltaa2me", factor), CConverter::kParameterMissing);
  c.SetMolarConcentration(2);
  EXPECT_EQ(c.GetFactor("deltaa2mre", factor), CConverter::kParameterMissing) << "needs the residue count";
  EXPECT_EQ(c.GetFactor("me2mdeg", factor), CConverter::kUnknownConversion);
  EXPECT_EQ(factor, 7);
  c.SetResidues(4);
  ASSERT_EQ(c.GetFactor("deltaa2mre", factor), 0);
  EXPECT_DOUBLE_EQ(factor, 32982.102 / (1 * 10 * 2 * 4));
}

TEST(CConverterTest, MeanResidueFactorsUseTheMolarityOfResidues) {
  CConverter c;
  c.SetPathLength(0.5);
  c.SetMassConcentration(2);
  c.SetResidueWeight(110);
  double factor = 0;
  ASSERT_EQ(c.GetFactor("mdeg2mrme", factor), 0);
  EXPECT_DOUBLE_EQ(factor, 1 / ((2.0 / 110) * 10 * 0.5));
  ASSERT_EQ(c.GetFactor("deltaa2mrmcd", factor), 0);
  EXPECT_DOUBLE_EQ(factor, 1 / ((2.0 / 110) * 0.5));
}

struct RefusalRow {
  const char* name;
  const char* valueName;
  const char* message;
};

class Refusal : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(Refusal, FollowsTheOrderOfTheTests) { EXPECT_EQ(cdConversionRefusal(GetParam().valueName), GetParam().message); }

INSTANTIATE_TEST_SUITE_P(
    ValueNames, Refusal,
    ::testing::Values(RefusalRow{"MolarEllipticity", "CircularDichroism -me",
                                 "Sorry! Cannot convert CD units from Molar Ellipticity.\n"},
                      RefusalRow{"MeanResidueMolarEllipticity", "CircularDichroism -mrme",
                                 "Sorry! Cannot convert CD units from Mean Residue Molar Ellipticity.\n"},
                      RefusalRow{"MeanResidueEllipticity", "CircularDichroism -mre",
                                 "Sorry! Cannot convert CD units from Mean Residue Ellipticity.\n"},
                      RefusalRow{"MeanResidueDeltaEpsilonNotMolarDeltaA", "CircularDichroism -mrmcd",
                                 "Sorry! Cannot convert CD units from Mean Residue Molar Delta A.\n"},
                      RefusalRow{"DeltaEpsilon", "CircularDichroism -mcd",
                                 "Sorry! Cannot convert CD units from Molar Delta A.\n"},
                      RefusalRow{"DeltaA", "CircularDichroism -deltaa", ""},
                      RefusalRow{"Mdeg", "CircularDichroism ", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ConvertCDTest, ScalesBothSegmentsAndNamesTheNewUnit) {
  testing::FixedProviders providers;
  auto store = testing::makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210, 220}}, {"Temperature", {20, 30}}},
                                  testing::placeValue);
  store->viewState.ranges[0].first = 210.0f;  // 220 was measured after the view was saved
  CDataSet set;
  set.Load(*store, 0, 1, 0, -1);
  ASSERT_EQ(set.xB.size(), 1u);
  const CDataSet converted = set.ConvertCD({0, 1}, 10.0, "me");
  EXPECT_EQ(converted.valueName, "CircularDichroism -me");
  EXPECT_THAT(converted.yA[0], ElementsAre(10000, 10010));
  EXPECT_THAT(converted.yB[0], ElementsAre(10020));
  EXPECT_EQ(set.ConvertCD({1, 1}, 1.0, "mdeg").valueName, "CircularDichroism");
  EXPECT_THROW((void)set.ConvertCD({1, 1}, 1.0, "kelvin"), std::invalid_argument);
}

}  // namespace
}  // namespace lumatix::processing
