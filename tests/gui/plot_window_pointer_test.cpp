// The plot answers the pointer, the wheel and the keys as a person uses them: real mouse and
// key events on the view change the highlight, the selection and the ranges, and traces
// dragged from one window and dropped on another are overlaid there.
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include "app/plot_document.h"
#include "app/trace_transfer.h"
#include "gui/plot_transfer.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui_test_support.h"
#include "plot_window_support.h"
#include "support/scripted_ui.h"

namespace app = lumatix::app;
namespace gui = lumatix::gui;
using lumatix::guitest::exampleFile;
using lumatix::guitest::openPlotWindow;
using C = app::PlotMenuCommand;

namespace {

std::unique_ptr<gui::PlotWindow> openWindow(app::Ui& ui) {
  return openPlotWindow(ui, lumatix::guitest::exampleFile("cd_thermal_melt.dsx"), {}, QSize(900, 650));
}

// The pixel of trace t at sample i, as the view lays the plot out now.
QPoint pixelOf(gui::PlotView* view, std::size_t t, std::size_t i) {
  const auto& g = view->graph();
  const auto p = g.toPixel({g.x()[i], g.plotted()[t][i]});
  return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
}

// A point of the plot area far from every trace: the top right corner, just inside.
QPoint emptySpot(gui::PlotView* view) {
  const auto& a = view->graph().area();
  return QPoint(static_cast<int>(a.right) - 3, static_cast<int>(a.top) + 3);
}

// A drag that enters the window and drops there, as the platform delivers it: the drop goes
// to the widget that accepted the entry. True when both were accepted.
bool dropOn(QWidget* window, const QMimeData* data) {
  QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(window, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(200, 200), Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(window, &drop);
  return drop.isAccepted();
}

}  // namespace

class PlotWindowPointerTest : public QObject {
  Q_OBJECT
 private slots:
  void highlightClickAndModifiers() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    gui::PlotView* view = w->view();
    app::PlotDocument& doc = w->document();
    // At 192 nm the melt's coolest and hottest traces lie far apart.
    const std::size_t i = view->graph().nearestSample(192);
    const QPoint onFirst = pixelOf(view, 0, i), onLast = pixelOf(view, 4, i);

    QTest::mouseMove(view, onFirst);
    QTRY_COMPARE(view->highlighted(), 0);
    QTest::mouseMove(view, emptySpot(view));
    QTRY_COMPARE(view->highlighted(), -1);

    QTest::mouseClick(view, Qt::LeftButton, {}, onFirst);
    QVERIFY(doc.isSelected(0));
    QCOMPARE(doc.selectedCount(), 1);
    QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, onLast);
    QCOMPARE(doc.selectedCount(), 2);
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, onFirst);
    QVERIFY(!doc.isSelected(0));
    QVERIFY(doc.isSelected(4));
    // A plain click on the one selected trace leaves nothing selected.
    QTest::mouseClick(view, Qt::LeftButton, {}, onLast);
    QCOMPARE(doc.selectedCount(), 0);

    QTest::mouseClick(view, Qt::LeftButton, {}, onFirst);
    QTest::mouseClick(view, Qt::LeftButton, {}, emptySpot(view));
    QCOMPARE(doc.selectedCount(), 0);
  }

  void rectangleWheelAndDoubleClickZoom() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    gui::PlotView* view = w->view();
    const auto& g = view->graph();
    const double x0 = g.xAxis().min, x1 = g.xAxis().max;
    const auto& a = g.area();
    const QPoint from(static_cast<int>(a.left + a.width() * 0.25), static_cast<int>(a.top + 5));
    const QPoint to(static_cast<int>(a.left + a.width() * 0.5), static_cast<int>(a.top + a.height() * 0.5));

    // The rectangle starts where the pointer first moves with the button down.
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, from);
    QTest::mouseMove(view, to);
    QVERIFY(g.dragging());
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    QVERIFY(g.zoomed());
    const double span = g.xAxis().max - g.xAxis().min;
    QVERIFY(span < 0.3 * (x1 - x0));
    QVERIFY(g.xAxis().min > x0);

    // Ctrl and the wheel: the x range alone, by a quarter of its span.
    const double yBefore = g.yAxis().max - g.yAxis().min;
    QWheelEvent wheel(QPointF(to), view->mapToGlobal(QPointF(to)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QCOMPARE(g.xAxis().max - g.xAxis().min, 0.75 * span);
    QCOMPARE(g.yAxis().max - g.yAxis().min, yBefore);

    // Shift and a double-click: both axes back to the data.
    QTest::mouseDClick(view, Qt::LeftButton, Qt::ShiftModifier, to);
    view->picture(view->size());
    QCOMPARE(g.xAxis().min, x0);
    QCOMPARE(g.xAxis().max, x1);

    // Reset Zoom after the context menu's Zoom In.
    w->run(C::ZoomIn);
    QVERIFY(g.xAxis().max - g.xAxis().min < x1 - x0);
    w->run(C::ResetZoom);
    QCOMPARE(g.xAxis().max - g.xAxis().min, x1 - x0);

    // A press and release at one pixel zooms nothing.
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseRelease(view, Qt::LeftButton, {}, from);
    QVERIFY(!g.zoomed());
  }

  // A plot too large to draw within a frame: after its first picture, a wheel step shows the
  // last picture moved at once and draws the new one off the GUI thread, which then shows
  // exactly what drawing it at once gives.
  void largePlotsAreDrawnOffTheGuiThread() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    gui::PlotView* view = w->view();
    view->setBackgroundDrawingFrom(1);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(!view->drawingInBackground());
    const QImage before = view->grab().toImage();

    QSignalSpy painted(view, &gui::PlotView::painted);
    view->zoomStep(true);
    view->repaint();
    QCOMPARE(painted.count(), 1);
    QVERIFY(view->drawingInBackground());
    // Meanwhile the axes are the earlier ones, and the plot area shows the earlier traces larger.
    const QImage meanwhile = view->grab().toImage();
    QVERIFY(meanwhile != before);

    QTRY_VERIFY(!view->drawingInBackground());
    view->repaint();
    const QImage drawn = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(drawn, view->picture(view->size()).convertToFormat(QImage::Format_RGB32));
    QVERIFY(drawn != meanwhile.convertToFormat(QImage::Format_RGB32));
    QVERIFY(!view->drawingInBackground());
  }

  void arrowsStepTracesAndTheReadOut() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    gui::PlotView* view = w->view();
    app::PlotDocument& doc = w->document();
    const int last = doc.dataSet().TraceCount() - 1;
    doc.select(last, true);
    view->setFocus();
    // Down from the last trace wraps to the first.
    QTest::keyClick(view, Qt::Key_Down);
    QVERIFY(doc.isSelected(0));
    QCOMPARE(doc.selectedCount(), 1);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(doc.selectedCount(), 2);
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(doc.selectedCount(), 1);
    QVERIFY(doc.isSelected(last));

    // The melt's wavelengths descend: Left (lower x) moves up the samples, and the read-out
    // shows the selected trace's values there.
    QVERIFY(view->graph().descendingX());
    const std::size_t before = view->graph().cursor();
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(view->graph().cursor(), before + 1);
    const auto& set = doc.dataSet();
    QCOMPARE(w->readOutX()->text(), QString::asprintf(" X : %g ", set.xA[before + 1]));
    QCOMPARE(w->readOutY()->text(), QString::asprintf(" Y : %f ", set.yA[static_cast<std::size_t>(last)][before + 1]));
    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(view->graph().cursor(), before);

    // Backspace removes the selection like Delete.
    QTest::keyClick(view, Qt::Key_Backspace);
    QCOMPARE(doc.presentCount(), last);
    QCOMPARE(doc.dataSet().history.back().title, std::string("Traces Removed :"));
    // With nothing selected it removes nothing.
    const auto entries = doc.dataSet().history.size();
    QTest::keyClick(view, Qt::Key_Backspace);
    QCOMPARE(doc.dataSet().history.size(), entries);
  }

  void tracesDraggedOntoAnotherWindowAreOverlaid() {
    lumatix::testing::ScriptedUi ui;
    auto source = openWindow(ui);
    auto target = openWindow(ui);
    QVERIFY(QTest::qWaitForWindowExposed(source.get()));
    gui::PlotView* view = source->view();
    std::unique_ptr<QMimeData> dragged;
    view->onStartDrag = [&](const lumatix::processing::CDataSet& payload) {
      dragged = gui::traceMimeData(source->document(), payload);
    };
    // A click alone starts no drag; a press on a trace and a move does.
    const std::size_t i = view->graph().nearestSample(192);
    const QPoint on = pixelOf(view, 1, i);
    QTest::mouseClick(view, Qt::LeftButton, {}, on);
    QVERIFY(!dragged);
    QTest::mousePress(view, Qt::LeftButton, Qt::ControlModifier, pixelOf(view, 3, i));
    QTest::mouseMove(view, on + QPoint(40, 40));
    QVERIFY(dragged);
    QTest::mouseRelease(view, Qt::LeftButton, {}, on + QPoint(40, 40));
    QVERIFY(!view->graph().zoomed());
    QVERIFY(dragged->hasFormat(gui::kDataSetMimeType));

    // Dropped on the other window: two overlaid traces and the entry naming the source file.
    dropOn(target.get(), dragged.get());
    app::PlotDocument& doc = target->document();
    QCOMPARE(doc.overlaidTraces().size(), std::size_t(2));
    QCOMPARE(doc.dataSet().history.back().title, std::string("Plot overlayed : "));
    QVERIFY(doc.dataSet().history.back().text.rfind(exampleFile("cd_thermal_melt.dsx"), 0) == 0);
    QCOMPARE(target->view()->overlays().size(), std::size_t(1));

    // Damaged bytes are refused with the reader's message, and nothing is overlaid.
    QMimeData bad;
    bad.setData(gui::kDataSetMimeType, QByteArray("LumBinaryX\nnot really"));
    dropOn(target.get(), &bad);
    QCOMPARE(doc.overlaidTraces().size(), std::size_t(2));
    QCOMPARE(ui.texts().back(), std::string("The file is corrupt.\n"));

    // Remove Overlaid Traces takes them away again.
    target->run(C::RemoveOverlaidTraces);
    QVERIFY(doc.overlaidTraces().empty());
  }

  void droppedFilesAreOverlaid() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(exampleFile("cd_thermal_melt.dsx")))});
    QVERIFY(dropOn(w.get(), &files));
    QCOMPARE(w->document().overlaidTraces().size(), static_cast<std::size_t>(w->document().presentCount()));
  }

  void copyToClipboardCarriesThePictureAndTheTraces() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->document().select(0, true);
    QTest::keyClick(w->view(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    QCOMPARE(picture.size(), w->view()->size());
    QCOMPARE(picture.pixelColor(2, 2), QColor(Qt::white));
    QVERIFY(data->hasFormat(gui::kDataSetMimeType));
    const QByteArray bytes = data->data(gui::kDataSetMimeType);
    auto store = app::decodeTraces(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    QCOMPARE(store->dimensions[1].size(), w->document().presentCount());
    QCOMPARE(app::transferredName(*store), exampleFile("cd_thermal_melt.dsx"));
  }
};

QTEST_MAIN(PlotWindowPointerTest)
#include "plot_window_pointer_test.moc"
