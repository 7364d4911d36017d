#include "gui/main_frame_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

#include <filesystem>

#include "app/compliance_settings.h"
#include "app/launch_pad_paths.h"
#include "app/online_window.h"
#include "app/server_dialog.h"
#include "app/user_pref.h"
#include "gui/about_dialog.h"
#include "gui/connect_dialog.h"
#include "gui/keyboard_locks.h"
#include "gui/launch_pad_model.h"
#include "gui/qt_ui.h"
#include "platform/settings_store.h"
#include "widgets/lock_indicators.h"

namespace lumatix::gui {

namespace {

// The info pane's texts end their lines in "\r\n"; the pane wants "\n".
QString paneText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.remove('\r');
  return s;
}

bool isFolderPath(const std::string& path) {
  std::error_code e;
  return std::filesystem::is_directory(path, e);
}

}  // namespace

MainFrameWindow::MainFrameWindow(QtUi& ui, platform::SettingsStore& settings, app::CUserPref& preferences,
                                 app::PlotWindowMaker maker, QWidget* parent)
    : QMainWindow(parent), ui_(ui), settings_(settings), preferences_(preferences) {
  setWindowTitle(QStringLiteral("Lumatix Viewer"));
  setAccessibleName(windowTitle());
  setObjectName(QStringLiteral("mainFrame"));
  setGeometry(100, 100, 270, 727);
  setAcceptDrops(true);

  frame_ = std::make_unique<app::MainFrame>(ui_, settings_, preferences_, std::move(maker));
  // The link thread's notices come back to this window's event loop, in order.
  link_ = std::make_unique<app::MainFrameLink>(
      *frame_, ui_, app::controlPanelClientFactory(settings_),
      [this](std::function<void()> call) { QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection); },
      app::controlPanelPort(settings_));
  openManual = [](const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
  };
  pad_ = std::make_unique<app::LaunchPad>(ui_, preferences_.workingDirectory);
  frame_->follow(*pad_);

  // The bars: the working directory, then the plot windows.
  auto* directoryBar = addToolBar(tr("Working Directory"));
  directoryBar->setObjectName(QStringLiteral("workingDirectoryBar"));
  workingDirectory_ = new QLineEdit(directoryBar);
  workingDirectory_->setReadOnly(true);
  workingDirectory_->setAccessibleName(tr("Working directory"));
  directoryBar->addWidget(workingDirectory_);
  addToolBarBreak();
  auto* windowBar = addToolBar(tr("Windows"));
  windowBar->setObjectName(QStringLiteral("windowBar"));
  auto* windowsLabel = new QLabel(tr("Windows:"), windowBar);
  windows_ = new QComboBox(windowBar);
  windows_->setAccessibleName(tr("Open plot windows"));
  windows_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  windows_->setMinimumContentsLength(12);
  windowsLabel->setBuddy(windows_);
  windowBar->addWidget(windowsLabel);
  windowBar->addWidget(windows_);
  connect(windows_, &QComboBox::activated, this, [this](int index) {
    if (index >= 0) frame_->selectWindow(static_cast<std::size_t>(index));
  });

  // The tree beside the info pane.
  splitter_ = new QSplitter(Qt::Horizontal, this);
  model_ = new LaunchPadModel(*pad_, this);
  model_->setDropHandler([this](const std::vector<std::string>& files, app::DropEffect effect,
                                const std::string& folder) { fileOperations_.drop(files, effect, folder); });
  tree_ = new QTreeView(splitter_);
  tree_->setObjectName(QStringLiteral("launchPadTree"));
  tree_->setAccessibleName(tr("Launch pad"));
  tree_->setModel(model_);
  tree_->setHeaderHidden(true);
  tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree_->setEditTriggers(QAbstractItemView::EditKeyPressed);
  tree_->setDragDropMode(QAbstractItemView::DragDrop);
  tree_->setDefaultDropAction(Qt::CopyAction);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  info_ = new QPlainTextEdit(splitter_);
  info_->setObjectName(QStringLiteral("infoPane"));
  info_->setReadOnly(true);
  info_->setAcceptDrops(false);
  info_->setAccessibleName(tr("File information"));
  info_->setLineWrapMode(QPlainTextEdit::NoWrap);
  splitter_->addWidget(tree_);
  splitter_->addWidget(info_);
  splitter_->setStretchFactor(0, 3);
  splitter_->setStretchFactor(1, 2);
  setCentralWidget(splitter_);
  const int width = 270;
  splitter_->setSizes({width * 3 / 5, width - width * 3 / 5});

  connect(tree_, &QTreeView::activated, this, [this](const QModelIndex& index) {
    if (!model_->isFolder(index)) openFile(model_->path(index));
  });
  connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    contextMenu()->popup(tree_->viewport()->mapToGlobal(at));
  });
  connect(model_, &QAbstractItemModel::modelReset, this, &MainFrameWindow::selectionChanged);
  connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MainFrameWindow::selectionChanged);

  infoWatcher_ = new QFutureWatcher<QString>(this);
  connect(infoWatcher_, &QFutureWatcher<QString>::finished, this, [this] {
    if (infoWatcher_->property("generation").toUInt() != infoGeneration_) return;
    info_->setPlainText(infoWatcher_->result());
    emit infoShown();
  });

  // The status bar: the message pane, then the lock panes.
  message_ = new QLabel(statusBar());
  message_->setAccessibleName(tr("Status"));
  statusBar()->addWidget(message_, 1);
  locks_ = new widgets::LockIndicators(statusBar());
  statusBar()->addPermanentWidget(locks_);

  buildActions();
  buildMenus();

  frameSubscription_ = frame_->changes().subscribe([this](app::Change what) { showFrame(what); });
  showFrame(app::Change::WindowList | app::Change::StatusText | app::Change::WorkingDirectory | app::Change::Options);

  connect(&timer_, &QTimer::timeout, this, &MainFrameWindow::tick);
  timer_.start(kTimerMs);
  tick();
  setTabOrder(tree_, info_);
  tree_->setFocus();
}

MainFrameWindow::~MainFrameWindow() {
  frameSubscription_.reset();
  // The link goes first: no notice may reach windows that are being closed.
  link_.reset();
  fileOperations_.stop();
  // The plot windows go before the widgets they may refer to.
  frame_->closeAll();
}

QAction* MainFrameWindow::addCommand(const std::string& name, const QString& text, const QKeySequence& shortcut,
                                     MainMenu menu, int group) {
  auto* a = new QAction(text, this);
  a->setObjectName(QString::fromStdString(name));
  if (!shortcut.isEmpty()) {
    a->setShortcut(shortcut);
    a->setShortcutContext(Qt::WindowShortcut);
  }
  addAction(a);
  actions_[name] = a;
  order_.push_back(name);
  if (menu != MainMenu::None) placements_.push_back({name, menu, group});
  return a;
}

void MainFrameWindow::buildMenus() {
  static const std::pair<MainMenu, const char*> menus[] = {{MainMenu::File, "&File"},
                                                           {MainMenu::View, "&View"},
                                                           {MainMenu::Directory, "&Directory"},
                                                           {MainMenu::Preferences, "&Preferences"},
                                                           {MainMenu::Help, "&Help"}};
  for (const auto& [which, title] : menus) {
    std::vector<Placement> items;
    for (const Placement& p : placements_)
      if (p.menu == which) items.push_back(p);
    if (items.empty()) continue;
    std::stable_sort(items.begin(), items.end(), [](const Placement& a, const Placement& b) { return a.group < b.group; });
    QMenu* m = menuBar()->addMenu(tr(title));
    m->setObjectName(QString::fromLatin1(title).remove('&').toLower() + QStringLiteral("Menu"));
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i > 0 && items[i].group != items[i - 1].group) m->addSeparator();
      m->addAction(action(items[i].command));
    }
  }
}

QMenu* MainFrameWindow::menu(const QString& title) const {
  for (QAction* a : menuBar()->actions())
    if (a->text() == title && a->menu() != nullptr) return a->menu();
  return nullptr;
}

void MainFrameWindow::buildActions() {
  using M = MainMenu;
  connect(addCommand("New", tr("&New\tCtrl+N"), QKeySequence(Qt::CTRL | Qt::Key_N), M::File, kFileOpenGroup),
          &QAction::triggered, this, [this] { frame_->openEmpty(); });
  connect(addCommand("Open", tr("&Open...\tCtrl+O"), QKeySequence(Qt::CTRL | Qt::Key_O), M::File, kFileOpenGroup),
          &QAction::triggered, this, &MainFrameWindow::openSelected);
  connect(addCommand("CloseAll", tr("&Close All Viewer Windows"), {}, M::File, kFileWindowsGroup), &QAction::triggered,
          this, [this] { frame_->closeAll(true); });
  connect(addCommand("Exit", tr("E&xit"), {}, M::File, kFileExitGroup), &QAction::triggered, this, &QWidget::close);

  QAction* top = addCommand("AlwaysOnTop", tr("&Always On Top"), {}, M::View);
  top->setCheckable(true);
  connect(top, &QAction::triggered, this, [this] { frame_->toggleAlwaysOnTop(); });
  connect(addCommand("Refresh", tr("Re&fresh"), QKeySequence(Qt::Key_F5), M::View), &QAction::triggered, this,
          [this] { model_->refresh(); });

  connect(addCommand("SetWorkingDirectory", tr("Set &Working Directory"), {}, M::Directory), &QAction::triggered, this,
          &MainFrameWindow::setWorkingDirectory);
  connect(addCommand("BackToWorkingDirectory", tr("Bac&k to Working Directory"), {}, M::Directory),
          &QAction::triggered, this, [this] { pad_->backToWorkingDirectory(); });
  connect(addCommand("MoveRootUp", tr("&Move Root Directory Up One Level"), {}, M::Directory), &QAction::triggered,
          this, [this] { pad_->moveRootUp(); });
  connect(addCommand("SetRoot", tr("Set as &Root"), {}, M::Directory), &QAction::triggered, this,
          &MainFrameWindow::setRoot);
  connect(addCommand("BrowseForFolders", tr("&Browse for Folders..."), {}, M::Directory), &QAction::triggered, this,
          &MainFrameWindow::browseForFolders);
  connect(addCommand("NewFolder", tr("&New Folder"), {}, M::Directory, 1), &QAction::triggered, this,
          &MainFrameWindow::newFolder);
  connect(addCommand("Rename", tr("&Rename"), QKeySequence(Qt::Key_F2), M::Directory, 1), &QAction::triggered, this,
          &MainFrameWindow::renameSelected);
  connect(addCommand("Delete", tr("&Delete"), QKeySequence::Delete, M::Directory, 1), &QAction::triggered, this,
          &MainFrameWindow::deleteSelected);
  connect(addCommand("BrowseWithFileManager", tr("&Browse with Explorer..."), {}, M::Directory, 2),
          &QAction::triggered, this, &MainFrameWindow::browseWithFileManager);
  connect(addCommand("SetWorkingDirectoryHere", tr("Set Working Directory Here")), &QAction::triggered, this,
          &MainFrameWindow::setWorkingDirectory);

  QAction* single = addCommand("SingleWindow", tr("Single Window"), {}, M::Preferences);
  single->setCheckable(true);
  connect(single, &QAction::triggered, this, [this] { frame_->toggleSingleWindow(); });
  connect(addCommand("GoOnLine", tr("Go On-line..."), {}, M::Preferences), &QAction::triggered, this,
          &MainFrameWindow::goOnLine);
  QAction* cary = addCommand("AllowCaryFiles", tr("Allow Cary Files"), {}, M::Preferences, 1);
  cary->setCheckable(true);
  connect(cary, &QAction::triggered, this, [this] { frame_->toggleAllowCaryFiles(); });

  connect(addCommand("HelpTopics", tr("Help Topics..."), QKeySequence::HelpContents, M::Help), &QAction::triggered,
          this, &MainFrameWindow::showHelpTopics);
  connect(addCommand("About", tr("&About Lumatix Viewer..."), {}, M::Help, 1), &QAction::triggered, this,
          &MainFrameWindow::showAbout);

  for (auto& [name, a] : actions_) a->setStatusTip(a->text().section('\t', 0, 0).remove('&'));
  // Without plot windows there is nothing to open files in.
  action("New")->setVisible(frame_->opensWindows());
  action("Open")->setVisible(frame_->opensWindows());
  action("New")->setEnabled(frame_->opensWindows());
  action("Open")->setEnabled(frame_->opensWindows());
  setAcceptDrops(frame_->opensWindows());
  // Help Topics is there only when there is a manual to show.
  action("HelpTopics")->setEnabled(!manualPath().empty());
}

QAction* MainFrameWindow::action(const std::string& command) const {
  auto it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second;
}

std::vector<std::string> MainFrameWindow::commandNames() const { return order_; }

QMenu* MainFrameWindow::contextMenu() {
  updateCommands();
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName(tr("Launch pad commands"));
  const std::vector<std::string> selected = selection();
  const bool oneFolder = selected.size() == 1 && isFolderPath(selected.front());
  if (oneFolder) {
    for (const char* name : {"NewFolder", "SetWorkingDirectoryHere", "SetRoot"}) menu->addAction(action(name));
  } else if (frame_->opensWindows()) {
    menu->addAction(action("Open"));
  }
  menu->addSeparator();
  for (const char* name : {"Delete", "Rename", "BrowseWithFileManager"}) menu->addAction(action(name));
  menu->addSeparator();
  for (const char* name : {"BackToWorkingDirectory", "MoveRootUp", "BrowseForFolders", "Refresh"})
    menu->addAction(action(name));
  return menu;
}

void MainFrameWindow::updateCommands() {
  const std::vector<std::string> selected = selection();
  const bool one = selected.size() == 1;
  const bool oneFolder = one && isFolderPath(selected.front());
  action("Delete")->setEnabled(!selected.empty());
  action("Rename")->setEnabled(one);
  action("NewFolder")->setEnabled(oneFolder);
}

std::vector<std::string> MainFrameWindow::selection() const {
  QModelIndexList rows = tree_->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(), [this](const QModelIndex& a, const QModelIndex& b) {
    return tree_->visualRect(a).top() < tree_->visualRect(b).top();
  });
  std::vector<std::string> paths;
  for (const QModelIndex& i : rows) paths.push_back(model_->path(i));
  return paths;
}

void MainFrameWindow::showFrame(app::Change what) {
  if (app::any(what, app::Change::WorkingDirectory))
    workingDirectory_->setText(QString::fromStdString(frame_->workingDirectoryText()));
  if (app::any(what, app::Change::StatusText)) message_->setText(QString::fromStdString(frame_->statusText()));
  if (app::any(what, app::Change::WindowList)) showWindowList();
  if (app::any(what, app::Change::Options)) showOptions();
}

void MainFrameWindow::showWindowList() {
  const int current = windows_->currentIndex();
  windows_->clear();
  for (const std::string& name : frame_->windowList()) windows_->addItem(QString::fromStdString(name));
  if (windows_->count() > 0) windows_->setCurrentIndex(std::clamp(current, 0, windows_->count() - 1));
}

void MainFrameWindow::showOptions() {
  action("AlwaysOnTop")->setChecked(frame_->alwaysOnTop());
  action("SingleWindow")->setChecked(frame_->singleWindow());
  action("AllowCaryFiles")->setChecked(frame_->allowCaryFiles());
  const bool onTop = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  if (onTop != frame_->alwaysOnTop()) {
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, frame_->alwaysOnTop());
    if (shown) show();  // changing the flag hides the window
  }
}

void MainFrameWindow::selectionChanged() {
  const std::vector<std::string> selected = selection();
  const bool allowCary = frame_->allowCaryFiles();
  ++infoGeneration_;
  if (selected.empty()) {
    info_->clear();
    emit infoShown();
    return;
  }
  // Describing a file loads it: a large one must not hold the window.
  infoWatcher_->setProperty("generation", infoGeneration_);
  infoWatcher_->setFuture(QtConcurrent::run([selected, allowCary] {
    return paneText(app::LaunchPad::infoText(selected, allowCary));
  }));
}

void MainFrameWindow::goOnLine() {
  app::CServerDlg rules(link_->lastRemoteAddress(), app::ComplianceSettings::instance().snapshot().cfrCompliant);
  ConnectDialog dialog(rules.initial(), rules.remoteAllowed(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const app::CServerDlg::Outcome outcome = rules.accept(dialog.settings());
  link_->setLastRemoteAddress(outcome.lastRemoteAddress);
  link_->goOnLine(outcome.address);
}

std::string MainFrameWindow::manualPath() {
  const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/doc/lumatix-viewer/README.md");
  std::vector<std::string> candidates{QFileInfo(installed).absoluteFilePath().toStdString()};
#ifdef LUMATIX_SOURCE_README
  candidates.push_back(LUMATIX_SOURCE_README);
#endif
  for (const std::string& c : candidates) {
    std::error_code e;
    if (std::filesystem::is_regular_file(c, e)) return c;
  }
  return "";
}

void MainFrameWindow::showHelpTopics() {
  const std::string path = manualPath();
  if (path.empty() || !openManual || !openManual(path))
    ui_.showMessage("The manual " + (path.empty() ? std::string("README.md") : path) +
                        " could not be shown.\nIs a program for reading it installed?",
                    "Lumatix Viewer", app::Icon::Warning, app::Buttons::Ok);
}

void MainFrameWindow::showAbout() {
  AboutDialog dialog(this);
  dialog.exec();
}

void MainFrameWindow::tick() {
  std::optional<widgets::LockState> locks = readKeyboardLocks();
  locksReported_ = locks.has_value();
  locks_->setState(locks.value_or(widgets::LockState{}));
  // Files the queues have copied, moved or linked since the last tick appear in the tree.
  std::size_t handled = 0;
  for (app::DropEffect e : {app::DropEffect::Copy, app::DropEffect::Move, app::DropEffect::Link})
    handled += fileOperations_.queue(e).done();
  if (handled != filesHandled_) {
    filesHandled_ = handled;
    model_->refresh();
  }
  link_->tick();
  if (link_->firstRefreshPending())
    QTimer::singleShot(app::OnlineWindow::kFirstRefreshPause, this, [this] { link_->tick(); });
  emit refreshTick();
}

void MainFrameWindow::openFile(const std::string& path) { frame_->open(path); }

void MainFrameWindow::openSelected() {
  std::vector<std::string> files;
  for (const std::string& p : selection())
    if (!isFolderPath(p)) files.push_back(p);
  if (files.empty()) {
    auto chosen = ui_.chooseOpenFile("Open", {{"Lumatix DataStore File (*.dsx)", "*.dsx"}, {"All Files (*.*)", "*"}},
                                     pad_->root());
    if (chosen) files.push_back(chosen->path);
  }
  for (const std::string& f : files) openFile(f);
}

void MainFrameWindow::deleteSelected() {
  const std::vector<std::string> selected = selection();
  if (selected.empty()) return;
  // Deleting takes whole folders with it and cannot be undone: the person confirms first.
  std::string question = selected.size() == 1
                             ? "Are you sure you want to delete '" + selected.front() + "'?"
                             : "Are you sure you want to delete these " + std::to_string(selected.size()) + " items?";
  if (ui_.showMessage(question, "Confirm Delete", app::Icon::Question, app::Buttons::YesNo) != app::Answer::Yes) return;
  for (const std::string& p : selected)
    if (!pad_->remove(p)) break;
}

void MainFrameWindow::renameSelected() {
  QModelIndex current = tree_->currentIndex();
  if (current.isValid()) tree_->edit(current);
}

void MainFrameWindow::newFolder() {
  std::string made = pad_->newFolder(selection());
  if (made.empty()) return;
  model_->refresh();
  reveal(made);
  QModelIndex index = model_->find(made);
  if (index.isValid()) tree_->edit(index);
}

void MainFrameWindow::setWorkingDirectory() {
  if (!pad_->setWorkingDirectory(selection())) return;
  preferences_.workingDirectory = pad_->workingDirectory();
  try {
    preferences_.save(settings_);
  } catch (const std::exception& e) {
    ui_.showMessage(e.what(), "Lumatix Viewer", app::Icon::Warning, app::Buttons::Ok);
  }
}

void MainFrameWindow::setRoot() { pad_->setRoot(selection()); }

void MainFrameWindow::browseForFolders() {
  QFileDialog dialog(this, tr("Select Root Directory"), QString::fromStdString(pad_->root()));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    pad_->browseRoot(dialog.selectedFiles().front().toStdString());
}

void MainFrameWindow::browseWithFileManager() {
  std::vector<std::string> selected = selection();
  std::string folder = pad_->root().empty() ? "/" : pad_->root();
  if (selected.size() == 1) folder = isFolderPath(selected.front()) ? selected.front() : app::parentFolder(selected.front());
  pad_->browseWithFileManager(folder, [](const std::string& f) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromStdString(f)});
  });
}

void MainFrameWindow::reveal(const std::string& path) {
  QModelIndex index = model_->reveal(path);
  if (!index.isValid()) return;
  tree_->scrollTo(index);
  tree_->setCurrentIndex(index);
}

void MainFrameWindow::raiseWindow() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void MainFrameWindow::closeEvent(QCloseEvent* event) {
  if (!frame_->close()) {
    event->ignore();
    return;
  }
  fileOperations_.stop();
  event->accept();
  emit closed();
}

void MainFrameWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!localFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainFrameWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (!localFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainFrameWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> files = localFiles(event->mimeData());
  if (files.empty()) return;
  event->acceptProposedAction();
  for (const std::string& f : files)
    if (!isFolderPath(f)) openFile(f);
}

}  // namespace lumatix::gui
