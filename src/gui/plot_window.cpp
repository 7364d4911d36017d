#include "gui/plot_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include "app/plot_document.h"
#include "app/ui.h"
#include "gui/dimension_bar.h"
#include "gui/plot_transfer.h"
#include "gui/plot_view.h"
#include "platform/build_info.h"

namespace lumatix::gui {
namespace {

// The keys of an accelerator as the menu table writes it ("Ctrl+Spc", "Del", "+").
QList<QKeySequence> keysOf(const std::string& accelerator) {
  QString text = QString::fromStdString(accelerator);
  if (text == QLatin1String("+"))
    return {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::SHIFT | Qt::Key_Plus),
            QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)};
  if (text == QLatin1String("-"))
    return {QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)};
  text.replace(QLatin1String("Spc"), QLatin1String("Space"));
  QList<QKeySequence> keys{QKeySequence::fromString(text, QKeySequence::PortableText)};
  // Enter is the keypad's key to Qt; the main keyboard's is Return.
  if (text.endsWith(QLatin1String("Enter"))) {
    QString other = text;
    other.replace(QLatin1String("Enter"), QLatin1String("Return"));
    keys.append(QKeySequence::fromString(other, QKeySequence::PortableText));
  }
  return keys;
}

bool hasFiles(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return false;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return true;
  return false;
}

}  // namespace

PlotWindow::PlotWindow(std::unique_ptr<app::PlotDocument> document, app::Ui& ui, QWidget* parent)
    : QMainWindow(parent), document_(std::move(document)), ui_(ui) {
  setObjectName(QStringLiteral("plotWindow"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setAcceptDrops(true);
  const QString title = QString::fromStdString(app::plotWindowTitle(document_->filePath()));
  setWindowTitle(title);
  setAccessibleName(title);
  view_ = new PlotView(*document_, ui_, this);
  setCentralWidget(view_);
  view_->setFocus();
  view_->onStartDrag = [this](const processing::CDataSet& payload) { startDrag(payload); };
  view_->onRemoveSelected = [this] { run(app::PlotMenuCommand::RemoveSelected); };
  connect(view_, &PlotView::contextMenuRequested, this,
          [this](const QPoint& at, int trace) { contextMenu(trace)->popup(at); });

  // The control for further dimensions, under the plot.
  auto* dimensions = new QToolBar(tr("Further Dimensions"), this);
  dimensions->setObjectName(QStringLiteral("dimensionToolBar"));
  dimensions->setMovable(false);
  dimensionBar_ = new DimensionBar(*document_, dimensions);
  dimensions->addWidget(dimensionBar_);
  addToolBar(Qt::BottomToolBarArea, dimensions);
  dimensions->setVisible(dimensionBar_->wanted());
  connect(dimensionBar_, &DimensionBar::wantedChanged, dimensions, &QToolBar::setVisible);
  dimensions->toggleViewAction()->setVisible(false);

  // The read-out bar: the selected trace's values at the cursor.
  readOutX_ = new QLabel(this);
  readOutY_ = new QLabel(this);
  readOutX_->setObjectName(QStringLiteral("readOutX"));
  readOutY_->setObjectName(QStringLiteral("readOutY"));
  readOutX_->setAccessibleName(tr("X value"));
  readOutY_->setAccessibleName(tr("Y value"));
  // Wide enough for any value, so that a longer one is never cut off.
  const int wide = readOutX_->fontMetrics().horizontalAdvance(QStringLiteral(" Y : -0.000000e+000 ")) + 8;
  readOutX_->setMinimumWidth(wide);
  readOutY_->setMinimumWidth(wide);
  statusBar()->addWidget(readOutX_);
  statusBar()->addWidget(readOutY_);
  connect(view_, &PlotView::readOut, this, [this](const QString& x, const QString& y) {
    readOutX_->setText(x);
    readOutY_->setText(y);
  });

  buildMenus();
  subscription_ = document_->changes().subscribe([this](app::Change) { updateActions(); });
  updateActions();
  resize(800, 600);
}

PlotWindow::~PlotWindow() {
  // The view and the bar observe the document: they go first.
  subscription_.reset();
  delete view_;
  view_ = nullptr;
  delete dimensionBar_;
  dimensionBar_ = nullptr;
}

QAction* PlotWindow::makeAction(const app::PlotMenuItem& item) {
  auto* action = new QAction(QString::fromStdString(app::plotMenuText(item, *document_)), this);
  if (item.checked != nullptr) action->setCheckable(true);
  const app::PlotMenuCommand command = item.command;
  connect(action, &QAction::triggered, this, [this, command] { run(command, contextTrace_); });
  return action;
}

void PlotWindow::buildMenus() {
  QMenu* menu = nullptr;
  app::PlotMenu current = app::PlotMenu::Context;
  for (const app::PlotMenuItem& item : app::plotMenuItems()) {
    if (menu == nullptr || item.menu != current) {
      current = item.menu;
      menu = menuBar()->addMenu(QString::fromUtf8(app::plotMenuTitle(current)));
    } else if (item.separatorBefore) {
      menu->addSeparator();
    }
    QAction* action = makeAction(item);
    menu->addAction(action);
    actions_[item.command] = action;
  }

  // The context menu: the menu bar's action where the text is the same, else one of its own.
  contextMenu_ = new QMenu(this);
  contextMenu_->setObjectName(QStringLiteral("plotContextMenu"));
  for (const app::PlotMenuItem& item : app::plotContextItems()) {
    QAction* shared = action(item.command);
    const std::string text = app::plotMenuText(item, *document_);
    QAction* shown = nullptr;
    if (shared != nullptr && shared->text().toStdString() == text) {
      shown = shared;
    } else {
      shown = makeAction(item);
      if (app::menuItemOf(item.command) == nullptr) actions_.emplace(item.command, shown);
    }
    contextRows_.emplace_back(&item, shown);
  }

  // The keys: the menu bar's own, and the context menu's that the menu bar leaves free.
  for (const app::PlotShortcut& key : app::plotShortcuts()) {
    QAction* a = action(key.command);
    if (a == nullptr) continue;
    a->setShortcuts(keysOf(key.accelerator));
    a->setShortcutContext(Qt::WindowShortcut);
    // The context menu's own commands are in no menu of the bar: the window holds their keys.
    if (app::menuItemOf(key.command) == nullptr) addAction(a);
  }
}

QAction* PlotWindow::action(app::PlotMenuCommand command) const {
  auto it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second;
}

void PlotWindow::setDialog(app::PlotMenuCommand command, Dialog dialog) {
  if (dialog)
    dialogs_[command] = std::move(dialog);
  else
    dialogs_.erase(command);
  updateActions();
}

bool PlotWindow::handles(app::PlotMenuCommand command) const {
  return dialogs_.count(command) == 1 || ownsCommand(command);
}

void PlotWindow::updateActions() {
  for (const app::PlotMenuItem& item : app::plotMenuItems()) {
    QAction* a = action(item.command);
    if (a == nullptr) continue;
    a->setEnabled(handles(item.command) && app::isEnabled(item, {*document_, -1}));
    a->setText(QString::fromStdString(app::plotMenuText(item, *document_)));
    if (item.checked != nullptr) a->setChecked(item.checked(*document_));
  }
  // The context menu's own keys work on the trace under the pointer when there is one.
  for (const auto& [item, a] : contextRows_)
    if (app::menuItemOf(item->command) == nullptr)
      a->setEnabled(handles(item->command) && app::isEnabled(*item, {*document_, view_->highlighted()}));
}

QMenu* PlotWindow::contextMenu(int traceUnderPointer) {
  contextTrace_ = traceUnderPointer;
  contextMenu_->clear();
  for (const auto& [item, a] : contextRows_) {
    if (item->onTrace && traceUnderPointer < 0) continue;
    if (item->separatorBefore && !contextMenu_->isEmpty()) contextMenu_->addSeparator();
    a->setText(QString::fromStdString(app::plotMenuText(*item, *document_)));
    a->setEnabled(handles(item->command) && app::isEnabled(*item, {*document_, traceUnderPointer}));
    contextMenu_->addAction(a);
  }
  // Keys pressed later work on the trace under the pointer again.
  connect(contextMenu_, &QMenu::aboutToHide, this, [this] { updateActions(); }, Qt::SingleShotConnection);
  return contextMenu_;
}

void PlotWindow::run(app::PlotMenuCommand command, int traceUnderPointer) {
  const app::PlotMenuItem* row = app::menuItemOf(command);
  if (row == nullptr)
    for (const auto& [item, a] : contextRows_)
      if (item->command == command) row = item;
  // A key of the context menu's own commands works on the trace under the pointer.
  if (traceUnderPointer < 0) traceUnderPointer = view_->highlighted();
  if (row == nullptr || !handles(command) || !app::isEnabled(*row, {*document_, traceUnderPointer})) return;
  contextTrace_ = -1;
  try {
    if (auto it = dialogs_.find(command); it != dialogs_.end()) {
      // A copy: the dialog may attach another one while it runs.
      Dialog dialog = it->second;
      dialog(*this);
    } else {
      runOwn(command, traceUnderPointer);
    }
  } catch (const std::exception& e) {
    // A command's failure that its own handling did not report reaches the person here, not
    // the event loop.
    ui_.showMessage(e.what(), platform::kProductName, app::Icon::Error, app::Buttons::Ok);
  }
}

void PlotWindow::closeEvent(QCloseEvent* event) {
  if (!document_->close()) {
    event->ignore();
    return;
  }
  event->accept();
  emit closed();
}

void PlotWindow::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  // Traces dragged out of this very plot are not dropped back onto it.
  if ((mime->hasFormat(kDataSetMimeType) && event->source() != view_) || hasFiles(mime))
    event->acceptProposedAction();
}

void PlotWindow::dragMoveEvent(QDragMoveEvent* event) {
  const QMimeData* mime = event->mimeData();
  if ((mime->hasFormat(kDataSetMimeType) && event->source() != view_) || hasFiles(mime))
    event->acceptProposedAction();
}

void PlotWindow::dropEvent(QDropEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (mime->hasFormat(kDataSetMimeType) && event->source() != view_) {
    event->acceptProposedAction();
    dropDataSet(mime->data(kDataSetMimeType));
    return;
  }
  std::vector<std::string> files;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  if (files.empty()) return;
  event->acceptProposedAction();
  // Cary text files are read as the main frame allows; the maker passes that on.
  document_->overlayFiles(files, allowCaryFiles_ ? allowCaryFiles_() : true);
}

}  // namespace lumatix::gui
