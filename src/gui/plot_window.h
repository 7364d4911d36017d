#pragma once
// PlotWindow: the top-level window of one plot, titled by its file's path ("Empty" for a
// window without a file). It binds the plot view, the read-out bar, the control for further
// dimensions and the menus to its app::PlotDocument and redraws on the document's notices.
// Closing asks the document, which may keep the window open (on-line, or a save that failed).
//
// Menus: built from app's menu table and nothing else. The menu bar holds one QAction per
// command, which also carries the command's key; the context menu reuses that action where it
// shows the same text, and has an action of its own (same command, no key) where its text
// differs ("&Print Plot"). Each action's enabled state is the table's rule, re-read on every
// notice of the document.
//
// Attaching dialogs: a command whose work lies outside the window (a dialog, another window)
// is attached with setDialog(); until one is attached the command is shown disabled. The
// viewer's maker attaches them (plot_window_maker.cpp), one line per dialog.

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/change_notifier.h"
#include "app/menu_table.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;

namespace lumatix::app {
class PlotDocument;
struct PlotViewOptions;
class Ui;
}  // namespace lumatix::app
namespace lumatix::processing {
class CDataSet;
}

namespace lumatix::gui {

class PlotView;
class DimensionBar;

class PlotWindow : public QMainWindow {
  Q_OBJECT
 public:
  using Dialog = std::function<void(PlotWindow&)>;

  PlotWindow(std::unique_ptr<app::PlotDocument> document, app::Ui& ui, QWidget* parent = nullptr);
  ~PlotWindow() override;

  app::PlotDocument& document() { return *document_; }
  PlotView* view() const { return view_; }
  QLabel* readOutX() const { return readOutX_; }
  QLabel* readOutY() const { return readOutY_; }
  DimensionBar* dimensionBar() const { return dimensionBar_; }
  app::Ui& ui() { return ui_; }

  // Attaches what a command does: runs `dialog` with this window when the command is chosen
  // (menu, context menu or key) and enabled by the table. Replaces the window's own handling
  // where it has one (the save commands' file chooser, for a save dialog of its own). An empty
  // function detaches it again.
  void setDialog(app::PlotMenuCommand command, Dialog dialog);
  // Whether the command does anything in this window: its own handling or an attached dialog.
  bool handles(app::PlotMenuCommand command) const;

  // The menu bar's action of a command; null for the context menu's own commands without a
  // key.
  QAction* action(app::PlotMenuCommand command) const;
  // The context menu for a trace under the pointer (-1: none), enabled for it.
  QMenu* contextMenu(int traceUnderPointer);
  // Runs a command as its menu item would: nothing when the table disables it now.
  void run(app::PlotMenuCommand command, int traceUnderPointer = -1);

  // Whether files dropped onto the plot may be Cary text files (the main frame's preference).
  void setAllowCaryFiles(std::function<bool()> allow) { allowCaryFiles_ = std::move(allow); }

  // Prints the plot (with the remarks-and-settings page when asked) on a printer set up by
  // the caller, and records the "Printed :" entry. False when the printer could not start.
  bool printTo(QPrinter& printer, bool remarksAndSettings);

 signals:
  // The person closed the window and the document agreed.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMenus();
  QAction* makeAction(const app::PlotMenuItem& item);
  void updateActions();
  // The window's own handling of a command; false when it has none.
  bool runOwn(app::PlotMenuCommand command, int traceUnderPointer);
  bool ownsCommand(app::PlotMenuCommand command) const;
  void toggleView(bool app::PlotViewOptions::* option);
  void copyToClipboard();
  void print();
  void printPreview();
  void startDrag(const processing::CDataSet& payload);
  void dropDataSet(const QByteArray& bytes);

  std::unique_ptr<app::PlotDocument> document_;
  app::Ui& ui_;
  PlotView* view_;
  DimensionBar* dimensionBar_;
  QLabel* readOutX_;
  QLabel* readOutY_;
  std::map<app::PlotMenuCommand, QAction*> actions_;
  // The context menu's rows, each with the action it shows.
  std::vector<std::pair<const app::PlotMenuItem*, QAction*>> contextRows_;
  QMenu* contextMenu_ = nullptr;
  int contextTrace_ = -1;
  std::map<app::PlotMenuCommand, Dialog> dialogs_;
  std::function<bool()> allowCaryFiles_;
  app::ChangeNotifier::Subscription subscription_;
};

}  // namespace lumatix::gui
