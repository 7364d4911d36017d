#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/menu_table.h"
#include "plot_document_fixture.h"

namespace lumatix::app {
namespace {

using C = PlotMenuCommand;
using testing::PlotDocumentTest;

bool enabled(C command, const PlotDocument& doc, int underPointer = -1) {
  for (auto items : {plotMenuItems(), plotContextItems()})
    for (const PlotMenuItem& item : items)
      if (item.command == command) return isEnabled(item, {doc, underPointer});
  ADD_FAILURE() << "no row for command " << static_cast<int>(command);
  return false;
}

TEST(PlotMenuTable, EveryCommandHasOneMenuBarRowOrIsTheContextMenusOwn) {
  std::map<C, int> rows;
  for (const PlotMenuItem& item : plotMenuItems()) {
    ++rows[item.command];
    EXPECT_NE(item.menu, PlotMenu::Context) << item.text;
    EXPECT_FALSE(item.onTrace) << item.text;
  }
  for (const auto& [command, count] : rows) EXPECT_EQ(count, 1) << static_cast<int>(command);
  const std::set<C> contextOnly{C::SetAsBaseline, C::SelectTrace, C::SelectRange, C::UnsetBaseline, C::ZoomIn, C::ZoomOut};
  for (const PlotMenuItem& item : plotContextItems()) {
    EXPECT_EQ(item.menu, PlotMenu::Context);
    EXPECT_EQ(contextOnly.count(item.command) == 1, menuItemOf(item.command) == nullptr) << item.text;
  }
  // The menus follow each other without coming back: File, View, Trace, Math, Scale, Window.
  int last = -1;
  for (const PlotMenuItem& item : plotMenuItems()) {
    EXPECT_GE(static_cast<int>(item.menu), last) << item.text;
    last = static_cast<int>(item.menu);
  }
}

TEST(PlotMenuTable, AcceleratorsAreReadAfterTheTabWithoutSpaces) {
  EXPECT_EQ(acceleratorOf("&Remove Selected\tDel "), "Del");
  EXPECT_EQ(acceleratorOf("&Average.\tA "), "A");
  EXPECT_EQ(acceleratorOf("Add Base&line\t+"), "+");
  EXPECT_EQ(acceleratorOf("&Zoom In"), "");
  EXPECT_EQ(acceleratorOf("x\t  "), "");
}

TEST(PlotMenuTable, EveryKeyRunsOneCommandAndEveryShownKeyWorks) {
  const auto keys = plotShortcuts();
  std::map<std::string, C> byKey;
  for (const auto& k : keys) EXPECT_TRUE(byKey.emplace(k.accelerator, k.command).second) << k.accelerator;
  // Each key a menu item shows runs something; the menu bar's own keys run their own item.
  for (const PlotMenuItem& item : plotMenuItems()) {
    const std::string key = acceleratorOf(item.text);
    if (!key.empty()) {
      EXPECT_EQ(byKey.at(key), item.command) << item.text;
    }
  }
  for (const PlotMenuItem& item : plotContextItems()) {
    const std::string key = acceleratorOf(item.text);
    if (!key.empty()) {
      EXPECT_EQ(byKey.count(key), 1u) << item.text;
    }
  }
  EXPECT_EQ(byKey.at("T"), C::SelectRange) << "the context menu's own key";
  EXPECT_EQ(byKey.at("B"), C::ToggleBaseline) << "the menu bar's key wins";
  EXPECT_EQ(byKey.at("Shift+A"), C::AverageAll);
}

class PlotMenuRules : public PlotDocumentTest {};

TEST_F(PlotMenuRules, EnablingFollowsTheSelectionAndTheBaseline) {
  struct Row {
    const char* name;
    std::vector<int> selected;
    int baseline;  // -1: none
    std::set<C> on;
  };
  const std::set<C> watched{C::RemoveSelected, C::RemoveUnselected, C::SimpleMath, C::DeselectAll, C::Fitting,
                            C::Average, C::Smooth, C::UnsetBaseline, C::AddBaseline, C::SubtractBaseline,
                            C::ToggleBaseline, C::Convert};
  const std::set<C> withSelection{C::RemoveSelected, C::RemoveUnselected, C::SimpleMath, C::DeselectAll,
                                  C::Fitting, C::Average, C::Smooth, C::Convert};
  const std::set<C> withBaseline{C::UnsetBaseline, C::AddBaseline, C::SubtractBaseline, C::ToggleBaseline};
  auto both = withSelection;
  both.insert(withBaseline.begin(), withBaseline.end());
  auto oneSelected = withSelection;
  oneSelected.insert(C::ToggleBaseline);
  const std::vector<Row> rows{
      {"nothing selected", {}, -1, {}},
      {"one selected", {1}, -1, oneSelected},
      {"two selected", {1, 2}, -1, withSelection},
      {"a baseline alone", {}, 0, withBaseline},
      {"a baseline and two selected", {1, 2}, 0, both},
      {"only the baseline carries the flag", {0}, 0, withBaseline},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    doc.reset();
    if (row.baseline >= 0) {
      ASSERT_TRUE(doc.setBaseline(row.baseline));
    }
    for (int t : row.selected) doc.select(t, true);
    for (C command : watched) {
      EXPECT_EQ(enabled(command, doc), row.on.count(command) == 1) << static_cast<int>(command);
    }
  }
}

TEST_F(PlotMenuRules, ConvertOnlyForCircularDichroismAndOnlineAutoScaleOnlyOnline) {
  doc.select(0, true);
  EXPECT_TRUE(enabled(C::Convert, doc));
  testing::ScriptedUi otherUi;
  auto absorbance = testing::cdStore("Absorbance");
  PlotDocument other(absorbance, "/data/a.dsx", otherUi);
  other.load(0, 1, 0, -1);
  other.select(0, true);
  EXPECT_FALSE(enabled(C::Convert, other));

  EXPECT_FALSE(enabled(C::OnlineAutoscale, doc));
  EXPECT_FALSE(enabled(C::LiveFit, doc));
  doc.setOnline(true);
  EXPECT_TRUE(enabled(C::OnlineAutoscale, doc));
  EXPECT_TRUE(enabled(C::LiveFit, doc));
}

TEST_F(PlotMenuRules, WhatReadsTheWholeStoreWaitsUntilTheAcquisitionHasEnded) {
  const std::set<C> wholeStore{C::SaveAll, C::SaveCurrentPlot, C::SaveSelectedTraces,
                               C::NewWindow, C::GlobalFit, C::Svd};
  for (C command : wholeStore) EXPECT_TRUE(enabled(command, doc)) << static_cast<int>(command);
  doc.setOnline(true);
  for (C command : wholeStore) EXPECT_FALSE(enabled(command, doc)) << static_cast<int>(command);
  EXPECT_TRUE(enabled(C::Print, doc));
  doc.setOnline(false);
  for (C command : wholeStore) EXPECT_TRUE(enabled(command, doc)) << static_cast<int>(command);
}

TEST_F(PlotMenuRules, TheOnlyTraceOfAPlotIsTakenBySimpleMathSoItIsOffered) {
  doc.select(1, true);
  doc.select(2, true);
  doc.select(3, true);
  ASSERT_TRUE(doc.removeSelected());
  ASSERT_EQ(doc.presentCount(), 1);
  EXPECT_TRUE(enabled(C::SimpleMath, doc));
  EXPECT_TRUE(enabled(C::Convert, doc));
  EXPECT_FALSE(enabled(C::Smooth, doc));
}

TEST_F(PlotMenuRules, TheContextMenusTraceCommandsNeedAPresentTraceUnderThePointer) {
  EXPECT_FALSE(enabled(C::SetAsBaseline, doc, -1));
  EXPECT_TRUE(enabled(C::SetAsBaseline, doc, 2));
  EXPECT_TRUE(enabled(C::SelectTrace, doc, 2));
  EXPECT_FALSE(enabled(C::SelectTrace, doc, 9));
  ASSERT_TRUE(doc.setBaseline(2));
  EXPECT_FALSE(enabled(C::SetAsBaseline, doc, 2)) << "already the baseline";
  EXPECT_FALSE(enabled(C::SelectTrace, doc, 2));
}

TEST_F(PlotMenuRules, TheLegendItemSaysWhatItWillDo) {
  const PlotMenuItem* legend = menuItemOf(C::Legend);
  ASSERT_NE(legend, nullptr);
  EXPECT_EQ(plotMenuText(*legend, doc), "Show &Legend\tL");
  PlotViewOptions options = doc.viewOptions();
  options.legend = true;
  doc.setViewOptions(options);
  EXPECT_EQ(plotMenuText(*legend, doc), "Hide &Legend\tL");
  EXPECT_EQ(plotMenuText(*menuItemOf(C::Grid), doc), "&Grid\tG");
}

TEST(PlotMenuTable, AnEmptyWindowOffersNothingThatNeedsData) {
  testing::ScriptedUi ui;
  PlotDocument empty(emptyPlotStore(), "", ui);
  EXPECT_FALSE(enabled(C::SaveAll, empty));
  EXPECT_FALSE(enabled(C::NewWindow, empty));
  EXPECT_FALSE(enabled(C::AuxDimensionCtrl, empty));
  EXPECT_TRUE(enabled(C::SaveCurrentPlot, empty)) << "refused with its message instead";
}

// A store of three dimensions: wavelength x temperature x repeat.
datastore::smart_ptr<datastore::DataStore> cubeStore() {
  auto store = testing::makeStore({"CircularDichroism"},
                                  {{"Wavelength", {200, 210, 220}}, {"Temperature", {20, 30}}, {"Repeat", {1, 2, 3}}},
                                  [](int, const std::vector<int>& i) {
                                    return static_cast<float>(100000 * i[2] + 1000 * i[1] + i[0]);
                                  });
  return datastore::smart_ptr<datastore::DataStore>(store.release());
}

TEST(PlotFurtherDimensions, TheSliderCutsTheTracesAgainAtTheChosenIndex) {
  testing::FixedProviders providers;
  testing::ScriptedUi ui;
  auto store = cubeStore();
  PlotDocument doc(store, "/data/cube.dsx", ui);
  doc.load(0, 1, 0, -1);
  EXPECT_THAT(doc.furtherDimensions(), ::testing::ElementsAre(2));
  EXPECT_TRUE(enabled(C::AuxDimensionCtrl, doc));
  const double first = doc.dataSet().yA[1][2];

  doc.select(0, true);
  ASSERT_TRUE(doc.toggleBaseline());
  const auto entries = store->history.size();
  ASSERT_TRUE(doc.showFurtherIndex(2, 2));
  EXPECT_EQ(store->dimensions[2].currentIndex, 2);
  EXPECT_NE(doc.dataSet().yA[1][2], first) << "another slice";
  EXPECT_FALSE(doc.hasBaseline()) << "the traces are cut anew";
  EXPECT_EQ(store->history.size(), entries) << "the baseline's entry stays in the history";
  EXPECT_EQ(doc.dataSet().history.size(), entries);

  // Reset goes back to this slice, not the first one.
  doc.reset();
  EXPECT_EQ(store->dimensions[2].currentIndex, 2);
  EXPECT_NE(doc.dataSet().yA[1][2], first);

  EXPECT_FALSE(doc.showFurtherIndex(1, 0)) << "the trace dimension is not a further one";
  EXPECT_FALSE(doc.showFurtherIndex(2, 7));
  EXPECT_EQ(store->dimensions[2].currentIndex, 2) << "a refused index changes nothing";
  EXPECT_FALSE(ui.shown.empty());
}

}  // namespace
}  // namespace lumatix::app
