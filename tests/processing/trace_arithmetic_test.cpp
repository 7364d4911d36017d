#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "processing/data_set.h"
#include "store_builder.h"
#include "support/fixed_providers.h"

namespace lumatix::processing {
namespace {

using ::testing::ElementsAre;
using testing::makeStore;
using testing::placeValue;
using ::testing::ThrowsMessage;

// Four traces (250, 260, 270, 280) of two points; value 1000 * trace + point.
class ArithmeticTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto store = makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210}}, {"Temperature", {250, 260, 270, 280}}},
                           placeValue);
    set.Load(*store, 0, 1, 0, -1);
  }
  const datastore::HistoryEntry& last(const CDataSet& s) const { return s.history.back(); }
  testing::FixedProviders providers;
  CDataSet set;
};

TEST_F(ArithmeticTest, SubtractionLeavesTheBaselineOutAndNamesFromTheCounter) {
  ASSERT_TRUE(set.SetTraceStates({1, 2, 1, 1}));
  set.kindCounters[2] = 4;
  const CDataSet r = set.Subtract({1, 1, 1, 0});
  EXPECT_THAT(r.traceNames, ElementsAre("Subtracted::4", "Subtracted::5"));
  EXPECT_THAT(r.yA[0], ElementsAre(-1000, -1000));
  EXPECT_THAT(r.yA[1], ElementsAre(1000, 1000));
  EXPECT_THAT(r.traceKind, ElementsAre(2, 2));
  EXPECT_THAT(r.selected, ElementsAre(1, 1));
  ASSERT_EQ(r.history.size(), set.history.size() + 2);
  EXPECT_EQ(last(r).title, "Baseline Subtraction:");
  EXPECT_EQ(last(r).text, "Baseline subtracted from :\\..270\r\nNew line :\\..Subtracted::5\r\n");
  EXPECT_TRUE(r.modified);
  EXPECT_THAT(set.yA[0], ElementsAre(0, 1)) << "the source is untouched";
}

TEST_F(ArithmeticTest, AdditionHasItsOwnTitleAndBlankLine) {
  ASSERT_TRUE(set.SetTraceStates({2, 1, 1, 1}));
  const CDataSet r = set.AddBaseline({0, 1, 0, 0});
  EXPECT_THAT(r.traceNames, ElementsAre("Added::0"));
  EXPECT_THAT(r.yA[0], ElementsAre(1000, 1002));
  EXPECT_EQ(last(r).title, "Baseline Addition");
  EXPECT_EQ(last(r).text, "Baseline added to :\\..260\r\nNew line :\\..Added::0\r\n\r\n");
}

TEST_F(ArithmeticTest, BaselineRefusals) {
  EXPECT_THAT(
      [&] {
        (void)set.Subtract({1, 1, 1, 1});
      },
      ThrowsMessage<std::runtime_error>("CDataSet::Subtract : no baseline selected\n"));
  set.baselineIndex = 2;  // named, but its state says it is an ordinary trace
  EXPECT_THAT(
      [&] {
        (void)set.AddBaseline({1, 1, 1, 1});
      },
      ThrowsMessage<std::runtime_error>("invalid baseline index\n"));
  ASSERT_TRUE(set.SetTraceStates({1, 2, 1, 1}));
  EXPECT_THAT(
      [&] {
        (void)set.Subtract({1, 1});
      },
      ThrowsMessage<std::invalid_argument>("CDataSet::Subset : size mismatch in Z axis"));
}

TEST_F(ArithmeticTest, AverageListsEveryTraceOnce) {
  const CDataSet r = set.Average({1, 1, 0, 0});
  EXPECT_THAT(r.traceNames, ElementsAre("Average::0"));
  EXPECT_THAT(r.yA[0], ElementsAre(500, 501));
  EXPECT_THAT(r.zValues, ElementsAre(0.0));
  EXPECT_TRUE(r.IsValid());
  EXPECT_EQ(last(r).title, "Averaged Traces :");
  EXPECT_EQ(last(r).text, "Averaged Traces : \r\n\\..250\r\n\\..260\r\nNew line :\\..Average::0\r\n");
  EXPECT_THAT(
      [&] {
        (void)set.Average({0, 0, 0, 0});
      },
      ThrowsMessage<std::runtime_error>("There are no traces to average."));
}

struct ConstantRow {
  const char* name;
  float value;
  const char* text;
};

class ConstantText : public ArithmeticTest, public ::testing::WithParamInterface<ConstantRow> {};

TEST_P(ConstantText, IsWrittenAsAFloatByTheStream) {
  const CDataSet r = set.AddConstant({0, 0, 1, 0}, GetParam().value);
  EXPECT_EQ(last(r).title, "Constant Addition");
  EXPECT_EQ(last(r).text,
            std::string("constant :") + GetParam().text + " added to :\\..270\r\nNew line :\\..Add::0\r\n");
  EXPECT_FLOAT_EQ(static_cast<float>(r.yA[0][1]), 2001.0f + GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, ConstantText,
                         ::testing::Values(ConstantRow{"Half", 0.5f, "0.5"}, ConstantRow{"MinusThree", -3.0f, "-3"},
                                           ConstantRow{"Tiny", 1e-07f, "1e-07"},
                                           ConstantRow{"SevenDigits", 1234567.0f, "1.23457e+06"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ArithmeticTest, MultiplicationRenamesTheTraceAxis) {
  set.kindCounters[6] = 2;
  const CDataSet r = set.Multiply({1, 0, 0, 1}, 2.5f);
  EXPECT_THAT(r.traceNames, ElementsAre("Multiply::2", "Multiply::3"));
  EXPECT_THAT(r.yA[1], ElementsAre(7500, 7502.5));
  EXPECT_EQ(r.traceAxisLabel, "default");
  EXPECT_EQ(r.traceDimName, "arb. unit");
  EXPECT_EQ(last(r).title, "Factor Multiplication");
  EXPECT_EQ(last(r).text, "factor :2.5 multiplied with :\\..280\r\nNew line :\\..Multiply::3\r\n");
}

TEST_F(ArithmeticTest, ResultsThatCannotBeStoredAreRefusedNamingTheOperation) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Row {
    const char* name;
    bool multiply;
    float value;
    const char* message;
  } rows[] = {
      {"HugeFactor", true, 1e36f, "Factor Multiplication with 1e+36 gives values too large to store; nothing was changed.\n"},
      {"InfiniteFactor", true, inf, "Factor Multiplication: the value must be a finite number.\n"},
      {"NaNFactor", true, nan, "Factor Multiplication: the value must be a finite number.\n"},
      {"NaNConstant", false, nan, "Constant Addition: the value must be a finite number.\n"},
  };
  for (const auto& row : rows) {
    try {
      (void)(row.multiply ? set.Multiply({1, 1, 1, 1}, row.value) : set.AddConstant({1, 1, 1, 1}, row.value));
      ADD_FAILURE() << row.name << ": no refusal";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), row.message) << row.name;
    }
  }
  EXPECT_THAT(set.Multiply({1, 0, 0, 0}, 1e36f).yA[0], ElementsAre(0, 1e36f));  // 0 and 1 * 1e36 still fit
  const CDataSet large = set.Multiply({0, 0, 0, 1}, 1e35f);  // 3.001e38 and 3.002e38, near the float limit
  EXPECT_THAT(
      [&] {
        (void)large.AddConstant({1}, 1e38f);
      },
      ThrowsMessage<std::runtime_error>("Constant Addition with 1e+38 gives values too large to store; nothing was changed.\n"));
}

TEST_F(ArithmeticTest, ResultsAppendUnderTheWindowsOwnNumbers) {
  auto windowStore =
      makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210}}, {"Temperature", {250, 260, 270, 280}}}, placeValue);
  set.kindCounters[3] = 7;
  ASSERT_TRUE(set.Append(set.AddConstant({1, 0, 0, 0}, 1.0f), *windowStore));
  EXPECT_EQ(set.traceNames.back(), "Add:7");
  EXPECT_EQ(set.kindCounters[3], 8);
}

}  // namespace
}  // namespace lumatix::processing
