// The main frame window: where it opens and what it says, the exit question in its two forms,
// the drop-down of plot windows kept in step with the frame, files dropped on it, the tree's
// commands from the keyboard, and the 500 ms timer.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>

#include <filesystem>

#include "app/launch_pad_paths.h"
#include "app/user_pref.h"
#include "gui/launch_pad_model.h"
#include "gui/main_frame_window.h"
#include "gui/qt_ui.h"
#include "gui_test_support.h"
#include "platform/settings_store.h"
#include "widgets/lock_indicators.h"

using lumatix::gui::MainFrameWindow;
using namespace lumatix::guitest;
namespace fs = std::filesystem;

namespace {

struct Frame {
  QTemporaryDir dir;
  std::string root = dir.path().toStdString() + "/My Data";
  lumatix::platform::SettingsStore settings{dir.path().toStdString() + "/viewer.conf"};
  lumatix::app::CUserPref preferences;
  lumatix::gui::QtUi ui;
  PlotJournal journal;
  std::unique_ptr<MainFrameWindow> window;

  Frame() {
    fs::create_directories(root + "/sub");
    writeFile(root + "/a.dsx", "x");
    writeFile(root + "/b.dsx", "x");
    preferences.workingDirectory = root;
    window = std::make_unique<MainFrameWindow>(ui, settings, preferences, fakeMaker(journal));
    ui.setParent(window.get());
    window->show();
  }

  QModelIndex item(const std::string& name) { return window->treeModel().find(root + "/" + name); }
};

void drop(QWidget* target, const QStringList& files, Qt::DropAction action = Qt::CopyAction) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& f : files) urls << QUrl::fromLocalFile(f);
  data.setUrls(urls);
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, action, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent dropped(QPointF(at), action, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &dropped);
}

}  // namespace

class MainFrameWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void opensWhereAndAsItShould() {
    Frame f;
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Lumatix Viewer"));
    QCOMPARE(f.window->geometry(), QRect(100, 100, 270, 727));
    auto* splitter = qobject_cast<QSplitter*>(f.window->centralWidget());
    QVERIFY(splitter != nullptr);
    const QList<int> sizes = splitter->sizes();
    QCOMPARE(sizes.size(), 2);
    // The tree takes 3/5 of the width (within the splitter handle's pixels).
    const double share = double(sizes[0]) / double(sizes[0] + sizes[1]);
    QVERIFY2(std::abs(share - 0.6) < 0.02, qPrintable(QString::number(share)));
    QCOMPARE(splitter->widget(0), f.window->tree());
    QCOMPARE(splitter->widget(1), static_cast<QWidget*>(f.window->infoPane()));
    QCOMPARE(f.window->messagePane()->text(), QStringLiteral("Ready (Off-line)"));
    QCOMPARE(f.window->workingDirectoryField()->text(), QString::fromStdString(f.root));
    QVERIFY(f.window->workingDirectoryField()->isReadOnly());
    auto labels = f.window->findChildren<QLabel*>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "Windows:"; }));
    QCOMPARE(f.window->findChildren<QToolBar*>().size(), 2);
    // Offscreen the window system does not tell the locks: the panes stay blank.
    QVERIFY(!f.window->locksReported());
    QCOMPARE(f.window->lockIndicators()->capsText(), QString());
    QCOMPARE(f.window->timer().interval(), 500);
    QVERIFY(f.window->timer().isActive());
    QSignalSpy ticks(f.window.get(), &MainFrameWindow::refreshTick);
    QVERIFY(ticks.wait(1500));
    // Every control can be named by a screen reader.
    for (QWidget* w : {static_cast<QWidget*>(f.window->tree()), static_cast<QWidget*>(f.window->infoPane()),
                       static_cast<QWidget*>(f.window->workingDirectoryField()),
                       static_cast<QWidget*>(f.window->windowList())})
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
  }

  void longWorkingDirectoryIsShortened() {
    Frame f;
    f.window->frame().setWorkingDirectory("/home/jsmith/data/cd/2026");
    QCOMPARE(f.window->workingDirectoryField()->text(), QStringLiteral("/home/.../2026"));
  }

  void exitQuestion_data() {
    QTest::addColumn<bool>("withWindow");
    QTest::addColumn<int>("press");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("closes");
    const QString exit = "Are you sure you want to exit the Lumatix Viewer application?\n\n";
    const QString graphs = "Are you sure?\nAll the graph windows will be closed if the launch pad is closed.\n";
    QTest::newRow("no window, Cancel") << false << int(QMessageBox::Cancel) << exit << false;
    QTest::newRow("no window, OK") << false << int(QMessageBox::Ok) << exit << true;
    QTest::newRow("a window, Cancel") << true << int(QMessageBox::Cancel) << graphs << false;
    QTest::newRow("a window, OK") << true << int(QMessageBox::Ok) << graphs << true;
  }
  void exitQuestion() {
    QFETCH(bool, withWindow);
    QFETCH(int, press);
    QFETCH(QString, question);
    QFETCH(bool, closes);
    Frame f;
    if (withWindow) f.window->openFile(f.root + "/a.dsx");
    QSignalSpy closed(f.window.get(), &MainFrameWindow::closed);
    SeenMessage seen;
    answerNextMessage(seen, static_cast<QMessageBox::StandardButton>(press));
    f.window->close();
    QCOMPARE(seen.text, question);
    QCOMPARE(seen.icon, QMessageBox::Information);
    QCOMPARE(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(f.window->isVisible(), !closes);
    QCOMPARE(closed.count(), closes ? 1 : 0);
    QCOMPARE(f.window->frame().windowCount(), std::size_t(withWindow && !closes ? 1 : 0));
    if (closes && withWindow) QCOMPARE(f.journal.events.back(), "close " + f.root + "/a.dsx");
    // The working directory goes back into the preferences only when the program ends.
    f.window->frame().setWorkingDirectory("/elsewhere");
  }

  void windowListFollowsTheFrame() {
    Frame f;
    QComboBox* list = f.window->windowList();
    QCOMPARE(list->count(), 0);
    f.window->openFile(f.root + "/a.dsx");
    f.window->openFile(f.root + "/b.dsx");
    f.window->frame().openEmpty();
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(0), QStringLiteral("a.dsx"));
    QCOMPARE(list->itemText(1), QStringLiteral("b.dsx"));
    QCOMPARE(list->itemText(2), QStringLiteral("Empty"));
    // Opening a file already shown raises its window instead of opening a second one.
    f.window->openFile(f.root + "/a.dsx");
    QCOMPARE(list->count(), 3);
    QCOMPARE(f.journal.events.back(), "activate " + f.root + "/a.dsx");
    // Choosing an entry raises that window; from the keyboard too.
    list->setFocus();
    list->setCurrentIndex(0);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(f.journal.events.back(), "activate " + f.root + "/b.dsx");
    f.window->action("CloseAll")->trigger();
    QCOMPARE(list->count(), 0);
  }

  void filesDroppedOnTheFrameOpen() {
    Frame f;
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const QString a = QString::fromStdString(f.root + "/a.dsx");
    const QString sub = QString::fromStdString(f.root + "/sub");
    drop(f.window->infoPane()->viewport(), {a, sub});
    QCOMPARE(f.window->frame().windowList(), std::vector<std::string>{"a.dsx"});
  }

  void filesDroppedOnAFolderOfTheTreeAreCopied() {
    Frame f;
    QTemporaryDir elsewhere;
    const std::string source = elsewhere.path().toStdString() + "/c.dsx";
    writeFile(source, "data");
    QModelIndex sub = f.item("sub");
    QVERIFY(sub.isValid());
    auto& model = f.window->treeModel();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(source))});
    model.dropMimeData(&data, Qt::CopyAction, -1, -1, sub);
    f.window->fileOperations().queue(lumatix::app::DropEffect::Copy).waitUntilIdle();
    QVERIFY(fs::exists(f.root + "/sub/c.dsx"));
    QVERIFY(fs::exists(source));
    // The tree shows the copy after the next tick.
    QTRY_VERIFY(f.window->treeModel().reveal(f.root + "/sub/c.dsx").isValid());
  }

  void enterOpensTheCurrentFile() {
    Frame f;
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QTreeView* tree = f.window->tree();
    tree->setFocus();
    tree->setCurrentIndex(f.item("a.dsx"));
    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(f.window->frame().windowList(), std::vector<std::string>{"a.dsx"});
    // A folder is not opened as a file.
    tree->setCurrentIndex(f.item("sub"));
    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(f.window->frame().windowCount(), std::size_t(1));
    // Ctrl+N opens an empty window.
    QTest::keyClick(tree, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.window->frame().windowList().back(), std::string("Empty"));
  }

  void infoPaneDescribesTheSelection() {
    Frame f;
    QSignalSpy shown(f.window.get(), &MainFrameWindow::infoShown);
    f.window->tree()->setCurrentIndex(f.item("a.dsx"));
    QVERIFY(shown.wait(3000));
    QCOMPARE(f.window->infoPane()->toPlainText(),
             QStringLiteral("File: a.dsx\nIt is not possible to view this file\nusing the Lumatix Viewer.\n"));
    f.window->tree()->selectionModel()->select(f.item("b.dsx"), QItemSelectionModel::Select);
    QVERIFY(shown.wait(3000));
    QCOMPARE(f.window->infoPane()->toPlainText(), QStringLiteral("2 files selected.\n"));
  }

  void deleteAsksFirst_data() {
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("No keeps it") << int(QMessageBox::No) << false;
    QTest::newRow("Yes deletes") << int(QMessageBox::Yes) << true;
  }
  void deleteAsksFirst() {
    QFETCH(int, press);
    QFETCH(bool, deleted);
    Frame f;
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->tree()->setCurrentIndex(f.item("sub"));
    SeenMessage seen;
    answerNextMessage(seen, static_cast<QMessageBox::StandardButton>(press));
    QTest::keyClick(f.window->tree(), Qt::Key_Delete);
    QCOMPARE(seen.text, QString::fromStdString("Are you sure you want to delete '" + f.root + "/sub'?"));
    QCOMPARE(fs::exists(f.root + "/sub"), !deleted);
  }

  void newFolderIsMadeAndRenamedInPlace() {
    Frame f;
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->tree()->setCurrentIndex(f.item("sub"));
    f.window->action("NewFolder")->trigger();
    QVERIFY(fs::is_directory(f.root + "/sub/New Folder"));
    QTreeView* tree = f.window->tree();
    QCOMPARE(f.window->treeModel().path(tree->currentIndex()), f.root + "/sub/New Folder");
    QTRY_VERIFY(QApplication::focusWidget() != tree);  // the name editor is open
    QWidget* editor = QApplication::focusWidget();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Spectra");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(fs::is_directory(f.root + "/sub/Spectra"));
  }

  void contextMenuHoldsTheCommandsForTheSelection() {
    Frame f;
    auto texts = [&] {
      QStringList out;
      QMenu* menu = f.window->contextMenu();
      for (QAction* a : menu->actions())
        if (!a->isSeparator()) out << a->text();
      delete menu;
      return out;
    };
    f.window->tree()->setCurrentIndex(f.item("sub"));
    QStringList folder = texts();
    QVERIFY(folder.contains("&New Folder"));
    QVERIFY(folder.contains("Set Working Directory Here"));
    QVERIFY(!folder.contains("&Open...\tCtrl+O"));
    f.window->tree()->setCurrentIndex(f.item("a.dsx"));
    QStringList file = texts();
    QVERIFY(file.contains("&Open...\tCtrl+O"));
    QVERIFY(!file.contains("&New Folder"));
    for (const char* both : {"&Delete", "&Rename", "&Browse with Explorer...", "Bac&k to Working Directory"}) {
      QVERIFY2(folder.contains(QString::fromUtf8(both)), both);
      QVERIFY2(file.contains(QString::fromUtf8(both)), both);
    }
  }

  void setWorkingDirectoryIsStored() {
    Frame f;
    f.window->tree()->setCurrentIndex(f.item("sub"));
    f.window->action("SetWorkingDirectoryHere")->trigger();
    QCOMPARE(f.window->workingDirectoryField()->text(),
             QString::fromStdString(lumatix::app::workingDirectoryDisplay(f.root + "/sub")));
    QCOMPARE(f.preferences.workingDirectory, f.root + "/sub");
    lumatix::platform::SettingsStore reread(f.dir.path().toStdString() + "/viewer.conf");
    QCOMPARE(reread.getString("Preferences", "Working Directory", ""), f.root + "/sub");
    // With a file selected it is refused with its message.
    f.window->action("BackToWorkingDirectory")->trigger();
    QTRY_VERIFY(f.item("a.dsx").isValid());
    f.window->tree()->setCurrentIndex(f.item("a.dsx"));
    SeenMessage seen;
    answerNextMessage(seen, QMessageBox::Ok);
    f.window->action("SetWorkingDirectory")->trigger();
    QCOMPARE(seen.text, QStringLiteral("Please select a directory\n"));
  }

  void alwaysOnTopToggles() {
    Frame f;
    QAction* top = f.window->action("AlwaysOnTop");
    top->trigger();
    QVERIFY(f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(top->isChecked());
    QVERIFY(f.window->isVisible());
    top->trigger();
    QVERIFY(!f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }
};

QTEST_MAIN(MainFrameWindowTest)
#include "main_frame_window_test.moc"
