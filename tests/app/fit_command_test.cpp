#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/fit_command.h"
#include "datastore/data_store.h"
#include "processing/data_set.h"
#include "processing/store_builder.h"
#include "support/fixed_providers.h"
#include "support/scripted_ui.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

processing::CDataSet traces(datastore::DataStore& store, std::vector<int> selected) {
  processing::CDataSet set;
  set.Load(store, 0, store.dimensions.size() > 1 ? 1 : -1, 0, -1);
  set.selected = std::move(selected);
  return set;
}

struct ChoiceRow {
  const char* name;
  int traceCount;
  std::vector<int> selected;
  std::optional<int> chosen;
  const char* message;  // nullptr: none
};

class FitTraceChoice : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(FitTraceChoice, ExactlyOneTrace) {
  const ChoiceRow& row = GetParam();
  std::vector<float> z(static_cast<std::size_t>(row.traceCount));
  for (std::size_t i = 0; i < z.size(); ++i) z[i] = static_cast<float>(i + 1);
  std::vector<testing::Axis> axes{{"Time", {1, 2, 3}}};
  if (row.traceCount > 1) axes.push_back({"Repeat", z});
  auto store = testing::makeStore({"Absorbance"}, axes, testing::placeValue);
  processing::CDataSet set = traces(*store, row.selected);
  testing::ScriptedUi ui;
  EXPECT_EQ(chooseFitTrace(set, ui), row.chosen);
  if (row.message) {
    EXPECT_THAT(ui.texts(), ElementsAre(row.message));
  } else {
    EXPECT_THAT(ui.texts(), IsEmpty());
  }
  if (row.chosen) {
    EXPECT_EQ(set.selected[static_cast<std::size_t>(*row.chosen)], 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FitTraceChoice,
    ::testing::Values(ChoiceRow{"OnlyTraceIsTakenWhenNoneSelected", 1, {0}, 0, nullptr},
                      ChoiceRow{"TheSelectedOne", 3, {0, 0, 1}, 2, nullptr},
                      ChoiceRow{"NoneSelectedOfMany", 3, {0, 0, 0}, std::nullopt, "Please select a trace first.\n"},
                      ChoiceRow{"TwoSelected", 3, {1, 0, 1}, std::nullopt, "Please select one trace only.\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FitRunningFlag, OneFittingDialogAtATime) {
  testing::ScriptedUi ui;
  {
    auto first = FitRunningFlag::acquire(ui);
    ASSERT_TRUE(first);
    EXPECT_FALSE(FitRunningFlag::acquire(ui));
    EXPECT_THAT(ui.texts(), ElementsAre(kFitAlreadyRunning));
  }
  EXPECT_TRUE(FitRunningFlag::acquire(ui));
}

class ApplyFit : public ::testing::Test {
 protected:
  void SetUp() override {
    store = testing::makeStore({"Absorbance"}, {{"Time", {0, 1, 2, 3}}, {"Repeat", {1, 2}}},
                               [](int, const std::vector<int>& i) { return static_cast<float>(2 * i[0] + 1 + i[1]); });
    set = traces(*store, {0, 1});
    results.functionIndex = 0;
    results.values = {2.0, 1.0};
    results.errors = {0.5, 0.25};
    results.locks = {0, 1};
    results.from = 1.0f;
    results.to = 2.0f;
    results.includeResiduals = true;
  }

  testing::FixedProviders providers;
  std::unique_ptr<datastore::DataStore> store;
  processing::CDataSet set;
  FitResults results;
  testing::ScriptedUi ui;
};

TEST_F(ApplyFit, AddsTheTracesAndTheFittingEntry) {
  const auto text = applyFitResults(set, *store, 1, results, ui);
  ASSERT_TRUE(text);
  EXPECT_THAT(ui.texts(), IsEmpty());
  EXPECT_THAT(set.traceNames, ElementsAre("1", "2", "Fit (f):0", "Fit (r):0"));
  EXPECT_THAT(set.yA[2], ElementsAre(1, 3, 5, 7));
  EXPECT_THAT(set.yA[3], ElementsAre(0, 1, 1, 0));
  ASSERT_FALSE(set.history.empty());
  EXPECT_EQ(set.history.back().title, "Fitting");
  EXPECT_EQ(set.history.back().user, "tester");
  EXPECT_EQ(set.history.back().text, *text);
  EXPECT_TRUE(text->starts_with("Original line : 2\r\na.x+cLinear\r\na = 2.000000 +/- 0.500000\r\n")) << *text;
  EXPECT_TRUE(text->ends_with("Fitted line : Fit (f)::0\r\nResidual : Fit (r)::0\r\n")) << *text;
}

TEST_F(ApplyFit, FailureIsReportedAndChangesNothing) {
  results.values = {2.0};
  const processing::CDataSet before = set;
  EXPECT_FALSE(applyFitResults(set, *store, 1, results, ui));
  EXPECT_THAT(ui.texts(),
              ElementsAre("curve fit failure (The function \"Linear\" takes 2 parameters, not 1.), please reset view\n"));
  EXPECT_EQ(set.traceNames, before.traceNames);
  EXPECT_EQ(set.history, before.history);
}

}  // namespace
}  // namespace lumatix::app
