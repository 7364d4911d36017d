// The curve-fitting dialog driven as a person drives it: from the plot document's command to
// OK on the stopped-flow example, compared with lumatix fit on the same trace and range; the
// fields refusing what is no number; a fit that keeps the window answering and stops on
// Cancel; the preview under the pointer; the report printed to PDF.
#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/fit_session.h"
#include "app/fit_texts.h"
#include "app/plot_document.h"
#include "fitting/fit_end_reason.h"
#include "fitting/fit_funx.h"
#include "fitting/fit_test_support.h"
#include "gui/line_plot_widget.h"
#include "gui/multi_fit_dialog.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui/plot_view.h"
#include "platform/settings_store.h"
#include "app/menu_table.h"
#include "gui/qt_ui.h"
#include "support/scripted_ui.h"

namespace app = lumatix::app;
namespace gui = lumatix::gui;
namespace fitting = lumatix::fitting;

namespace {

constexpr int kSingleExponential = 1;

std::string example(const char* name) { return std::string(qgetenv("LUMATIX_EXAMPLES").constData()) + "/" + name; }

template <typename T>
T* child(QWidget* dialog, const char* name) {
  T* w = dialog->findChild<T*>(QString::fromLatin1(name));
  if (w == nullptr) qFatal("no child %s", name);
  return w;
}

void typeInto(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Delete);
  QTest::keyClicks(field, text);
  QTest::keyClick(field, Qt::Key_Tab);
}

void click(QWidget* dialog, const char* name) { QTest::mouseClick(child<QAbstractButton>(dialog, name), Qt::LeftButton); }

// The fitting dialog as the viewer shows it, keeping what the session finally held.
class RecordingFitDialog : public app::FitDialog {
 public:
  RecordingFitDialog(app::Ui& ui, std::function<void(gui::MultiFitDialog*)> drive) : ui_(ui), drive_(std::move(drive)) {}
  bool run(app::FitSession& session, const app::FitDialogContext& context) override {
    // The modal dialog's own event loop runs the script.
    QTimer::singleShot(0, [this] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<gui::MultiFitDialog*>(w); d != nullptr && d->isVisible()) {
          drive_(d);
          // A script that failed half-way must not leave the test waiting on the dialog.
          if (d->isVisible()) d->reject();
        }
    });
    caption = context.caption;
    const bool accepted = gui::QtFitDialog(ui_, nullptr).run(session, context);
    results = session.Results();
    return accepted;
  }
  app::FitResults results;
  std::string caption;

 private:
  app::Ui& ui_;
  std::function<void(gui::MultiFitDialog*)> drive_;
};

// What lumatix fit --json says of the same fit.
QJsonObject commandLineFit(const QStringList& arguments) {
  QProcess cli;
  cli.start(QStringLiteral(LUMATIX_CLI_BINARY), arguments);
  if (!cli.waitForFinished(60000) || cli.exitCode() != 0) qFatal("lumatix fit failed: %s", cli.readAllStandardError().constData());
  return QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
}

// Exactly the same numbers, not merely close ones.
void sameNumbers(const app::FitResults& dialog, const QJsonObject& cli) {
  const QJsonArray parameters = cli["parameters"].toArray();
  QCOMPARE(qsizetype(dialog.values.size()), parameters.size());
  for (qsizetype j = 0; j < parameters.size(); ++j) {
    const QJsonObject p = parameters[j].toObject();
    QVERIFY2(p["value"].toDouble() == dialog.values[std::size_t(j)], qPrintable(p["name"].toString()));
    QVERIFY2(p["error"].toDouble() == dialog.errors[std::size_t(j)], qPrintable(p["name"].toString()));
    QCOMPARE(p["locked"].toBool(), dialog.locks[std::size_t(j)] == 1);
  }
  QVERIFY(cli["reduced_chi_square"].toDouble() == dialog.reducedChiSquare);
  QVERIFY(cli["normalised_variance"].toDouble() == dialog.normalisedVariance);
  QVERIFY(cli["signal_noise"].toDouble() == dialog.signalNoise);
  QCOMPARE(cli["iterations"].toInt(), dialog.iterations);
  QCOMPARE(cli["converged"].toBool(), dialog.converged);
  QCOMPARE(cli["reason"].toString(), QString::fromUtf8(fitting::describeEndReason(dialog.reason)));
}

// A session over a synthetic single exponential, for the dialog on its own.
struct Standalone {
  explicit Standalone(int points = 400, double noise = 0.002) {
    const auto& f = fitting::FitFunx()[kSingleExponential];
    trace = fitting::test::synthetic(f, {0.25, 0.18, 12.5}, fitting::test::evenly(0.001, 2.0, points), noise);
    session = std::make_unique<app::FitSession>(ui, trace.x, trace.y, nullptr);
    session->Begin();
    session->SelectFunction(kSingleExponential);
    dialog = std::make_unique<gui::MultiFitDialog>(*session, app::FitDialogContext{"melt.dsx (1)", "melt.dsx", "1", "Time", "Absorbance"}, ui);
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get())) qFatal("dialog not shown");
  }
  lumatix::testing::ScriptedUi ui;
  fitting::test::Trace trace;
  std::unique_ptr<app::FitSession> session;
  std::unique_ptr<gui::MultiFitDialog> dialog;
};

}  // namespace

class FitDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void drivenFromOpenToOkGivesTheNumbersOfTheCommandLine_data() {
    QTest::addColumn<bool>("locked");
    QTest::newRow("typed start values, k locked, range 0.01 to 1") << true;
    QTest::newRow("estimated start values, range 0.1 to 2") << false;
  }
  void drivenFromOpenToOkGivesTheNumbersOfTheCommandLine() {
    QFETCH(bool, locked);
    lumatix::testing::ScriptedUi ui;  // a warning would be recorded here, not wait for a click
    const std::string path = example("stopped_flow_absorbance.dsx");
    auto document = gui::openPlotDocument(path, ui, {});
    QVERIFY(document);
    document->deselectAll();
    document->select(0, true);
    const int tracesBefore = document->dataSet().TraceCount();

    RecordingFitDialog dialog(ui, [locked](gui::MultiFitDialog* d) {
      auto* functions = child<QListWidget>(d, "functionList");
      functions->setFocus();
      functions->setCurrentRow(kSingleExponential);
      typeInto(child<QLineEdit>(d, "rangeFrom"), locked ? "0.01" : "0.1");
      typeInto(child<QLineEdit>(d, "rangeTo"), locked ? "1" : "2");
      click(d, "setRange");
      if (locked) {
        typeInto(child<QLineEdit>(d, "value0"), "0.2");
        typeInto(child<QLineEdit>(d, "value1"), "0.2");
        typeInto(child<QLineEdit>(d, "value2"), "11");
        click(d, "lock2");
      } else {
        click(d, "estimate");
      }
      click(d, "residuals");
      QSignalSpy ended(d, &gui::MultiFitDialog::fitEnded);
      click(d, "fit");
      QVERIFY(ended.count() == 1 || ended.wait(30000));
      QVERIFY(!child<QLabel>(d, "endReason")->text().isEmpty());
      click(d, "ok");
    });
    const auto text = document->fit(dialog);
    QVERIFY(text.has_value());
    QVERIFY2(ui.texts().empty(), ui.texts().empty() ? "" : ui.texts()[0].c_str());
    QCOMPARE(dialog.caption, path + " (1)");
    QCOMPARE(document->dataSet().TraceCount(), tracesBefore + 2);
    QCOMPARE(document->dataSet().history.back().title, std::string("Fitting"));

    QStringList arguments{"fit", QString::fromStdString(path), "--model", "Single Exponential", "--trace", "1", "--json"};
    if (locked)
      arguments << "--range" << "0.01" << "1" << "--start" << "0.2,0.2,11" << "--lock" << "k";
    else
      arguments << "--range" << "0.1" << "2";
    const QJsonObject cli = commandLineFit(arguments);
    sameNumbers(dialog.results, cli);
    QCOMPARE(dialog.results.locks[2], locked ? 1 : 0);
    QVERIFY(dialog.results.converged);
  }

  void theFKeyOfAPlotWindowOpensTheDialogAndKeepsItsPreferences() {
    lumatix::testing::ScriptedUi ui;
    QTemporaryDir dir;
    lumatix::platform::SettingsStore preferences(dir.filePath("viewer.conf").toStdString());
    gui::PlotWindowSettings settings;
    settings.preferences = [&preferences] { return &preferences; };
    auto document = gui::openPlotDocument(example("stopped_flow_absorbance.dsx"), ui, settings);
    QVERIFY(document);
    auto handle = gui::makePlotWindow(std::move(document), [] { return nullptr; }, ui, settings);
    gui::PlotWindow* w = handle->window();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->activateWindow();
    app::PlotDocument& doc = w->document();
    doc.deselectAll();
    doc.select(2, true);
    QVERIFY(w->action(app::PlotMenuCommand::Fitting)->isEnabled());
    const int traces = doc.dataSet().TraceCount();

    std::string title;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<gui::MultiFitDialog*>(QApplication::activeModalWidget());
      if (d == nullptr) return;
      title = d->windowTitle().toStdString();
      QSignalSpy ended(d, &gui::MultiFitDialog::fitEnded);
      click(d, "estimate");
      click(d, "fit");
      if (ended.count() == 1 || ended.wait(30000)) click(d, "ok");
      if (d->isVisible()) d->reject();
    });
    QTest::keyClick(w->view(), Qt::Key_F);
    QCOMPARE(title, doc.filePath() + " (3)");
    QCOMPARE(doc.dataSet().TraceCount(), traces + 1);
    QCOMPARE(doc.dataSet().history.back().title, std::string("Fitting"));
    QCOMPARE(preferences.getInt("Preferences\\Fitting", "RangeSet", 0), 1);
    QCOMPARE(preferences.getInt("Preferences\\Fitting", "DefaultFunction", -1), kSingleExponential);
  }

  void fieldsThatHoldNoNumberAreRefused() {
    Standalone s;
    QWidget* d = s.dialog.get();
    auto* value = child<QLineEdit>(d, "value1");
    auto* fit = child<QPushButton>(d, "fit");
    auto* evaluation = child<QPushButton>(d, "plotEvaluation");
    const std::vector<double> before = s.session->Values();
    for (const char* bad : {"", "abc", "nan", "inf", "1e999", "1,5", "--2", "0x10"}) {
      typeInto(value, bad);
      QVERIFY2(!fit->isEnabled(), bad);
      QVERIFY2(!evaluation->isEnabled(), bad);
      QCOMPARE(value->palette().color(QPalette::Text), QColor(Qt::red));
      QVERIFY2(s.session->Values() == before, bad);
    }
    typeInto(value, " -1.5e-3 ");
    QVERIFY(fit->isEnabled());
    QCOMPARE(s.session->Values()[1], -1.5e-3);

    auto* from = child<QLineEdit>(d, "rangeFrom");
    auto* set = child<QPushButton>(d, "setRange");
    for (const char* bad : {"", "x", "1e40", "nan"}) {
      typeInto(from, bad);
      QVERIFY2(!set->isEnabled(), bad);
    }
    typeInto(from, "3");
    click(d, "setRange");
    QCOMPARE(s.session->RangeX().size(), std::size_t(0));
    click(d, "estimate");  // a range without points: the session's message, no estimate
    QCOMPARE(s.ui.texts().back(), std::string("Please select a suitable range"));
    click(d, "resetRange");
    QCOMPARE(from->text().toFloat(), s.session->DataXMin());
    QCOMPARE(s.session->RangeX().size(), s.trace.x.size());

    auto* iterations = child<QSpinBox>(d, "maxIterations");
    iterations->setFocus();
    iterations->selectAll();
    QTest::keyClicks(iterations, "5000");
    QTest::keyClick(iterations, Qt::Key_Tab);
    QVERIFY(s.session->MaxIterations() >= 1 && s.session->MaxIterations() <= 1000);
    QCOMPARE(s.session->MaxIterations(), iterations->value());

    QTest::keyClick(d, Qt::Key_Escape);
    QVERIFY(!d->isVisible());
    QCOMPARE(s.dialog->result(), int(QDialog::Rejected));
  }

  void aLongFitKeepsTheWindowAnsweringAndStopsOnCancel() {
    // A million points from a poor start: many ticks, each a few iterations at most.
    Standalone s(1000000, 0.002);
    QWidget* d = s.dialog.get();
    s.session->SetValues({0.0, 1.0, 1.0});
    click(d, "liveUpdate");
    click(d, "fit");
    QVERIFY(s.dialog->fitting());
    for (const char* name : {"functionList", "value0", "lock0", "rangeFrom", "setRange", "estimate", "fit", "ok", "print"})
      QVERIFY2(!child<QWidget>(d, name)->isEnabled(), name);
    QVERIFY(child<QWidget>(d, "cancel")->isEnabled());
    // A slice of steps has run; once the window answers again, the preview shows the step.
    QVERIFY(s.session->Iterations() >= 1);
    QCoreApplication::processEvents();
    QVERIFY(s.dialog->fitting());
    QCOMPARE(s.dialog->preview()->plot().traces().size(), std::size_t(2));
    click(d, "cancel");
    QVERIFY(!s.dialog->fitting());
    QCOMPARE(s.dialog->result(), int(QDialog::Rejected));
    const int iterations = s.session->Iterations();
    QTest::qWait(50);
    QCOMPARE(s.session->Iterations(), iterations);
    QVERIFY(s.ui.texts().empty());
  }

  void anIterationLimitOfOneEndsWithTheWarningAndSaysWhy() {
    Standalone s;
    QWidget* d = s.dialog.get();
    click(d, "estimate");
    auto* iterations = child<QSpinBox>(d, "maxIterations");
    iterations->setValue(1);
    QSignalSpy ended(s.dialog.get(), &gui::MultiFitDialog::fitEnded);
    click(d, "fit");
    QVERIFY(ended.count() == 1 || ended.wait(10000));
    QCOMPARE(s.ui.texts().back(), std::string(app::kNotConvergedMessage));
    QCOMPARE(child<QLabel>(d, "endReason")->text(),
             QString::fromUtf8(fitting::describeEndReason(fitting::FitEndReason::IterationLimit)));
    QCOMPARE(child<QLineEdit>(d, "iterations")->text(), QString("1"));
    QVERIFY(child<QWidget>(d, "fit")->isEnabled());
    QVERIFY(child<QWidget>(d, "ok")->isEnabled());

    // Fitted to the end it converges, and the statistics show in the read-outs.
    iterations->setValue(25);
    click(d, "fit");
    QVERIFY(ended.count() == 2 || ended.wait(10000));
    QCOMPARE(child<QLabel>(d, "endReason")->text(),
             QString::fromUtf8(fitting::describeEndReason(fitting::FitEndReason::Converged)));
    QCOMPARE(child<QLineEdit>(d, "chiSquare")->text(), QString::fromStdString(app::generalText(s.session->ReducedChiSquare(), 7)));
    QVERIFY(child<QLineEdit>(d, "error2")->text().toDouble() > 0);
  }

  void thePreviewHighlightsThePointUnderThePointerAndZooms() {
    Standalone s(50, 0.0);
    QWidget* d = s.dialog.get();
    click(d, "estimate");
    QTRY_COMPARE(s.dialog->preview()->plot().traces().size(), std::size_t(2));
    gui::LinePlotWidget* preview = s.dialog->preview();
    const auto& plot = preview->plot();
    QCOMPARE(plot.traces()[0].name, std::string("Data"));
    QCOMPARE(plot.traces()[1].name, std::string("Fit"));
    const auto [x, y] = plot.traces()[0].points[10];
    const lumatix::plot::Point at = plot.PixelOf(x, y, preview->width(), preview->height());
    QTest::mouseMove(preview, QPoint(int(at.x), int(at.y)));
    QTRY_VERIFY(plot.highlight().second >= 0);
    QVERIFY(!plot.CoordinatesText().empty());

    const auto start = plot.view();
    click(d, "zoomIn");
    QVERIFY(!(plot.view() == start));
    click(d, "undoZoom");
    QVERIFY(plot.view() == start);
    click(d, "styleDots");
    QCOMPARE(plot.traces()[0].lineStyle, lumatix::plot::kLineStyleDots);
    QCOMPARE(child<QToolButton>(d, "zoomIn")->toolTip(), QString("Zoom In"));
    QCOMPARE(child<QPushButton>(d, "print")->toolTip(), QString("Print plot"));
  }

  void aLongPreviewGivesThePlotWhatItsColumnsShowAndMoreWhenZoomed() {
    Standalone s(100000, 0.002);
    QWidget* d = s.dialog.get();
    click(d, "estimate");
    gui::LinePlotWidget* residuals = s.dialog->residualPlot();
    QTRY_COMPARE(residuals->plot().traces().size(), std::size_t(1));
    const auto inView = [&](gui::LinePlotWidget* w) {
      const auto& plot = w->plot();
      const auto& points = plot.traces().back().points;
      return std::count_if(points.begin(), points.end(), [&](const auto& p) {
        return p.first >= plot.view().xFrom && p.first <= plot.view().xTo;
      });
    };
    const auto columns = [](gui::LinePlotWidget* w) {
      return w->plot().plotArea(w->width(), w->height()).width() + 2;
    };
    // The residuals' extremes survive: the plot's extent is that of every residual.
    const auto& all = s.session->Preview().residuals;
    QCOMPARE(residuals->plot().traces()[0].maxY, float(*std::max_element(all.begin(), all.end())));
    QVERIFY(double(inView(residuals)) <= 4 * columns(residuals));
    gui::LinePlotWidget* preview = s.dialog->preview();
    const auto before = inView(preview);
    QVERIFY(double(before) <= 4 * columns(preview));
    for (int i = 0; i < 3; ++i) click(d, "zoomIn");  // 0.42 of the span: coarse columns would leave 0.42 of the points
    QVERIFY2(double(inView(preview)) > 0.8 * double(before), "a zoomed view gets the preview's detail again");
    QVERIFY(double(inView(preview)) <= 4 * columns(preview) + 8);
  }

  void theReportPrintsToPdf() {
    Standalone s;
    QWidget* d = s.dialog.get();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    s.dialog->choosePrinter = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    };
    click(d, "estimate");
    click(d, "print");
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QVERIFY(bytes.contains("fitting.") || bytes.contains(QByteArray("\xfe\xff\x00" "f\x00i\x00t", 8)));
    QVERIFY(s.ui.texts().empty());

    s.dialog->choosePrinter = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(dir.filePath("no/such/folder/report.pdf"));
      return true;
    };
    click(d, "print");
    QCOMPARE(s.ui.texts().back(), std::string(app::kCannotStartPrintJob));
  }
};

QTEST_MAIN(FitDialogTest)
#include "fit_dialog_test.moc"
