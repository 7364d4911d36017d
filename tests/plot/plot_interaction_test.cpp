#include <gtest/gtest.h>

#include <cmath>

#include "plot/data_set_graph.h"
#include "plot/plot_interaction.h"

namespace lumatix::plot {
namespace {

using processing::CDataSet;

// Traces over x = 0..10 at the given constant heights.
CDataSet flatTraces(const std::vector<double>& heights, bool descending = false) {
  CDataSet s;
  for (int i = 0; i <= 10; ++i) s.xA.push_back(descending ? 10 - i : i);
  for (std::size_t t = 0; t < heights.size(); ++t) {
    s.yA.emplace_back(s.xA.size(), heights[t]);
    s.yB.emplace_back();
    s.zValues.push_back(static_cast<double>(t));
    s.traceState.push_back(processing::kTracePresent);
    s.selected.push_back(0);
    s.traceKind.push_back(0);
    s.traceNames.push_back("T" + std::to_string(t + 1));
  }
  return s;
}

std::vector<int> selection(const CDataSet& s) { return s.selected; }

// A graph showing a data set, with an interaction whose callbacks are counted.
struct Fixture {
  explicit Fixture(CDataSet traces, bool logAxes = false) : set(std::move(traces)) {
    graph.setLogX(logAxes);
    graph.setLogY(logAxes);
    showDataSet(graph, set);
    callbacks.redraw = [this] { ++redraws; };
    callbacks.startDrag = [this](const CDataSet& payload) { dragged.push_back(payload.traceNames); };
    callbacks.readOut = [this](const std::string& x, const std::string& y) { readOut = x + "|" + y; };
    callbacks.removeSelected = [this] { ++removals; };
    interaction.emplace(graph, set, callbacks);
  }
  Point at(double x, double y) const { return graph.toPixel({x, y}); }
  void click(double x, double y, Modifiers m = {}) { interaction->press(at(x, y), m); }

  CDataSet set;
  Graph graph;
  InteractionCallbacks callbacks;
  std::optional<PlotInteraction> interaction;
  int redraws = 0, removals = 0;
  std::vector<std::vector<std::string>> dragged;
  std::string readOut;
};

TEST(PlotInteraction, HighlightsTheNearestTraceWithinOnePercentOfTheYSpan) {
  // The y axis shows -0.5..10.5: one percent is 0.11.
  Fixture f(flatTraces({0, 5, 10}));
  struct Row {
    const char* name;
    double x, y;
    int expected;
  } rows[] = {
      {"close above the middle trace", 5, 5.1, 1},
      {"between samples, nearest sample decides", 4.6, 9.95, 2},
      {"too far from every trace", 5, 5.2, -1},
      {"outside the widened extents", 10.8, 5, -1},
  };
  for (const Row& r : rows) EXPECT_EQ(f.interaction->traceAt(f.at(r.x, r.y)), r.expected) << r.name;
}

TEST(PlotInteraction, EqualTracesHighlightTheHigherIndexAndExcludedOnesNever) {
  Fixture f(flatTraces({5, 2, 5, 8}));
  EXPECT_EQ(f.interaction->traceAt(f.at(3, 5)), 2);
  f.set.traceState[2] = processing::kTraceExcluded;
  EXPECT_EQ(f.interaction->traceAt(f.at(3, 5)), 0);
  f.set.traceState[0] = processing::kTraceBaseline;  // highlighted, but a click does not pick it
  EXPECT_EQ(f.interaction->traceAt(f.at(3, 5)), 0);
  f.click(3, 5);
  EXPECT_EQ(selection(f.set), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(f.interaction->lastClicked(), -1);
}

TEST(PlotInteraction, ClicksSelectToggleAndOfferTheSelectedTracesForDragging) {
  Fixture f(flatTraces({0, 5, 10}));
  f.click(2, 5);
  EXPECT_EQ(selection(f.set), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(f.interaction->current(), 1);
  f.click(2, 10, {.shift = true});
  EXPECT_EQ(selection(f.set), (std::vector<int>{0, 1, 1}));
  f.click(2, 0, {.ctrl = true});
  EXPECT_EQ(selection(f.set), (std::vector<int>{1, 1, 1}));
  ASSERT_EQ(f.dragged.size(), 3u);
  EXPECT_EQ(f.dragged[1], (std::vector<std::string>{"T2", "T3"}));
  ASSERT_TRUE(f.interaction->dragPayload());
  EXPECT_EQ(f.interaction->dragPayload()->TraceCount(), 3);
  EXPECT_EQ(f.interaction->lastClicked(), 0);

  // A plain click on a selected trace clears the others and toggles it off.
  f.click(2, 10);
  EXPECT_EQ(selection(f.set), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(f.dragged.size(), 3u);
}

TEST(PlotInteraction, TheDragPayloadLeavesASelectedBaselineOut) {
  Fixture f(flatTraces({0, 5, 10}));
  f.set.traceState[0] = processing::kTraceBaseline;
  f.set.baselineIndex = 0;
  f.set.selected[0] = 1;
  f.click(2, 10, {.ctrl = true});
  EXPECT_EQ(selection(f.set), (std::vector<int>{1, 0, 1}));
  ASSERT_EQ(f.dragged.size(), 1u);
  EXPECT_EQ(f.dragged[0], (std::vector<std::string>{"T3"}));
}

TEST(PlotInteraction, AClickOnEmptySpaceClearsTheSelectionUnlessARemovalJustRan) {
  Fixture f(flatTraces({0, 5, 10}));
  f.click(2, 5);
  f.interaction->setRemovalRunning(true);
  f.click(2, 7.5);
  EXPECT_FALSE(f.interaction->removalRunning());
  EXPECT_EQ(f.interaction->selectedCount(), 1);
  f.click(2, 7.5);
  EXPECT_EQ(f.interaction->selectedCount(), 0);
  EXPECT_TRUE(f.interaction->selectionChanged());
}

TEST(PlotInteraction, APressAndReleaseAtOnePixelDoesNotZoomNorLeaveADragBehind) {
  Fixture f(flatTraces({0, 5, 10}));
  const Point p = f.at(3, 3);
  f.interaction->press(p, {});
  f.interaction->move(p, true);
  EXPECT_TRUE(f.graph.dragging());
  f.interaction->release(p);
  EXPECT_FALSE(f.graph.zoomed());
  EXPECT_FALSE(f.graph.dragging());
  EXPECT_DOUBLE_EQ(f.graph.xAxis().min, 0);
  EXPECT_DOUBLE_EQ(f.graph.xAxis().max, 10);

  // The next drag starts where it starts, not at the old click.
  f.interaction->move(f.at(6, 6), true);
  f.interaction->move(f.at(8, 8), true);
  f.interaction->release(f.at(8, 8));
  EXPECT_NEAR(f.graph.xAxis().min, 6, 1e-9);
  EXPECT_NEAR(f.graph.xAxis().max, 8, 1e-9);
}

TEST(PlotInteraction, TheZoomRectangleIsClampedToTheData) {
  struct Row {
    const char* name;
    double endX, endY;  // pixels relative to the plot area: <0 left/above, >1 right/below
    double xFrom, xTo, yFrom, yTo;
  } rows[] = {
      {"end left of the area", -0.2, 0.1, 0, 2, 2, -1},
      {"end right of the area", 1.2, 0.1, 2, 10, 2, -1},
      {"end below the area", 0.5, 1.3, 2, -1, 0, 2},
      {"end above the area", 0.5, -0.3, 2, -1, 2, 10.5},
  };
  for (const Row& r : rows) {
    Fixture f(flatTraces({0, 5, 10}));
    Graph overlay;
    showDataSet(overlay, flatTraces({0, 5, 10}));
    f.interaction->setOverlays({&overlay});
    const Rect& a = f.graph.area();
    const Point end{a.left + r.endX * a.width(), a.top + r.endY * a.height()};
    const Point endData = f.graph.toData(end);
    f.interaction->move(f.at(2, 2), true);
    f.interaction->move(end, true);
    f.interaction->release(end);
    const double xTo = r.xTo < 0 ? endData.x : r.xTo, yTo = r.yTo < 0 ? endData.y : r.yTo;
    for (const Graph* g : std::vector<const Graph*>{&f.graph, &overlay}) {
      EXPECT_NEAR(g->xAxis().min, std::min(r.xFrom, xTo), 1e-9) << r.name;
      EXPECT_NEAR(g->xAxis().max, std::max(r.xFrom, xTo), 1e-9) << r.name;
      EXPECT_NEAR(g->yAxis().min, std::min(r.yFrom, yTo), 1e-9) << r.name;
      EXPECT_NEAR(g->yAxis().max, std::max(r.yFrom, yTo), 1e-9) << r.name;
      EXPECT_TRUE(g->zoomed()) << r.name;
    }
    ASSERT_TRUE(f.graph.previousRanges()) << r.name;
    EXPECT_DOUBLE_EQ(f.graph.previousRanges()->right, 10) << r.name;
  }
}

TEST(PlotInteraction, TheWheelZoomsTheChosenAxesAndInThenOutIsNotTheStart) {
  struct Row {
    const char* name;
    Modifiers modifiers;
    bool x, y;
  } rows[] = {
      {"Ctrl: x only", {.ctrl = true}, true, false},
      {"Shift: y only", {.shift = true}, false, true},
      {"none: both", {}, true, true},
      {"Ctrl and Shift: both", {.shift = true, .ctrl = true}, true, true},
  };
  for (const Row& r : rows) {
    Fixture f(flatTraces({0, 5, 10}));
    const double xSpan = 10, ySpan = 11;
    f.interaction->wheel(120, r.modifiers);
    EXPECT_DOUBLE_EQ(f.graph.xAxis().max - f.graph.xAxis().min, r.x ? 0.75 * xSpan : xSpan) << r.name;
    EXPECT_DOUBLE_EQ(f.graph.yAxis().max - f.graph.yAxis().min, r.y ? 0.75 * ySpan : ySpan) << r.name;
    f.interaction->wheel(-120, r.modifiers);
    EXPECT_DOUBLE_EQ(f.graph.xAxis().max - f.graph.xAxis().min, r.x ? 0.9375 * xSpan : xSpan) << r.name;
    EXPECT_DOUBLE_EQ(f.graph.xAxis().min + f.graph.xAxis().max, 10) << r.name;  // centre kept
    EXPECT_EQ(f.interaction->pendingResets(), kWheelZoomed) << r.name;
  }
}

TEST(PlotInteraction, DoubleClicksResetTheAxesAtTheNextDrawing) {
  Fixture f(flatTraces({0, 5, 10}));
  f.graph.setXRange(2, 9);
  f.interaction->dataChanged();  // 2..9 is now the stored x range
  f.interaction->wheel(1, {});
  f.interaction->doubleClick({});
  EXPECT_EQ(f.interaction->pendingResets(), kResetDoubleClick);
  f.interaction->applyPendingResets();
  EXPECT_DOUBLE_EQ(f.graph.xAxis().min, 2);
  EXPECT_DOUBLE_EQ(f.graph.xAxis().max, 9);
  EXPECT_DOUBLE_EQ(f.graph.yAxis().min, -0.5);
  EXPECT_EQ(f.interaction->pendingResets(), 0u);

  f.interaction->doubleClick({.shift = true});
  EXPECT_EQ(f.interaction->pendingResets(), kResetBothAxes);
  f.interaction->applyPendingResets();
  EXPECT_DOUBLE_EQ(f.graph.xAxis().min, 0);
  EXPECT_DOUBLE_EQ(f.graph.xAxis().max, 10);
}

TEST(PlotInteraction, UpAndDownStepThroughThePresentTracesWithWrapAround) {
  struct Row {
    const char* name;
    std::vector<int> before;
    Key key;
    bool shift;
    std::vector<int> after;
  } rows[] = {
      {"Down from the last wraps to the first", {0, 0, 0, 1}, Key::Down, false, {1, 0, 0, 0}},
      {"Down skips the excluded trace", {1, 0, 0, 0}, Key::Down, false, {0, 0, 1, 0}},
      {"Up from the first wraps to the last", {1, 0, 0, 0}, Key::Up, false, {0, 0, 0, 1}},
      {"Shift+Down adds the next", {1, 0, 0, 0}, Key::Down, true, {1, 0, 1, 0}},
      {"Shift+Up adds from the last selected", {1, 0, 1, 0}, Key::Up, true, {1, 0, 1, 1}},
      {"Shift+Down with all selected changes nothing", {1, 1, 1, 1}, Key::Down, true, {1, 1, 1, 1}},
      {"nothing selected: nothing happens", {0, 0, 0, 0}, Key::Down, false, {0, 0, 0, 0}},
      {"all present ones selected: nothing found", {1, 0, 1, 1}, Key::Down, false, {1, 0, 1, 1}},
  };
  for (const Row& r : rows) {
    Fixture f(flatTraces({1, 2, 3, 4}));
    f.set.traceState[1] = processing::kTraceExcluded;
    f.set.selected = r.before;
    f.interaction->key(r.key, {.shift = r.shift});
    EXPECT_EQ(selection(f.set), r.after) << r.name;
  }
}

TEST(PlotInteraction, ArrowKeysMoveTheCursorTowardsLowerOrHigherXAndShowTheReadOut) {
  for (bool descending : {false, true}) {
    Fixture f(flatTraces({1, 2.5}, descending));
    f.click(4, 2.5);
    f.interaction->move(f.at(4, 2.5), false);
    EXPECT_EQ(f.graph.x()[f.graph.cursor()], 4);
    EXPECT_EQ(f.readOut, " X : 4 | Y : 2.500000 ");
    f.interaction->key(Key::Left, {});
    EXPECT_EQ(f.readOut, " X : 3 | Y : 2.500000 ");
    for (int i = 0; i < 20; ++i) f.interaction->key(Key::Right, {});
    EXPECT_EQ(f.graph.x()[f.graph.cursor()], 10) << "stops at the end";
    for (int i = 0; i < 20; ++i) f.interaction->key(Key::Left, {});
    EXPECT_EQ(f.graph.x()[f.graph.cursor()], 0) << "stops at the start";
  }
}

TEST(PlotInteraction, TheReadOutShowsMeasuredValuesOnLogarithmicAxes) {
  Fixture f(flatTraces({1, 100}), true);  // x = 0 is dropped: sample i is x = i + 1
  f.click(std::log10(4.0), 2);
  f.interaction->move(f.at(std::log10(4.0), 2), false);
  EXPECT_EQ(f.readOut, " X : 4 | Y : 100.000000 ");
}

TEST(PlotInteraction, RemovalKeysAskForTheRemovalOnlyWithASelection) {
  Fixture f(flatTraces({0, 5}));
  f.interaction->key(Key::Backspace, {});
  EXPECT_EQ(f.removals, 0);
  f.click(1, 5);
  f.interaction->key(Key::Delete, {});
  f.interaction->key(Key::Backspace, {});
  EXPECT_EQ(f.removals, 2);
}

}  // namespace
}  // namespace lumatix::plot
