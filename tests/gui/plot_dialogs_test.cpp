// The plot window's dialogs driven as a person drives them: typing into their fields,
// pressing their buttons and keys, and checking what the plot document then holds (traces,
// history entries, files written) and what the dialogs show.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/plot_document.h"
#include "app/trace_choice.h"
#include "datastore/data_store.h"
#include "gui/convert_units_dialog.h"
#include "gui/plot_dialog_commands.h"
#include "gui/plot_limits_dialog.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui/preview_plot.h"
#include "gui/qt_ui.h"
#include "gui/simple_math_dialog.h"
#include "gui/smoothing_dialog.h"
#include "gui/text_view_dialog.h"
#include "gui/trace_manipulation_dialog.h"
#include "gui/visible_trace_range_dialog.h"
#include "gui_test_support.h"

using namespace lumatix::guitest;
namespace app = lumatix::app;
namespace gui = lumatix::gui;

namespace {

std::string example(const char* name) { return std::string(qgetenv("LUMATIX_EXAMPLES").constData()) + "/" + name; }

QPushButton* okOf(QDialogButtonBox* box) { return box->button(QDialogButtonBox::Ok); }

// A plot window on a copy of an example, with its dialog commands; converted files open as
// further windows kept here.
struct Plot {
  QTemporaryDir dir;
  gui::QtUi ui;
  std::unique_ptr<gui::PlotWindow> window;
  gui::PlotDialogCommands* commands = nullptr;
  std::vector<std::string> opened;

  explicit Plot(const char* file = "cd_thermal_melt.dsx") {
    const std::string copy = dir.path().toStdString() + "/" + file;
    std::filesystem::copy_file(example(file), copy);
    window = std::make_unique<gui::PlotWindow>(gui::openPlotDocument(copy, ui, {}), ui);
    ui.setParent(window.get());
    commands = gui::attachPlotDialogs(*window, ui, [this](const std::string& path) {
      opened.push_back(path);
      return true;
    });
    window->show();
  }
  app::PlotDocument& doc() { return window->document(); }
  std::string lastTitle() { return doc().dataSet().history.back().title; }
};

// Presses OK of the next modal dialog of type D after `fill` has filled it in.
template <typename D>
void answerDialog(std::function<void(D*)> fill, bool ok = true) {
  onNextModal([fill, ok](QWidget* w) {
    auto* d = qobject_cast<D*>(w);
    if (d == nullptr) {
      w->close();
      return;
    }
    fill(d);
    if (ok) d->accept();
    else d->reject();
  });
}

}  // namespace

class PlotDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void simpleMathRefusesEveryBadConstantWithADisabledOk() {
    struct Row {
      const char* text;
      bool ok;
    } rows[] = {{"", false}, {"abc", false}, {"nan", false}, {"inf", false}, {"1e39", false}, {"1e300", false},
                {"2,5", false}, {" 2.5 ", true}, {"-3", true}, {"3.4e38", true}, {"0", true}};
    app::SimpleMathDialog model;
    gui::SimpleMathDialogWindow dialog(model);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Simple Math"));
    QCOMPARE(dialog.constantField()->text(), QStringLiteral("0"));
    QCOMPARE(dialog.operations()->button(0)->text(), QStringLiteral("+"));
    QCOMPARE(dialog.operations()->button(3)->text(), QStringLiteral("/"));
    for (const auto& r : rows) {
      dialog.constantField()->selectAll();
      QTest::keyClicks(dialog.constantField(), QString::fromLatin1(r.text));
      if (r.text[0] == '\0') dialog.constantField()->clear();
      QVERIFY2(okOf(dialog.buttons())->isEnabled() == r.ok, r.text);
      QVERIFY2(dialog.hint()->text().isEmpty() == r.ok, r.text);
    }
    // Enter with a bad constant does not close the dialog.
    dialog.constantField()->setText("x");
    QTest::keyClick(dialog.constantField(), Qt::Key_Return);
    QVERIFY(dialog.isVisible());
  }

  void simpleMathSubtractsThroughTheDocumentAndRefusesDivisionByZero() {
    Plot p;
    p.doc().select(1, true);
    const int traces = p.doc().dataSet().TraceCount();
    answerDialog<gui::SimpleMathDialogWindow>([](gui::SimpleMathDialogWindow* d) {
      d->operations()->button(1)->click();
      d->constantField()->setText("3");
    });
    p.commands->simpleMath();
    QCOMPARE(p.doc().dataSet().TraceCount(), traces + 1);
    QCOMPARE(p.lastTitle(), std::string("Constant Addition"));
    QVERIFY(p.doc().dataSet().history.back().text.rfind("constant :-3 added to :", 0) == 0);
    const auto& set = p.doc().dataSet();
    QCOMPARE(set.yA.back()[10], static_cast<float>(set.yA[1][10] - 3.0));

    // Division by 1e-8 is refused with the program's message; nothing is added.
    p.doc().select(1, true);
    SeenMessage seen;
    answerDialog<gui::SimpleMathDialogWindow>([&seen](gui::SimpleMathDialogWindow* d) {
      d->operations()->button(3)->click();
      d->constantField()->setText("1e-8");
      answerNextMessage(seen, QMessageBox::Ok);
    });
    p.commands->simpleMath();
    QCOMPARE(seen.text, QStringLiteral("Cannot divide by zero. Please select a non-zero value to divide by.\n"));
    QCOMPARE(p.doc().dataSet().TraceCount(), traces + 1);
  }

  void smoothingFollowsTheSizeAndTheBoxRule() {
    Plot p;
    p.doc().select(0, true);
    p.doc().select(2, true);
    bool checked = false;
    answerDialog<gui::SmoothingDialogWindow>([&checked](gui::SmoothingDialogWindow* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Smoothing - Savitsky-Golay"));
      QCOMPARE(d->windowSize()->maximum(), 1000);
      QSignalSpy previewed(d, &gui::SmoothingDialogWindow::previewed);
      d->windowSize()->selectAll();
      QTest::keyClicks(d->windowSize(), "5");
      QCOMPARE(previewed.count(), 1);
      // 161 points: a size of 900 is taken as 80 and the field says so.
      d->windowSize()->setValue(900);
      QCOMPARE(d->windowSize()->value(), 80);
      d->windowSize()->setValue(4);
      QCOMPARE(d->smoothedPreview()->plot().traces().size(), std::size_t(2));
      QCOMPARE(d->smoothedPreview()->plot().traces()[1].name, std::string("Smooth (s) :2"));
      QCOMPARE(d->residualPreview()->plot().traces()[0].name, std::string("Smooth (r) :1"));
      // Replacing clears and disables the residual box; clearing it enables the box again.
      d->saveResiduals()->click();
      QVERIFY(d->saveResiduals()->isChecked());
      QTest::keyClick(d->replace(), Qt::Key_Space);
      QVERIFY(!d->saveResiduals()->isChecked());
      QVERIFY(!d->saveResiduals()->isEnabled());
      QTest::keyClick(d->replace(), Qt::Key_Space);
      QVERIFY(d->saveResiduals()->isEnabled());
      d->saveResiduals()->click();
      checked = true;
    });
    const int traces = p.doc().dataSet().TraceCount();
    p.commands->smooth();
    QVERIFY(checked);
    QCOMPARE(p.doc().dataSet().TraceCount(), traces + 4);
    QCOMPARE(p.lastTitle(), std::string("Smooth:"));
    QVERIFY(p.doc().dataSet().history.back().text.find("Window Size    :4\r\n") != std::string::npos);
  }

  void smoothingAMillionPointsStaysInteractive() {
    // One trace of a million points: every turn of the spin control recomputes a preview of
    // at most 2048 points, so it answers at once however long the trace is.
    constexpr int n = 1000000;
    std::vector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) {
      x[static_cast<std::size_t>(i)] = i;
      y[static_cast<std::size_t>(i)] = std::sin(i * 1e-4) + (i % 7) * 0.01;
    }
    lumatix::processing::CSGFilter filter(3, 2);
    const auto start = std::chrono::steady_clock::now();
    app::SmoothingDialog model(filter, x, {{"long", y}}, n, true, 1);
    gui::QtUi ui;
    gui::SmoothingDialogWindow dialog(model, ui);
    dialog.show();
    for (int v : {10, 100, 500, 1000}) dialog.windowSize()->setValue(v);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    qInfo("a million points: opened and four sizes previewed in %.3f s", seconds);
    QCOMPARE(model.windowValue(), 1000);
    QCOMPARE(dialog.smoothedPreview()->plot().traces()[0].points.size(), app::kSmoothingPreviewPoints);
  }

  void convertDialogRefusesBadFieldsAndSwapsTheConcentration() {
    app::ConvertDialog model("mdeg");
    gui::QtUi ui;
    gui::ConvertUnitsDialogWindow dialog(model, ui);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Convert CD Units"));
    QCOMPARE(dialog.target()->count(), 6);
    QCOMPARE(dialog.target()->itemText(0), QStringLiteral("delta A"));
    // delta A needs nothing: every sample field is disabled and OK enabled.
    QVERIFY(!dialog.pathLength()->isEnabled());
    QVERIFY(okOf(dialog.buttons())->isEnabled());

    dialog.target()->setCurrentText("molar ellipticity");
    QCOMPARE(dialog.concentrationLabel()->text().remove('&'), QStringLiteral("Concentration (M)"));
    QVERIFY(dialog.pathLength()->isEnabled());
    QVERIFY(!dialog.residueWeight()->isEnabled());
    const char* bad[] = {"", "abc", "-1", "2e10", "nan"};
    for (const char* text : bad) {
      dialog.pathLength()->setText(QString::fromLatin1(text));
      QVERIFY2(!okOf(dialog.buttons())->isEnabled(), text);
      QVERIFY2(!dialog.hint()->text().isEmpty(), text);
    }
    dialog.pathLength()->setText("0.1");
    dialog.concentration()->setText("1e-4");
    QVERIFY(okOf(dialog.buttons())->isEnabled());
    // The mass concentration keeps its own text when the kind changes back and forth.
    dialog.target()->setCurrentText("mean residue molar ellipticity");
    QCOMPARE(dialog.concentrationLabel()->text().remove('&'), QStringLiteral("Concentration (mg/ml):"));
    QCOMPARE(dialog.concentration()->text(), QStringLiteral("0"));
    dialog.concentration()->setText("0.2");
    dialog.target()->setCurrentText("molar ellipticity");
    QCOMPARE(dialog.concentration()->text(), QStringLiteral("1e-4"));
    dialog.target()->setCurrentText("mean residue molar ellipticity");
    QCOMPARE(dialog.concentration()->text(), QStringLiteral("0.2"));
    dialog.residues()->setText("12.5");
    QVERIFY2(okOf(dialog.buttons())->isEnabled(), "the residues play no part here");

    // A weight of 1 passes the fields but not the model's check: the message, and the dialog stays.
    dialog.residueWeight()->setText("1");
    SeenMessage seen;
    answerNextMessage(seen, QMessageBox::Ok);
    okOf(dialog.buttons())->click();
    QCOMPARE(seen.text, QStringLiteral("Sorry! The mean residue molecular weight must be greater than 1.0.\n"));
    QVERIFY(dialog.isVisible());
    dialog.residueWeight()->setText("110");
    okOf(dialog.buttons())->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(model.massConcentration(), 0.2);
    QCOMPARE(model.molarConcentration(), 1e-4);
    QCOMPARE(model.residueWeight(), 110.0);
  }

  void convertWritesTheNewFileAndOpensIt() {
    Plot p;
    p.doc().select(0, true);
    answerDialog<gui::ConvertUnitsDialogWindow>([](gui::ConvertUnitsDialogWindow* d) {
      d->target()->setCurrentText("molar ellipticity");
      d->concentration()->setText("1e-4");
      d->pathLength()->setText("0.1");
    });
    const auto before = p.doc().dataSet().yA[0];
    p.commands->convert();
    QCOMPARE(p.opened.size(), std::size_t(1));
    const std::string written = p.opened[0];
    QVERIFY(std::filesystem::exists(written));
    QCOMPARE(std::filesystem::path(written).extension().string(), std::string(".dsx"));
    lumatix::datastore::DataStore back(true);
    QVERIFY(back.load(written, false));
    QCOMPARE(p.doc().dataSet().yA[0], before);
    QVERIFY(!p.doc().store()->history.empty());
  }

  void traceManipulationMovesTracesAndRunsTheButtons() {
    Plot p;
    p.commands->selectionDialog();
    gui::TraceManipulationDialog* d = p.commands->selectionDialogWindow();
    QVERIFY(d != nullptr);
    QCOMPARE(d->windowTitle(), QStringLiteral("Trace Manipulation"));
    QCOMPARE(d->visibleList()->count(), 5);
    QVERIFY2(!d->button(app::TraceButton::Fit)->isVisibleTo(d), "no fitting dialog attached");
    QVERIFY(!d->button(app::TraceButton::Remove)->isEnabled());

    // Choosing in the visible list selects in the plot.
    d->visibleList()->item(1)->setSelected(true);
    d->visibleList()->item(3)->setSelected(true);
    QVERIFY(p.doc().isSelected(1));
    QVERIFY(p.doc().isSelected(3));
    QVERIFY(d->button(app::TraceButton::Remove)->isEnabled());
    // ">" moves them to the removed list, with the removal entry.
    d->moveButton(">")->click();
    QCOMPARE(d->visibleList()->count(), 3);
    QCOMPARE(d->removedList()->count(), 2);
    QCOMPARE(p.lastTitle(), std::string("Traces Removed :"));
    // "<" on one of them brings it back with "Traces Added :".
    d->removedList()->item(0)->setSelected(true);
    d->moveButton("<")->click();
    QCOMPARE(d->removedList()->count(), 1);
    QCOMPARE(p.lastTitle(), std::string("Traces Added :"));
    // "<<" and ">>".
    d->moveButton("<<")->click();
    QCOMPARE(d->removedList()->count(), 0);
    d->moveButton(">>")->click();
    QCOMPARE(d->visibleList()->count(), 0);
    d->moveButton("<<")->click();

    // The buttons run the plot's commands: Select All, Set Baseline on one, Subtract Baseline.
    d->button(app::TraceButton::SelectAll)->click();
    QCOMPARE(p.doc().selectedCount(), 5);
    QCOMPARE(d->visibleList()->selectedItems().size(), 5);
    d->button(app::TraceButton::DeselectAll)->click();
    d->visibleList()->item(0)->setSelected(true);
    d->button(app::TraceButton::SetBaseline)->click();
    QVERIFY(p.doc().hasBaseline());
    QVERIFY(d->visibleList()->item(0)->text().endsWith(" (Baseline)"));
    d->visibleList()->item(2)->setSelected(true);
    const int traces = p.doc().dataSet().TraceCount();
    d->button(app::TraceButton::SubtractBaseline)->click();
    QCOMPARE(p.doc().dataSet().TraceCount(), traces + 1);
    QCOMPARE(d->visibleList()->count(), traces + 1);  // the dialog follows the document

    // "Thin Data" opens the visible trace range.
    answerDialog<gui::VisibleTraceRangeDialog>([](gui::VisibleTraceRangeDialog* r) {
      r->field(0)->setText("2");
      r->field(1)->setText("6");
      r->field(2)->setText("2");
    });
    d->button(app::TraceButton::ThinData)->click();
    QCOMPARE(p.lastTitle(), std::string("Trace Removed :"));
    QCOMPARE(d->visibleList()->count(), 3);

    // A fitting dialog attached to the window later shows the Fit button on the next opening,
    // and the button runs the window's command.
    d->close();
    int fits = 0;
    p.window->setDialog(app::PlotMenuCommand::Fitting, [&fits](gui::PlotWindow&) { ++fits; });
    p.commands->selectionDialog();
    d = p.commands->selectionDialogWindow();
    QVERIFY(d->button(app::TraceButton::Fit)->isVisibleTo(d));
    d->visibleList()->item(0)->setSelected(true);
    d->button(app::TraceButton::Fit)->click();
    QCOMPARE(fits, 1);
  }

  void visibleTraceRangeRefusesBadFields() {
    Plot p;
    gui::VisibleTraceRangeDialog d(p.doc());
    d.show();
    QCOMPARE(d.field(1)->text(), QStringLiteral("5"));
    struct Row {
      const char* start;
      const char* end;
      const char* step;
      bool ok;
    } rows[] = {{"1", "5", "1", true},   {"", "5", "1", false},  {"a", "5", "1", false},    {"1", "5", "0", false},
                {"1", "5", "1.5", false}, {"4", "2", "1", false}, {"6", "9", "1", false},    {"1", "99999999999", "1", false},
                {"1", "nan", "1", false}, {"-1", "5", "1", false}, {"5", "5", "9", true}};
    for (const auto& r : rows) {
      d.field(0)->setText(r.start);
      d.field(1)->setText(r.end);
      d.field(2)->setText(r.step);
      QVERIFY2(okOf(d.buttons())->isEnabled() == r.ok, (std::string(r.start) + " " + r.end + " " + r.step).c_str());
    }
    // From the keyboard: the first field has the focus, Tab walks the fields, Enter takes them.
    d.field(0)->setFocus();
    d.field(0)->setText("1");
    d.field(1)->setText("5");
    d.field(2)->setText("2");
    QTest::keyClick(d.field(2), Qt::Key_Return);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(p.doc().presentCount(), 3);
  }

  void plotLimitsSetTheAxesAndRefuseWhatTheyCannotShow() {
    Plot p;
    gui::PlotView* view = p.window->view();
    view->picture(QSize(640, 480));
    gui::PlotLimitsDialog d(*view);
    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("Set Plot Limits"));
    struct Row {
      const char* x0;
      const char* x1;
      bool ok;
    } rows[] = {{"200", "250", true}, {"", "250", false},   {"x", "250", false},  {"200", "200", false},
                {"nan", "1", false},  {"1e300", "-1e300", true}, {"-1e308", "1e308", false}, {"250", "200", true}};
    for (const auto& r : rows) {
      d.field(0)->setText(r.x0);
      d.field(1)->setText(r.x1);
      QVERIFY2(okOf(d.buttons())->isEnabled() == r.ok, r.x0);
    }
    d.field(0)->setText("200");
    d.field(1)->setText("250");
    d.field(2)->setText("-5");
    d.field(3)->setText("5");
    okOf(d.buttons())->click();
    QCOMPARE(view->graph().xAxis().min, 200.0);
    QCOMPARE(view->graph().xAxis().max, 250.0);
    QCOMPARE(view->graph().yAxis().max, 5.0);
    // Saving the plot now writes only the points the x limits show.
    view->picture(QSize(640, 480));
    QTemporaryDir dir;
    const std::string out = dir.path().toStdString() + "/cut.csv";
    onNextModal([out](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      if (dialog == nullptr) {
        w->close();
        return;
      }
      dialog->selectNameFilter("LumatixCSV (*.csv)");
      dialog->selectFile(QString::fromStdString(out));
      QMetaObject::invokeMethod(dialog, "accept");
    });
    QVERIFY(p.doc().saveCurrentPlot());
    // The filter chosen is the format written.
    std::ifstream written(out);
    std::string first;
    std::getline(written, first);
    QCOMPARE(QString::fromStdString(first).trimmed(), QStringLiteral("LumatixCSV"));
  }

  void theWindowsMenuItemsOpenTheDialogs() {
    QTemporaryDir dir;
    const std::string copy = dir.path().toStdString() + "/melt.dsx";
    std::filesystem::copy_file(example("cd_thermal_melt.dsx"), copy);
    gui::QtUi ui;
    gui::QtPlotDialogs dialogs(ui);
    gui::PlotWindowSettings settings;
    settings.dialogs = &dialogs;
    settings.saveFormat = [] { return 9; };
    auto handle = gui::makePlotWindow(gui::openPlotDocument(copy, ui, settings), nullptr, ui, settings);
    gui::PlotWindow* w = handle->window();
    QVERIFY(w != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    gui::PlotDialogCommands* commands = gui::plotDialogsOf(*w);
    QVERIFY(commands != nullptr);
    using C = app::PlotMenuCommand;
    for (C c : {C::SelectionDialog, C::SetPlotLimits, C::DataStoreInfo, C::Remarks, C::History, C::SimpleMath})
      QVERIFY(w->handles(c));

    // "D" opens the selection dialog.
    QTest::keyClick(w->view(), Qt::Key_D);
    QTRY_VERIFY(commands->selectionDialogWindow() != nullptr && commands->selectionDialogWindow()->isVisible());
    commands->selectionDialogWindow()->close();
    w->action(C::History)->trigger();
    QVERIFY(commands->textView() != nullptr);
    QCOMPARE(commands->textView()->windowTitle(), QStringLiteral("History"));

    // Simple Math from its menu item, answered in the Qt dialog.
    w->document().select(0, true);
    answerDialog<gui::SimpleMathDialogWindow>([](gui::SimpleMathDialogWindow* d) {
      d->operations()->button(2)->click();
      d->constantField()->setText("2");
    });
    w->action(C::SimpleMath)->trigger();
    QCOMPARE(w->document().dataSet().history.back().title, std::string("Factor Multiplication"));

    // Set Plot Limits from its menu item, which carries Shift+P.
    QCOMPARE(w->action(C::SetPlotLimits)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_P));
    answerDialog<gui::PlotLimitsDialog>([](gui::PlotLimitsDialog* d) {
      d->field(0)->setText("190");
      d->field(1)->setText("250");
    });
    w->action(C::SetPlotLimits)->trigger();
    QCOMPARE(w->view()->graph().xAxis().min, 190.0);

    // The save dialog starts with the format the preferences name.
    QString filter;
    onNextModal([&filter](QWidget* m) {
      if (auto* d = qobject_cast<QFileDialog*>(m)) filter = d->selectedNameFilter();
      QMetaObject::invokeMethod(m, "reject", Qt::QueuedConnection);
    });
    w->document().saveCurrentPlot();
    QCOMPARE(filter, QStringLiteral("LumatixCSV (*.csv)"));
    w->document().store()->saved = true;
  }

  void textViewsAreReadOnlyAndCopyable() {
    Plot p;
    p.commands->history();
    gui::TextViewDialog* view = p.commands->textView();
    QVERIFY(view != nullptr);
    QCOMPARE(view->windowTitle(), QStringLiteral("History"));
    QVERIFY(view->text()->isReadOnly());
    QVERIFY(view->text()->toPlainText().contains("DataStore created and initialized for data acquisition."));
    QVERIFY(!view->text()->toPlainText().contains('\r'));
    view->copyButton()->click();
    QCOMPARE(QApplication::clipboard()->text(), view->text()->toPlainText());
    QTest::keyClicks(view->text(), "typed");
    QVERIFY(!view->text()->toPlainText().contains("typed"));

    p.commands->remarks();
    QCOMPARE(p.commands->textView()->windowTitle(), QStringLiteral("Remarks"));
    QVERIFY(p.commands->textView()->text()->toPlainText().startsWith("Sample: 20-residue helical peptide"));
    p.commands->info();
    QCOMPARE(p.commands->textView()->windowTitle(), QStringLiteral("DataStore Info"));
    QVERIFY(p.commands->textView()->text()->toPlainText().contains("File ID"));

    // While an acquisition runs the person is asked to wait and no view opens.
    p.commands->textView()->close();
    QTRY_VERIFY(p.commands->textView() == nullptr);
    p.doc().setOnline(true);
    SeenMessage seen;
    answerNextMessage(seen, QMessageBox::Ok);
    p.commands->info();
    QCOMPARE(seen.text, QStringLiteral("Please wait for the current data acquisition to finish.\n"));
    QVERIFY(p.commands->textView() == nullptr);
  }
};

QTEST_MAIN(PlotDialogsTest)
#include "plot_dialogs_test.moc"
