// Reset and New Window bring back the data set as it was loaded, whatever happened since,
// although the document copies it only when it first changes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "plot_document_fixture.h"

namespace lumatix::app {
namespace {

using testing::PlotDocumentTest;

// Everything of a data set but its history (and the modified mark, which the reset's own
// history entry sets).
void expectSameTraces(const processing::CDataSet& a, const processing::CDataSet& b) {
  EXPECT_EQ(a.xA, b.xA);
  EXPECT_EQ(a.yA, b.yA);
  EXPECT_EQ(a.yB, b.yB);
  EXPECT_EQ(a.traceNames, b.traceNames);
  EXPECT_EQ(a.traceState, b.traceState);
  EXPECT_EQ(a.selected, b.selected);
  EXPECT_EQ(a.baselineIndex, b.baselineIndex);
  EXPECT_EQ(a.kindCounters, b.kindCounters);
}

class PlotDocumentReset : public PlotDocumentTest {};

TEST_F(PlotDocumentReset, EveryKindOfChangeIsUndone) {
  const processing::CDataSet loaded = doc.dataSet();
  struct Row {
    const char* name;
    std::function<void(PlotDocument&)> change;
  };
  const std::vector<Row> rows{
      {"selection only", [](PlotDocument& d) { d.select(2, true); }},
      {"a baseline", [](PlotDocument& d) { d.setBaseline(1); }},
      {"removed traces", [](PlotDocument& d) { d.select(0, true), d.removeSelected(); }},
      {"an average appended", [](PlotDocument& d) { d.select(0, true), d.select(3, true), d.average(); }},
      {"average all", [](PlotDocument& d) { d.averageAll(); }},
      {"a baseline subtracted",
       [](PlotDocument& d) { d.setBaseline(0), d.select(1, true), d.select(2, true), d.subtractBaseline(); }},
      {"hidden and shown again", [](PlotDocument& d) { d.hideTraces({1, 2}), d.restoreTraces({2}); }},
      {"a range", [](PlotDocument& d) { d.showTraceRange(2, 4, 2); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.change(doc);
    const std::unique_ptr<PlotDocument> other = doc.newWindow();
    expectSameTraces(other->dataSet(), loaded);
    doc.reset();
    expectSameTraces(doc.dataSet(), loaded);
    EXPECT_EQ(lastEntry().title, "Plot reset :");
    // Twice in a row as well: the second reset has nothing to undo.
    doc.reset();
    expectSameTraces(doc.dataSet(), loaded);
  }
}

TEST_F(PlotDocumentReset, TheSelectionAtLoadingIsWhatResetRestores) {
  doc.select(1, true);
  doc.setDataSet(doc.dataSet());  // loaded anew with trace 1 selected
  doc.deselectAll();
  doc.select(0, true);
  ASSERT_TRUE(doc.removeSelected());
  doc.reset();
  EXPECT_THAT(doc.dataSet().selected, ::testing::ElementsAre(0, 1, 0, 0));
  EXPECT_THAT(doc.dataSet().traceState, ::testing::ElementsAre(1, 1, 1, 1));
}

}  // namespace
}  // namespace lumatix::app
