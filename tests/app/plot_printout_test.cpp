#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/plot_printout.h"
#include "plot_document_fixture.h"

namespace lumatix::app {
namespace {

using ::testing::Contains;
using ::testing::IsEmpty;
using testing::PlotDocumentTest;

TEST(PrintChoice, TheBoxIsTickedAndInComplianceModeStaysSo) {
  struct Row {
    const char* name;
    bool compliant;
    bool cleared;
    bool printed;
  };
  for (const Row& row : {Row{"ordinary, left ticked", false, false, true}, Row{"ordinary, cleared", false, true, false},
                         Row{"compliance, left ticked", true, false, true},
                         Row{"compliance, cleared anyway", true, true, true}}) {
    SCOPED_TRACE(row.name);
    PrintChoice choice = initialPrintChoice(row.compliant);
    EXPECT_TRUE(choice.remarksAndSettings);
    EXPECT_EQ(choice.remarksLocked, row.compliant);
    if (row.cleared) setRemarksAndSettings(choice, false);
    EXPECT_EQ(choice.remarksAndSettings, row.printed);
  }
}

class PlotPrintoutTest : public PlotDocumentTest {};

TEST_F(PlotPrintoutTest, CarriesTheFileTheDateAndWhenAskedTheRemarksAndHistory) {
  store->addRemark("Sample: lysozyme");
  doc.select(0, true);
  ASSERT_TRUE(doc.removeSelected());

  const PlotPrintout full = plotPrintout(doc, initialPrintChoice(false));
  EXPECT_EQ(full.file, "File : /data/melt.dsx");
  EXPECT_EQ(full.date, "Sunday, December 06, 2026");
  EXPECT_TRUE(full.withRemarksAndSettings);
  EXPECT_THAT(full.remarks, Contains("Sample: lysozyme"));
  // The history's lines, one per printed line, without their line ends.
  EXPECT_THAT(full.history, Contains("Traces Removed :"));
  for (const auto& line : full.history) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;

  PrintChoice plain = initialPrintChoice(false);
  setRemarksAndSettings(plain, false);
  const PlotPrintout bare = plotPrintout(doc, plain);
  EXPECT_FALSE(bare.withRemarksAndSettings);
  EXPECT_THAT(bare.remarks, IsEmpty());
  EXPECT_THAT(bare.history, IsEmpty());
}

TEST(PlotPrintout, AWindowWithoutAFileIsEmpty) {
  testing::FixedProviders providers;
  testing::ScriptedUi ui;
  PlotDocument empty(emptyPlotStore(), "", ui);
  EXPECT_EQ(plotPrintout(empty, initialPrintChoice(true)).file, "File : Empty");
}

}  // namespace
}  // namespace lumatix::app
