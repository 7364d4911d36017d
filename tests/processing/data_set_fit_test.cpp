#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "processing/data_set.h"
#include "store_builder.h"

namespace lumatix::processing {
namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;
using testing::makeStore;

constexpr int kLinear = 0;  // a.x+c

class FitTraces : public ::testing::Test {
 protected:
  void SetUp() override {
    // Trace t has y = x + 10 t at x = 1 .. 5.
    store = makeStore({"Absorbance"}, {{"Time", {1, 2, 3, 4, 5}}, {"Repeat", {1, 2, 3}}},
                      [](int, const std::vector<int>& i) { return static_cast<float>(i[0] + 1 + 10 * i[1]); });
    set.Load(*store, 0, 1, 0, -1);
    set.kindCounters[10] = 2;
    set.kindCounters[11] = 7;
  }

  std::unique_ptr<datastore::DataStore> store;
  CDataSet set;
};

TEST_F(FitTraces, FittedTraceCoversTheWholeTraceAndResidualsOnlyTheRange) {
  const CDataSet fit = set.CF_Fit({0, 1, 0}, kLinear, {2.0, 1.0}, 2.0f, 4.0f, true);
  EXPECT_TRUE(fit.IsValid());
  EXPECT_THAT(fit.traceNames, ElementsAre("Fit (f)::2", "Fit (r)::7"));
  EXPECT_THAT(fit.traceKind, ElementsAre(10, 11));
  EXPECT_THAT(fit.selected, ElementsAre(1, 1));
  EXPECT_THAT(fit.xA, ElementsAre(1, 2, 3, 4, 5));
  EXPECT_THAT(fit.yA[0], ElementsAre(3, 5, 7, 9, 11));
  // y = x + 10 against 2x + 1: 9 - x inside 2..4, exactly 0 outside.
  EXPECT_THAT(fit.yA[1], ElementsAre(0, 7, 6, 5, 0));
  EXPECT_EQ(fit.yLabel, set.yLabel);
  EXPECT_EQ(fit.history, set.history);
}

TEST_F(FitTraces, WithoutResidualsOneTrace) {
  const CDataSet fit = set.CF_Fit({1, 0, 0}, kLinear, {0.0, 4.0}, 1.0f, 5.0f, false);
  EXPECT_THAT(fit.traceNames, ElementsAre("Fit (f)::2"));
  EXPECT_THAT(fit.yA[0], ElementsAre(4, 4, 4, 4, 4));
  EXPECT_FALSE(fit.hasTraceDim);
}

TEST_F(FitTraces, TheBaselineTraceCanBeFitted) {
  ASSERT_TRUE(set.SetTraceStates({1, 1, 2}));
  const CDataSet fit = set.CF_Fit({0, 0, 1}, kLinear, {1.0, 20.0}, 1.0f, 5.0f, true);
  EXPECT_THAT(fit.yA[1], ElementsAre(0, 0, 0, 0, 0));
}

TEST_F(FitTraces, AppendedToTheWindowTheyAreNumberedByItsCounters) {
  ASSERT_TRUE(set.Append(set.CF_Fit({1, 0, 0}, kLinear, {1.0, 0.0}, 1.0f, 5.0f, true), *store));
  EXPECT_THAT(set.traceNames, ElementsAre("1", "2", "3", "Fit (f):2", "Fit (r):7"));
  EXPECT_EQ(set.kindCounters[10], 3);
}

struct RefusalRow {
  const char* name;
  std::vector<int> selection;
  int function;
  std::vector<double> parameters;
  const char* message;
};

class FitRefusals : public FitTraces, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(FitRefusals, ThrowTheirMessage) {
  const RefusalRow& row = GetParam();
  EXPECT_THAT([&] { set.CF_Fit(row.selection, row.function, row.parameters, 0, 1, true); },
              ThrowsMessage<std::exception>(row.message));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FitRefusals,
    ::testing::Values(
        RefusalRow{"TwoSelected", {1, 1, 0}, kLinear, {1, 0}, "CDataSet::CF_Fit : more than 1 trace selected\n"},
        RefusalRow{"NoneSelected", {0, 0, 0}, kLinear, {1, 0}, "CDataSet::CF_Fit : no trace selected\n"},
        RefusalRow{"SelectionOfAnotherSize", {1, 0}, kLinear, {1, 0}, "CDataSet::Subset : size mismatch in Z axis"},
        RefusalRow{"UnknownFunction", {1, 0, 0}, 20, {1, 0}, "There is no fitting function 20."},
        RefusalRow{"TooFewParameters", {1, 0, 0}, 1, {1, 0},
                   "The function \"Single Exponential\" takes 3 parameters, not 2."}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::processing
