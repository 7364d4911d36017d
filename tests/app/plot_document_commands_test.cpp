#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "plot_document_fixture.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::PlotDocumentTest;

using Commands = PlotDocumentTest;

TEST_F(Commands, ToggleSetsMovesAndUnsetsTheBaseline) {
  doc.select(1, true);
  ASSERT_TRUE(doc.toggleBaseline());
  EXPECT_EQ(doc.dataSet().baselineIndex, 1);
  EXPECT_EQ(lastEntry().title, "Baseline Set");
  EXPECT_EQ(lastEntry().text, "Baseline set : 260 \r\n");
  EXPECT_EQ(doc.selectedCount(), 0) << "the baseline is not counted as selected";
  EXPECT_FALSE(store->saved);
  EXPECT_EQ(store->history, doc.dataSet().history);

  doc.select(3, true);
  ASSERT_TRUE(doc.toggleBaseline());
  const auto& h = doc.dataSet().history;
  ASSERT_GE(h.size(), 2u);
  EXPECT_EQ(h[h.size() - 2].title, "Unset Baseline");
  EXPECT_EQ(h[h.size() - 2].text, "Baseline unset : 260 \r\n");
  EXPECT_EQ(lastEntry().text, "Baseline set : 280 \r\n");
  EXPECT_THAT(doc.dataSet().traceState, ElementsAre(1, 1, 1, 2));

  doc.deselectAll();
  ASSERT_TRUE(doc.toggleBaseline());
  EXPECT_FALSE(doc.hasBaseline());
  EXPECT_EQ(lastEntry().title, "Unset Baseline");
  EXPECT_EQ(doc.dataSet().traceCount, 4);
}

TEST_F(Commands, BaselinePreconditionsComeInOrderAndChangeNothing) {
  const auto before = doc.dataSet().history.size();
  EXPECT_FALSE(doc.subtractBaseline());
  doc.select(0, true);
  doc.toggleBaseline();
  EXPECT_FALSE(doc.addBaseline());
  EXPECT_THAT(ui.texts(), ElementsAre("Please select a baseline first \n", "Please select traces first\n"));
  EXPECT_EQ(doc.dataSet().history.size(), before + 1) << "only the baseline entry";
  EXPECT_EQ(ui.shown[0].icon, Icon::Information);
}

TEST_F(Commands, SubtractionNeverTouchesTheBaselineEvenWhenSelected) {
  doc.select(0, true);
  doc.toggleBaseline();
  doc.selectAll();
  ASSERT_TRUE(doc.subtractBaseline());
  const auto& set = doc.dataSet();
  ASSERT_EQ(set.TraceCount(), 7);
  EXPECT_THAT(std::vector<std::string>(set.traceNames.begin() + 4, set.traceNames.end()),
              ElementsAre("Subtracted:0", "Subtracted:1", "Subtracted:2"));
  EXPECT_THAT(set.yA[4], ElementsAre(1000, 1000, 1000));
  EXPECT_THAT(set.yA[6], ElementsAre(3000, 3000, 3000));
  EXPECT_EQ(doc.selectedCount(), 3) << "the new traces take over the selection";
  EXPECT_EQ(lastEntry().text, "Baseline subtracted from :\\..280\r\nNew line :\\..Subtracted::2\r\n");
  ASSERT_EQ(store->viewState.marks.size(), 2u);
  EXPECT_EQ(store->viewState.marks[1].back().label, "Subtracted:2");
}

TEST_F(Commands, AverageNeedsTwoTraces) {
  doc.select(2, true);
  EXPECT_FALSE(doc.average());
  EXPECT_THAT(ui.texts(), ElementsAre("Please select at lest two traces first\n"));
  doc.select(3, true);
  ASSERT_TRUE(doc.average());
  EXPECT_EQ(doc.dataSet().traceNames.back(), "Average:0");
  EXPECT_THAT(doc.dataSet().yA.back(), ElementsAre(2500, 2501, 2502));
}

TEST_F(Commands, AverageAllLeavesOnlyTheAverage) {
  ASSERT_TRUE(doc.averageAll());
  const auto& set = doc.dataSet();
  EXPECT_THAT(set.traceState, ElementsAre(0, 0, 0, 0, 1));
  EXPECT_THAT(set.yA.back(), ElementsAre(1500, 1501, 1502));
  EXPECT_THAT(titles(), ::testing::IsSupersetOf({"Averaged Traces :", "Traces Removed :"}));
  EXPECT_EQ(lastEntry().text, "Traces Removed :\r\n\\..250\r\n\\..260\r\n\\..270\r\n\\..280\r\n");
  EXPECT_EQ(doc.selectedCount(), 0);
}

TEST_F(Commands, RemoveUnselectedWithNothingSelectedOnlySaysSo) {
  const auto before = doc.dataSet();
  EXPECT_FALSE(doc.removeUnselected());
  EXPECT_THAT(ui.texts(), ElementsAre("Please select traces first.\n"));
  EXPECT_EQ(doc.dataSet().history, before.history);
  EXPECT_EQ(doc.dataSet().traceState, before.traceState);
  EXPECT_TRUE(store->saved);
}

TEST_F(Commands, RemovingKeepsASelectedBaselineSelected) {
  doc.select(0, true);
  doc.toggleBaseline();
  doc.selectAll();
  doc.select(3, false);
  ASSERT_TRUE(doc.removeSelected());
  EXPECT_THAT(doc.dataSet().traceState, ElementsAre(2, 0, 0, 1));
  EXPECT_THAT(doc.dataSet().selected, ElementsAre(1, 0, 0, 0));
  EXPECT_EQ(lastEntry().text, "Traces Removed :\r\n\\..260\r\n\\..270\r\n");
}

struct MathRow {
  const char* name;
  int operation;
  float value;
  const char* traceName;
  double firstValue;  // of trace 270 (2000, 2001, 2002)
};

class SimpleMath : public PlotDocumentTest, public ::testing::WithParamInterface<MathRow> {};

TEST_P(SimpleMath, RunsTheChosenOperation) {
  const MathRow& row = GetParam();
  dialogs.onSimpleMath = [&](SimpleMathDialog& d) {
    d.operation = row.operation;
    d.constant = row.value;
    return true;
  };
  doc.select(2, true);
  ASSERT_TRUE(doc.simpleMath(dialogs));
  EXPECT_EQ(doc.dataSet().traceNames.back(), row.traceName);
  EXPECT_NEAR(doc.dataSet().yA.back()[0], row.firstValue, 1e-6 * std::fabs(row.firstValue));
  EXPECT_EQ(doc.selectedCount(), 0) << "Simple Math clears the selection";
}

INSTANTIATE_TEST_SUITE_P(Operations, SimpleMath,
                         ::testing::Values(MathRow{"Plus", 0, 2.5f, "Add:0", 2002.5},
                                           MathRow{"MinusAddsTheNegative", 1, 3.0f, "Add:0", 1997},
                                           MathRow{"Times", 2, 2.0f, "Multiply:0", 4000},
                                           MathRow{"DivideBySlightlyMoreThanEpsilon", 3, 1.2e-07f, "Multiply:0",
                                                   2000 / 1.2e-07}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(Commands, MinusThreeIsRecordedAsAddingMinusThree) {
  dialogs.onSimpleMath = [](SimpleMathDialog& d) {
    d.operation = SimpleMathDialog::kSubtract;
    d.constant = 3;
    return true;
  };
  doc.select(0, true);
  ASSERT_TRUE(doc.simpleMath(dialogs));
  EXPECT_EQ(lastEntry().title, "Constant Addition");
  EXPECT_EQ(lastEntry().text, "constant :-3 added to :\\..250\r\nNew line :\\..Add::0\r\n");
}

TEST_F(Commands, DivisionByLessThanEpsilonIsRefused) {
  dialogs.onSimpleMath = [](SimpleMathDialog& d) {
    d.operation = SimpleMathDialog::kDivide;
    d.constant = 1e-08f;
    return true;
  };
  doc.select(0, true);
  const auto traces = doc.dataSet().TraceCount();
  EXPECT_FALSE(doc.simpleMath(dialogs));
  EXPECT_THAT(ui.texts(), ElementsAre("Cannot divide by zero. Please select a non-zero value to divide by.\n"));
  EXPECT_EQ(doc.dataSet().TraceCount(), traces);
  EXPECT_TRUE(store->saved);
}

TEST_F(Commands, SimpleMathWithoutSelectionNeedsOneTrace) {
  EXPECT_FALSE(doc.simpleMath(dialogs));
  EXPECT_THAT(ui.texts(), ElementsAre("Please select a trace first.\n"));
  EXPECT_EQ(dialogs.shown, 0);
}

class SingleTrace : public PlotDocumentTest {
 protected:
  SingleTrace() : PlotDocumentTest(testing::cdStore("CircularDichroism", {250})) {}
};

TEST_F(SingleTrace, SimpleMathSelectsTheOnlyTrace) {
  dialogs.onSimpleMath = [](SimpleMathDialog& d) {
    d.constant = 1;
    return true;
  };
  ASSERT_TRUE(doc.simpleMath(dialogs));
  EXPECT_EQ(doc.dataSet().traceNames.back(), "Add:0");
  EXPECT_THAT(doc.dataSet().yA.back(), ElementsAre(1, 2, 3));
}

TEST_F(Commands, EnablingRules) {
  EXPECT_FALSE(doc.isEnabled(PlotCommand::Average));
  EXPECT_FALSE(doc.isEnabled(PlotCommand::ToggleBaseline));
  EXPECT_FALSE(doc.isEnabled(PlotCommand::SubtractBaseline));
  doc.select(1, true);
  EXPECT_TRUE(doc.isEnabled(PlotCommand::Smooth));
  EXPECT_TRUE(doc.isEnabled(PlotCommand::ToggleBaseline));
  EXPECT_TRUE(doc.isEnabled(PlotCommand::Convert));
  doc.select(2, true);
  EXPECT_FALSE(doc.isEnabled(PlotCommand::ToggleBaseline)) << "two selected, no baseline";
  doc.toggleBaseline();
  doc.deselectAll();
  doc.select(1, true);
  doc.toggleBaseline();
  EXPECT_TRUE(doc.isEnabled(PlotCommand::SubtractBaseline));
  EXPECT_TRUE(doc.isEnabled(PlotCommand::ToggleBaseline));
  EXPECT_FALSE(doc.isEnabled(PlotCommand::RemoveSelected)) << "a selected baseline alone is no selection";
}

class Absorbance : public PlotDocumentTest {
 protected:
  Absorbance() : PlotDocumentTest(testing::cdStore("Absorbance")) {}
};

TEST_F(Absorbance, ConvertIsOnlyForCircularDichroism) {
  doc.select(0, true);
  EXPECT_FALSE(doc.isEnabled(PlotCommand::Convert));
  testing::ScriptedDialogs d;
  struct Never : ConvertedFileHandler {
    bool saveAndOpen(datastore::smart_ptr<datastore::DataStore>, const std::string&) override { return true; }
  } never;
  EXPECT_FALSE(doc.convertUnits(d, never));
  EXPECT_EQ(d.shown, 0);
  EXPECT_THAT(ui.texts(), IsEmpty());
}

}  // namespace
}  // namespace lumatix::app
