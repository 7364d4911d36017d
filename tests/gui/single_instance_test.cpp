// A later lumatix-viewer hands its file to the running one over the instance socket and ends
// with status 0; the running one opens the file, or raises the window already showing that
// exact path; "-mi" starts a second viewer all the same. The later starts are real processes.
#include <QProcess>
#include <QTcpServer>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

#include "app/command_line_info.h"
#include "app/viewer_app.h"
#include "gui/main_frame_window.h"
#include <QLabel>
#include "gui/qt_ui.h"
#include "gui/viewer_host.h"
#include "gui_test_support.h"

using namespace lumatix::guitest;
namespace app = lumatix::app;
namespace gui = lumatix::gui;
namespace fs = std::filesystem;

class SingleInstanceTest : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QString run_;
  std::string data_;
  PlotJournal journal_;
  std::unique_ptr<gui::QtUi> ui_;
  std::unique_ptr<gui::ViewerHost> host_;
  std::unique_ptr<app::CKVViewerApp> viewer_;

  // A later start in the same session, from folder; returns its exit status.
  int start(const QStringList& arguments, const QString& folder, QProcessEnvironment extra = {},
            const QString& program = QStringLiteral(LUMATIX_VIEWER_BINARY), QByteArray* output = nullptr) {
    QProcess later;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", run_);
    env.insert("HOME", home_.path());
    env.insert("XDG_CONFIG_HOME", home_.path() + "/config");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("LUMATIX_MACHINE_CONFIG", home_.path() + "/no-machine.conf");
    for (const QString& key : extra.keys()) env.insert(key, extra.value(key));
    later.setProcessEnvironment(env);
    later.setWorkingDirectory(folder);
    later.start(program, arguments);
    if (!later.waitForStarted(5000)) return -1;
    // The running viewer answers from this event loop while the later one waits for it.
    QElapsedTimer clock;
    clock.start();
    while (later.state() != QProcess::NotRunning && clock.elapsed() < 20000) QTest::qWait(10);
    if (later.state() != QProcess::NotRunning) {
      later.kill();
      later.waitForFinished();
      return -2;
    }
    if (output != nullptr) *output = later.readAllStandardOutput();
    return later.exitStatus() == QProcess::NormalExit ? later.exitCode() : -3;
  }

 private slots:
  void initTestCase() {
    run_ = home_.path() + "/run";
    fs::create_directories(run_.toStdString());
    fs::permissions(run_.toStdString(), fs::perms::owner_all);
    fs::create_directories(home_.path().toStdString() + "/Documents");
    data_ = home_.path().toStdString() + "/data";
    fs::create_directories(data_ + "/sub");
    writeFile(data_ + "/a.dsx", "x");
    qputenv("XDG_RUNTIME_DIR", run_.toLocal8Bit());

    ui_ = std::make_unique<gui::QtUi>();
    host_ = std::make_unique<gui::ViewerHost>(*ui_, fakeMaker(journal_));
    app::StartupEnvironment env;
    env.machineConfigPath = home_.path().toStdString() + "/no-machine.conf";
    env.machineConfigOverride = "";
    env.settingsPath = home_.path().toStdString() + "/viewer.conf";
    env.syslogSocket = home_.path().toStdString() + "/no-log";
    env.documents = [this] { return lumatix::platform::DocumentsFolder{true, home_.path().toStdString(), 0}; };
    // The link goes nowhere that anybody could be serving.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 deadPort = probe.serverPort();
    probe.close();
    writeFile(env.settingsPath, "[Preferences]\nControlPanelPort=" + std::to_string(deadPort) + "\n");
    viewer_ = std::make_unique<app::CKVViewerApp>(*ui_, *host_, env);
    host_->attach(*viewer_);
    QVERIFY(viewer_->InitInstance(app::CKVCommandLineInfo::parse(std::vector<std::string>{})));
    QVERIFY(viewer_->instance() != nullptr);
    host_->listen(viewer_->instance());
    QVERIFY(host_->mainWindow() != nullptr);
  }

  void cleanupTestCase() {
    host_.reset();  // the windows go first
    viewer_->ExitInstance();
    viewer_.reset();
  }

  void laterStartHandsItsFileOver() {
    QSignalSpy taken(host_.get(), &gui::ViewerHost::requestTaken);
    const std::string file = data_ + "/a.dsx";
    QCOMPARE(start({QString::fromStdString(file)}, QString::fromStdString(data_)), 0);
    QCOMPARE(taken.count(), 1);
    QCOMPARE(taken.front().front().toString(), QString::fromStdString(file));
    QCOMPARE(host_->mainWindow()->frame().windowList(), std::vector<std::string>{"a.dsx"});
    QCOMPARE(journal_.events.back(), "open " + file);
  }

  void theSameFileRaisesItsWindow_data() {
    QTest::addColumn<QString>("argument");
    QTest::newRow("absolute") << QString::fromStdString(data_ + "/a.dsx");
    QTest::newRow("relative") << "a.dsx";
    QTest::newRow("through another folder") << "sub/../a.dsx";
  }
  void theSameFileRaisesItsWindow() {
    QFETCH(QString, argument);
    QCOMPARE(start({argument}, QString::fromStdString(data_)), 0);
    QCOMPARE(host_->mainWindow()->frame().windowCount(), std::size_t(1));
    QCOMPARE(journal_.events.back(), "activate " + data_ + "/a.dsx");
  }

  void anotherNameOpensAnotherWindow() {
    // The comparison is exact: a name in another letter case is another file here.
    writeFile(data_ + "/A.dsx", "x");
    QCOMPARE(start({"A.dsx"}, QString::fromStdString(data_)), 0);
    QCOMPARE(host_->mainWindow()->frame().windowList(), (std::vector<std::string>{"a.dsx", "A.dsx"}));
  }

  void laterStartWithoutAFileOnlyRaises() {
    QSignalSpy taken(host_.get(), &gui::ViewerHost::requestTaken);
    const std::size_t before = journal_.events.size();
    QCOMPARE(start({"-SuppressBlank"}, QString::fromStdString(data_)), 0);
    QCOMPARE(taken.count(), 1);
    QCOMPARE(taken.front().front().toString(), QString());
    QCOMPARE(journal_.events.size(), before);
  }

  void theControlPanelsRequestsReachTheRunningViewer() {
    QSignalSpy onLine(host_.get(), &gui::ViewerHost::onLineRequested);
    gui::MainFrameWindow* frame = host_->mainWindow();
    QByteArray said;
    QCOMPARE(start({"--request-connect"}, QString::fromStdString(data_), {}, QStringLiteral(LUMATIX_PANEL_BINARY), &said),
             0);
    QVERIFY2(said.contains("the viewer was asked to go on-line"), said.constData());
    QTRY_COMPARE(onLine.count(), 1);
    // The link went on-line to this computer (nobody serves there: it is lost and asks).
    SeenMessage lost;
    answerNextMessage(lost, QMessageBox::No);
    QCOMPARE(frame->link().serverAddress().rfind("127.0.0.1:", 0), std::size_t(0));
    QTRY_VERIFY_WITH_TIMEOUT(lost.text.contains("lost its link to the Control Panel"), 15000);
    QTRY_COMPARE(frame->messagePane()->text(), QStringLiteral("Ready (Off-line)"));

    // Outside 21 CFR Part 11 mode the viewer has no pipe to name its user in.
    QCOMPARE(start({"--request-auth"}, QString::fromStdString(data_), {}, QStringLiteral(LUMATIX_PANEL_BINARY), &said),
             1);
    QVERIFY2(said.contains("the viewer did not name its user"), said.constData());
  }

  void multipleInstancesRunSideBySide_data() {
    QTest::addColumn<QString>("flag");
    QTest::newRow("-mi") << "-mi";
    QTest::newRow("/mi") << "/mi";
  }
  void multipleInstancesRunSideBySide() {
    QFETCH(QString, flag);
    QTemporaryDir shots;
    QProcessEnvironment extra;
    extra.insert("LUMATIX_SCREENSHOTS", shots.path());
    extra.insert("LUMATIX_SCREENSHOT_DELAY_MS", "200");
    QSignalSpy taken(host_.get(), &gui::ViewerHost::requestTaken);
    QCOMPARE(start({flag}, QString::fromStdString(data_), extra), 0);
    // It ran its own main frame instead of handing over.
    QVERIFY(QFile::exists(shots.path() + "/mainFrame.png"));
    QCOMPARE(taken.count(), 0);
  }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
