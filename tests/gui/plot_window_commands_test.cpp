// The plot window's own commands through their menu items: the control for further
// dimensions, New Window with Cascade and Tile, Save All, Recompute Trace Colours and the
// logarithmic x axis.
#include <QAction>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QToolBar>

#include <filesystem>

#include "app/main_frame.h"
#include "app/plot_document.h"
#include "app/user_pref.h"
#include "datastore/lum_binary.h"
#include "gui/dimension_bar.h"
#include "gui/main_frame_window.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui/qt_ui.h"
#include "gui/window_arrangement.h"
#include "gui_test_support.h"
#include "plot_window_support.h"
#include "platform/atomic_file.h"
#include "platform/settings_store.h"
#include "processing/store_builder.h"
#include "support/scripted_ui.h"
#include "widgets/dimension_slider.h"

namespace app = lumatix::app;
namespace gui = lumatix::gui;
using lumatix::guitest::exampleFile;
using lumatix::guitest::openPlotWindow;
using C = app::PlotMenuCommand;

namespace {

std::unique_ptr<gui::PlotWindow> openWindow(app::Ui& ui, const std::string& path) { return openPlotWindow(ui, path); }

// A CD file of wavelength x temperature x repeat, each repeat's values 100000 apart.
std::string writeCube(const QTemporaryDir& dir) {
  auto store = lumatix::testing::makeStore(
      {"CircularDichroism"}, {{"Wavelength", {200, 210, 220, 230}}, {"Temperature", {20, 40, 60}}, {"Repeat", {1, 2, 3}}},
      [](int, const std::vector<int>& i) { return static_cast<float>(100000 * i[2] + 1000 * i[1] + i[0]); });
  const std::string path = dir.filePath("cube.dsx").toStdString();
  lumatix::platform::AtomicFile file(path);
  lumatix::datastore::writeLumBinaryX(*store, file.stream(), false);
  file.commit();
  return path;
}

}  // namespace

class PlotWindowCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void theFurtherDimensionsSliderCutsOtherTraces() {
    QTemporaryDir dir;
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui, writeCube(dir));
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    gui::DimensionBar* bar = w->dimensionBar();
    auto* toolBar = w->findChild<QToolBar*>(QStringLiteral("dimensionToolBar"));
    QVERIFY(toolBar != nullptr && toolBar->isVisible());
    QCOMPARE(bar->sliders().size(), std::size_t(1));
    QVERIFY(w->action(C::AuxDimensionCtrl)->isEnabled());
    QVERIFY(w->action(C::AuxDimensionCtrl)->isChecked());
    if (!qEnvironmentVariableIsEmpty("LUMATIX_PICTURES"))
      w->grab().save(qEnvironmentVariable("LUMATIX_PICTURES") + QStringLiteral("/plotWindow-further-dimension.png"));

    app::PlotDocument& doc = w->document();
    QCOMPARE(doc.dataSet().yA[0][0], 0.0);
    auto* slider = bar->sliders()[0]->findChild<QSlider*>();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QTRY_COMPARE(doc.dataSet().yA[0][0], 100000.0);
    QCOMPARE(doc.store()->dimensions[2].currentIndex, 1);
    QTest::keyClick(slider, Qt::Key_End);
    QTRY_COMPARE(doc.dataSet().yA[0][0], 200000.0);

    // The menu item hides the control and shows it again.
    w->action(C::AuxDimensionCtrl)->trigger();
    QVERIFY(!toolBar->isVisible());
    QVERIFY(!w->action(C::AuxDimensionCtrl)->isChecked());
    w->action(C::AuxDimensionCtrl)->trigger();
    QVERIFY(toolBar->isVisible());

    // A file of two dimensions has nothing to hold: no control, the item disabled.
    auto melt = openWindow(ui, exampleFile("cd_thermal_melt.dsx"));
    QVERIFY(!melt->findChild<QToolBar*>(QStringLiteral("dimensionToolBar"))->isVisible());
    QVERIFY(!melt->action(C::AuxDimensionCtrl)->isEnabled());
  }

  void newWindowJoinsTheFrameAndCascadeAndTileArrangeThePlots() {
    QTemporaryDir dir;
    lumatix::platform::SettingsStore settings{dir.path().toStdString() + "/viewer.conf"};
    app::CUserPref preferences;
    preferences.workingDirectory = dir.path().toStdString();
    gui::QtUi ui;
    std::unique_ptr<gui::MainFrameWindow> frame;
    frame = std::make_unique<gui::MainFrameWindow>(
        ui, settings, preferences, gui::plotWindowMaker(ui, [&frame] { return &frame->frame(); }));
    frame->openFile(exampleFile("cd_thermal_melt.dsx"));
    QCOMPARE(frame->frame().windowCount(), std::size_t(1));
    auto* handle = dynamic_cast<gui::PlotWindowHandle*>(frame->frame().find(exampleFile("cd_thermal_melt.dsx")));
    QVERIFY(handle != nullptr);
    gui::PlotWindow* first = handle->window();
    first->document().select(0, true);
    QVERIFY(first->document().removeSelected());

    first->action(C::NewWindow)->trigger();
    QCOMPARE(frame->frame().windowCount(), std::size_t(2));
    std::vector<gui::PlotWindow*> plots;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* p = qobject_cast<gui::PlotWindow*>(w); p != nullptr && p->isVisible()) plots.push_back(p);
    QCOMPARE(plots.size(), std::size_t(2));
    gui::PlotWindow* second = plots[0] == first ? plots[1] : plots[0];
    // Another plot of the same store, as it was loaded.
    QCOMPARE(second->document().store().get(), first->document().store().get());
    QCOMPARE(second->document().presentCount(), first->document().presentCount() + 1);
    QCOMPARE(second->windowTitle(), first->windowTitle());

    first->action(C::Tile)->trigger();
    const QRect area = first->screen()->availableGeometry();
    QVERIFY(area.contains(first->frameGeometry()));
    QVERIFY(area.contains(second->frameGeometry()));
    QVERIFY(!first->frameGeometry().intersects(second->frameGeometry()));
    first->action(C::Cascade)->trigger();
    QCOMPARE(plots[1]->frameGeometry().topLeft() - plots[0]->frameGeometry().topLeft(), QPoint(32, 32));

    // Closing one of them asks about the shared store's changes; No keeps the other open.
    lumatix::guitest::SeenMessage seen;
    lumatix::guitest::answerNextMessage(seen, QMessageBox::No);
    second->action(C::CloseWindow)->trigger();
    QTRY_COMPARE(frame->frame().windowCount(), std::size_t(1));
    QCOMPARE(seen.text, QStringLiteral("Data is not saved.  Would you like to save it now?\n"));
    frame->frame().closeAll();
  }

  void arrangementsStayInsideTheScreen() {
    const QRect area(0, 30, 1200, 800);
    for (int n : {1, 2, 3, 5, 9, 30}) {
      const auto tiles = gui::tileGeometries(area, n);
      QCOMPARE(int(tiles.size()), n);
      for (std::size_t i = 0; i < tiles.size(); ++i) {
        QVERIFY(area.contains(tiles[i]));
        for (std::size_t j = 0; j < i; ++j) QVERIFY(!tiles[i].intersects(tiles[j]));
      }
      for (const QRect& r : gui::cascadeGeometries(area, n, 32)) QVERIFY(area.contains(r));
    }
  }

  void saveAllAndItsRefusalThroughTheMenu() {
    QTemporaryDir dir;
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui, exampleFile("stopped_flow_absorbance.dsx"));
    const std::string wrong = dir.filePath("copy.txt").toStdString(), right = dir.filePath("copy.dsx").toStdString();
    ui.files = {{wrong, 1}, {right, 1}};
    w->action(C::SaveAll)->trigger();
    QVERIFY(!std::filesystem::exists(wrong));
    QVERIFY(QString::fromStdString(ui.texts().back()).contains("Can only save complete DataStore in LumBinaryX"));
    w->action(C::SaveAll)->trigger();
    QVERIFY(std::filesystem::exists(right));
    QCOMPARE(w->document().dataSet().history.back().title, std::string("Saved data :"));
    QVERIFY(w->document().store()->saved);
  }

  void recomputedColoursGoToTheShownTracesInOrder() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui, exampleFile("cd_thermal_melt.dsx"));
    const auto wheel = w->view()->graph().colours();
    w->document().select(0, true);
    QVERIFY(w->document().removeSelected());
    QCOMPARE(w->view()->graph().colours()[1], wheel[1]);
    QTest::keyClick(w->view(), Qt::Key_F10);
    // The first shown trace takes the wheel's first colour; the hidden one comes last.
    QCOMPARE(w->view()->graph().colours()[1], wheel[0]);
    QCOMPARE(w->view()->graph().colours()[0], wheel[4]);
  }

  void aLogarithmicXAxisWithoutPositiveXIsSwitchedOffAgain() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui, exampleFile("stopped_flow_absorbance.dsx"));
    QTest::keyClick(w->view(), Qt::Key_X, Qt::ShiftModifier);
    QVERIFY(w->document().viewOptions().logX);
    QVERIFY(w->action(C::XLogarithmic)->isChecked());
    QVERIFY(w->view()->graph().xAxis().max < 1.0);  // log10 of at most 2 s
    QTest::keyClick(w->view(), Qt::Key_X, Qt::ShiftModifier);
    QVERIFY(!w->document().viewOptions().logX);
  }
};

QTEST_MAIN(PlotWindowCommandsTest)
#include "plot_window_commands_test.moc"
