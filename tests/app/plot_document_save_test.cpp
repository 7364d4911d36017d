#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "plot_document_fixture.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using testing::PlotDocumentTest;

class Saving : public PlotDocumentTest {
 protected:
  // Reads a written LumBinaryX file back.
  datastore::DataStore readBack(const std::string& path) {
    datastore::DataStore back;
    EXPECT_TRUE(back.load(path, false));
    return back;
  }
  testing::TempDir dir;
};

TEST_F(Saving, CurrentPlotWritesEveryPresentTraceWithItsHistory) {
  doc.select(0, true);
  doc.toggleBaseline();
  doc.select(1, true);
  doc.select(2, true);
  ASSERT_TRUE(doc.subtractBaseline());
  ui.files.push_back({dir.file("out.dsx"), 1});
  ASSERT_TRUE(doc.saveCurrentPlot());
  EXPECT_TRUE(store->saved);
  EXPECT_EQ(doc.dataSet().history.back().title, "Saved data :");

  auto back = readBack(dir.file("out.dsx"));
  processing::CDataSet set;
  set.Load(back, 0, 1, 0, -1);
  EXPECT_THAT(set.traceNames, ElementsAre("250", "260", "270", "280", "Subtracted:0", "Subtracted:1"));
  EXPECT_THAT(set.yA[5], ElementsAre(2000, 2000, 2000));
  std::vector<std::string> titles;
  for (const auto& e : back.history) titles.push_back(e.title);
  EXPECT_THAT(titles, ::testing::IsSupersetOf({"Baseline Set", "Baseline Subtraction:"}));
  EXPECT_FALSE(back.attributes.dataUnmodified);
  EXPECT_EQ(back.parent.parentFileName, "/data/melt.dsx");
}

TEST_F(Saving, AnUntouchedPlotOfAnOriginalFileStaysUnmodified) {
  ui.files.push_back({dir.file("copy.dsx"), 1});
  ASSERT_TRUE(doc.saveCurrentPlot());
  EXPECT_TRUE(readBack(dir.file("copy.dsx")).attributes.dataUnmodified);
}

TEST_F(Saving, ACopyOfProcessedDataNeverClaimsToBeOriginal) {
  store->attributes.dataUnmodified = false;
  ui.files.push_back({dir.file("copy.dsx"), 1});
  ASSERT_TRUE(doc.saveCurrentPlot());
  EXPECT_FALSE(readBack(dir.file("copy.dsx")).attributes.dataUnmodified);
}

TEST_F(Saving, SelectedTracesWithinTheShownRange) {
  doc.select(3, true);
  doc.setShownXRange(215, 205);
  ui.files.push_back({dir.file("sel.dsx"), 1});
  ASSERT_TRUE(doc.saveSelectedTraces());
  auto back = readBack(dir.file("sel.dsx"));
  processing::CDataSet set;
  set.Load(back, 0, -1, 0, -1);
  EXPECT_THAT(set.xA, ElementsAre(210));
  EXPECT_THAT(set.yA[0], ElementsAre(3001));
}

TEST_F(Saving, Preconditions) {
  EXPECT_FALSE(doc.saveSelectedTraces());
  doc.selectAll();
  ASSERT_TRUE(doc.removeSelected());
  EXPECT_FALSE(doc.saveCurrentPlot());
  EXPECT_THAT(ui.texts(),
              ElementsAre("Please select the traces which you wish to save.", "Error. There are no traces to save.\n"));
  EXPECT_TRUE(ui.fileDialogs.empty());
}

TEST_F(Saving, AWritersRefusalReachesThePersonAsAnError) {
  ui.files.push_back({dir.file("plot.glb"), 4});
  EXPECT_FALSE(doc.saveCurrentPlot());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Error! Cannot convert this plot to Spectra-Kinetic format.");
  EXPECT_EQ(ui.shown[0].icon, Icon::Error);
  EXPECT_FALSE(std::filesystem::exists(dir.file("plot.glb")));
}

TEST_F(Saving, TheFormatComesFromTheChosenFilter) {
  ui.files.push_back({dir.file("plot.txt"), 10});
  ASSERT_TRUE(doc.saveCurrentPlot());
  EXPECT_THAT(testing::readFile(dir.file("plot.txt")), ::testing::StartsWith("LumatixTSV"));
}

TEST_F(Saving, CancelWritesNothing) {
  ui.files.push_back({"", 1});
  EXPECT_FALSE(doc.saveCurrentPlot());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(Saving, AWriteFailureIsShownWithItsReason) {
  ui.files.push_back({"/nonexistent/out.dsx", 1});
  EXPECT_FALSE(doc.saveCurrentPlot());
  ASSERT_EQ(ui.texts().size(), 1u);
  EXPECT_THAT(ui.texts()[0], ::testing::StartsWith("Sorry.\n\nAn error occurred while trying to save the data in the "
                                                   "chosen format.\n\n"));
  EXPECT_FALSE(store->saved) << "the save recorded itself in the history, so the window now differs from its file";
}

}  // namespace
}  // namespace lumatix::app
