#pragma once
// The plot window's commands that open dialogs: "Simple Math...", "Smooth...", "Convert...",
// "Selection Dialog..." ("Trace Manipulation"), "Select Range..." ("Visible Trace Range"), "Set
// Plot Limits...", "DataStore Info...", "Remarks..." and "History...". One object per plot
// window, owned by it; the window's menu items call these, and the selection dialog's buttons
// run the same commands.

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

#include "app/trace_manipulation.h"
#include "gui/qt_plot_dialogs.h"

class QWidget;

namespace lumatix::app {
class PlotDocument;
class Ui;
}  // namespace lumatix::app

namespace lumatix::gui {

class PlotView;
class PlotWindow;
class TextViewDialog;
class TraceManipulationDialog;

class PlotDialogCommands : public QObject {
  Q_OBJECT
 public:
  // openFile: opens a written file in a plot window of its own (the converted file); false
  // when no window could be made.
  PlotDialogCommands(app::PlotDocument& document, PlotView& view, app::Ui& ui, QWidget* window,
                     std::function<bool(const std::string&)> openFile);
  ~PlotDialogCommands() override;

  void simpleMath();
  void smooth();
  void convert();
  void selectionDialog();
  void selectRange();
  void plotLimits();
  void info();
  void remarks();
  void history();

  // A button of the selection dialog: the command of its menu item. The window may route the
  // buttons through its own actions instead (runInWindow answers true when it ran one).
  void runTraceButton(app::TraceButton button);
  std::function<bool(app::TraceButton)> runInWindow;
  // The fitting dialog, when one is attached; without it the "Fit" button is not offered.
  std::function<void()> fit;
  // Whether the window offers a button's command at all; by default every one but "Fit"
  // without a fitting dialog.
  std::function<bool(app::TraceButton)> offered;

  TraceManipulationDialog* selectionDialogWindow() const;
  TextViewDialog* textView() const;

 private:
  void showText(const QString& name, const QString& title, const std::string& text);

  app::PlotDocument& document_;
  PlotView& view_;
  app::Ui& ui_;
  QPointer<QWidget> window_;
  std::function<bool(const std::string&)> openFile_;
  QtPlotDialogs dialogs_;
  QPointer<TraceManipulationDialog> selection_;
  QPointer<TextViewDialog> text_;
};

// Gives a plot window its dialog commands (owned by the window) and returns them. The
// selection dialog's buttons then run the window's own commands, and the window's "Selection
// Dialog...", "Select Range...", "Set Plot Limits...", "DataStore Info...", "Remarks..." and
// "History..." open these dialogs.
PlotDialogCommands* attachPlotDialogs(PlotWindow& window, app::Ui& ui,
                                      std::function<bool(const std::string&)> openFile);
// The commands attached to a window, or null.
PlotDialogCommands* plotDialogsOf(PlotWindow& window);

}  // namespace lumatix::gui
