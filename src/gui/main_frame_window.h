#pragma once
// MainFrameWindow: the launch pad's window. It binds widgets to app::MainFrame (the list of
// plot windows, the working directory, the status text, the options) and app::LaunchPad (the
// tree, the folder and file commands, the info pane) and redraws them on their notices:
//   - the working-directory bar (a read-only field) and the window bar ("Windows:" and the
//     drop-down of open plot windows),
//   - the tree (3/5 of the width) beside the info pane,
//   - the status bar: the message pane and the three lock panes,
//   - a 500 ms timer, whose tick the on-line refresh and the lock panes follow,
//   - the menu bar: "&File", "&View", "&Directory", "&Preferences", "&Help".
// Files dropped anywhere on the window but the tree open in plot windows; dropped on a folder
// of the tree they are copied, moved or linked there by the pad's file queues.
//
// Every command is one QAction made by addCommand, shared by its menu, the context menu and
// its shortcut. The menus are built from the commands after buildActions: a command names its
// menu and a group within it, and lands there in the order it was added, a separator between
// groups. A new command needs only its addCommand line.

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/file_operation_queue.h"
#include "app/launch_pad.h"
#include "app/main_frame.h"
#include "app/main_frame_link.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTreeView;
template <typename T>
class QFutureWatcher;

namespace lumatix::app {
class CUserPref;
}
namespace lumatix::platform {
class SettingsStore;
}
namespace lumatix::widgets {
class LockIndicators;
}

namespace lumatix::gui {

class LaunchPadModel;
class QtUi;

// The menus of the menu bar, in their order; None: the command is reached by its shortcut
// or the context menu only.
enum class MainMenu { None, File, View, Directory, Preferences, Help };

class MainFrameWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kTimerMs = 500;
  // Groups of the File menu, top to bottom.
  static constexpr int kFileOpenGroup = 0;
  static constexpr int kFileWindowsGroup = 1;
  static constexpr int kFileDataGroup = 2;  // commands on the selected file (export, decompose, ramps)
  static constexpr int kFileExitGroup = 9;

  MainFrameWindow(QtUi& ui, platform::SettingsStore& settings, app::CUserPref& preferences,
                  app::PlotWindowMaker maker, QWidget* parent = nullptr);
  ~MainFrameWindow() override;

  app::MainFrame& frame() { return *frame_; }
  app::MainFrameLink& link() { return *link_; }
  app::LaunchPad& pad() { return *pad_; }
  app::FileOperations& fileOperations() { return fileOperations_; }
  LaunchPadModel& treeModel() { return *model_; }
  QTreeView* tree() const { return tree_; }
  QPlainTextEdit* infoPane() const { return info_; }
  QLineEdit* workingDirectoryField() const { return workingDirectory_; }
  QComboBox* windowList() const { return windows_; }
  QLabel* messagePane() const { return message_; }
  widgets::LockIndicators* lockIndicators() const { return locks_; }
  QTimer& timer() { return timer_; }
  // False when the lock panes stay blank because the window system does not report the locks.
  bool locksReported() const { return locksReported_; }

  // The command of the given name ("New", "Open", "Delete"...; see commandNames()).
  QAction* action(const std::string& command) const;
  std::vector<std::string> commandNames() const;
  // The menu of the menu bar with that title ("&File"...); null when there is none.
  QMenu* menu(const QString& title) const;

  // How "Help Topics..." shows the manual (the desktop's viewer by default); false when it could not.
  std::function<bool(const std::string& path)> openManual;
  // The manual "Help Topics..." opens: the installed README, else the source tree's; "" when
  // neither is there.
  static std::string manualPath();
  // The tree's context menu for what is selected now.
  QMenu* contextMenu();

  // The selected items' paths, in the tree's order.
  std::vector<std::string> selection() const;
  // Opens a file in a plot window, or raises the one already showing that exact path.
  void openFile(const std::string& path);
  // Shows a file in the tree and selects it.
  void reveal(const std::string& path);
  // Brings the main window to the front.
  void raiseWindow();

 signals:
  // Every 500 ms.
  void refreshTick();
  // The info pane was filled for the current selection.
  void infoShown();
  // The person closed the main window (after the exit question): the program ends.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildActions();
  QAction* addCommand(const std::string& name, const QString& text, const QKeySequence& shortcut = {},
                      MainMenu menu = MainMenu::None, int group = 0);
  void buildMenus();
  void goOnLine();
  void showHelpTopics();
  void showAbout();
  void showFrame(app::Change what);
  void showOptions();
  void showWindowList();
  void selectionChanged();
  void tick();
  void openSelected();
  void deleteSelected();
  void renameSelected();
  void newFolder();
  void setWorkingDirectory();
  void setRoot();
  void browseForFolders();
  void browseWithFileManager();
  void updateCommands();

  QtUi& ui_;
  platform::SettingsStore& settings_;
  app::CUserPref& preferences_;
  std::unique_ptr<app::MainFrame> frame_;
  std::unique_ptr<app::MainFrameLink> link_;
  std::unique_ptr<app::LaunchPad> pad_;
  app::FileOperations fileOperations_;
  std::size_t filesHandled_ = 0;
  LaunchPadModel* model_;
  QSplitter* splitter_;
  QTreeView* tree_;
  QPlainTextEdit* info_;
  QLineEdit* workingDirectory_;
  QComboBox* windows_;
  QLabel* message_;
  widgets::LockIndicators* locks_;
  bool locksReported_ = false;
  QTimer timer_;
  std::map<std::string, QAction*> actions_;
  std::vector<std::string> order_;
  struct Placement {
    std::string command;
    MainMenu menu;
    int group;
  };
  std::vector<Placement> placements_;
  QFutureWatcher<QString>* infoWatcher_;
  unsigned infoGeneration_ = 0;
  app::ChangeNotifier::Subscription frameSubscription_;
};

}  // namespace lumatix::gui
