// The QPainter canvas draws what the SVG canvas draws: filled rectangles, one-pixel pens, dotted
// lines, polylines and text, checked at pixels of a QImage; and the plot window's graph drawn on
// it puts each trace in its colour from the colour wheel.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <random>
#include <limits>

#include "gui/plot_picture.h"
#include "gui/qpainter_canvas.h"
#include "plot/graph.h"

using lumatix::gui::QPainterCanvas;
namespace plot = lumatix::plot;

namespace {

QImage blank(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

int countColour(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) ++n;
  return n;
}

}  // namespace

class QPainterCanvasTest : public QObject {
  Q_OBJECT
 private slots:
  void fillsAndOnePixelLines() {
    QImage image = blank(40, 40);
    {
      QPainter painter(&image);
      QPainterCanvas canvas(painter, 40, 40);
      canvas.fillRect({0, 0, 10, 10}, {255, 0, 0});
      canvas.setPen({0, 0, 255}, 1.0, plot::PenStyle::Solid);
      canvas.moveTo({5, 20});
      canvas.lineTo({35, 20});
    }
    QCOMPARE(image.pixelColor(5, 5), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(20, 20), QColor(0, 0, 255));
    // One pixel wide: the rows beside the line stay white.
    QCOMPARE(image.pixelColor(20, 19), QColor(Qt::white));
    QCOMPARE(image.pixelColor(20, 21), QColor(Qt::white));
  }

  void dottedLinesLeaveGaps() {
    QImage image = blank(60, 5);
    {
      QPainter painter(&image);
      QPainterCanvas canvas(painter, 60, 5);
      canvas.setPen({0, 0, 0}, 1.0, plot::PenStyle::Dotted);
      canvas.moveTo({0, 2});
      canvas.lineTo({60, 2});
    }
    int black = 0;
    for (int x = 0; x < 60; ++x) black += image.pixelColor(x, 2) == QColor(Qt::black);
    QVERIFY(black > 10);
    QVERIFY(black < 50);
  }

  void clipLimitsDrawingAndNonFinitePointsAreHarmless() {
    QImage image = blank(40, 40);
    {
      QPainter painter(&image);
      QPainterCanvas canvas(painter, 40, 40);
      canvas.setClip(plot::Rect{0, 0, 20, 40});
      canvas.fillRect({0, 0, 40, 40}, {0, 255, 0});
      canvas.setClip(std::nullopt);
      double inf = std::numeric_limits<double>::infinity();
      std::vector<plot::Point> points{{0, 0}, {inf, std::nan("")}, {39, 39}};
      canvas.setPen({0, 0, 0}, 1.0, plot::PenStyle::Solid);
      canvas.polyline(points);
    }
    QCOMPARE(image.pixelColor(10, 30), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(30, 10), QColor(Qt::white));
  }

  void textIsDrawnAndMeasured() {
    QImage image = blank(200, 40);
    double width = 0;
    {
      QPainter painter(&image);
      QPainterCanvas canvas(painter, 200, 40);
      plot::Font font;
      width = canvas.textWidth("Wavelength [nm]", font);
      canvas.text({100, 20}, "Wavelength [nm]", plot::HAlign::Centre, plot::VAlign::Middle, font, {0, 0, 0});
    }
    QVERIFY(width > 40 && width < 200);
    QVERIFY(countColour(image, QColor(Qt::white)) < 200 * 40);
    // Centred: nothing drawn at the far edges.
    for (int y = 0; y < 40; ++y) {
      QCOMPARE(image.pixelColor(1, y), QColor(Qt::white));
      QCOMPARE(image.pixelColor(198, y), QColor(Qt::white));
    }
  }

  void graphTracesInTheirColours() {
    plot::Graph graph;
    std::vector<double> x;
    std::vector<std::vector<double>> y(3);
    for (int i = 0; i < 200; ++i) {
      x.push_back(i);
      for (int t = 0; t < 3; ++t) y[t].push_back(std::sin(i / 20.0) + t);
    }
    graph.SetData(x, y, {"a", "b", "c"}, {true, true, true}, {false, false, false});
    QImage image = blank(640, 480);
    {
      QPainter painter(&image);
      QPainterCanvas canvas(painter, 640, 480);
      graph.Paint(canvas);
    }
    QCOMPARE(graph.colours().size(), std::size_t{3});
    for (std::uint32_t packed : graph.colours()) {
      plot::Colour c = plot::Colour::fromPacked(packed);
      QVERIFY2(countColour(image, QColor(c.red, c.green, c.blue)) > 100,
               qPrintable(QString("colour %1 not drawn").arg(packed, 6, 16)));
    }
  }

  // Many long traces are drawn on two threads, the later half on a layer laid over the
  // earlier: the picture must be the one drawing them one by one gives, to the pixel, with
  // overlapping traces, a selected (wider) one and a gap.
  void layeredTracesMatchTracesDrawnInOrder() {
    struct OneByOne : QPainterCanvas {
      using QPainterCanvas::QPainterCanvas;
      std::unique_ptr<plot::Canvas> newLayer() override { return nullptr; }
    };
    const int points = 300000, traces = 8;
    std::vector<double> x(points);
    std::vector<std::vector<double>> y(traces, std::vector<double>(points));
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 0.05);
    for (int i = 0; i < points; ++i) {
      x[i] = i;
      for (int t = 0; t < traces; ++t) y[t][i] = std::sin(i / 40000.0 + t * 0.4) + noise(random);
    }
    y[5][1234] = std::nan("");
    std::vector<bool> selected(traces, false);
    selected[2] = true;
    plot::Graph graph;
    graph.SetData(x, y, {}, std::vector<bool>(traces, true), selected);
    QVERIFY(static_cast<std::size_t>(points) * traces >= 2'000'000);
    bool gotLayer = false;
    const auto draw = [&](bool layered) {
      QImage image = blank(1200, 700);
      QPainter painter(&image);
      if (layered) {
        QPainterCanvas canvas(painter, 1200, 700);
        gotLayer = canvas.newLayer() != nullptr;
        graph.Paint(canvas);
      } else {
        OneByOne canvas(painter, 1200, 700);
        graph.Paint(canvas);
      }
      painter.end();
      return image;
    };
    const QImage layered = draw(true), ordered = draw(false);
    QVERIFY2(gotLayer, "no layer on a picture");
    QCOMPARE(layered, ordered);
    for (std::uint32_t packed : graph.colours()) {
      const plot::Colour c = plot::Colour::fromPacked(packed);
      QVERIFY(countColour(layered, QColor(c.red, c.green, c.blue)) > 100);
    }
  }

  // Polylines go straight into RGB32 images; they must land where the raster engine puts
  // them (compared on an image format it draws itself), stay inside the clip and keep the
  // pen's width.
  void polylinesIntoImagesMatchThePainters() {
    std::vector<plot::Point> points;
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(-20.0, 220.0);
    for (int i = 0; i < 60; ++i) points.push_back({coordinate(random), coordinate(random)});
    for (double width : {1.0, 2.0}) {
      QImage direct = blank(200, 200);
      QImage painted(200, 200, QImage::Format_ARGB32);
      painted.fill(Qt::white);
      for (QImage* image : {&direct, &painted}) {
        QPainter painter(image);
        QPainterCanvas canvas(painter, 200, 200);
        canvas.setClip(plot::Rect{20, 30, 180, 170});
        canvas.setPen({0, 0, 255}, width, plot::PenStyle::Solid);
        canvas.polyline(points);
      }
      const QColor blue(0, 0, 255);
      // Whether an image has the line's colour at a pixel or one of its eight neighbours.
      const auto near = [&blue](const QImage& image, int x, int y) {
        for (int v = std::max(0, y - 1); v <= std::min(199, y + 1); ++v)
          for (int u = std::max(0, x - 1); u <= std::min(199, x + 1); ++u)
            if (image.pixelColor(u, v) == blue) return true;
        return false;
      };
      int drawn = 0, astray = 0, missed = 0;
      for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
          const bool a = direct.pixelColor(x, y) == blue, b = painted.pixelColor(x, y) == blue;
          drawn += a ? 1 : 0;
          // A pixel's choice between two neighbours may differ; the lines may not.
          astray += a && !near(painted, x, y) ? 1 : 0;
          missed += b && !near(direct, x, y) ? 1 : 0;
          if (a) QVERIFY2(x >= 20 && x < 180 && y >= 30 && y < 170, qPrintable(QString("outside the clip at %1,%2").arg(x).arg(y)));
        }
      QVERIFY(drawn > 1000 * width);
      QVERIFY2(astray + missed < drawn / 100,
               qPrintable(QString("%1 astray, %2 missed of %3 pixels").arg(astray).arg(missed).arg(drawn)));
    }
  }

  // The command line's pictures: the same drawing in a PNG of the size asked for, or a PDF;
  // a file that cannot be written leaves nothing behind and says why.
  void pictureFiles() {
    QTemporaryDir dir;
    plot::Graph graph;
    std::vector<double> x{1, 2, 3, 4};
    graph.SetData(x, {{1, 3, 2, 4}}, {"a"}, {true}, {false});
    const std::string png = dir.filePath("p.png").toStdString(), pdf = dir.filePath("p.pdf").toStdString();
    lumatix::gui::savePlotPicture(graph, png, lumatix::gui::PictureFormat::Png, 320, 200);
    QImage image(QString::fromStdString(png));
    QCOMPARE(image.size(), QSize(320, 200));
    QVERIFY(countColour(image, QColor(255, 0, 0)) > 50);
    lumatix::gui::savePlotPicture(graph, pdf, lumatix::gui::PictureFormat::Pdf, 320, 200);
    QFile f(QString::fromStdString(pdf));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("%PDF-"));
    const std::string missing = dir.filePath("no/such/folder/p.png").toStdString();
    QVERIFY_THROWS_EXCEPTION(std::exception, lumatix::gui::savePlotPicture(graph, missing,
                                                                          lumatix::gui::PictureFormat::Png, 320, 200));
    QVERIFY(!QFile::exists(QString::fromStdString(missing)));
  }
};

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  QPainterCanvasTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "qpainter_canvas_test.moc"
