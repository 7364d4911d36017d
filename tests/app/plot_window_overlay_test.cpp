#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "datastore/lum_binary.h"
#include "plot_document_fixture.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::PlotDocumentTest;

class Overlay : public PlotDocumentTest {
 protected:
  // Writes a store of the given property, dimensions and trace values as name.dsx.
  std::string dropFile(const std::string& name, const std::string& property = "CircularDichroism",
                       const std::string& traceDim = "Temperature", std::vector<float> traces = {10, 20, 30, 40, 50}) {
    auto s = testing::makeStore({property}, {{"Wavelength", {200, 210, 220}}, {traceDim, std::move(traces)}},
                                testing::placeValue);
    const std::string path = dir.file(name + ".dsx");
    std::ofstream out(path, std::ios::binary);
    datastore::writeLumBinaryX(*s, out, false);
    return path;
  }
  std::vector<std::string> overlaidNames() const {
    std::vector<std::string> n;
    for (const auto& t : doc.overlaidTraces()) n.push_back(t.name);
    return n;
  }
  testing::TempDir dir;
};

TEST_F(Overlay, TracesOfADroppedFileAreOverlaidWithTheirEntry) {
  const auto path = dropFile("melt2", "CircularDichroism", "Temperature", {10, 20});
  EXPECT_EQ(doc.overlayFiles({path}, false), 1);
  EXPECT_THAT(ui.texts(), IsEmpty());
  ASSERT_THAT(overlaidNames(), ElementsAre("10", "20"));
  EXPECT_EQ(doc.overlaidTraces()[0].file, path);
  EXPECT_THAT(doc.overlaidTraces()[1].x, ElementsAre(200, 210, 220));
  EXPECT_EQ(doc.overlaidTraces()[1].y, doc.dataSet().YValues(1)) << "same layout, same values";
  EXPECT_EQ(doc.dataSet().TraceCount(), 4) << "the plot's own traces are untouched";
  EXPECT_EQ(lastEntry().title, "Plot overlayed : ");
  EXPECT_EQ(lastEntry().text.rfind(path + "\r\n", 0), 0u);
  EXPECT_GT(lastEntry().text.size(), path.size() + 2) << "followed by the attribute listing";
  EXPECT_THAT(ui.shown, IsEmpty());

  doc.removeOverlaidTraces();
  EXPECT_THAT(doc.overlaidTraces(), IsEmpty());
}

TEST_F(Overlay, OtherDimensionsNeedConsent) {
  const auto path = dropFile("kinetic", "CircularDichroism", "Time");
  ui.answers = {Answer::No, Answer::Yes};
  EXPECT_EQ(doc.overlayFiles({path}, false), 0);
  EXPECT_THAT(doc.overlaidTraces(), IsEmpty());
  EXPECT_EQ(doc.overlayFiles({path}, false), 1);
  EXPECT_EQ(doc.overlaidTraces().size(), 5u);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text,
            "Warning.  kinetic.dsx has different parameters in dimension.\nTHESE TRACES WILL BE OVERLAID AND "
            "UNEDITABLE\nDo you still want to continue?");
  EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNo);
}

TEST_F(Overlay, AFileOfAnotherPropertyIsRefusedAndTheRestStillComes) {
  const auto other = dropFile("absorbance", "Absorbance");
  const auto good = dropFile("good");
  EXPECT_EQ(doc.overlayFiles({other, dir.file("missing.dsx"), good}, false), 1);
  EXPECT_EQ(doc.overlaidTraces().size(), 5u);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "Sorry.  absorbance.dsx is not a compatible Lumatix DataStore in Property");
  EXPECT_EQ(ui.shown[1].text.rfind("Sorry!\n\nCan't open the file\n\n", 0), 0u);
}

TEST_F(Overlay, FortyTracesAtMostWithOneMessagePerDrop) {
  std::vector<std::string> files;
  for (int i = 0; i < 9; ++i) files.push_back(dropFile("f" + std::to_string(i)));
  EXPECT_EQ(doc.overlayFiles(files, false), 8);
  EXPECT_EQ(doc.overlaidTraces().size(), kMaxOverlaidTraces);
  EXPECT_THAT(ui.texts(), ElementsAre("Total Number of Overlayed Traces has been exceeded"));
  EXPECT_EQ(ui.shown[0].icon, Icon::Warning);

  ui.shown.clear();
  EXPECT_EQ(doc.overlayFiles({files[8], files[7]}, false), 0);
  EXPECT_THAT(ui.texts(), ElementsAre("Total Number of Overlayed Traces has been exceeded"));
}

TEST_F(Overlay, AFileThatOnlyPartlyFitsStopsTheDrop) {
  std::vector<std::string> files;
  for (int i = 0; i < 7; ++i) files.push_back(dropFile("f" + std::to_string(i)));  // 35 traces
  files.push_back(dropFile("big", "CircularDichroism", "Temperature", {1, 2, 3, 4, 5, 6, 7, 8}));
  files.push_back(dropFile("after"));
  EXPECT_EQ(doc.overlayFiles(files, false), 8);
  EXPECT_EQ(doc.overlaidTraces().size(), kMaxOverlaidTraces);
  EXPECT_EQ(doc.overlaidTraces().back().name, "5");
  EXPECT_EQ(ui.shown.size(), 1u);
}

}  // namespace
}  // namespace lumatix::app
