#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "plot_document_fixture.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using testing::PlotDocumentTest;

// 50 points along x, two traces on straight lines plus a wiggle.
datastore::smart_ptr<datastore::DataStore> fiftyPoints() {
  std::vector<float> x(50);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = 200.0f + static_cast<float>(i);
  auto store = testing::makeStore(
      {"CircularDichroism"}, {{"Wavelength", x}, {"Temperature", {20, 30}}},
      [](int, const std::vector<int>& i) { return static_cast<float>(i[0] * (i[1] + 1) + (i[0] % 2 ? 0.5 : 0.0)); });
  return datastore::smart_ptr<datastore::DataStore>(store.release());
}

class Smoothing : public PlotDocumentTest {
 protected:
  Smoothing() : PlotDocumentTest(fiftyPoints()) {}
};

TEST_F(Smoothing, TypingFortyForFiftyPointsGivesTwentyFive) {
  doc.select(0, true);
  std::string field;
  dialogs.onSmoothing = [&](SmoothingDialog& d) {
    d.setWindowValue(40);
    field = d.fieldText();
    return true;
  };
  ASSERT_TRUE(doc.smooth(dialogs));
  EXPECT_EQ(field, "25");
  EXPECT_EQ(lastEntry().title, "Smooth");
  EXPECT_EQ(lastEntry().text, "Original Trace :\\..20\r\nSmoothed Trace :\\..Smooth (s)::0\r\nWindow Size    :25\r\n");
  EXPECT_EQ(doc.dataSet().traceNames.back(), "Smooth (s):0");
}

TEST_F(Smoothing, ResidualsFollowTheSmoothedTraces) {
  doc.selectAll();
  dialogs.onSmoothing = [&](SmoothingDialog& d) {
    d.setWindowValue(2);
    d.setSaveResiduals(true);
    EXPECT_THAT(d.smoothedLegend(), ElementsAre("Smooth (s) :1", "Smooth (s) :2"));
    EXPECT_EQ(d.preview().smoothed.size(), 2u);
    return true;
  };
  ASSERT_TRUE(doc.smooth(dialogs));
  const auto& set = doc.dataSet();
  EXPECT_THAT(std::vector<std::string>(set.traceNames.begin() + 2, set.traceNames.end()),
              ElementsAre("Smooth (s):0", "Smooth (s):1", "Smooth (r):0", "Smooth (r):1"));
  EXPECT_THAT(set.selected, ElementsAre(0, 0, 1, 1, 1, 1)) << "the new traces, and only they, are selected";
  EXPECT_EQ(lastEntry().title, "Smooth:");
  EXPECT_EQ(lastEntry().text, "Original Trace :\\..30\r\nResidual Trace :\\..Smooth (r)::1\r\nWindow Size    :2\r\n");
  // Smoothed plus residual gives the input back.
  for (std::size_t j = 0; j < set.xA.size(); ++j) EXPECT_NEAR(set.yA[2][j] + set.yA[4][j], set.yA[0][j], 1e-4) << j;
  EXPECT_FALSE(store->saved);
}

TEST_F(Smoothing, ReplaceModeReplacesTheRowsAndDisablesResiduals) {
  doc.select(1, true);
  const auto original = doc.dataSet().yA[1];
  dialogs.onSmoothing = [&](SmoothingDialog& d) {
    d.setSaveResiduals(true);
    d.setReplace(true);
    EXPECT_FALSE(d.saveResiduals());
    EXPECT_FALSE(d.residualsEnabled());
    d.setSaveResiduals(true);
    EXPECT_FALSE(d.saveResiduals());
    d.setWindowValue(3);
    return true;
  };
  ASSERT_TRUE(doc.smooth(dialogs));
  const auto& set = doc.dataSet();
  EXPECT_EQ(set.TraceCount(), 2);
  EXPECT_EQ(set.traceNames[1], "30");
  EXPECT_NE(set.yA[1], original);
  EXPECT_EQ(lastEntry().text, "Original Trace :\\..30\r\nReplaced with smoothed line\r\nWindow Size    :3\r\n");
}

TEST_F(Smoothing, CancelChangesNothing) {
  doc.select(1, true);
  const auto before = doc.dataSet().history;
  EXPECT_FALSE(doc.smooth(dialogs));
  EXPECT_EQ(doc.dataSet().history, before);
  EXPECT_TRUE(store->saved);
}

// Records what the conversion hands over instead of writing a file.
struct Capture : ConvertedFileHandler {
  datastore::smart_ptr<datastore::DataStore> store;
  std::string path;
  bool result = true;
  bool saveAndOpen(datastore::smart_ptr<datastore::DataStore> s, const std::string& p) override {
    store = s;
    path = p;
    return result;
  }
};

using Conversion = PlotDocumentTest;

TEST_F(Conversion, MdegToMolarEllipticityMakesAModifiedFile) {
  doc.select(1, true);
  doc.select(2, true);
  dialogs.onConvert = [&](ConvertDialog& d) {
    EXPECT_EQ(d.sourceDisplayName(), "mdeg");
    EXPECT_TRUE(d.setTarget("molar ellipticity"));
    EXPECT_EQ(d.concentrationLabel(), "Concentration (M)");
    d.setMolarConcentration(1e-4);
    d.setPathLength(0.1);
    return d.accept(ui);
  };
  Capture capture;
  ASSERT_TRUE(doc.convertUnits(dialogs, capture));
  ASSERT_TRUE(capture.store);
  EXPECT_EQ(capture.path, "/data/melt-me.dsx");
  EXPECT_EQ(capture.store->properties[0], "CircularDichroism -me");
  EXPECT_FALSE(capture.store->attributes.dataUnmodified);
  EXPECT_EQ(capture.store->parent.parentFileName, "/data/melt.dsx");
  processing::CDataSet back;
  back.Load(*capture.store, 0, 1, 0, -1);
  EXPECT_THAT(back.traceNames, ElementsAre("260", "270"));
  EXPECT_NEAR(back.yA[0][2], 1002 * 1e4, 1.0);
  EXPECT_EQ(back.yLabel, "Molar Ellipticity");
  EXPECT_EQ(back.history.back().title, "Convert CD Units");
  EXPECT_TRUE(store->saved) << "the source plot is never changed by a conversion";
}

TEST_F(Conversion, ASaveFailureIsReported) {
  doc.select(0, true);
  dialogs.onConvert = [](ConvertDialog& d) { return d.setTarget("deltaa"); };
  Capture capture;
  capture.result = false;
  EXPECT_FALSE(doc.convertUnits(dialogs, capture));
  EXPECT_THAT(ui.texts(), ElementsAre(std::string("Error! Can't save file.\n\nPlease report this error to QVL "
                                                  "technical support at ") +
                                      kSupportContact));
}

class AlreadyConverted : public PlotDocumentTest {
 protected:
  AlreadyConverted() : PlotDocumentTest(testing::cdStore("CircularDichroism -mrmcd")) {}
};

TEST_F(AlreadyConverted, IsRefusedWithTheMeanResidueMessage) {
  doc.select(0, true);
  Capture capture;
  EXPECT_FALSE(doc.convertUnits(dialogs, capture));
  EXPECT_THAT(ui.texts(), ElementsAre("Sorry! Cannot convert CD units from Mean Residue Molar Delta A.\n"));
  EXPECT_EQ(dialogs.shown, 0);
}

struct CheckRow {
  const char* name;
  const char* source;
  const char* target;
  double molar, mass, path, weight;
  int residues;
  std::vector<std::string> messages;
};

class ConvertChecks : public ::testing::TestWithParam<CheckRow> {};

TEST_P(ConvertChecks, OnOk) {
  const CheckRow& row = GetParam();
  testing::ScriptedUi ui;
  ConvertDialog d(row.source);
  ASSERT_TRUE(d.setTarget(row.target));
  d.setMolarConcentration(row.molar);
  d.setMassConcentration(row.mass);
  d.setPathLength(row.path);
  d.setResidueWeight(row.weight);
  d.setResidues(row.residues);
  EXPECT_EQ(d.accept(ui), row.messages.empty());
  EXPECT_EQ(ui.texts(), row.messages);
}

const std::string kConc = "Sorry! The concentration should be at least 1e-10 M.\n";
const std::string kPath = "Sorry! The path lenth must be at least 0.001 cm.\n";
const std::string kWeight = "Sorry! The mean residue molecular weight must be greater than 1.0.\n";

INSTANTIATE_TEST_SUITE_P(
    Fields, ConvertChecks,
    ::testing::Values(CheckRow{"PathTooShort", "mdeg", "me", 1e-4, 0, 0.0009, 0, 0, {kPath}},
                      CheckRow{"PathJustLongEnough", "mdeg", "me", 1e-4, 0, 0.001, 0, 0, {}},
                      CheckRow{"EveryMolarCheckFails", "deltaa", "mcd", 0, 0, 0, 0, 0, {kConc, kPath}},
                      CheckRow{"WeightOfOneRefused", "mdeg", "mrme", 0, 1, 1, 1.0, 0, {kWeight}},
                      CheckRow{"MassBelowLimit", "deltaa", "mrmcd", 0, 1e-10, 1, 110, 0, {kConc}},
                      CheckRow{"DeltaAToMdegNeedsNothing", "deltaa", "mdeg", 0, 0, 0, 0, 0, {}},
                      CheckRow{"MeanResidueEllipticityNeedsResidues",
                               "mdeg",
                               "mre",
                               1e-4,
                               0,
                               1,
                               0,
                               0,
                               {"Sorry! The number of amino acid residues must be at least 1.\n"}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::app
