// Printing a plot window: to a PDF file through the print dialog, with the remarks-and-settings
// page when the box is ticked (always in compliance mode), the "Printed :" entry after a print
// and none after a cancelled one; the preview carries the same box.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QFile>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTest>

#include "app/plot_document.h"
#include "gui/plot_printing.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui_test_support.h"
#include "support/scripted_ui.h"

namespace app = lumatix::app;
namespace gui = lumatix::gui;
using C = app::PlotMenuCommand;
using lumatix::guitest::ModalScript;

namespace {

std::string example(const char* name) { return std::string(qgetenv("LUMATIX_EXAMPLES").constData()) + "/" + name; }

std::unique_ptr<gui::PlotWindow> openWindow(app::Ui& ui, bool compliant) {
  gui::PlotWindowSettings settings;
  settings.compliant = [compliant] { return compliant; };
  auto doc = gui::openPlotDocument(example("cd_thermal_melt.dsx"), ui, settings);
  if (!doc) return nullptr;
  auto w = std::make_unique<gui::PlotWindow>(std::move(doc), ui);
  w->show();
  return w;
}

// The pages of a PDF file: its page objects.
int pdfPages(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray bytes = f.readAll();
  if (!bytes.startsWith("%PDF")) return -1;
  return static_cast<int>(bytes.count("/Type /Page\n")) + static_cast<int>(bytes.count("/Type /Page\r")) +
         static_cast<int>(bytes.count("/Type /Page ")) + static_cast<int>(bytes.count("/Type /Page>"));
}

}  // namespace

class PlotWindowPrintTest : public QObject {
  Q_OBJECT
 private slots:
  void printsToPdfWithAndWithoutTheRemarksPage() {
    QTemporaryDir dir;
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui, false);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const auto entries = w->document().dataSet().history.size();

    QPrinter bare(QPrinter::HighResolution);
    bare.setOutputFormat(QPrinter::PdfFormat);
    bare.setOutputFileName(dir.filePath("bare.pdf"));
    QVERIFY(w->printTo(bare, false));
    QPrinter full(QPrinter::HighResolution);
    full.setOutputFormat(QPrinter::PdfFormat);
    full.setOutputFileName(dir.filePath("full.pdf"));
    QVERIFY(w->printTo(full, true));

    QCOMPARE(pdfPages(dir.filePath("bare.pdf")), 1);
    // The melt's history is long: the remarks and history take at least one page of their own.
    QVERIFY(pdfPages(dir.filePath("full.pdf")) >= 2);
    const auto& history = w->document().dataSet().history;
    QCOMPARE(history.size(), entries + 2);
    QCOMPARE(history.back().title, std::string("Printed :"));
    QCOMPARE(history.back().text, std::string("Data was printed."));
    QVERIFY(!w->document().store()->saved);
    // The view still answers the pointer in its own pixels after drawing on a page.
    QCOMPARE(w->view()->graph().area().right, w->view()->graph().plotArea(w->view()->width(), w->view()->height()).right);
  }

  void thePrintMenuItemGoesThroughTheDialog() {
    QTemporaryDir dir;
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui, true);
    const QString pdf = dir.filePath("menu.pdf");
    bool boxTicked = false, boxLocked = false;
    ModalScript script({[&](QWidget* modal) {
      auto* dialog = qobject_cast<QPrintDialog*>(modal);
      if (dialog == nullptr) {
        modal->close();
        return;
      }
      auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("printRemarksAndSettings"));
      if (box != nullptr) {
        boxTicked = box->isChecked();
        boxLocked = !box->isEnabled();
        box->setChecked(false);  // refused in compliance mode
      }
      // The dialog writes its own choices into the printer when accepted: choose a file there.
      auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
      auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
      if (printers == nullptr || file == nullptr) return dialog->reject();
      printers->setCurrentIndex(printers->findText(QStringLiteral("Print to File (PDF)")));
      file->setText(pdf);
      dialog->accept();
    }});
    w->run(C::Print);
    QCOMPARE(script.answered(), std::size_t(1));
    QVERIFY(boxTicked);
    QVERIFY(boxLocked);
    QVERIFY(pdfPages(pdf) >= 2);
    QCOMPARE(w->document().dataSet().history.back().title, std::string("Printed :"));
  }

  void aCancelledPrintOrPreviewWritesNothing() {
    lumatix::testing::ScriptedUi ui;
    auto w = openWindow(ui, false);
    const auto entries = w->document().dataSet().history.size();
    bool boxEnabled = false;
    ModalScript script({[](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); },
                        [&](QWidget* modal) {
                          auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
                          auto* box = modal->findChild<QCheckBox*>(QStringLiteral("printRemarksAndSettings"));
                          boxEnabled = preview != nullptr && box != nullptr && box->isEnabled() && box->isChecked();
                          static_cast<QDialog*>(modal)->reject();
                        }});
    w->run(C::Print);
    w->run(C::PrintPreview);
    QCOMPARE(script.answered(), std::size_t(2));
    QVERIFY(boxEnabled);
    QCOMPARE(w->document().dataSet().history.size(), entries);
  }
};

QTEST_MAIN(PlotWindowPrintTest)
#include "plot_window_print_test.moc"
