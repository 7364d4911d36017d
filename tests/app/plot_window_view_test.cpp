#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "plot_document_fixture.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::PlotDocumentTest;

// Five traces named 250 .. 290.
class PlotWindowView : public PlotDocumentTest {
 protected:
  PlotWindowView() : PlotDocumentTest(testing::cdStore("CircularDichroism", {250, 260, 270, 280, 290})) {}
};

TEST_F(PlotWindowView, TracesMovedBackAreListedInDataSetOrder) {
  doc.select(1, true);
  doc.select(3, true);
  ASSERT_TRUE(doc.removeSelected());
  store->saved = true;

  ASSERT_TRUE(doc.restoreTraces({3, 0, 1}));
  EXPECT_THAT(doc.dataSet().traceState, ElementsAre(1, 1, 1, 1, 1));
  EXPECT_EQ(doc.selectedCount(), 0) << "restored traces come back unselected";
  EXPECT_EQ(lastEntry().title, "Traces Added :");
  EXPECT_EQ(lastEntry().text, "Traces Added :\r\n\\..260\r\n\\..280\r\n");
  EXPECT_FALSE(store->saved);
  EXPECT_EQ(store->history, doc.dataSet().history);

  const auto entries = doc.dataSet().history.size();
  EXPECT_FALSE(doc.restoreTraces({0, 7, -1})) << "nothing hidden among them";
  EXPECT_EQ(doc.dataSet().history.size(), entries);
}

TEST_F(PlotWindowView, TracesMovedAwayAreRemovedButTheBaselineStays) {
  doc.select(0, true);
  ASSERT_TRUE(doc.toggleBaseline());
  doc.select(4, true);
  ASSERT_TRUE(doc.hideTraces({4, 0, 2}));
  EXPECT_THAT(doc.dataSet().traceState, ElementsAre(2, 1, 0, 1, 0));
  EXPECT_EQ(doc.selectedCount(), 0);
  EXPECT_EQ(lastEntry().title, "Traces Removed :");
  EXPECT_EQ(lastEntry().text, "Traces Removed :\r\n\\..270\r\n\\..290\r\n");
  EXPECT_FALSE(doc.hideTraces({2, 4}));
}

TEST_F(PlotWindowView, VisibleTraceRange) {
  struct Row {
    const char* name;
    int start, end, step;
    std::vector<int> hiddenFirst;  // hidden before the range is applied
    std::vector<int> states;
    std::string listed;
  };
  const std::vector<Row> rows{
      {"every second from 1", 1, 5, 2, {}, {1, 0, 1, 0, 1}, " Traces Removed\r\n260\r\n280\r\n"},
      {"hidden traces inside come back unlisted",
       2,
       4,
       1,
       {1, 2},
       {0, 1, 1, 1, 0},
       " Traces Removed\r\n250\r\n290\r\n"},
      {"hidden traces outside are not listed again",
       1,
       2,
       1,
       {3},
       {1, 1, 0, 0, 0},
       " Traces Removed\r\n270\r\n290\r\n"},
      {"an end past the last trace", 4, 99, 1, {}, {0, 0, 0, 1, 1}, " Traces Removed\r\n250\r\n260\r\n270\r\n"},
      {"a start past the end hides everything",
       5,
       3,
       1,
       {},
       {0, 0, 0, 0, 0},
       " Traces Removed\r\n250\r\n260\r\n270\r\n280\r\n290\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    doc.reset();
    if (!row.hiddenFirst.empty()) {
      ASSERT_TRUE(doc.hideTraces(row.hiddenFirst));
    }
    ASSERT_TRUE(doc.showTraceRange(row.start, row.end, row.step));
    EXPECT_EQ(doc.dataSet().traceState, row.states);
    EXPECT_EQ(lastEntry().title, "Trace Removed :");
    EXPECT_EQ(lastEntry().text, row.listed);
  }
}

TEST_F(PlotWindowView, RangeRefusesNumbersBelowOne) {
  const auto entries = doc.dataSet().history.size();
  EXPECT_FALSE(doc.showTraceRange(0, 3, 1));
  EXPECT_FALSE(doc.showTraceRange(1, 3, 0));
  EXPECT_FALSE(doc.showTraceRange(1, -2, 1));
  EXPECT_EQ(doc.dataSet().history.size(), entries);
  EXPECT_THAT(doc.dataSet().traceState, ElementsAre(1, 1, 1, 1, 1));
}

TEST_F(PlotWindowView, ABaselineOutsideTheRangeIsUnsetBeforeItIsHidden) {
  doc.select(1, true);
  ASSERT_TRUE(doc.toggleBaseline());
  ASSERT_TRUE(doc.showTraceRange(3, 5, 1));
  EXPECT_FALSE(doc.hasBaseline());
  EXPECT_THAT(doc.dataSet().traceState, ElementsAre(0, 0, 1, 1, 1));
  const auto& h = doc.dataSet().history;
  EXPECT_EQ(h[h.size() - 2].title, "Unset Baseline");
  EXPECT_EQ(lastEntry().text, " Traces Removed\r\n250\r\n260\r\n");

  doc.select(2, true);
  ASSERT_TRUE(doc.toggleBaseline());
  ASSERT_TRUE(doc.showTraceRange(1, 5, 2));
  EXPECT_EQ(doc.dataSet().baselineIndex, 2) << "a baseline inside the range stays";
  EXPECT_THAT(doc.dataSet().traceState, ElementsAre(1, 0, 2, 0, 1));
}

TEST_F(PlotWindowView, PrintedEntryAndStoreTexts) {
  store->remarks.push_back("first remark");
  store->remarks.push_back("second");
  doc.printed();
  EXPECT_EQ(lastEntry().title, "Printed :");
  EXPECT_EQ(lastEntry().text, "Data was printed.");
  EXPECT_FALSE(store->saved);

  EXPECT_EQ(doc.remarksText(), "first remark\r\nsecond\r\n");
  const std::string history = doc.historyText();
  EXPECT_NE(history.find("Data was printed."), std::string::npos);
  EXPECT_EQ(history.find("Data was printed."), history.rfind("Data was printed."));

  const auto info = doc.infoText();
  ASSERT_TRUE(info);
  EXPECT_FALSE(info->empty());
  EXPECT_THAT(ui.shown, IsEmpty());

  doc.setOnline(true);
  EXPECT_FALSE(doc.infoText());
  EXPECT_THAT(ui.texts(), ElementsAre("Please wait for the current data acquisition to finish.\n"));
}

TEST_F(PlotWindowView, NewWindowSharesTheStoreAndItsHistory) {
  doc.select(0, true);
  ASSERT_TRUE(doc.removeSelected());
  auto second = doc.newWindow();
  EXPECT_EQ(second->store().get(), store.get());
  EXPECT_EQ(second->filePath(), "/data/melt.dsx");
  EXPECT_THAT(second->dataSet().traceState, ElementsAre(1, 1, 1, 1, 1)) << "shown as loaded";

  second->printed();
  doc.select(1, true);
  ASSERT_TRUE(doc.removeSelected());
  second->select(4, true);
  ASSERT_TRUE(second->removeSelected());

  std::vector<std::string> texts;
  for (const auto& e : store->history) texts.push_back(e.text);
  EXPECT_THAT(texts, ElementsAre(::testing::_, "Traces Removed :\r\n\\..250\r\n", "Data was printed.",
                                 "Traces Removed :\r\n\\..260\r\n", "Traces Removed :\r\n\\..290\r\n"));
  EXPECT_EQ(second->dataSet().history, store->history);
}

}  // namespace
}  // namespace lumatix::app
