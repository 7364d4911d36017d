#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <regex>

#include "plot/data_set_graph.h"
#include "plot/graph.h"
#include "plot/recording_canvas.h"
#include "plot/svg_canvas.h"
#include "plot/two_d_point.h"

namespace lumatix::plot {
namespace {

void expectRefused(Graph& g, const std::vector<double>& x, const std::vector<std::vector<double>>& y,
                   const char* message) {
  try {
    g.SetData(x, y, {}, {}, {});
    FAIL() << message;
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), message);
  }
}

TEST(Graph, RefusesBadDataAndKeepsThePrevious) {
  Graph g;
  g.SetData({1, 2, 3}, {{4, 5, 6}}, {"t"}, {}, {});
  expectRefused(g, {}, {{1}}, "No x-axis data.");
  expectRefused(g, {1}, {}, "Data matrix is empty.");
  expectRefused(g, {1, 2}, {{1, 2}, {3}}, "Data matrix size mismatch.");
  g.setLogX(true);
  expectRefused(g, {-1, 0}, {{1, 2}}, "No x-axis data after removing negative log values.");
  EXPECT_EQ(g.sampleCount(), 3u);
  EXPECT_EQ(g.xMax(), 3);
}

TEST(Graph, ConstantXIsWidenedAndDescendingXIsMarked) {
  Graph g;
  g.SetData({5, 5, 5}, {{1, 2, 3}}, {"t"}, {}, {});
  EXPECT_EQ(g.xMin(), 4);
  EXPECT_EQ(g.xMax(), 6);
  g.SetData({260, 250, 240}, {{1, 2, 3}}, {"t"}, {}, {});
  EXPECT_TRUE(g.descendingX());
}

TEST(Graph, LogAxesDropOrMarkNonPositiveValues) {
  Graph g;
  g.setLogX(true);
  g.setLogY(true);
  g.SetData({-1, 10, 100}, {{5, 100, -3}}, {"t"}, {}, {});
  EXPECT_EQ(g.x(), (std::vector<double>{1, 2}));
  EXPECT_EQ(g.plotted()[0], (std::vector<float>{2, kLogMarker}));
}

// The graph draws the data set's own values; a logarithmic axis works on a copy of its own.
TEST(Graph, SharesTheDataSetsRowsAndLeavesThemAlone) {
  processing::CDataSet set;
  set.xA = {1, 10, 100};
  set.yA = {{10, 100, 0.1f}, {1, 2, 3}};
  set.yB = {{}, {}};
  set.zValues = {0, 1};
  set.traceState = {1, 1};
  set.selected = {0, 0};
  set.traceKind = {0, 0};
  set.traceNames = {"a", "b"};

  Graph g;
  showDataSet(g, set);
  EXPECT_TRUE(g.plotted()[0].sharesWith(set.yA[0]));
  EXPECT_TRUE(g.plotted()[1].sharesWith(set.yA[1]));

  Graph logY;
  logY.setLogY(true);
  showDataSet(logY, set);
  EXPECT_EQ(logY.plotted()[0], (std::vector<float>{1, 2, -1}));
  EXPECT_EQ(set.yA[0], (std::vector<float>{10, 100, 0.1f}));
}

// A trace with points past the saved view is joined into one row for drawing.
TEST(Graph, JoinsBothSegmentsOfATrace) {
  processing::CDataSet set;
  set.xA = {1, 2};
  set.xB = {3};
  set.yA = {{10, 20}};
  set.yB = {{30}};
  set.zValues = {0};
  set.traceState = {1};
  set.selected = {0};
  set.traceKind = {0};
  set.traceNames = {"a"};
  Graph g;
  showDataSet(g, set);
  EXPECT_EQ(g.plotted()[0], (std::vector<float>{10, 20, 30}));
  EXPECT_EQ(g.x(), (std::vector<double>{1, 2, 3}));
}

// Many long traces are drawn in two halves at once; together the halves draw every shown
// trace once, in order.
TEST(Graph, LayeredDrawingDrawsEveryTraceOnceInOrder) {
  const std::size_t points = 400000, traces = 7;
  std::vector<double> x(points);
  std::vector<std::vector<double>> y(traces, std::vector<double>(points));
  for (std::size_t i = 0; i < points; ++i) {
    x[i] = static_cast<double>(i);
    for (std::size_t t = 0; t < traces; ++t) y[t][i] = std::sin(static_cast<double>(i) * 1e-4 + static_cast<double>(t));
  }
  std::vector<bool> shown(traces, true);
  shown[1] = false;
  Graph g;
  g.SetData(x, y, {}, shown, {});
  RecordingCanvas inOrder(1200, 800), layered(1200, 800);
  layered.layers = true;
  g.Paint(inOrder);
  g.Paint(layered);
  EXPECT_EQ(inOrder.merges, 0);
  EXPECT_EQ(layered.merges, 1);
  ASSERT_EQ(layered.polylines.size(), inOrder.polylines.size());
  for (std::size_t i = 0; i < inOrder.polylines.size(); ++i) {
    EXPECT_EQ(layered.polylines[i].colour, inOrder.polylines[i].colour) << i;
    EXPECT_EQ(layered.polylines[i].points.size(), inOrder.polylines[i].points.size()) << i;
  }
}

TEST(Graph, TitlesDefaultToNoTitle) {
  Graph g;
  EXPECT_EQ(g.title1(), "no title");
  g.SetTitles("Wavelength (nm)", nullptr);
  EXPECT_EQ(g.title1(), "Wavelength (nm)");
  EXPECT_EQ(g.title2(), "no title");
}

TEST(Graph, PaintsTicksTitlesLegendAndEveryTraceInItsColour) {
  Graph g;
  g.setLegend(true);
  g.setGrid(true);
  g.SetTitles("Wavelength (nm)", "Circular Dichroism (mdeg)");
  g.SetData({180, 200, 220, 240, 260}, {{-5, 10, -20, 0, 1}, {1, 2, 3, 4, 5}}, {"20", "80 & up"}, {}, {true, false});
  SvgCanvas canvas(800, 500);
  g.Paint(canvas);
  std::string svg = canvas.svg();
  EXPECT_NE(svg.find(">Wavelength (nm)</text>"), std::string::npos);
  EXPECT_NE(svg.find(">80 &amp; up</text>"), std::string::npos);
  EXPECT_NE(svg.find(">200</text>"), std::string::npos);
  EXPECT_NE(svg.find("stroke=\"#ff0000\" stroke-width=\"2\""), std::string::npos);  // selected trace, bold
  EXPECT_NE(svg.find("stroke=\"#00d4ff\""), std::string::npos);
  EXPECT_NE(svg.find("stroke-dasharray"), std::string::npos);  // grid
  EXPECT_EQ(std::count(svg.begin(), svg.end(), '<') , std::count(svg.begin(), svg.end(), '>'));
}

// Infinite or NaN x or y values are gaps: the axes span the finite points, every point that
// is drawn lands at a finite pixel inside the plot, and the ticks are spread out.
TEST(Graph, NonFiniteValuesAreGapsAndLeaveTheAxesToTheFinitePoints) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  struct Row {
    const char* name;
    std::vector<double> x, y;
    std::size_t lines;  // polylines of two or more points
  };
  const Row rows[] = {
      {"infinite x", {0, inf, 2, 3, 4}, {1, 2, 3, 4, 5}, 1},
      {"NaN x", {0, 1, nan, 3, 4}, {1, 2, 3, 4, 5}, 2},
      {"NaN y", {0, 1, 2, 3, 4}, {1, nan, 3, 4, 5}, 1},
      {"infinite y", {0, 1, 2, 3, 4}, {1, 2, -inf, 4, 5}, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Graph g;
    g.SetData(row.x, {row.y}, {"t"}, {}, {});
    EXPECT_TRUE(std::isfinite(g.xMin()) && std::isfinite(g.xMax()));
    EXPECT_TRUE(std::isfinite(g.yMin()) && std::isfinite(g.yMax()));
    EXPECT_EQ(g.xMin(), 0);
    EXPECT_EQ(g.xMax(), 4);
    RecordingCanvas canvas(640, 480);
    g.Paint(canvas);
    const Rect area = g.plotArea(640, 480);
    EXPECT_EQ(canvas.polylines.size(), row.lines);
    for (const auto& line : canvas.polylines)
      for (const Point& p : line.points) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        EXPECT_GE(p.x, area.left - 1e-9);
        EXPECT_LE(p.x, area.right + 1e-9);
      }
    std::vector<double> tickRows;
    for (const auto& t : canvas.texts)
      if (t.h == HAlign::Right) tickRows.push_back(t.at.y);
    std::sort(tickRows.begin(), tickRows.end());
    ASSERT_GE(tickRows.size(), 2u);
    EXPECT_EQ(std::adjacent_find(tickRows.begin(), tickRows.end()), tickRows.end()) << "y labels stacked";
  }
}

// The y step is chosen for the data's range, not for the range widened by the margins that
// the plot shows: 0..1.1 has the step 0.1 and labels up to 1.1 (widened first it would get 0.2
// and stop at 1). Wide ranges keep their step too.
TEST(Graph, YTicksComeFromTheDataRangeNotTheWidenedOne) {
  struct Row {
    const char* name;
    std::vector<double> y;
    double step;
    std::vector<std::string> labels;
  };
  const Row rows[] = {
      {"0 to 1.1", {0, 1.1, 0.5}, 0.1, {"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1", "1.1"}},
      {"0 to 300", {0, 300, 150}, 50, {"0", "50", "100", "150", "200", "250", "300"}},
      {"-3 to 13", {-3, 13, 0}, 2, {"-2", "0", "2", "4", "6", "8", "10", "12"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Graph g;
    g.SetData({1, 2, 3}, {row.y}, {"t"}, {}, {});
    EXPECT_DOUBLE_EQ(g.yAxis().majorStep, row.step);
    // The shown range still has its margin of 5% a side.
    const double span = g.yMax() - g.yMin();
    EXPECT_DOUBLE_EQ(g.yAxis().min, g.yMin() - 0.05 * span);
    EXPECT_DOUBLE_EQ(g.yAxis().max, g.yMax() + 0.05 * span);
    RecordingCanvas canvas(640, 480);
    g.Paint(canvas);
    std::vector<std::string> labels;
    for (const auto& t : canvas.texts)
      if (t.h == HAlign::Right) labels.push_back(t.text);
    EXPECT_EQ(labels, row.labels);
  }
}

TEST(Graph, DataAndCanvasCoordinatesInvertEachOther) {
  Graph g;
  g.SetData({0, 10}, {{0, 100}}, {"t"}, {}, {});
  Rect area = g.plotArea(640, 480);
  Transform to = g.dataToCanvas(area);
  TwoDPoint corner = to.apply({g.xAxis().min, g.yAxis().min});
  EXPECT_DOUBLE_EQ(corner.x, area.left);
  EXPECT_DOUBLE_EQ(corner.y, area.bottom);
  TwoDPoint back = to.inverse().apply(to.apply({3.5, 42}));
  EXPECT_NEAR(back.x, 3.5, 1e-9);
  EXPECT_NEAR(back.y, 42, 1e-9);
}

TEST(TwoDPoint, IndexRulesAndMatrixMessages) {
  TwoDPoint p(1, 2);
  EXPECT_EQ(p[1], 2);
  try {
    p[2];
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "2D point index error. index =2");
  }
  p.Homogenise();
  EXPECT_EQ(p[2], 1);
  try {
    p[3];
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "Homogenised 2D point index error. index =3");
  }
  try {
    Matrix(2, 3) * Matrix(2, 3);
    FAIL();
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Columns in left matrix must equals rows in right matrix for multiplication.");
  }
  EXPECT_THROW(Matrix(-1, 3), std::length_error);
}

}  // namespace
}  // namespace lumatix::plot
