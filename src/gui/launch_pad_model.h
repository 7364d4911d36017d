#pragma once
// LaunchPadModel: the launch pad's folder and file tree as a Qt item model over
// app::LaunchPad. The first level lists the root folder (the drive list, "/", when the root
// is empty); each folder's level is read when the view first asks for it, folders before
// files, each ignoring letter case. A notice of the pad (a new root, a folder made, renamed or
// removed) re-reads the tree once the current event is over, so that the view is never reset
// in the middle of its own edit.

#include <QAbstractItemModel>
#include <QFileIconProvider>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/change_notifier.h"
#include "app/file_operation_queue.h"

namespace lumatix::app {
class LaunchPad;
}

namespace lumatix::gui {

class LaunchPadModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  enum Role { PathRole = Qt::UserRole + 1, FolderRole };

  // Files dropped on a folder: the paths, the drop's effect and the folder.
  using DropHandler = std::function<void(const std::vector<std::string>&, app::DropEffect, const std::string&)>;

  explicit LaunchPadModel(app::LaunchPad& pad, QObject* parent = nullptr);
  ~LaunchPadModel() override;

  void setDropHandler(DropHandler handler) { drop_ = std::move(handler); }

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDropActions() const override;
  Qt::DropActions supportedDragActions() const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

  std::string path(const QModelIndex& index) const;
  bool isFolder(const QModelIndex& index) const;
  // The index of a path that is loaded in the tree (invalid when it is not, or not yet).
  QModelIndex find(const std::string& path) const;
  // The same, reading the folders on the way to it.
  QModelIndex reveal(const std::string& path);
  // Reads the whole tree again from the disk.
  void refresh();

 private:
  struct Node;
  Node* node(const QModelIndex& index) const;
  void load(Node& parent) const;
  void scheduleRefresh();
  QModelIndex locate(const std::string& path, bool loadFolders);

  app::LaunchPad& pad_;
  std::unique_ptr<Node> root_;
  app::ChangeNotifier::Subscription subscription_;
  DropHandler drop_;
  QFileIconProvider icons_;
  bool refreshPending_ = false;
};

// The local files a drop or a paste carries.
std::vector<std::string> localFiles(const QMimeData* data);

}  // namespace lumatix::gui
