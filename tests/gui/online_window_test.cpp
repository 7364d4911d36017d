// The main frame's menus and its on-line side, with the real plot windows and the simulator
// served in this process: the menus are the frame's commands, "Go On-line..." goes through the
// Connect dialog, and an acquisition grows in its window, refuses to close, can be fitted
// while it arrives and is saved at the end.
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <filesystem>

#include "app/compliance_settings.h"
#include "app/plot_document.h"
#include "app/user_pref.h"
#include "datastore/data_store.h"
#include "gui/about_dialog.h"
#include "gui/connect_dialog.h"
#include "gui/live_fit_dialog.h"
#include "gui/live_fit_overlay.h"
#include "gui/main_frame_window.h"
#include "gui/online_plot_window.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/qt_ui.h"
#include "gui_test_support.h"
#include "link/control_panel_server.h"
#include "platform/settings_store.h"

using namespace lumatix::guitest;
namespace app = lumatix::app;
namespace gui = lumatix::gui;
namespace il = instrument_link;
namespace fs = std::filesystem;

namespace {

// Two shots of 0.6 exp(-4 t) + 0.2 on 400 points, along "Time" and "Repeat".
lumatix::datastore::DataStore shots() {
  lumatix::datastore::DataStore store;
  store.title = "shots";
  store.addProperty("Absorbance");
  std::vector<float> t(400);
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = 0.005f * static_cast<float>(i);
  store.addDimension(lumatix::datastore::Dimension("Time", t));
  store.addDimension(lumatix::datastore::Dimension("Repeat", std::vector<float>{1.0f, 2.0f}));
  for (std::int32_t i = 0; i < store.data.count; ++i)
    store.data.data[i] = static_cast<float>(0.6 * std::exp(-4.0 * t[static_cast<std::size_t>(i % 400)]) + 0.2);
  return store;
}

QStringList texts(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return out;
}

QAction* inMenu(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

// LUMATIX_TEST_PICTURES=folder keeps what the test saw, to be looked at.
void picture(QWidget* w, const QString& name) {
  const QString folder = qEnvironmentVariable("LUMATIX_TEST_PICTURES");
  if (!folder.isEmpty()) w->grab().save(folder + "/" + name + ".png");
}

}  // namespace

class OnlineWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::string run_;
  std::unique_ptr<lumatix::platform::SettingsStore> settings_;
  app::CUserPref preferences_;
  gui::QtUi ui_;
  std::unique_ptr<gui::MainFrameWindow> window_;
  std::shared_ptr<il::SimulatorCore> core_;
  std::unique_ptr<il::ControlPanelServer> panel_;

  void serve(std::vector<il::PlayItem> plays, il::SimulatorOptions options) {
    panel_.reset();
    core_ = std::make_shared<il::SimulatorCore>(std::move(plays), options);
    panel_ = std::make_unique<il::ControlPanelServer>(core_, il::ServerOptions{});
    settings_->setInt("Preferences", "ControlPanelPort", panel_->port());
  }

  void makeFrame() {
    window_.reset();
    auto frame = [this]() -> app::MainFrame* { return window_ ? &window_->frame() : nullptr; };
    window_ = std::make_unique<gui::MainFrameWindow>(ui_, *settings_, preferences_, gui::plotWindowMaker(ui_, frame));
    ui_.setParent(window_.get());
    window_->show();
  }

 private slots:
  void init() {
    run_ = dir_.path().toStdString() + "/run";
    fs::create_directories(run_);
    preferences_.workingDirectory = run_;
    settings_ = std::make_unique<lumatix::platform::SettingsStore>(dir_.path().toStdString() + "/viewer.conf");
    app::ComplianceSettings::instance().reset();
    serve({}, {});
    makeFrame();
  }

  void cleanup() {
    window_.reset();
    panel_.reset();
  }

  void theMenusHoldTheFramesCommands() {
    QMenuBar* bar = window_->menuBar();
    QStringList titles;
    for (QAction* a : bar->actions()) titles << a->text();
    QCOMPARE(titles, (QStringList{"&File", "&View", "&Directory", "&Preferences", "&Help"}));
    QCOMPARE(texts(window_->menu("&File")), (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "-",
                                                         "&Close All Viewer Windows", "-", "E&xit"}));
    QCOMPARE(texts(window_->menu("&View")), (QStringList{"&Always On Top", "Re&fresh"}));
    QCOMPARE(texts(window_->menu("&Preferences")),
             (QStringList{"Single Window", "Go On-line...", "-", "Allow Cary Files"}));
    QCOMPARE(texts(window_->menu("&Help")), (QStringList{"Help Topics...", "-", "&About Lumatix Viewer..."}));
    for (const char* m : {"&File", "&Directory", "&Preferences"}) {
      QMenu* menu = window_->menu(m);
      menu->popup(window_->mapToGlobal(QPoint(0, 20)));
      picture(menu, QString::fromLatin1(m).remove('&') + "-menu");
      menu->hide();
    }
    picture(window_.get(), "main-frame");
    QVERIFY(texts(window_->menu("&Directory")).contains("Set &Working Directory"));
    QVERIFY(texts(window_->menu("&Directory")).contains("Bac&k to Working Directory"));
    // One action per command: the menu's is the shortcut's and the context menu's.
    QCOMPARE(inMenu(window_->menu("&File"), "&New\tCtrl+N"), window_->action("New"));
    QCOMPARE(window_->action("New")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));

    // Through the menus: the preference is written at once, New opens "Empty".
    QAction* single = inMenu(window_->menu("&Preferences"), "Single Window");
    QVERIFY(single->isChecked());
    single->trigger();
    QVERIFY(!single->isChecked());
    QCOMPARE(lumatix::platform::SettingsStore(dir_.path().toStdString() + "/viewer.conf").getInt("Preferences",
                                                                                              "SingleWindow", 1),
             0);
    inMenu(window_->menu("&File"), "&New\tCtrl+N")->trigger();
    QCOMPARE(window_->frame().windowList(), std::vector<std::string>{"Empty"});
    inMenu(window_->menu("&File"), "&Close All Viewer Windows")->trigger();
    QCOMPARE(window_->frame().windowCount(), std::size_t(0));
  }

  void helpShowsTheManualAndAboutTheBuild() {
    std::vector<std::string> opened;
    window_->openManual = [&](const std::string& path) {
      opened.push_back(path);
      return true;
    };
    QAction* help = inMenu(window_->menu("&Help"), "Help Topics...");
    QVERIFY(help->isEnabled());
    help->trigger();
    QCOMPARE(opened.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(opened[0]).endsWith("README.md"));
    QVERIFY(fs::exists(opened[0]));

    QString shown;
    onNextModal([&](QWidget* w) {
      auto* about = qobject_cast<gui::AboutDialog*>(w);
      if (about != nullptr) shown = about->windowTitle() + "|" + about->textLabel()->text();
      picture(w, "about");
      w->close();
    });
    inMenu(window_->menu("&Help"), "&About Lumatix Viewer...")->trigger();
    QVERIFY2(shown.startsWith("About Lumatix Viewer|Lumatix Viewer\nVersion 4.4.2.0\nBuilt "), qPrintable(shown));
  }

  void goOnLineAsksWhereThroughTheConnectDialog_data() {
    QTest::addColumn<bool>("compliant");
    QTest::newRow("remote allowed") << false;
    QTest::newRow("21 CFR Part 11 mode") << true;
  }
  void goOnLineAsksWhereThroughTheConnectDialog() {
    QFETCH(bool, compliant);
    app::ComplianceSettings::instance().reset({compliant, false, false});
    window_->link().setLastRemoteAddress("10.1.2.3");
    bool remoteEnabled = true;
    QStringList shownFields;
    QString refused;
    onNextModal([&](QWidget* w) {
      auto* dialog = qobject_cast<gui::ConnectDialog*>(w);
      if (dialog == nullptr) {
        w->close();
        return;
      }
      remoteEnabled = dialog->remoteButton()->isEnabled();
      picture(dialog, compliant ? "connect-compliant" : "connect");
      for (int k = 0; k < 4; ++k) shownFields << dialog->field(k)->text();
      QVERIFY(dialog->localButton()->isChecked());
      QVERIFY(!dialog->field(0)->isEnabled());
      if (remoteEnabled) {
        dialog->remoteButton()->click();
        QVERIFY(dialog->field(0)->isEnabled());
        QVERIFY(dialog->addressLabel()->isEnabled());
        // Nothing above 255 can be typed; a dot is no part of a field.
        dialog->field(0)->clear();
        QTest::keyClicks(dialog->field(0), "300");
        refused = dialog->field(0)->text();
        const char* typed[] = {"127.", "0", "0", "1"};
        for (int k = 0; k < 4; ++k) {
          dialog->field(k)->clear();
          QTest::keyClicks(dialog->field(k), typed[k]);
        }
        QCOMPARE(dialog->field(0)->text(), QStringLiteral("127"));
      }
      dialog->accept();
    });
    inMenu(window_->menu("&Preferences"), "Go On-line...")->trigger();
    QCOMPARE(shownFields, (QStringList{"10", "1", "2", "3"}));
    QCOMPARE(remoteEnabled, !compliant);
    const std::string expected = "127.0.0.1:" + std::to_string(panel_->port());
    QCOMPARE(window_->link().serverAddress(), expected);
    QCOMPARE(window_->messagePane()->text(), QStringLiteral("Ready (On-line)"));
    QVERIFY(window_->link().running());
    if (!compliant) {
      QCOMPARE(refused, QStringLiteral("30"));
      QCOMPARE(window_->link().lastRemoteAddress(), std::string("127.0.0.1"));
    } else {
      QCOMPARE(window_->link().lastRemoteAddress(), std::string("10.1.2.3"));
    }
  }

  void anAcquisitionGrowsInItsWindowIsFittedAndSavedAtTheEnd() {
    il::SimulatorOptions options;
    options.recordsPerBlock = 20;
    options.blockIntervalMs = 40;
    serve({{"shots.dsx", shots()}}, options);
    makeFrame();
    QVERIFY(window_->link().goOnLineLocal());
    QTRY_VERIFY_WITH_TIMEOUT(window_->frame().onlineWindow() != nullptr, 10000);
    auto* handle = dynamic_cast<gui::OnlinePlotWindowHandle*>(window_->frame().onlineWindow());
    QVERIFY(handle != nullptr);
    gui::PlotWindow* plot = handle->window();
    gui::OnlinePlotController* controller = handle->controller();
    const QString path = QString::fromStdString(run_ + "/shots.dsx");
    QCOMPARE(plot->windowTitle(), path);
    QCOMPARE(window_->windowList()->itemText(0), QStringLiteral("shots.dsx"));

    // It grows: the traces along Time, one per Repeat, redrawn as blocks arrive.
    QTRY_VERIFY_WITH_TIMEOUT(controller->redraws() >= 3, 10000);
    QCOMPARE(plot->document().dataSet().TraceCount(), 2);
    QVERIFY(controller->autoScaleAction()->isEnabled());
    QVERIFY(!controller->autoScaleAction()->isChecked());
    QTest::keyClick(plot, Qt::Key_O, Qt::ShiftModifier);
    QVERIFY(controller->autoScaleAction()->isChecked());
    QVERIFY(controller->model().autoScale());

    // Closing is refused while it arrives.
    SeenMessage refused;
    answerNextMessage(refused, QMessageBox::Ok);
    QVERIFY(!plot->close());
    QCOMPARE(refused.text, QStringLiteral("Acquistion in progress.  Please wait for the data acquisition to finish.\n"));
    QVERIFY(plot->isVisible());

    // A live fit through its dialog: the line over the plot, the parameters in the pane.
    onNextModal([](QWidget* w) {
      auto* dialog = qobject_cast<gui::LiveFitDialog*>(w);
      if (dialog == nullptr) {
        w->close();
        return;
      }
      dialog->functionBox()->setCurrentIndex(dialog->functionBox()->findText("Single Exponential"));
      picture(dialog, "live-fit-dialog");
      QCOMPARE(dialog->traceBox()->count(), 2);
      dialog->accept();
    });
    controller->liveFitAction()->trigger();
    QTRY_VERIFY(controller->fitPane()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(controller->fitText()->toPlainText().contains("k = "), 10000);
    QTRY_VERIFY(!controller->fitLine()->drawn().empty());
    picture(plot, "online-window");

    // The end: saved under its name, the window an ordinary one, the fit in the history.
    QTRY_VERIFY_WITH_TIMEOUT(window_->frame().onlineWindow() == nullptr, 30000);
    QVERIFY(!controller->autoScaleAction()->isEnabled());
    QVERIFY(!controller->liveFitAction()->isEnabled());
    QCOMPARE(plot->windowTitle(), path);
    lumatix::datastore::DataStore back;
    QVERIFY(back.load(path.toStdString(), false));
    const lumatix::datastore::DataStore played = shots();
    QCOMPARE(back.data.count, played.data.count);
    for (std::int32_t i = 0; i < played.data.count; ++i) QCOMPARE(back.data.data[i], played.data.data[i]);
    QCOMPARE(back.history.back().title, std::string("Fitting"));
    // The window shows every value it saved.
    QCOMPARE(plot->document().dataSet().YValues(1).back(), static_cast<double>(played.data.data[799]));
    picture(plot, "online-window-saved");
    QVERIFY(plot->close());
  }
};

QTEST_MAIN(OnlineWindowTest)
#include "online_window_test.moc"
