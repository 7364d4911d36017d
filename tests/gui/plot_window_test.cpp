// Plot windows: opened from the main frame through the viewer's maker, titled by their path,
// drawing their document's traces in the wheel's colours, redrawn on the document's notices,
// refused with the loader's message for a file that cannot be read, and leaving the main
// frame's list when closed.
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

#include "app/main_frame.h"
#include "app/plot_document.h"
#include "app/user_pref.h"
#include "gui/main_frame_window.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui/qt_ui.h"
#include "gui_test_support.h"
#include "platform/settings_store.h"
#include "support/scripted_ui.h"

using lumatix::gui::MainFrameWindow;
using lumatix::gui::PlotView;
using namespace lumatix::guitest;
namespace app = lumatix::app;
namespace gui = lumatix::gui;

namespace {

std::string example(const char* name) { return std::string(qgetenv("LUMATIX_EXAMPLES").constData()) + "/" + name; }

// How many pixels of an image have exactly this colour.
int pixelsOf(const QImage& image, QColor colour) {
  int n = 0;
  const QRgb want = colour.rgb();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == want ? 1 : 0;
  return n;
}

struct Frame {
  QTemporaryDir dir;
  lumatix::platform::SettingsStore settings{dir.path().toStdString() + "/viewer.conf"};
  app::CUserPref preferences;
  gui::QtUi ui;
  std::unique_ptr<MainFrameWindow> window;

  Frame() {
    preferences.workingDirectory = dir.path().toStdString();
    window = std::make_unique<MainFrameWindow>(
        ui, settings, preferences, gui::plotWindowMaker(ui, [this] { return &window->frame(); }));
    ui.setParent(window.get());
    window->show();
  }
  gui::PlotWindow* plot(std::size_t i) {
    auto windows = QApplication::topLevelWidgets();
    std::vector<gui::PlotWindow*> plots;
    for (QWidget* w : windows)
      if (auto* p = qobject_cast<gui::PlotWindow*>(w); p != nullptr && p->isVisible()) plots.push_back(p);
    std::sort(plots.begin(), plots.end(), [](auto* a, auto* b) { return a->windowTitle() < b->windowTitle(); });
    return i < plots.size() ? plots[i] : nullptr;
  }
};

}  // namespace

class PlotWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void opensFromTheMainFrameTitledByItsPath() {
    Frame f;
    const std::string melt = example("cd_thermal_melt.dsx");
    f.window->openFile(melt);
    QCOMPARE(f.window->frame().windowCount(), std::size_t(1));
    gui::PlotWindow* w = f.plot(0);
    QVERIFY(w != nullptr);
    QVERIFY(w->isWindow());
    QCOMPARE(w->windowTitle(), QString::fromStdString(melt));
    QCOMPARE(f.window->windowList()->count(), 1);
    QCOMPARE(f.window->windowList()->itemText(0), QStringLiteral("cd_thermal_melt.dsx"));
    QVERIFY(QTest::qWaitForWindowExposed(w));

    // The same exact path raises the window instead of opening a second.
    f.window->openFile(melt);
    QCOMPARE(f.window->frame().windowCount(), std::size_t(1));

    // New opens an empty window titled "Empty".
    f.window->frame().openEmpty();
    QCOMPARE(f.window->frame().windowCount(), std::size_t(2));
    QCOMPARE(f.window->windowList()->itemText(1), QStringLiteral("Empty"));

    // Closing a window (the data is saved: nothing is asked) takes it off the list.
    QVERIFY(w->close());
    QTRY_COMPARE(f.window->frame().windowCount(), std::size_t(1));
    QCOMPARE(f.window->windowList()->itemText(0), QStringLiteral("Empty"));
  }

  void drawsEveryTraceInItsWheelColourAndRedrawsOnNotices() {
    Frame f;
    f.window->openFile(example("cd_thermal_melt.dsx"));
    gui::PlotWindow* w = f.plot(0);
    QVERIFY(w != nullptr);
    app::PlotDocument& doc = w->document();
    QVERIFY(doc.presentCount() >= 3);
    PlotView* view = w->view();
    const QImage before = view->picture(QSize(800, 500));
    before.save(QString::fromStdString(f.dir.path().toStdString() + "/melt.png"));
    // The first three colours of the wheel: red, (0, 212, 255), (255, 85, 0).
    QVERIFY(pixelsOf(before, QColor(255, 0, 0)) > 50);
    QVERIFY(pixelsOf(before, QColor(0, 212, 255)) > 50);
    QVERIFY(pixelsOf(before, QColor(255, 85, 0)) > 50);

    // Removing the first trace takes its red away at the next drawing.
    QSignalSpy painted(view, &PlotView::painted);
    doc.select(0, true);
    QVERIFY(doc.removeSelected());
    QVERIFY(painted.wait(2000));
    const QImage after = view->picture(QSize(800, 500));
    QCOMPARE(pixelsOf(after, QColor(255, 0, 0)), 0);
    QVERIFY(pixelsOf(after, QColor(0, 212, 255)) > 50);
    // The data changed: closing asks, and No closes without saving.
    SeenMessage seen;
    answerNextMessage(seen, QMessageBox::No);
    QVERIFY(w->close());
    QCOMPARE(seen.text, QStringLiteral("Data is not saved.  Would you like to save it now?\n"));
  }

  void anUnreadableFileIsToldAndOpensNoWindow() {
    Frame f;
    const std::string bad = f.dir.path().toStdString() + "/bad.dsx";
    writeFile(bad, "not a data store\n");
    SeenMessage seen;
    answerNextMessage(seen, QMessageBox::Ok);
    f.window->openFile(bad);
    // The message, then after a blank line the reason the file was refused.
    const QString message = QString::fromStdString("Sorry!\n\nCan't open the file\n\n" + bad +
                                                   "\n\nfor reading.  Please check file permissions.");
    QVERIFY2(seen.text.startsWith(message + "\n\n"), qPrintable(seen.text));
    QVERIFY(seen.text.contains("not a data store"));
    QCOMPARE(f.window->frame().windowCount(), std::size_t(0));
    QVERIFY(f.plot(0) == nullptr);
  }

  void aWindowWhoseSaveFailsStaysOpen() {
    QTemporaryDir dir;
    lumatix::testing::ScriptedUi ui;
    gui::PlotWindowSettings settings;
    auto doc = gui::openPlotDocument(example("stopped_flow_absorbance.dsx"), ui, settings);
    QVERIFY(doc != nullptr);
    gui::PlotWindow w(std::move(doc), ui);
    w.show();
    w.document().select(0, true);
    QVERIFY(w.document().removeSelected());
    // Yes, save it; then a name in a folder that does not exist: the save fails.
    ui.answers = {app::Answer::Yes};
    ui.files = {{dir.path().toStdString() + "/missing/folder/x.dsx", 1}};
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QVERIFY(QString::fromStdString(ui.texts().back()).startsWith("Sorry. An error occurred while trying to save"));
    // Yes again, with a name that can be written: the window closes.
    ui.answers = {app::Answer::Yes};
    const std::string there = dir.path().toStdString() + "/x.dsx";
    ui.files = {{there, 1}};
    QSignalSpy closed(&w, &gui::PlotWindow::closed);
    QVERIFY(w.close());
    QCOMPARE(closed.count(), 1);
    QVERIFY(std::filesystem::exists(there));
  }
};

QTEST_MAIN(PlotWindowTest)
#include "plot_window_test.moc"
