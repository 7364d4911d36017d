#include "gui/launch_pad_model.h"

#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "app/launch_pad.h"
#include "app/launch_pad_paths.h"

namespace lumatix::gui {

struct LaunchPadModel::Node {
  std::string name;
  std::string path;
  bool folder = true;
  bool loaded = false;
  Node* parent = nullptr;
  int row = 0;
  std::vector<std::unique_ptr<Node>> children;
};

LaunchPadModel::LaunchPadModel(app::LaunchPad& pad, QObject* parent)
    : QAbstractItemModel(parent), pad_(pad), root_(std::make_unique<Node>()) {
  root_->path = pad_.root();
  subscription_ = pad_.changes().subscribe([this](app::Change what) {
    if (app::any(what, app::Change::WorkingDirectory | app::Change::Tree)) scheduleRefresh();
  });
}

LaunchPadModel::~LaunchPadModel() = default;

void LaunchPadModel::scheduleRefresh() {
  if (refreshPending_) return;
  refreshPending_ = true;
  QTimer::singleShot(0, this, [this] {
    if (refreshPending_) refresh();
  });
}

void LaunchPadModel::refresh() {
  refreshPending_ = false;
  beginResetModel();
  root_ = std::make_unique<Node>();
  root_->path = pad_.root();
  endResetModel();
}

LaunchPadModel::Node* LaunchPadModel::node(const QModelIndex& index) const {
  return index.isValid() ? static_cast<Node*>(index.internalPointer()) : root_.get();
}

void LaunchPadModel::load(Node& parent) const {
  if (parent.loaded) return;
  parent.loaded = true;
  // An empty root is the drive list, whose one entry is "/" itself.
  const bool driveList = &parent == root_.get() && parent.path.empty();
  int row = 0;
  for (const app::TreeEntry& entry : pad_.list(parent.path)) {
    auto child = std::make_unique<Node>();
    child->name = entry.name;
    child->path = driveList ? entry.name : app::joinPath(parent.path, entry.name);
    child->folder = entry.folder;
    child->parent = &parent;
    child->row = row++;
    parent.children.push_back(std::move(child));
  }
}

QModelIndex LaunchPadModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  Node* p = node(parent);
  if (p == root_.get()) load(*p);
  if (row >= static_cast<int>(p->children.size())) return {};
  return createIndex(row, 0, p->children[static_cast<std::size_t>(row)].get());
}

QModelIndex LaunchPadModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  Node* p = node(child)->parent;
  if (p == nullptr || p == root_.get()) return {};
  return createIndex(p->row, 0, p);
}

int LaunchPadModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  Node* p = node(parent);
  if (p == root_.get()) load(*p);  // the first level is always there
  return static_cast<int>(p->children.size());
}

int LaunchPadModel::columnCount(const QModelIndex& parent) const { return parent.column() > 0 ? 0 : 1; }

bool LaunchPadModel::hasChildren(const QModelIndex& parent) const {
  if (parent.column() > 0) return false;
  Node* p = node(parent);
  if (p == root_.get()) return rowCount(parent) > 0;
  return p->folder && (!p->loaded || !p->children.empty());
}

bool LaunchPadModel::canFetchMore(const QModelIndex& parent) const {
  Node* p = node(parent);
  return p != root_.get() && p->folder && !p->loaded;
}

void LaunchPadModel::fetchMore(const QModelIndex& parent) {
  Node* p = node(parent);
  if (p == root_.get() || !p->folder || p->loaded) return;
  std::vector<app::TreeEntry> entries = pad_.list(p->path);
  p->loaded = true;
  if (entries.empty()) {
    // The expander goes away: the folder turned out to be empty.
    emit dataChanged(parent, parent);
    return;
  }
  beginInsertRows(parent, 0, static_cast<int>(entries.size()) - 1);
  int row = 0;
  for (const app::TreeEntry& entry : entries) {
    auto child = std::make_unique<Node>();
    child->name = entry.name;
    child->path = app::joinPath(p->path, entry.name);
    child->folder = entry.folder;
    child->parent = p;
    child->row = row++;
    p->children.push_back(std::move(child));
  }
  endInsertRows();
}

QVariant LaunchPadModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Node* n = node(index);
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole: return QString::fromStdString(n->name);
    case Qt::ToolTipRole:
    case PathRole: return QString::fromStdString(n->path);
    case FolderRole: return n->folder;
    case Qt::DecorationRole:
      return icons_.icon(n->folder ? QFileIconProvider::Folder : QFileIconProvider::File);
    default: return {};
  }
}

bool LaunchPadModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  Node* n = node(index);
  std::string name = value.toString().toStdString();
  if (name.empty() || name == n->name) return false;
  // The pad tells the person why a rename was refused; a done one re-reads the tree.
  return !pad_.rename(n->path, name).empty();
}

Qt::ItemFlags LaunchPadModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  const Node* n = node(index);
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
  // The drive list's "/" cannot be renamed.
  if (n->path != "/") f |= Qt::ItemIsEditable;
  if (n->folder) f |= Qt::ItemIsDropEnabled;
  return f;
}

QStringList LaunchPadModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* LaunchPadModel::mimeData(const QModelIndexList& indexes) const {
  QList<QUrl> urls;
  for (const QModelIndex& i : indexes)
    if (i.isValid() && i.column() == 0) urls << QUrl::fromLocalFile(QString::fromStdString(node(i)->path));
  auto* data = new QMimeData;
  data->setUrls(urls);
  return data;
}

Qt::DropActions LaunchPadModel::supportedDropActions() const {
  return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

Qt::DropActions LaunchPadModel::supportedDragActions() const {
  return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

std::vector<std::string> localFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  return files;
}

namespace {
// A drop on an item lands in that folder; between items (row given), in their parent.
bool dropEffect(Qt::DropAction action, app::DropEffect& effect) {
  switch (action) {
    case Qt::CopyAction: effect = app::DropEffect::Copy; return true;
    case Qt::MoveAction: effect = app::DropEffect::Move; return true;
    case Qt::LinkAction: effect = app::DropEffect::Link; return true;
    default: return false;
  }
}
}  // namespace

bool LaunchPadModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                     const QModelIndex& parent) const {
  app::DropEffect effect;
  const Node* target = node(parent);
  return drop_ && dropEffect(action, effect) && target->folder && !target->path.empty() && !localFiles(data).empty();
}

bool LaunchPadModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                  const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, column, parent)) return false;
  app::DropEffect effect = app::DropEffect::Copy;
  dropEffect(action, effect);
  drop_(localFiles(data), effect, node(parent)->path);
  // The workers take the files; the source must not remove what a move has not moved yet.
  return false;
}

std::string LaunchPadModel::path(const QModelIndex& index) const { return index.isValid() ? node(index)->path : ""; }

bool LaunchPadModel::isFolder(const QModelIndex& index) const { return index.isValid() && node(index)->folder; }

QModelIndex LaunchPadModel::find(const std::string& path) const { return const_cast<LaunchPadModel*>(this)->locate(path, false); }

QModelIndex LaunchPadModel::reveal(const std::string& path) { return locate(path, true); }

QModelIndex LaunchPadModel::locate(const std::string& path, bool loadFolders) {
  Node* n = root_.get();
  load(*n);
  for (;;) {
    Node* next = nullptr;
    for (const auto& child : n->children) {
      if (child->path == path) return createIndex(child->row, 0, child.get());
      const bool within = child->folder && path.size() > child->path.size() &&
                          path.compare(0, child->path.size(), child->path) == 0 &&
                          (child->path == "/" || path[child->path.size()] == '/');
      if (within) next = child.get();
    }
    if (next == nullptr) return {};
    if (!next->loaded) {
      if (!loadFolders) return {};
      fetchMore(createIndex(next->row, 0, next));
    }
    n = next;
  }
}

}  // namespace lumatix::gui
