// Bad input in plot windows: every file of the fuzzers' seeds and kept crashers opens either as
// a drawn plot or with one message saying why not, and a plot whose file or folder vanishes
// while it is open reports the failure when the file is next used, keeping the window open.
#include <QDirIterator>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <filesystem>

#include "app/plot_document.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui_test_support.h"
#include "support/scripted_ui.h"

namespace app = lumatix::app;
namespace gui = lumatix::gui;
using C = app::PlotMenuCommand;

class PlotWindowBadInputTest : public QObject {
  Q_OBJECT
 private slots:
  void everyCorpusAndCrasherFileOpensOrIsRefused() {
    const QString root = qEnvironmentVariable("LUMATIX_FUZZ_CORPUS");
    int files = 0, drawn = 0;
    for (const char* folder : {"corpus", "crashers"}) {
      QDirIterator it(root + "/" + folder, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) {
        const std::string path = it.next().toStdString();
        ++files;
        lumatix::testing::ScriptedUi ui;
        gui::PlotWindowSettings settings;
        auto doc = gui::openPlotDocument(path, ui, settings);
        if (!doc) {
          QVERIFY2(ui.shown.size() == 1, path.c_str());
          continue;
        }
        QVERIFY2(ui.shown.empty(), path.c_str());
        gui::PlotWindow w(std::move(doc), ui);
        w.show();
        // Drawn as shown, with the legend and grid, and on a logarithmic x axis (which may say
        // that no x is left); the commands a person tries first change nothing they should not.
        QImage picture = w.view()->picture(QSize(640, 480));
        QVERIFY(!picture.isNull());
        w.run(C::Legend);
        w.run(C::Grid);
        w.run(C::XLogarithmic);
        w.view()->picture(QSize(640, 480));
        w.run(C::XLogarithmic);
        w.run(C::SelectAll);
        w.run(C::ZoomIn);
        w.view()->picture(QSize(640, 480));
        w.run(C::ResetZoom);
        w.run(C::RecomputeColours);
        w.view()->picture(QSize(320, 240));
        w.document().store()->saved = true;  // nothing to ask when the window goes
        ++drawn;
      }
    }
    QVERIFY2(files > 40, "the fuzz folders were not found");
    QVERIFY(drawn > 10);
  }

  void aFileThatVanishesIsReportedWhenUsed() {
    QTemporaryDir dir;
    const QString folder = dir.filePath("gone");
    QVERIFY(QDir().mkpath(folder));
    const std::string copy = (folder + "/melt.dsx").toStdString();
    std::filesystem::copy_file(std::string(qgetenv("LUMATIX_EXAMPLES").constData()) + "/cd_thermal_melt.dsx", copy);
    lumatix::testing::ScriptedUi ui;
    auto doc = gui::openPlotDocument(copy, ui, {});
    QVERIFY(doc);
    gui::PlotWindow w(std::move(doc), ui);
    w.show();
    QVERIFY(std::filesystem::remove_all(folder.toStdString()) > 0);

    // Dropping the vanished file onto another plot: the loader's message.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(copy))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &files, Qt::LeftButton, {});
    QApplication::sendEvent(&w, &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &files, Qt::LeftButton, {});
    QApplication::sendEvent(&w, &drop);
    QVERIFY(QString::fromStdString(ui.texts().back()).startsWith("Sorry!\n\nCan't open the file"));

    // Closing with changes and Yes: the file is not there, so it is written there, into a
    // folder that is gone: the save error, and the window stays.
    w.document().select(0, true);
    QVERIFY(w.document().removeSelected());
    ui.answers = {app::Answer::Yes};
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QVERIFY(QString::fromStdString(ui.texts().back()).startsWith("Sorry. An error occurred while trying to save"));

    // The plot still works: drawing and printing go on from memory.
    QVERIFY(!w.view()->picture(QSize(400, 300)).isNull());
    w.document().store()->saved = true;
  }
};

QTEST_MAIN(PlotWindowBadInputTest)
#include "plot_window_bad_input_test.moc"
