#include "gui/trace_manipulation_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

#include "app/plot_document.h"
#include "gui/dialog_parts.h"

namespace lumatix::gui {
namespace {

constexpr int kTraceRole = Qt::UserRole;

QString accessibleText(const char* label) { return QString::fromUtf8(label).remove('&'); }

}  // namespace

TraceManipulationDialog::TraceManipulationDialog(app::PlotDocument& document, Run run,
                                                 std::function<bool(app::TraceButton)> available, QWidget* parent)
    : QDialog(parent), document_(document), model_(document), run_(std::move(run)), available_(std::move(available)) {
  setObjectName(QStringLiteral("traceManipulationDialog"));
  setWindowTitle(QStringLiteral("Trace Manipulation"));
  setAccessibleName(windowTitle());
  setSizeGripEnabled(true);

  const auto makeList = [this](const char* name, const QString& accessible) {
    auto* list = new QListWidget(this);
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(accessible);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
  };
  visible_ = makeList("visibleTraces", tr("Visible Traces"));
  removed_ = makeList("removedTraces", tr("Removed Traces"));
  auto* visibleLabel = new QLabel(tr("&Visible Traces"), this);
  visibleLabel->setBuddy(visible_);
  auto* removedLabel = new QLabel(tr("R&emoved Traces"), this);
  removedLabel->setBuddy(removed_);

  const auto makeMove = [this](const QString& text, const QString& accessible) {
    auto* b = new QPushButton(text, this);
    b->setAccessibleName(accessible);
    b->setToolTip(accessible);
    b->setAutoDefault(false);
    b->setFixedWidth(44);
    return b;
  };
  restore_ = makeMove(QStringLiteral("<"), tr("Show the chosen removed traces again"));
  remove_ = makeMove(QStringLiteral(">"), tr("Remove the chosen visible traces"));
  removeAll_ = makeMove(QStringLiteral(">>"), tr("Remove every visible trace"));
  restoreAll_ = makeMove(QStringLiteral("<<"), tr("Show every removed trace again"));
  restore_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  remove_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  connect(remove_, &QPushButton::clicked, this, [this] { model_.remove(chosen(visible_)); });
  connect(restore_, &QPushButton::clicked, this, [this] { model_.restore(chosen(removed_)); });
  connect(removeAll_, &QPushButton::clicked, this, [this] { model_.removeAll(); });
  connect(restoreAll_, &QPushButton::clicked, this, [this] { model_.restoreAll(); });
  connect(visible_, &QListWidget::itemSelectionChanged, this, &TraceManipulationDialog::visibleSelectionChanged);
  connect(removed_, &QListWidget::itemSelectionChanged, this, &TraceManipulationDialog::updateButtons);

  auto* moves = new QVBoxLayout;
  moves->addStretch();
  for (QPushButton* b : {remove_, removeAll_, restore_, restoreAll_}) moves->addWidget(b);
  moves->addStretch();
  auto* lists = new QGridLayout;
  lists->addWidget(visibleLabel, 0, 0);
  lists->addWidget(removedLabel, 0, 2);
  lists->addWidget(visible_, 1, 0);
  lists->addLayout(moves, 1, 1);
  lists->addWidget(removed_, 1, 2);

  auto* commands = new QGridLayout;
  int i = 0;
  QWidget* previous = removed_;
  for (const auto& [button, text] : app::traceButtons()) {
    auto* b = new QPushButton(QString::fromUtf8(text), this);
    b->setObjectName(QStringLiteral("button%1").arg(static_cast<int>(button)));
    b->setAccessibleName(accessibleText(text));
    b->setAutoDefault(false);
    const app::TraceButton which = button;
    connect(b, &QPushButton::clicked, this, [this, which] {
      if (run_) run_(which);
    });
    commands->addWidget(b, i / 4, i % 4);
    buttons_[button] = b;
    setTabOrder(previous, b);
    previous = b;
    ++i;
  }
  auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(close, &QDialogButtonBox::rejected, this, &QDialog::close);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists, 1);
  layout->addLayout(commands);
  layout->addWidget(close);
  resize(520, 460);
  setTabOrder(visible_, remove_);
  setTabOrder(remove_, removeAll_);
  setTabOrder(removeAll_, restore_);
  setTabOrder(restore_, restoreAll_);
  setTabOrder(restoreAll_, removed_);

  subscription_ = document_.changes().subscribe([this](app::Change what) {
    if (app::any(what, app::Change::Data | app::Change::Selection)) showDocument();
  });
  showDocument();
  visible_->setFocus();
  keepPlace(this);
}

QPushButton* TraceManipulationDialog::moveButton(const QString& text) const {
  for (QPushButton* b : {restore_, remove_, removeAll_, restoreAll_})
    if (b->text() == text) return b;
  return nullptr;
}

QPushButton* TraceManipulationDialog::button(app::TraceButton b) const {
  auto it = buttons_.find(b);
  return it == buttons_.end() ? nullptr : it->second;
}

std::vector<int> TraceManipulationDialog::chosen(QListWidget* list) const {
  std::vector<int> traces;
  for (int r = 0; r < list->count(); ++r)
    if (list->item(r)->isSelected()) traces.push_back(list->item(r)->data(kTraceRole).toInt());
  return traces;
}

void TraceManipulationDialog::showEvent(QShowEvent* event) {
  showDocument();
  QDialog::showEvent(event);
}

void TraceManipulationDialog::showDocument() {
  // A closed dialog catches up when it is shown again.
  if (!isVisible() && built_) return;
  built_ = true;
  showing_ = true;
  // Rebuilt whole: the lists stay exactly the document's, and what was chosen in the removed
  // list stays chosen where those traces are still removed.
  const std::vector<int> removedChosen = chosen(removed_);
  const int visibleRow = visible_->currentRow();
  {
    const QSignalBlocker a(visible_), b(removed_);
    visible_->clear();
    for (const auto& item : model_.visible()) {
      auto* row = new QListWidgetItem(QString::fromStdString(item.text), visible_);
      row->setData(kTraceRole, item.trace);
      if (item.baseline) row->setFlags(Qt::ItemIsEnabled);
      row->setSelected(item.selected);
    }
    removed_->clear();
    for (const auto& item : model_.removed()) {
      auto* row = new QListWidgetItem(QString::fromStdString(item.text), removed_);
      row->setData(kTraceRole, item.trace);
      row->setSelected(std::find(removedChosen.begin(), removedChosen.end(), item.trace) != removedChosen.end());
    }
    if (visible_->count() > 0)
      visible_->setCurrentRow(std::clamp(visibleRow, 0, visible_->count() - 1), QItemSelectionModel::NoUpdate);
  }
  showing_ = false;
  updateButtons();
}

void TraceManipulationDialog::visibleSelectionChanged() {
  if (showing_) return;
  model_.selectVisible(chosen(visible_));
}

void TraceManipulationDialog::updateButtons() {
  remove_->setEnabled(!chosen(visible_).empty());
  restore_->setEnabled(!chosen(removed_).empty());
  removeAll_->setEnabled(model_.canRemoveAll());
  restoreAll_->setEnabled(model_.canRestoreAll());
  for (auto& [which, b] : buttons_) {
    b->setVisible(!available_ || available_(which));
    b->setEnabled(model_.enabled(which));
  }
}

}  // namespace lumatix::gui
