// The launch pad's tree model: checked by QAbstractItemModelTester while it is read, renamed
// and re-rooted; folders before files, letter case ignored; a folder read only when asked;
// drops handed to the queues with their effect and target.
#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <filesystem>

#include "app/launch_pad.h"
#include "gui/launch_pad_model.h"
#include "gui/qt_ui.h"
#include "gui_test_support.h"

using lumatix::gui::LaunchPadModel;
using namespace lumatix::guitest;
namespace fs = std::filesystem;

namespace {

QStringList names(const LaunchPadModel& model, const QModelIndex& parent = {}) {
  QStringList out;
  for (int r = 0; r < model.rowCount(parent); ++r) out << model.index(r, 0, parent).data().toString();
  return out;
}

struct Tree {
  QTemporaryDir dir;
  std::string root = dir.path().toStdString();
  Tree() {
    fs::create_directories(root + "/beta/inner");
    fs::create_directories(root + "/Alpha");
    fs::create_directories(root + "/empty");
    writeFile(root + "/zeta.dsx", "x");
    writeFile(root + "/Beta.dsa", "x");
    writeFile(root + "/alpha.txt", "x");
    writeFile(root + "/beta/inner/deep.dsx", "x");
    writeFile(root + "/beta/one.dsx", "x");
  }
};

}  // namespace

class LaunchPadModelTest : public QObject {
  Q_OBJECT
 private slots:
  void foldersFirstIgnoringCase() {
    Tree t;
    lumatix::gui::QtUi ui;
    lumatix::app::LaunchPad pad(ui, t.root);
    LaunchPadModel model(pad);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(names(model), (QStringList{"Alpha", "beta", "empty", "alpha.txt", "Beta.dsa", "zeta.dsx"}));
    QModelIndex beta = model.index(1, 0);
    QCOMPARE(QString::fromStdString(model.path(beta)), QString::fromStdString(t.root + "/beta"));
    QVERIFY(model.isFolder(beta));
    QVERIFY(!model.isFolder(model.index(5, 0)));
    QCOMPARE(model.data(model.index(5, 0), LaunchPadModel::PathRole).toString(),
             QString::fromStdString(t.root + "/zeta.dsx"));
  }

  void foldersAreReadWhenOpened() {
    Tree t;
    lumatix::gui::QtUi ui;
    lumatix::app::LaunchPad pad(ui, t.root);
    // No tester while laziness is checked: it reads every folder at once.
    LaunchPadModel model(pad);
    QModelIndex beta = model.index(1, 0);
    // Not read yet: a file made now shows once the folder is opened.
    writeFile(t.root + "/beta/two.dsx", "x");
    QVERIFY(model.hasChildren(beta));
    QVERIFY(model.canFetchMore(beta));
    QCOMPARE(model.rowCount(beta), 0);
    model.fetchMore(beta);
    QVERIFY(!model.canFetchMore(beta));
    QCOMPARE(names(model, beta), (QStringList{"inner", "one.dsx", "two.dsx"}));
    // An empty folder loses its expander once read.
    QModelIndex empty = model.index(2, 0);
    QVERIFY(model.hasChildren(empty));
    model.fetchMore(empty);
    QVERIFY(!model.hasChildren(empty));
    // Files have no children.
    QVERIFY(!model.hasChildren(model.index(5, 0)));
  }

  void revealReadsTheWayDown() {
    Tree t;
    lumatix::gui::QtUi ui;
    lumatix::app::LaunchPad pad(ui, t.root);
    LaunchPadModel model(pad);
    const std::string deep = t.root + "/beta/inner/deep.dsx";
    QVERIFY(!model.find(deep).isValid());
    QModelIndex found = model.reveal(deep);
    QVERIFY(found.isValid());
    QCOMPARE(model.path(found), deep);
    QCOMPARE(model.find(deep), found);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(!model.reveal(t.root + "/beta/inner/missing.dsx").isValid());
    // A name that only starts like a folder is not inside it.
    QVERIFY(!model.reveal(t.root + "/betamax/one.dsx").isValid());
  }

  void renameAndNewRootReRead() {
    Tree t;
    lumatix::gui::QtUi ui;
    lumatix::app::LaunchPad pad(ui, t.root);
    LaunchPadModel model(pad);
    // A fresh tester checks each state the tree is re-read into (the tester reads every folder
    // from its reset handler, which it does not allow itself).
    auto tester = std::make_unique<QAbstractItemModelTester>(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QVERIFY(model.setData(model.index(5, 0), QStringLiteral("aaa.dsx")));
    QVERIFY(fs::exists(t.root + "/aaa.dsx"));
    // The tree is re-read once the edit is over, not inside it.
    QCOMPARE(resets.count(), 0);
    tester.reset();
    QTRY_COMPARE(resets.count(), 1);
    tester = std::make_unique<QAbstractItemModelTester>(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(names(model), (QStringList{"Alpha", "beta", "empty", "aaa.dsx", "alpha.txt", "Beta.dsa"}));
    // The same name or an empty one changes nothing.
    QVERIFY(!model.setData(model.index(3, 0), QStringLiteral("aaa.dsx")));
    QVERIFY(!model.setData(model.index(3, 0), QString()));

    tester.reset();
    QVERIFY(pad.setRoot({t.root + "/beta"}));
    QTRY_COMPARE(resets.count(), 2);
    tester = std::make_unique<QAbstractItemModelTester>(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(names(model), (QStringList{"inner", "one.dsx"}));
    tester.reset();
    pad.moveRootUp();
    QTRY_COMPARE(resets.count(), 3);
    QCOMPARE(model.rowCount(), 6);
    // Several notices in one event give one re-read.
    pad.backToWorkingDirectory();
    pad.moveRootUp();
    pad.backToWorkingDirectory();
    QTRY_COMPARE(resets.count(), 4);
    QTest::qWait(20);
    QCOMPARE(resets.count(), 4);
  }

  void emptyRootListsTheFileSystemRoot() {
    lumatix::gui::QtUi ui;
    lumatix::app::LaunchPad pad(ui, "");
    // No model tester here: it would walk the whole file system.
    LaunchPadModel model(pad);
    QCOMPARE(names(model), QStringList{"/"});
    QModelIndex slash = model.index(0, 0);
    QCOMPARE(model.path(slash), std::string("/"));
    QVERIFY(!(model.flags(slash) & Qt::ItemIsEditable));
    model.fetchMore(slash);
    QVERIFY(model.rowCount(slash) > 0);
    QCOMPARE(model.path(model.index(0, 0, slash)).front(), '/');
  }

  void dropsGoToTheQueueOfTheirEffect_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("effect");
    QTest::newRow("copy") << int(Qt::CopyAction) << int(lumatix::app::DropEffect::Copy);
    QTest::newRow("move") << int(Qt::MoveAction) << int(lumatix::app::DropEffect::Move);
    QTest::newRow("link") << int(Qt::LinkAction) << int(lumatix::app::DropEffect::Link);
  }
  void dropsGoToTheQueueOfTheirEffect() {
    QFETCH(int, action);
    QFETCH(int, effect);
    Tree t;
    lumatix::gui::QtUi ui;
    lumatix::app::LaunchPad pad(ui, t.root);
    LaunchPadModel model(pad);
    std::vector<std::string> dropped;
    std::string target;
    int seenEffect = -1;
    model.setDropHandler([&](const std::vector<std::string>& files, lumatix::app::DropEffect e, const std::string& folder) {
      dropped = files;
      target = folder;
      seenEffect = int(e);
    });
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(t.root + "/zeta.dsx")), QUrl("https://example.org/x.dsx")});
    QModelIndex alpha = model.index(0, 0);
    QModelIndex file = model.index(5, 0);
    const auto qtAction = static_cast<Qt::DropAction>(action);
    QVERIFY(!model.canDropMimeData(&data, qtAction, -1, -1, file));  // onto a file: no
    QVERIFY(model.canDropMimeData(&data, qtAction, -1, -1, alpha));
    // The queue does the work; the view must not delete the source of a move itself.
    QVERIFY(!model.dropMimeData(&data, qtAction, -1, -1, alpha));
    QCOMPARE(dropped, std::vector<std::string>{t.root + "/zeta.dsx"});
    QCOMPARE(target, t.root + "/Alpha");
    QCOMPARE(seenEffect, effect);
    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/x.dsx")});
    QVERIFY(!model.canDropMimeData(&remote, qtAction, -1, -1, alpha));
  }

  void dragCarriesTheItemsAsFiles() {
    Tree t;
    lumatix::gui::QtUi ui;
    lumatix::app::LaunchPad pad(ui, t.root);
    LaunchPadModel model(pad);
    std::unique_ptr<QMimeData> data(model.mimeData({model.index(5, 0), model.index(1, 0)}));
    QCOMPARE(lumatix::gui::localFiles(data.get()), (std::vector<std::string>{t.root + "/zeta.dsx", t.root + "/beta"}));
  }
};

QTEST_MAIN(LaunchPadModelTest)
#include "launch_pad_model_test.moc"
