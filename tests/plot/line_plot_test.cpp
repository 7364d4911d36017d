#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "plot/line_plot.h"
#include "recording_canvas.h"

namespace lumatix::plot {
namespace {

CLinePlot plotOfLine() {
  CLinePlot p;
  p.SetTrace("Data", {{0, 0}, {2, 1.0f / 3}, {4, 8}}, 0x0000FF);
  return p;
}

TEST(LinePlot, ZoomsKeepTheirUndoStack) {
  CLinePlot p = plotOfLine();
  const PlotView start = p.view();
  EXPECT_EQ(start, (PlotView{0, 4, 0, 8}));
  EXPECT_FALSE(p.UndoZoom());

  p.ZoomIn(kZoomBoth);
  EXPECT_EQ(p.view(), (PlotView{0.5f, 3.5f, 1, 7}));
  EXPECT_TRUE(p.UndoZoom());
  EXPECT_EQ(p.view(), start);

  p.ZoomOut(kZoomX);
  p.ZoomOut(kZoomX);
  EXPECT_FLOAT_EQ(p.view().xTo - p.view().xFrom, 4 * 1.25f * 1.25f);
  EXPECT_EQ(p.view().yTo, 8);
  p.UndoZoom();
  p.UndoZoom();
  EXPECT_EQ(p.view(), start);
  EXPECT_EQ(p.undoDepth(), 0u);

  p.ZoomIn(kZoomY);
  const PlotView zoomed = p.view();
  p.ResetZoom();
  EXPECT_EQ(p.view(), start);
  p.UndoZoom();
  EXPECT_EQ(p.view(), zoomed);
}

TEST(LinePlot, TracesAreReplacedByNameAndFixedRangesOutliveThem) {
  CLinePlot p = plotOfLine();
  p.SetLineStyle("Data", kLineStyleDots);
  p.SetTrace("Data", {{1, -2}, {3, 2}}, 0x00FF00);
  ASSERT_EQ(p.traces().size(), 1u);
  EXPECT_EQ(p.traces()[0].lineStyle, kLineStyleDots);
  EXPECT_EQ(p.traces()[0].minY, -2);
  EXPECT_EQ(p.view(), (PlotView{1, 3, -2, 2}));
  EXPECT_TRUE(p.SetYRange(10, -10));
  EXPECT_FALSE(p.SetXRange(5, 5));
  p.SetTrace("Fit", {{0, 50}, {9, 60}}, 0xFF0000);
  EXPECT_EQ(p.view(), (PlotView{0, 9, -10, 10}));
  EXPECT_TRUE(p.RemoveTrace("Data"));
  EXPECT_FALSE(p.RemoveTrace("Data"));
  EXPECT_FALSE(p.SetLineStyle("Res", kLineStyleLines));
}

TEST(LinePlot, PaintsGridFrameTracesAndTheReadOuts) {
  CLinePlot p = plotOfLine();
  p.SetHighlight(0, 1);
  EXPECT_EQ(p.CoordinatesText(), "X: 2    Y: 0.333");
  EXPECT_EQ(p.ExtentText(), "Min: 0    Max: 8");
  RecordingCanvas c(400, 300);
  p.Paint(c);
  const Rect area = p.plotArea(400, 300);

  const auto grid = std::count_if(c.lines.begin(), c.lines.end(),
                                  [](const auto& l) { return l.colour == kLinePlotGrid; });
  EXPECT_GE(grid, 6);
  const auto frame = std::find_if(c.lines.begin(), c.lines.end(), [](const auto& l) { return l.points.size() == 5; });
  ASSERT_NE(frame, c.lines.end());
  EXPECT_EQ(frame->points.front(), frame->points.back());
  ASSERT_EQ(c.polylines.size(), 1u);
  EXPECT_EQ(c.polylines[0].colour, Colour(255, 0, 0));
  EXPECT_EQ(c.polylines[0].points.front(), (Point{area.left, area.bottom}));

  auto text = [&](const std::string& t) {
    return std::find_if(c.texts.begin(), c.texts.end(), [&](const auto& x) { return x.text == t; });
  };
  ASSERT_NE(text("X: 2    Y: 0.333"), c.texts.end());
  EXPECT_EQ(text("X: 2    Y: 0.333")->at, (Point{area.left + 1, area.bottom - 1}));
  ASSERT_NE(text("Min: 0    Max: 8"), c.texts.end());
  EXPECT_EQ(text("Min: 0    Max: 8")->h, HAlign::Right);
  EXPECT_NE(text("2.00"), c.texts.end());  // tick labels with two decimals
  EXPECT_NE(text("X Axis"), c.texts.end());

  p.SetDecimals(0, 1);
  p.SetShowCoordinates(false);
  RecordingCanvas again(400, 300);
  p.Paint(again);
  EXPECT_TRUE(std::none_of(again.texts.begin(), again.texts.end(), [](const auto& x) { return x.text[0] == 'X' && x.text[1] == ':'; }));
  EXPECT_TRUE(std::any_of(again.texts.begin(), again.texts.end(), [](const auto& x) { return x.text == "2"; }));
}

TEST(LinePlot, PixelsAndDataMapBothWaysAndFindTheNearestPoint) {
  CLinePlot p = plotOfLine();
  const Rect area = p.plotArea(400, 300);
  const Point corner = p.PixelOf(0, 0, 400, 300);
  EXPECT_DOUBLE_EQ(corner.x, area.left);
  EXPECT_DOUBLE_EQ(corner.y, area.bottom);
  const auto [x, y] = p.DataAt(p.PixelOf(2, 1.0 / 3, 400, 300), 400, 300);
  EXPECT_NEAR(x, 2, 1e-6);
  EXPECT_NEAR(y, 1.0 / 3, 1e-6);

  const Point middle = p.PixelOf(2, 1.0f / 3, 400, 300);
  EXPECT_EQ(p.NearestPoint({middle.x + 3, middle.y - 2}, 400, 300), std::make_pair(0, 1));
  EXPECT_EQ(p.NearestPoint({middle.x + 30, middle.y}, 400, 300), std::make_pair(-1, -1));
  EXPECT_EQ(p.NearestPoint({1, 1}, 400, 300), std::make_pair(-1, -1));  // outside the plot area
  p.ZoomIn(kZoomX);
  const Point zoomed = p.PixelOf(2, 1.0f / 3, 400, 300);
  EXPECT_EQ(p.NearestPoint(zoomed, 400, 300), std::make_pair(0, 1));
}

TEST(LinePlot, LongTracesDrawAFewPointsPerColumnThroughTheSameExtremes) {
  CLinePlot p;
  std::vector<std::pair<float, float>> points;
  for (int i = 0; i < 100000; ++i) points.emplace_back(static_cast<float>(i), static_cast<float>((i * 7919) % 1000));
  points[50000].second = 5000;
  p.SetTrace("Data", points, 0xFF0000);
  RecordingCanvas canvas(400, 300);
  p.Paint(canvas);
  ASSERT_EQ(canvas.polylines.size(), 1u);
  const auto& drawn = canvas.polylines[0].points;
  EXPECT_LT(drawn.size(), 4u * 400);
  const Point first = p.PixelOf(0, 0, 400, 300), peak = p.PixelOf(50000, 5000, 400, 300);
  const Point last = p.PixelOf(99999, points.back().second, 400, 300);
  EXPECT_EQ(drawn.front().x, first.x);
  EXPECT_EQ(drawn.back().x, last.x);
  EXPECT_NE(std::find_if(drawn.begin(), drawn.end(), [&](const Point& q) { return q.y == peak.y; }), drawn.end());
}

TEST(LinePlot, DecimalsFromTheTickStepKeepSmallRangesReadable) {
  CLinePlot p;
  p.SetTrace("Res", {{0, -0.0123f}, {2, 0.0191f}}, 0x0000FF);
  p.SetDecimalsFromTicks(true);
  RecordingCanvas c(400, 300);
  p.Paint(c);
  std::vector<std::string> labels;
  for (const auto& t : c.texts)
    if (t.h == HAlign::Right && t.v == VAlign::Middle) labels.push_back(t.text);
  ASSERT_GE(labels.size(), 3u);
  EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()).size(), labels.size()) << "labels repeat";
  for (const auto& l : labels) EXPECT_NE(l.find('.'), std::string::npos) << l;
}

TEST(LinePlot, AZoomedViewStaysWhileTracesAreReplacedUnderIt) {
  CLinePlot p = plotOfLine();
  p.SetTrace("Fit", {{0, 1}, {4, 6}}, 0x00FF00);
  EXPECT_EQ(p.view(), (PlotView{0, 4, 0, 8}));
  p.SetTrace("Fit", {{0, 1}, {6, 10}}, 0x00FF00);
  EXPECT_EQ(p.view(), (PlotView{0, 6, 0, 10})) << "an unzoomed view follows the extents";
  p.ZoomIn(kZoomBoth);
  const PlotView zoomed = p.view();
  p.SetTrace("Fit", {{0, 2}, {6, 12}}, 0x00FF00);
  EXPECT_EQ(p.view(), zoomed);
  EXPECT_EQ(p.extents(), (PlotView{0, 6, 0, 12}));
  p.ResetZoom();
  EXPECT_EQ(p.view(), p.extents());
}

TEST(LinePlot, HighlightedPointIsFramedAndDotsMarkEachPixelOnce) {
  CLinePlot p;
  std::vector<std::pair<float, float>> points;
  for (int i = 0; i < 10000; ++i) points.emplace_back(static_cast<float>(i % 100), static_cast<float>(i % 7));
  p.SetTrace("Data", points, 0xFF0000);
  p.SetLineStyle("Data", kLineStyleDots);
  p.SetHighlight(0, 3);

  struct Marks : RecordingCanvas {
    using RecordingCanvas::RecordingCanvas;
    int fills = 0;
    void fillRect(const Rect&, Colour) override { ++fills; }
  } c(400, 300);
  p.Paint(c);
  // 100 x values by 7 y values: at most 700 distinct pixels, whatever the number of points.
  EXPECT_LE(c.fills, 4 + 700);  // two grounds, two read-out grounds, the marks
  EXPECT_GE(c.fills, 2 + 100);
  const Point at = p.PixelOf(3, 3, 400, 300);
  const auto frame = std::find_if(c.lines.begin(), c.lines.end(), [&](const auto& l) {
    return l.colour == kBlack && l.points.size() == 5 && l.points[0] == Point{at.x - 3, at.y - 3};
  });
  EXPECT_NE(frame, c.lines.end());
  p.SetHighlight(-1, -1);
  RecordingCanvas plain(400, 300);
  p.Paint(plain);
  EXPECT_EQ(plain.lines.size() + 1, c.lines.size());
}

}  // namespace
}  // namespace lumatix::plot
