// The plot window's menus are app's menu table: the same items in the same order with the same
// texts and keys, enabled by the table's rules as the document changes, with dialogs attached
// through the window's one seam; keys and the context menu run the document's commands.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include "app/menu_table.h"
#include "app/plot_document.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui_test_support.h"
#include "support/scripted_ui.h"

namespace app = lumatix::app;
namespace gui = lumatix::gui;
using C = app::PlotMenuCommand;

namespace {

std::string example(const char* name) { return std::string(qgetenv("LUMATIX_EXAMPLES").constData()) + "/" + name; }

std::unique_ptr<gui::PlotWindow> openWindow(app::Ui& ui, const char* file = "cd_thermal_melt.dsx") {
  auto doc = gui::openPlotDocument(example(file), ui, {});
  if (!doc) return nullptr;
  auto w = std::make_unique<gui::PlotWindow>(std::move(doc), ui);
  w->show();
  return w;
}

QList<QAction*> itemsOf(QMenu* menu) {
  QList<QAction*> items;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) items << a;
  return items;
}

}  // namespace

class PlotWindowMenuTest : public QObject {
  Q_OBJECT
 private slots:
  void theMenuBarIsTheTable() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    QVERIFY(w);
    const QList<QAction*> menus = w->menuBar()->actions();
    std::size_t row = 0;
    const auto rows = app::plotMenuItems();
    for (QAction* menuAction : menus) {
      QMenu* menu = menuAction->menu();
      QVERIFY(menu != nullptr);
      QCOMPARE(menu->title().toStdString(), std::string(app::plotMenuTitle(rows[row].menu)));
      for (QAction* item : itemsOf(menu)) {
        QVERIFY2(row < rows.size(), qPrintable(item->text()));
        QCOMPARE(item->text().toStdString(), app::plotMenuText(rows[row], w->document()));
        QCOMPARE(item, w->action(rows[row].command));
        QCOMPARE(item->isCheckable(), rows[row].checked != nullptr);
        // The key the text shows is the action's key.
        const std::string key = app::acceleratorOf(rows[row].text);
        QCOMPARE(item->shortcut().isEmpty(), key.empty());
        ++row;
      }
    }
    QCOMPARE(row, rows.size());
    QCOMPARE(w->action(C::SelectAll)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Space));
    QCOMPARE(w->action(C::RemoveSelected)->shortcut(), QKeySequence(Qt::Key_Delete));
    QVERIFY(w->action(C::Reset)->shortcuts().contains(QKeySequence(Qt::SHIFT | Qt::Key_Return)));
    QCOMPARE(w->action(C::ResetZoom)->shortcut(), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Z));
  }

  void enablingFollowsTheDocumentAndTheAttachedDialogs() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    app::PlotDocument& doc = w->document();
    QVERIFY(!w->action(C::RemoveSelected)->isEnabled());
    QVERIFY(!w->action(C::SubtractBaseline)->isEnabled());
    doc.select(1, true);
    QVERIFY(w->action(C::RemoveSelected)->isEnabled());
    QVERIFY(w->action(C::ToggleBaseline)->isEnabled());
    QVERIFY2(!w->action(C::Convert)->isEnabled(), "no processing dialogs attached");

    // The seam: a dialog makes its command available; the table still rules.
    QVERIFY(!w->action(C::Fitting)->isEnabled());
    int shown = 0;
    w->setDialog(C::Fitting, [&shown](gui::PlotWindow& window) {
      ++shown;
      QCOMPARE(window.document().selectedCount(), 1);
    });
    QVERIFY(w->action(C::Fitting)->isEnabled());
    w->action(C::Fitting)->trigger();
    QCOMPARE(shown, 1);
    doc.deselectAll();
    QVERIFY(!w->action(C::Fitting)->isEnabled());
    w->run(C::Fitting);
    QCOMPARE(shown, 1);
    w->setDialog(C::Fitting, {});
    doc.select(1, true);
    QVERIFY(!w->action(C::Fitting)->isEnabled());

    // A dialog attached to a command the window handles itself takes its place.
    int saved = 0;
    w->setDialog(C::SaveCurrentPlot, [&saved](gui::PlotWindow&) { ++saved; });
    w->action(C::SaveCurrentPlot)->trigger();
    QCOMPARE(saved, 1);
    QVERIFY(ui.fileDialogs.empty());
  }

  void keysRunTheCommands() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->activateWindow();
    app::PlotDocument& doc = w->document();
    const int traces = doc.presentCount();
    QVERIFY(traces >= 3);

    QTest::keyClick(w->view(), Qt::Key_L);
    QVERIFY(doc.viewOptions().legend);
    QCOMPARE(w->action(C::Legend)->text(), QStringLiteral("Hide &Legend\tL"));
    QTest::keyClick(w->view(), Qt::Key_G);
    QVERIFY(doc.viewOptions().grid);
    QVERIFY(w->action(C::Grid)->isChecked());

    QTest::keyClick(w->view(), Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(doc.selectedCount(), traces);
    QTest::keyClick(w->view(), Qt::Key_Space, Qt::AltModifier);
    QCOMPARE(doc.selectedCount(), 0);

    doc.select(0, true);
    QTest::keyClick(w->view(), Qt::Key_B);
    QVERIFY(doc.hasBaseline());
    doc.select(1, true);
    QTest::keyClick(w->view(), Qt::Key_Minus);
    QCOMPARE(doc.dataSet().TraceCount(), traces + 1);
    QCOMPARE(doc.dataSet().history.back().title, std::string("Baseline Subtraction:"));

    QTest::keyClick(w->view(), Qt::Key_Delete);
    QCOMPARE(doc.dataSet().history.back().title, std::string("Traces Removed :"));

    QTest::keyClick(w->view(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(doc.dataSet().history.back().title, std::string("Plot reset :"));
    QCOMPARE(doc.dataSet().TraceCount(), traces);
    QVERIFY(!doc.hasBaseline());

    // Average (A) of two traces, then Average All (Shift+A) keeps only the average.
    doc.select(0, true);
    doc.select(1, true);
    QTest::keyClick(w->view(), Qt::Key_A);
    QCOMPARE(doc.dataSet().TraceCount(), traces + 1);
    QTest::keyClick(w->view(), Qt::Key_A, Qt::ShiftModifier);
    QCOMPARE(doc.presentCount(), 1);

    // Keys of commands without their dialog do nothing.
    doc.reset();
    doc.select(0, true);
    const auto entries = doc.dataSet().history.size();
    QTest::keyClick(w->view(), Qt::Key_M);
    QTest::keyClick(w->view(), Qt::Key_F);
    QCOMPARE(doc.dataSet().history.size(), entries);
    QVERIFY(ui.shown.empty());
  }

  void theContextMenuWorksOnTheTraceUnderThePointer() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui);
    app::PlotDocument& doc = w->document();
    QMenu* menu = w->contextMenu(2);
    QStringList texts;
    for (QAction* a : itemsOf(menu)) texts << a->text();
    QCOMPARE(texts.first(), QStringLiteral("Set as Baseline\tB"));
    QVERIFY(texts.contains(QStringLiteral("&Print Plot")));
    QVERIFY(texts.contains(QStringLiteral("Show &Legend\tL")));
    // The legend's item is the menu bar's own action.
    for (QAction* a : itemsOf(menu))
      if (a->text() == QStringLiteral("Show &Legend\tL")) QCOMPARE(a, w->action(C::Legend));
    QAction* unset = nullptr;
    for (QAction* a : itemsOf(menu))
      if (a->text() == QStringLiteral("Unset Baseline\tB")) unset = a;
    QVERIFY(unset != nullptr && !unset->isEnabled());

    itemsOf(menu).first()->trigger();
    QVERIFY(doc.hasBaseline());
    QCOMPARE(doc.dataSet().baselineIndex, 2);

    // Without a trace under the pointer the trace's own items are not offered.
    menu = w->contextMenu(-1);
    texts.clear();
    for (QAction* a : itemsOf(menu)) texts << a->text();
    QVERIFY(!texts.contains(QStringLiteral("Set as Baseline\tB")));
    QVERIFY(!texts.contains(QStringLiteral("Select Trace")));
    for (QAction* a : itemsOf(menu))
      if (a->text() == QStringLiteral("Unset Baseline\tB")) unset = a;
    QVERIFY(unset->isEnabled());
    unset->trigger();
    QVERIFY(!doc.hasBaseline());

    menu = w->contextMenu(1);
    for (QAction* a : itemsOf(menu))
      if (a->text() == QStringLiteral("Select Trace")) a->trigger();
    QVERIFY(doc.isSelected(1));
    doc.deselectAll();
  }
};

QTEST_MAIN(PlotWindowMenuTest)
#include "plot_window_menu_test.moc"
