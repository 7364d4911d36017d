#include <gtest/gtest.h>

#include <regex>

#include "plot/graph.h"
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
  EXPECT_EQ(g.plotted()[0], (std::vector<double>{2, kLogMarker}));
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
