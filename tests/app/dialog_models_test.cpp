// The models behind the viewer's dialogs: typed numbers, plot limits, the trace manipulation
// moves, the visible trace range, the export and decomposition choices, save targets, the
// converted file, the sampled smoothing preview and silenced advice.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <limits>

#include "app/converted_file.h"
#include "app/decompose_dialog.h"
#include "app/export_dialog.h"
#include "app/field_text.h"
#include "app/message_preferences.h"
#include "app/plot_limits.h"
#include "app/save_target.h"
#include "app/trace_manipulation.h"
#include "datastore/data_store.h"
#include "platform/settings_store.h"
#include "plot_document_fixture.h"
#include "processing/smoothing.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::PlotDocumentTest;
using testing::ScriptedUi;
using testing::TempDir;

struct NumberRow {
  const char* name;
  const char* text;
  std::optional<double> number;
  std::optional<int> whole;
};

TEST(FieldText, ReadsOnlyWholeFiniteNumbers) {
  const NumberRow rows[] = {
      {"plain", "12", 12.0, 12},
      {"blanksAround", "  -2.5 ", -2.5, std::nullopt},
      {"leadingPlus", "+4", 4.0, 4},
      {"exponent", "1e-3", 1e-3, std::nullopt},
      {"empty", "", std::nullopt, std::nullopt},
      {"blank", "   ", std::nullopt, std::nullopt},
      {"letters", "abc", std::nullopt, std::nullopt},
      {"trailingLetters", "12abc", std::nullopt, std::nullopt},
      {"nan", "nan", std::nullopt, std::nullopt},
      {"infinity", "inf", std::nullopt, std::nullopt},
      {"overflow", "1e400", std::nullopt, std::nullopt},
      {"twoSigns", "+-3", std::nullopt, std::nullopt},
      {"wholeTooBig", "99999999999", 99999999999.0, std::nullopt},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(parseNumber(r.text), r.number) << r.name;
    EXPECT_EQ(parseWholeNumber(r.text), r.whole) << r.name;
  }
  for (double v : {0.1, 1.0 / 3.0, -2e-300, 123456789.0}) EXPECT_EQ(parseNumber(numberText(v)), v) << v;
  EXPECT_EQ(numberText(0.5), "0.5");
}

struct LimitsRow {
  const char* name;
  PlotLimits limits;
  bool logX;
  const char* problem;
};

TEST(PlotLimits, RefusesWhatAnAxisCannotShow) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const LimitsRow rows[] = {
      {"ordinary", {200, 260, -10, 10}, false, ""},
      {"reversedIsSorted", {260, 200, 10, -10}, false, ""},
      {"notANumber", {nan, 260, 0, 1}, false, "Please enter a number for each limit."},
      {"equalX", {5, 5, 0, 1}, false, "The X limits are too close together."},
      {"tinyY", {0, 1, 1, 1 + 1e-9}, false, "The Y limits are too close together."},
      {"hugeSpan", {-1.7e308, 1.7e308, 0, 1}, false, "The X limits are too far apart."},
      {"logNeedsPositive", {0, 100, 0, 1}, true, "The X axis is logarithmic: its limits must be greater than 0."},
      {"logDecades", {1, 1000, 0, 1}, true, ""},
  };
  for (const auto& r : rows) EXPECT_EQ(plotLimitsProblem(r.limits, r.logX), r.problem) << r.name;
  const PlotLimits plotted = plottedLimits({10, 1000, 2, 3}, true);
  EXPECT_DOUBLE_EQ(plotted.xFrom, 1.0);
  EXPECT_DOUBLE_EQ(plotted.xTo, 3.0);
  EXPECT_DOUBLE_EQ(shownLimits(plotted, true).xTo, 1000.0);
  EXPECT_DOUBLE_EQ(shownLimits(plotted, true).yFrom, 2.0);
}

TEST(VisibleTraceRange, TakesOnlyRangesThatNameTraces) {
  struct Row {
    const char* name;
    VisibleTraceRange range;
    bool ok;
  } rows[] = {
      {"everyOther", {1, 4, 2}, true},     {"single", {3, 3, 1}, true},   {"endPastTheLast", {2, 99, 1}, true},
      {"zeroStep", {1, 4, 0}, false},      {"zeroStart", {0, 4, 1}, false}, {"endBeforeStart", {3, 2, 1}, false},
      {"startPastTheLast", {5, 9, 1}, false},
  };
  for (const auto& r : rows) EXPECT_EQ(visibleTraceRangeProblem(r.range, 4).empty(), r.ok) << r.name;
}

class TraceManipulationTest : public PlotDocumentTest {
 protected:
  std::vector<std::string> texts(const std::vector<TraceManipulation::Item>& items) const {
    std::vector<std::string> t;
    for (const auto& i : items) t.push_back(i.text);
    return t;
  }
  TraceManipulation dialog{doc};
};

TEST_F(TraceManipulationTest, MovesTracesBetweenTheListsThroughTheDocument) {
  doc.select(0, true);
  ASSERT_TRUE(doc.toggleBaseline());
  EXPECT_THAT(texts(dialog.visible()), ElementsAre("250 (Baseline)", "260", "270", "280"));

  // ">" on two traces: they leave the plot with the removal entry.
  ASSERT_TRUE(dialog.remove({2, 1}));
  EXPECT_THAT(texts(dialog.visible()), ElementsAre("250 (Baseline)", "280"));
  EXPECT_THAT(texts(dialog.removed()), ElementsAre("260", "270"));
  EXPECT_EQ(lastEntry().title, "Traces Removed :");
  EXPECT_EQ(lastEntry().text, "Traces Removed :\r\n\\..260\r\n\\..270\r\n");

  // "<" brings one back, listed in "Traces Added :".
  ASSERT_TRUE(dialog.restore({2}));
  EXPECT_THAT(texts(dialog.removed()), ElementsAre("260"));
  EXPECT_EQ(lastEntry().text, "Traces Added :\r\n\\..270\r\n");

  // ">>" takes every trace but the baseline; "<<" brings all back.
  ASSERT_TRUE(dialog.removeAll());
  EXPECT_THAT(texts(dialog.visible()), ElementsAre("250 (Baseline)"));
  EXPECT_FALSE(dialog.canRemoveAll());
  EXPECT_FALSE(dialog.removeAll()) << "nothing left to remove writes no entry";
  ASSERT_TRUE(dialog.restoreAll());
  EXPECT_THAT(texts(dialog.removed()), ElementsAre());
  EXPECT_FALSE(dialog.canRestoreAll());
}

TEST_F(TraceManipulationTest, ListSelectionIsThePlotsSelectionAndDrivesTheButtons) {
  EXPECT_FALSE(dialog.enabled(TraceButton::Remove));
  EXPECT_TRUE(dialog.enabled(TraceButton::SelectAll));
  dialog.selectVisible({1, 3});
  EXPECT_THAT(doc.selection(), ElementsAre(0, 1, 0, 1));
  EXPECT_TRUE(dialog.enabled(TraceButton::Remove));
  EXPECT_TRUE(dialog.enabled(TraceButton::Convert)) << "CD data";
  EXPECT_FALSE(dialog.enabled(TraceButton::SetBaseline)) << "two selected";
  EXPECT_FALSE(dialog.enabled(TraceButton::SubtractBaseline)) << "no baseline";
  dialog.selectVisible({3});
  EXPECT_THAT(doc.selection(), ElementsAre(0, 0, 0, 1));
  EXPECT_TRUE(dialog.enabled(TraceButton::SetBaseline));
  ASSERT_TRUE(doc.toggleBaseline());
  EXPECT_TRUE(dialog.enabled(TraceButton::SubtractBaseline));
  dialog.selectVisible({0, 1, 2, 3});
  EXPECT_THAT(doc.selection(), ElementsAre(1, 1, 1, 0)) << "the baseline never joins the selection";
  EXPECT_EQ(traceButtons().front().text, std::string("&Remove"));
  EXPECT_EQ(traceButtons().size(), 13u);
}

TEST(ExportDialog, OffersACopyInTheChosenFormatAndRemembersIt) {
  TempDir dir;
  const std::string source = dir.file("melt.dsx");
  testing::writeFile(source, "x");
  ExportDialogModel model(source, 0);
  EXPECT_EQ(model.path(), dir.file("Copy of melt.dsx")) << "never the source itself";
  model.setFormat(8);
  EXPECT_EQ(model.path(), dir.file("melt.csv"));
  EXPECT_EQ(model.request().formatIndex, 9);
  model.setPath(dir.file("mine.txt"));
  model.setFormat(9);
  EXPECT_EQ(model.path(), dir.file("mine.txt")) << "a typed name stays";
  EXPECT_EQ(ExportDialogModel::formatNames().at(6), "CDNN");
  EXPECT_THAT(exportWarningText(), HasSubstr("\"FDA Title 21 CFR Part 11\". \n\nThis action will be logged"));

  platform::SettingsStore settings(dir.file("viewer.conf"));
  EXPECT_EQ(storedExportFormat(settings), 0);
  rememberExportFormat(settings, 7);
  EXPECT_EQ(platform::SettingsStore(dir.file("viewer.conf")).getInt("Preferences\\Export", "Default", -1), 7);
  settings.setInt("Preferences\\Export", "Default", 42);
  EXPECT_EQ(storedExportFormat(settings), 0) << "an unknown row falls back to the first format";
}

TEST(ExportDialog, AcceptRefusesWhatCannotBeWrittenAndAsksBeforeReplacing) {
  TempDir dir;
  const std::string source = dir.file("melt.dsx");
  testing::writeFile(source, "x");
  ExportDialogModel model(source, 8);
  ScriptedUi ui;

  model.setPath("");
  EXPECT_FALSE(model.accept(ui));
  model.setPath(source);
  EXPECT_FALSE(model.accept(ui)) << "the source itself";
  model.setPath(dir.path().string());
  EXPECT_FALSE(model.accept(ui)) << "a folder";
  const std::string locked = dir.file("locked.csv");
  testing::writeFile(locked, "old");
  ::chmod(locked.c_str(), 0444);
  model.setPath(locked);
  EXPECT_FALSE(model.accept(ui));
  EXPECT_THAT(ui.shown.back().text, HasSubstr("read-only"));
  model.setPath(dir.file("absent/x.csv"));
  EXPECT_FALSE(model.accept(ui)) << "a folder that is not there";

  const std::string existing = dir.file("old.csv");
  testing::writeFile(existing, "old");
  model.setPath(existing);
  ui.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(model.accept(ui));
  EXPECT_EQ(ui.shown.back().text, existing + " already exists.\nDo you want to replace it?");
  EXPECT_TRUE(model.accept(ui));
  model.setPath(dir.file("new.csv"));
  EXPECT_TRUE(model.accept(ui));
  EXPECT_EQ(testing::readFile(locked), "old");
  EXPECT_EQ(exportRecordText(source, model.request()),
            "Data exported from " + source + " to " + dir.file("new.csv") + " (LumatixCSV).");
}

TEST(SaveTarget, NamesWhyASaveWouldBeRefused) {
  TempDir dir;
  EXPECT_EQ(saveTargetRefusal(dir.file("new.dsx")), "");
  const std::string locked = dir.file("locked.dsx");
  testing::writeFile(locked, "old");
  ::chmod(locked.c_str(), 0444);
  EXPECT_THAT(saveTargetRefusal(locked), HasSubstr("Can't open " + locked + " for writing.\nThe file is read-only"));
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THAT(saveTargetRefusal(fifo), HasSubstr("named pipe"));
  EXPECT_THAT(saveTargetRefusal(dir.file("absent/x.dsx")), HasSubstr("Can't open"));
  EXPECT_EQ(saveTargetRefusal(dir.path().string()), "") << "folders are judged by the tree-shaped saves";
  EXPECT_EQ(testing::readFile(locked), "old");
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 2u) << "the probe leaves no temporary behind";
}

TEST(DecomposeDialog, RefusesRangesThatSelectNothingAndTreesWithNothingToSplit) {
  TempDir dir;
  auto store = testing::cdStore();
  DecomposeDialogModel model(*store, dir.path().string());
  ASSERT_EQ(model.rows().size(), 2u);
  EXPECT_EQ(model.rows()[0].name, "Wavelength");
  EXPECT_EQ(model.problemSavingSubsets(), "");
  model.setPrimary(0, true);
  model.setPrimary(1, true);
  EXPECT_EQ(model.problem(), "Error! No more dimensions to select from.");
  model.setPrimary(1, false);
  model.setRange(1, 300, 400);
  EXPECT_EQ(model.problem(), "No value of Temperature lies between 300 and 400.");
  model.setRange(1, 270, 260);
  EXPECT_EQ(model.problem(), "The range of Temperature starts above its end (270 > 260).");
  model.setRange(1, std::numeric_limits<float>::quiet_NaN(), 260);
  EXPECT_EQ(model.problem(), "The range of Temperature must be two numbers.");
  model.setRange(1, 255, 275);
  EXPECT_EQ(model.problem(), "");
  EXPECT_EQ(model.choices()[1].rangeMin, 255.0f);
  model.setRootFolder(dir.file("absent"));
  EXPECT_EQ(model.problemSavingSubsets(), "Failed to Move to directory " + dir.file("absent"));
}

TEST(ConvertedFile, IsWrittenAsLumBinaryXBeforeItOpens) {
  TempDir dir;
  std::vector<std::string> opened;
  ConvertedFileOpener opener([&](const std::string& path) {
    opened.push_back(path);
    return true;
  });
  const std::string path = dir.file("melt-me.dsx");
  ASSERT_TRUE(opener.saveAndOpen(testing::cdStore(), path));
  EXPECT_THAT(opened, ElementsAre(path));
  datastore::DataStore back(true);
  ASSERT_TRUE(back.load(path, false));
  EXPECT_EQ(back.dimensions.size(), 2);

  ConvertedFileOpener refused([&](const std::string&) { return false; });
  EXPECT_FALSE(refused.saveAndOpen(testing::cdStore(), dir.file("second.dsx"))) << "no window: not shown";
  EXPECT_THROW(opener.saveAndOpen(testing::cdStore(), dir.file("absent/x.dsx")), std::runtime_error);
  EXPECT_EQ(opened.size(), 1u);
}

TEST(SmoothingPreview, ALongTraceIsPreviewedAtSampledPointsSmoothedAsTheWholeTrace) {
  constexpr std::size_t n = 100000;
  std::vector<double> x(n), y(n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = static_cast<double>(i);
    y[i] = std::sin(static_cast<double>(i) * 0.01) + static_cast<double>((i * 7919) % 13) * 0.01;
  }
  processing::CSGFilter filter(3, 2);
  SmoothingDialog dialog(filter, x, {{"t", y}}, static_cast<int>(n), true, 40);
  ASSERT_EQ(dialog.previewIndices().size(), kSmoothingPreviewPoints);
  EXPECT_EQ(dialog.previewIndices().front(), 0u);
  EXPECT_EQ(dialog.previewIndices().back(), n - 1);
  ASSERT_EQ(dialog.x().size(), kSmoothingPreviewPoints);

  processing::CSGFilter whole(3, 2);
  const auto full = processing::SmoothSG(whole, 40, {y});
  for (std::size_t k = 0; k < kSmoothingPreviewPoints; k += 97) {
    const std::size_t j = dialog.previewIndices()[k];
    EXPECT_EQ(dialog.x()[k], x[j]);
    EXPECT_EQ(dialog.preview().smoothed[0][k], full.smoothed[0][j]) << j;
    EXPECT_EQ(dialog.preview().residual[0][k], full.residual[0][j]) << j;
  }
  // A short trace is previewed whole.
  SmoothingDialog small(filter, {1, 2, 3, 4, 5}, {{"s", {1, 2, 3, 4, 5}}}, 5, true, 2);
  EXPECT_EQ(small.previewIndices().size(), 5u);
  EXPECT_EQ(small.windowValue(), 2);
}

TEST(ConvertDialogFields, OnlyTheFieldsAConversionReadsAreNeeded) {
  using F = ConvertDialog::Field;
  struct Row {
    const char* target;
    bool concentration, path, weight, residues;
  } rows[] = {
      {"deltaa", false, false, false, false}, {"me", true, true, false, false},  {"mcd", true, true, false, false},
      {"mre", true, true, false, true},       {"mrmcd", true, true, true, false}, {"mrme", true, true, true, false},
  };
  for (const auto& r : rows) {
    ConvertDialog d("mdeg");
    ASSERT_TRUE(d.setTarget(r.target)) << r.target;
    EXPECT_EQ(d.needs(F::Concentration), r.concentration) << r.target;
    EXPECT_EQ(d.needs(F::PathLength), r.path) << r.target;
    EXPECT_EQ(d.needs(F::ResidueWeight), r.weight) << r.target;
    EXPECT_EQ(d.needs(F::Residues), r.residues) << r.target;
  }
}

TEST(Advice, OnlyKnownAdviceCanBeSilencedAndStaysSilenced) {
  TempDir dir;
  const std::string key =
      adviceKey("For best results, the wavelength range should start at 260nm or above and end at 190nm or below.");
  EXPECT_EQ(key, "CdnnWavelengthRange");
  EXPECT_EQ(adviceKey("Warning!\nThe current dataset contains more than one Dimension."), "");
  platform::SettingsStore settings(dir.file("viewer.conf"));
  EXPECT_FALSE(adviceSilenced(settings, key));
  silenceAdvice(settings, key);
  silenceAdvice(settings, "");
  EXPECT_TRUE(adviceSilenced(platform::SettingsStore(dir.file("viewer.conf")), key));
  EXPECT_FALSE(adviceSilenced(settings, ""));
}

}  // namespace
}  // namespace lumatix::app
