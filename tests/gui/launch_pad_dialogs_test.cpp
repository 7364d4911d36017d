// The launch pad's long commands ("Export Data...", "Decompose Data...", "Temperature Ramp
// Data...") from the tree's context menu through their dialogs to the files written, the work
// off the GUI thread with its questions asked on it and its Cancel, the save dialog's refusal
// of read-only names, and advice the person silences.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QAbstractItemView>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/export_dialog.h"
#include "app/message_preferences.h"
#include "app/user_pref.h"
#include "gui/background_work.h"
#include "gui/decompose_data_dialog.h"
#include "gui/export_data_dialog.h"
#include "gui/launch_pad_commands.h"
#include "gui/main_frame_window.h"
#include "gui/qt_ui.h"
#include "gui/temperature_ramp_dialog.h"
#include "gui_test_support.h"
#include "platform/event_log.h"
#include "platform/settings_store.h"
#include "widgets/checked_message_box.h"

using lumatix::gui::MainFrameWindow;
using namespace lumatix::guitest;
namespace app = lumatix::app;
namespace gui = lumatix::gui;
namespace fs = std::filesystem;

namespace {

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string example(const char* name) { return std::string(qgetenv("LUMATIX_EXAMPLES").constData()) + "/" + name; }

struct Frame {
  QTemporaryDir dir;
  std::string root = dir.path().toStdString() + "/My Data";
  lumatix::platform::SettingsStore settings{dir.path().toStdString() + "/viewer.conf"};
  app::CUserPref preferences;
  gui::QtUi ui;
  PlotJournal journal;
  std::unique_ptr<MainFrameWindow> window;

  Frame() {
    fs::create_directories(root);
    for (const char* f : {"cd_thermal_melt.dsx", "cd_temperature_ramp.dsx"}) fs::copy_file(example(f), root + "/" + f);
    preferences.workingDirectory = root;
    window = std::make_unique<MainFrameWindow>(ui, settings, preferences, fakeMaker(journal));
    ui.setParent(window.get());
    ui.setSettings(&settings);
    window->show();
  }
  std::string file(const char* name) const { return root + "/" + name; }
  void choose(const char* name) { window->reveal(file(name)); }
  gui::LaunchPadCommands& commands() { return window->launchPadCommands(); }
};

// A click from a script's step that opens a further modal dialog must come after the step
// returned: the script's timer does not fire again while its step runs.
void clickLater(QAbstractButton* button) { QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection); }

// A step of a ModalScript that presses OK on a message box after keeping its text.
std::function<void(QWidget*)> pressOn(QStringList& texts, QMessageBox::StandardButton button) {
  return [&texts, button](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box == nullptr) {
      w->close();
      return;
    }
    texts << box->text();
    if (box->button(button) == nullptr) {
      qWarning() << "no such button on" << box->text();
      box->close();
      return;
    }
    box->button(button)->click();
  };
}

}  // namespace

class LaunchPadDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void exportFromTheContextMenuWritesTheFormatAndRecordsIt() {
    QTemporaryDir logDir;
    const QString log = logDir.path() + "/events.log";
    qputenv("LUMATIX_EVENT_LOG", log.toLocal8Bit());
    Frame f;
    f.settings.setInt("Preferences\\Export", "Default", 8);
    f.choose("cd_thermal_melt.dsx");
    QMenu* menu = f.window->contextMenu();
    QStringList texts;
    for (QAction* a : menu->actions()) texts << a->text();
    QVERIFY(texts.contains("Export Data..."));
    QVERIFY(texts.contains("Decompose Data..."));
    QVERIFY(texts.contains("Temperature Ramp Data..."));
    menu->close();

    const std::string out = f.root + "/melt-simple.csv";
    QStringList messages;
    QString warning;
    int startedAs = -1;
    ModalScript script({[&](QWidget* w) {
                          auto* d = qobject_cast<gui::ExportDataDialog*>(w);
                          QVERIFY(d != nullptr);
                          warning = d->warning()->text();
                          startedAs = d->format()->currentIndex();
                          QCOMPARE(d->fileName()->text(), QString::fromStdString(f.root + "/cd_thermal_melt.csv"));
                          d->format()->setCurrentText("SimpleCSV");
                          d->fileName()->setText(QString::fromStdString(out));
                          clickLater(d->buttons()->button(QDialogButtonBox::Ok));
                        },
                        pressOn(messages, QMessageBox::Ok)});
    QSignalSpy ended(&f.commands(), &gui::LaunchPadCommands::commandEnded);
    f.window->action("ExportData")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
    QCOMPARE(ended.at(0).at(0).toBool(), true);
    QCOMPARE(startedAs, 8);
    QCOMPARE(warning, QString::fromStdString(app::exportWarningText()));
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith("Warning!\nThe current dataset contains more than one Dimension."));
    QVERIFY(fs::exists(out));
    QCOMPARE(f.settings.getInt("Preferences\\Export", "Default", -1), 7);
    const auto records = lumatix::platform::readEventLogFile(log.toStdString());
    QVERIFY(!records.empty());
    QCOMPARE(QString::fromStdString(records.back().text),
             QString::fromStdString("Data exported from " + f.file("cd_thermal_melt.dsx") + " to " + out +
                                    " (SimpleCSV)."));
    qunsetenv("LUMATIX_EVENT_LOG");
  }

  void exportRefusesAReadOnlyTargetAndStaysOpen() {
    Frame f;
    const std::string locked = f.root + "/locked.txt";
    writeFile(locked, "kept");
    fs::permissions(locked, fs::perms::owner_read);
    f.choose("cd_thermal_melt.dsx");
    QStringList messages;
    bool stayed = false;
    ModalScript script({[&](QWidget* w) {
                          auto* d = qobject_cast<gui::ExportDataDialog*>(w);
                          QVERIFY(d != nullptr);
                          d->format()->setCurrentText("LumatixTSV");
                          d->fileName()->setText(QString::fromStdString(locked));
                          clickLater(d->buttons()->button(QDialogButtonBox::Ok));
                        },
                        [&](QWidget* w) {
                          pressOn(messages, QMessageBox::Ok)(w);
                          // After the refusal the export dialog is still up, with the name to change.
                          QTimer::singleShot(0, [&stayed] {
                            auto* d = qobject_cast<gui::ExportDataDialog*>(QApplication::activeModalWidget());
                            stayed = d != nullptr && d->isVisible();
                            if (d != nullptr) d->reject();
                          });
                        }});
    QSignalSpy ended(&f.commands(), &gui::LaunchPadCommands::commandEnded);
    f.window->action("ExportData")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
    QVERIFY(stayed);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].contains("read-only"));
    QCOMPARE(QString::fromStdString(readAll(locked)), QStringLiteral("kept"));
  }

  void decomposeIntoTheRootFolderAfterRefusingBadRanges() {
    Frame f;
    const std::string target = f.root + "/tree";
    fs::create_directories(target);
    f.choose("cd_thermal_melt.dsx");
    QStringList messages;
    ModalScript script({[&](QWidget* w) {
                          auto* d = qobject_cast<gui::DecomposeDataDialog*>(w);
                          QVERIFY(d != nullptr);
                          QCOMPARE(d->table()->rowCount(), 2);
                          QCOMPARE(d->table()->item(0, 0)->text(), QStringLiteral("Wavelength"));
                          QCOMPARE(d->rootFolder()->text(), QString::fromStdString(f.root));
                          // Every wrong range disables both saves and says why.
                          for (const char* bad : {"abc", "", "nan", "1e39", "999"}) {
                            d->table()->item(1, gui::DecomposeDataDialog::kRangeMin)->setText(bad);
                            QVERIFY2(!d->saveSubsets()->isEnabled(), bad);
                            QVERIFY2(!d->saveAs()->isEnabled(), bad);
                            QVERIFY2(!d->problem()->text().isEmpty(), bad);
                          }
                          d->table()->item(1, gui::DecomposeDataDialog::kRangeMin)->setText("40");
                          d->table()->item(0, gui::DecomposeDataDialog::kPrimary)->setCheckState(Qt::Checked);
                          d->rootFolder()->setText(QString::fromStdString(f.root + "/absent"));
                          QVERIFY(!d->saveSubsets()->isEnabled());
                          QVERIFY(d->saveAs()->isEnabled());
                          d->rootFolder()->setText(QString::fromStdString(target));
                          QVERIFY(d->saveSubsets()->isEnabled());
                          clickLater(d->saveSubsets());
                        },
                        pressOn(messages, QMessageBox::Ok)});
    QSignalSpy ended(&f.commands(), &gui::LaunchPadCommands::commandEnded);
    f.window->action("DecomposeData")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
    QCOMPARE(ended.at(0).at(0).toBool(), true);
    QCOMPARE(messages, QStringList{"Datastore Successfully decomposed and saved"});
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(target)) files += e.is_regular_file() ? 1 : 0;
    QCOMPARE(files, std::size_t(3));  // temperatures 40, 60 and 80
  }

  void temperatureRampWritesAFilePerTemperatureAndWavelength() {
    Frame f;

    const std::string out = f.root + "/ramp";
    f.choose("cd_temperature_ramp.dsx");
    QStringList messages;
    const auto rampDialog = [&](QWidget* w) {
      auto* d = qobject_cast<gui::TemperatureRampDialog*>(w);
      QVERIFY(d != nullptr);
      QCOMPARE(d->formats()->buttons().size(), 3);
      d->formats()->button(2)->click();
      clickLater(d->findChild<QPushButton*>("saveAs"));
    };
    const auto saveAs = [&](QWidget* w) {
      auto* d = qobject_cast<QFileDialog*>(w);
      QVERIFY(d != nullptr);
      d->selectFile(QString::fromStdString(out));
      QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    };
    {
      ModalScript script({rampDialog, saveAs, pressOn(messages, QMessageBox::Ok)});
      QSignalSpy ended(&f.commands(), &gui::LaunchPadCommands::commandEnded);
      f.window->action("TemperatureRampData")->trigger();
      QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
      QCOMPARE(ended.at(0).at(0).toBool(), true);
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(out)) ++files;
    QCOMPARE(files, std::size_t(8 + 41));
    QCOMPARE(messages, QStringList{"Temperature ramp data successfully decomposed."});
    QVERIFY(fs::exists(out + "/ramp 10.dsx"));
    QVERIFY(fs::exists(out + "/ramp 240.dsx"));
    // A file that is no temperature ramp is refused before any dialog.
    messages.clear();
    f.choose("cd_thermal_melt.dsx");
    ModalScript refusal({pressOn(messages, QMessageBox::Ok)});
    QSignalSpy ended(&f.commands(), &gui::LaunchPadCommands::commandEnded);
    f.window->action("TemperatureRampData")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].endsWith("does not contain the setpoint temperature property."));
  }

  void workRunsOffTheGuiThreadAsksThereAndStopsOnCancel() {
    gui::QtUi ui;
    QWidget owner;
    gui::BackgroundWork work(ui, &owner, "Working");
    std::atomic<bool> offGuiThread{false};
    std::atomic<int> answer{-1};
    std::atomic<bool> sawCancel{false};
    QStringList asked;
    ModalScript script({pressOn(asked, QMessageBox::Yes)});
    QSignalSpy finished(&work, &gui::BackgroundWork::finished);
    QVERIFY(work.start([&](app::Ui& workerUi, const app::WorkHooks& hooks) {
      offGuiThread = QThread::currentThread() != qApp->thread();
      answer = static_cast<int>(workerUi.showMessage("Go on?", "Working", app::Icon::Question, app::Buttons::YesNo));
      for (int i = 0; i < 100000 && !hooks.cancelled(); ++i) {
        workerUi.progress("step", i / 100000.0);
        QThread::usleep(100);
      }
      sawCancel = hooks.cancelled();
    }));
    QVERIFY(!work.start([](app::Ui&, const app::WorkHooks&) {}));  // one at a time
    QTRY_COMPARE_WITH_TIMEOUT(answer.load(), static_cast<int>(app::Answer::Yes), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(work.progressDialog()->value() > 0, 20000);
    // The person presses Cancel.
    QPushButton* cancel = work.progressDialog()->findChild<QPushButton*>();
    QVERIFY(cancel != nullptr);
    cancel->click();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    QVERIFY(offGuiThread);
    QVERIFY(sawCancel);
    QCOMPARE(asked, QStringList{"Go on?"});
    QVERIFY(!work.running());
  }

  void workGoingAwayAnswersItsQuestionAsCancelled() {
    gui::QtUi ui;
    QWidget owner;
    auto work = std::make_unique<gui::BackgroundWork>(ui, &owner, "Working");
    std::atomic<int> answer{-1};
    // The question is on screen when the work's owner goes: the work hears Cancel and ends.
    onNextModal([&work](QWidget* box) {
      work.reset();
      box->close();
    });
    work->start([&](app::Ui& workerUi, const app::WorkHooks&) {
      answer = static_cast<int>(workerUi.showMessage("Replace?", "Working", app::Icon::Question,
                                                      app::Buttons::YesNoCancel));
    });
    QTRY_VERIFY_WITH_TIMEOUT(work == nullptr, 20000);
    QCOMPARE(answer.load(), static_cast<int>(app::Answer::Cancel));
  }

  void saveDialogOffersAnotherNameForATargetItCannotReplace() {
    QTemporaryDir dir;
    const QString locked = dir.path() + "/locked.dsx";
    const QString existing = dir.path() + "/old.dsx";
    const QString fresh = dir.path() + "/new.dsx";
    writeFile(locked.toStdString(), "kept");
    writeFile(existing.toStdString(), "old");
    fs::permissions(locked.toStdString(), fs::perms::owner_read);
    gui::QtUi ui;
    QStringList messages;
    QStringList offered;
    const auto pick = [&offered](const QString& path) {
      return [&offered, path](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (d == nullptr) {
          w->close();
          return;
        }
        offered << d->selectedFiles().value(0);
        d->selectFile(path);
        // Typed, as a person types a name: a file still chosen in the list would otherwise put its
        // name back when the folder's listing refreshes.
        if (auto* list = d->findChild<QAbstractItemView*>("listView")) list->clearSelection();
        if (auto* edit = d->findChild<QLineEdit*>("fileNameEdit")) edit->setText(QFileInfo(path).fileName());
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
        // The same dialog comes back after a refusal: the script answers it again then.
        QMetaObject::invokeMethod(d, [d] { d->setProperty("lumatixAnswered", false); }, Qt::QueuedConnection);
      };
    };
    ModalScript script({pick(locked), pressOn(messages, QMessageBox::Ok), pick(existing),
                        pressOn(messages, QMessageBox::No), pick(fresh)});
    auto choice = ui.chooseSaveFile("Save Current Plot", "melt.dsx", {{"LumBinaryX  (*.dsx)", "*.dsx"}}, 1);
    QVERIFY(choice.has_value());
    QCOMPARE(QString::fromStdString(choice->path), fresh);
    QCOMPARE(messages.size(), 2);
    QVERIFY(messages[0].contains("read-only"));
    QVERIFY(messages[0].endsWith("Please choose another name."));
    QCOMPARE(messages[1], QStringLiteral("old.dsx already exists.\nDo you want to replace it?"));
    // Each time the dialog came back with the refused name in it.
    QCOMPARE(offered.size(), 3);
    QVERIFY(offered[1].endsWith("locked.dsx"));
    QCOMPARE(QString::fromStdString(readAll(locked.toStdString())), QStringLiteral("kept"));
  }

  void adviceTickedOnceIsNotShownAgain() {
    QTemporaryDir dir;
    lumatix::platform::SettingsStore settings(dir.path().toStdString() + "/viewer.conf");
    gui::QtUi ui;
    ui.setSettings(&settings);
    const std::string advice =
        "For best results, the wavelength range should start at 260nm or above and end at 190nm or below.";
    bool hadBox = false;
    onNextModal([&hadBox](QWidget* w) {
      auto* box = qobject_cast<lumatix::widgets::CheckedMessageBox*>(w);
      hadBox = box != nullptr && box->dontShowAgainBox()->text() == "Do not show this message again";
      if (box) {
        QTest::keyClick(box->dontShowAgainBox(), Qt::Key_Space);
        box->button(QMessageBox::Ok)->click();
      } else {
        w->close();
      }
    });
    QCOMPARE(ui.showAdvice(app::adviceKey(advice), advice, "Lumatix Viewer"), app::Answer::Ok);
    QVERIFY(hadBox);
    QCOMPARE(ui.showAdvice(app::adviceKey(advice), advice, "Lumatix Viewer"), app::Answer::NotShown);
    QVERIFY(app::adviceSilenced(lumatix::platform::SettingsStore(settings.path()), "CdnnWavelengthRange"));
  }
};

QTEST_MAIN(LaunchPadDialogsTest)
#include "launch_pad_dialogs_test.moc"
