// "Global Fit..." and "SVD..." of the plot window: their menu items, the dialogs driven as a
// person would (function, shared and locked boxes, start values, Fit, Stop, OK) and the
// result stores they hand over to open. LUMATIX_DIALOG_PICTURES=folder saves each dialog.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <cmath>

#include "app/menu_table.h"
#include "app/plot_document.h"
#include "datastore/data_store.h"
#include "gui/global_fit_dialog.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui/svd_dialog.h"
#include "gui_test_support.h"
#include "processing/data_set.h"
#include "support/scripted_ui.h"

namespace app = lumatix::app;
namespace gui = lumatix::gui;
using C = app::PlotMenuCommand;

namespace {

std::string example(const char* name) { return std::string(qgetenv("LUMATIX_EXAMPLES").constData()) + "/" + name; }

std::unique_ptr<gui::PlotWindow> openWindow(app::Ui& ui, const char* file) {
  auto doc = gui::openPlotDocument(example(file), ui, {});
  if (!doc) return nullptr;
  auto w = std::make_unique<gui::PlotWindow>(std::move(doc), ui);
  w->show();
  return w;
}

void picture(QWidget* widget, const char* name) {
  const QByteArray folder = qgetenv("LUMATIX_DIALOG_PICTURES");
  if (!folder.isEmpty()) widget->grab().save(QString(folder) + "/" + name + ".png");
}

struct Opened {
  std::vector<std::string> paths;
  std::vector<lumatix::datastore::smart_ptr<lumatix::datastore::DataStore>> stores;
};

gui::ResultOpener recorder(Opened& opened) {
  return [&opened](auto store, const std::string& path) {
    opened.paths.push_back(path);
    opened.stores.push_back(store);
    return true;
  };
}

constexpr int kShared = 1, kLocked = 2, kStart = 3;

// The dialog on every trace of an example's plot, shown.
struct DialogOnExample {
  explicit DialogOnExample(const char* file) : window(openWindow(ui, file)) {
    if (!window) return;
    const auto& set = window->document().dataSet();
    dialog = std::make_unique<gui::GlobalFitDialog>(set, std::vector<int>(static_cast<std::size_t>(set.TraceCount()), 1), ui);
    dialog->show();
  }
  lumatix::testing::ScriptedUi ui;
  std::unique_ptr<gui::PlotWindow> window;
  std::unique_ptr<gui::GlobalFitDialog> dialog;
};

}  // namespace

class GlobalFitDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void menuItemsNeedTwoTraces() {
    lumatix::testing::ScriptedUi ui;
    Opened opened;
    auto melt = openWindow(ui, "cd_two_state_melt.dsx");
    QVERIFY(melt);
    gui::attachDialogs(*melt, ui, {}, {});
    QVERIFY(melt->action(C::GlobalFit)->isEnabled());
    QVERIFY(melt->action(C::Svd)->isEnabled());
    QCOMPARE(melt->action(C::GlobalFit)->text(), QString("&Global Fit..."));
    auto single = openWindow(ui, "fluorescence_polarisation.dsx");
    QVERIFY(single);
    gui::attachDialogs(*single, ui, {}, {});
    QCOMPARE(single->document().presentCount(), 1);
    QVERIFY(!single->action(C::GlobalFit)->isEnabled());
    QVERIFY(!single->action(C::Svd)->isEnabled());
  }

  void fitsTheMeltWithSharedMidpointAndEnthalpy() {
    DialogOnExample on("cd_two_state_melt.dsx");
    QVERIFY(on.dialog);
    gui::GlobalFitDialog& dialog = *on.dialog;
    auto& ui = on.ui;
    QCOMPARE(dialog.functionBox()->currentText(), QString("Two-state unfolding"));
    QTableWidget* table = dialog.parameterTable();
    QCOMPARE(table->rowCount(), 6);
    for (int j = 0; j < 6; ++j) QCOMPARE(table->item(j, kShared)->checkState() == Qt::Checked, j >= 4);
    QVERIFY(!dialog.okButton()->isEnabled());
    QTest::mouseClick(dialog.fitButton(), Qt::LeftButton);
    QVERIFY(dialog.fitting());
    QVERIFY(!dialog.functionBox()->isEnabled());
    QVERIFY(dialog.stopButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.fitting(), 60000);
    QVERIFY(dialog.results());
    const auto& r = *dialog.results();
    QVERIFY(r.converged);
    QVERIFY(std::fabs(r.values[0][4] - 58.0) < 3 * r.errors[0][4]);
    QVERIFY(std::fabs(r.values[0][5] - 250000.0) < 3 * r.errors[0][5]);
    QVERIFY(dialog.okButton()->isEnabled());
    QVERIFY(dialog.statusLabel()->text().startsWith("The fit converged"));
    QVERIFY(table->item(4, 4)->text().startsWith("58.0"));
    QVERIFY(ui.texts().empty());
    picture(&dialog, "global-fit-dialog");
  }

  void wrongStartValuesAndRefusalsAreShownAndNothingRuns() {
    DialogOnExample on("cd_two_state_melt.dsx");
    QVERIFY(on.dialog);
    gui::GlobalFitDialog& dialog = *on.dialog;
    auto& ui = on.ui;
    dialog.estimateBox()->setChecked(false);
    QTableWidget* table = dialog.parameterTable();
    QVERIFY(table->item(0, kStart)->flags() & Qt::ItemIsEditable);
    table->item(0, kStart)->setText("abc");
    QTest::mouseClick(dialog.fitButton(), Qt::LeftButton);
    QVERIFY(!dialog.fitting());
    QCOMPARE(ui.texts().back(), std::string("The start value of aF is not a number: \"abc\"."));
    // Every parameter locked: the session's refusal, shown.
    table->item(0, kStart)->setText("1");
    for (int j = 0; j < table->rowCount(); ++j) table->item(j, kLocked)->setCheckState(Qt::Checked);
    QVERIFY(!dialog.startFit());
    QCOMPARE(ui.texts().back(), std::string("Every parameter is locked: there is nothing to fit."));
    QVERIFY(!dialog.results());
    QVERIFY(!dialog.okButton()->isEnabled());
  }

  void stopEndsTheFitWithoutResults() {
    DialogOnExample on("stopped_flow_absorbance.dsx");
    QVERIFY(on.dialog);
    gui::GlobalFitDialog& dialog = *on.dialog;
    QCOMPARE(dialog.functionBox()->currentText(), QString("Single Exponential"));
    QVERIFY(dialog.startFit());
    QTest::mouseClick(dialog.stopButton(), Qt::LeftButton);
    QVERIFY(!dialog.fitting());
    QVERIFY(!dialog.results());
    QVERIFY(!dialog.okButton()->isEnabled());
    QVERIFY(dialog.fitButton()->isEnabled());
    QCOMPARE(dialog.statusLabel()->text(), QString("The fit was stopped; nothing was taken over."));
  }

  void okOpensTheFittedTracesInAWindowOfTheirOwn() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui, "stopped_flow_absorbance.dsx");
    QVERIFY(w);
    Opened opened;
    bool answered = false;
    lumatix::guitest::onNextModal([&answered](QWidget* modal) {
      auto* dialog = qobject_cast<gui::GlobalFitDialog*>(modal);
      if (!dialog) return;
      QObject::connect(dialog, &gui::GlobalFitDialog::fitEnded, dialog, [dialog] { dialog->okButton()->click(); });
      dialog->fitButton()->click();
      answered = true;
    });
    const std::size_t history = w->document().dataSet().history.size();
    gui::runGlobalFitDialog(*w, false, recorder(opened));
    QVERIFY(answered);
    QCOMPARE(opened.stores.size(), std::size_t(1));
    QVERIFY(opened.paths[0].find("stopped_flow_absorbance-global-fit") != std::string::npos);
    const auto& store = *opened.stores[0];
    QVERIFY(!store.saved);
    QVERIFY(!store.attributes.dataUnmodified);
    QCOMPARE(store.history.back().title, std::string(app::kGlobalFittingHistoryTitle));
    // Three traces, their three fits and three residuals.
    QCOMPARE(store.dimensions[1].values.size(), 9);
    // The plot itself is as it was.
    QCOMPARE(w->document().dataSet().history.size(), history);
    QCOMPARE(w->document().dataSet().TraceCount(), 3);
  }

  void svdOffersTheComponentsAboveTheNoiseAndOpensFourStores() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui, "cd_two_state_melt.dsx");
    QVERIFY(w);
    Opened opened;
    int offered = 0, largest = 0, values = 0;
    lumatix::guitest::onNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<gui::SvdDialog*>(modal);
      if (!dialog) return;
      offered = dialog->components();
      largest = dialog->componentBox()->maximum();
      values = dialog->valueList()->count();
      picture(dialog, "svd-dialog");
      dialog->componentBox()->setValue(3);
      dialog->accept();
    });
    gui::runSvdDialog(*w, false, recorder(opened));
    QCOMPARE(values, 36);
    QCOMPARE(largest, 36);
    // A folded and an unfolded species, and their baselines' drift.
    QVERIFY2(offered >= 2 && offered <= 4, qPrintable(QString::number(offered)));
    QCOMPARE(opened.stores.size(), std::size_t(4));
    QVERIFY(opened.paths[1].find("cd_two_state_melt-svd-basis") != std::string::npos);
    QCOMPARE(opened.stores[1]->dimensions[1].values.size(), 3);
    QVERIFY(opened.stores[3]->history.back().text.find("Components : 3") != std::string::npos);
  }
};

QTEST_MAIN(GlobalFitDialogTest)
#include "global_fit_dialog_test.moc"
