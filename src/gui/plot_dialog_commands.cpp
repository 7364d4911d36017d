#include "gui/plot_dialog_commands.h"

#include <QWidget>

#include "app/converted_file.h"
#include "app/plot_document.h"
#include "app/ui.h"
#include "gui/plot_limits_dialog.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/text_view_dialog.h"
#include "gui/trace_manipulation_dialog.h"
#include "gui/visible_trace_range_dialog.h"

namespace lumatix::gui {

PlotDialogCommands::PlotDialogCommands(app::PlotDocument& document, PlotView& view, app::Ui& ui, QWidget* window,
                                       std::function<bool(const std::string&)> openFile)
    : QObject(window),
      document_(document),
      view_(view),
      ui_(ui),
      window_(window),
      openFile_(std::move(openFile)),
      dialogs_(ui, window) {
  setObjectName(QStringLiteral("plotDialogCommands"));
}

PlotDialogCommands::~PlotDialogCommands() {
  // The modeless dialogs observe the document, which goes with the window.
  delete selection_.data();
  delete text_.data();
}

TraceManipulationDialog* PlotDialogCommands::selectionDialogWindow() const { return selection_; }

TextViewDialog* PlotDialogCommands::textView() const { return text_; }

void PlotDialogCommands::simpleMath() { document_.simpleMath(dialogs_); }

void PlotDialogCommands::smooth() { document_.smooth(dialogs_); }

void PlotDialogCommands::convert() {
  app::ConvertedFileOpener opener(openFile_);
  document_.convertUnits(dialogs_, opener);
}

void PlotDialogCommands::selectionDialog() {
  if (!selection_) {
    selection_ = new TraceManipulationDialog(
        document_, [this](app::TraceButton b) { runTraceButton(b); },
        [this](app::TraceButton b) {
          if (offered) return offered(b);
          return b != app::TraceButton::Fit || static_cast<bool>(fit);
        },
        window_);
  }
  selection_->show();
  selection_->raise();
  selection_->activateWindow();
}

void PlotDialogCommands::selectRange() {
  VisibleTraceRangeDialog dialog(document_, window_);
  dialog.exec();
}

void PlotDialogCommands::plotLimits() {
  PlotLimitsDialog dialog(view_, window_);
  dialog.exec();
}

void PlotDialogCommands::showText(const QString& name, const QString& title, const std::string& text) {
  // One text window at a time per plot: a second command replaces the first.
  delete text_.data();
  text_ = new TextViewDialog(name, title, text, window_);
  text_->setAttribute(Qt::WA_DeleteOnClose);
  text_->show();
}

void PlotDialogCommands::info() {
  if (auto text = document_.infoText()) showText(QStringLiteral("dataStoreInfo"), tr("DataStore Info"), *text);
}

void PlotDialogCommands::remarks() {
  showText(QStringLiteral("remarks"), tr("Remarks"), document_.remarksText());
}

void PlotDialogCommands::history() {
  showText(QStringLiteral("history"), tr("History"), document_.historyText());
}

void PlotDialogCommands::runTraceButton(app::TraceButton button) {
  if (runInWindow && runInWindow(button)) return;
  using B = app::TraceButton;
  switch (button) {
    case B::Remove: document_.removeSelected(); break;
    case B::RemoveOthers: document_.removeUnselected(); break;
    case B::SelectAll: document_.selectAll(); break;
    case B::DeselectAll: document_.deselectAll(); break;
    case B::SetBaseline: document_.toggleBaseline(); break;
    case B::UnsetBaseline: document_.unsetBaseline(); break;
    case B::SubtractBaseline: document_.subtractBaseline(); break;
    case B::Average: document_.average(); break;
    case B::Smooth: smooth(); break;
    case B::Fit:
      if (fit) fit();
      break;
    case B::SimpleMaths: simpleMath(); break;
    case B::Convert: convert(); break;
    case B::ThinData: selectRange(); break;
  }
}

PlotDialogCommands* attachPlotDialogs(PlotWindow& window, app::Ui& ui,
                                      std::function<bool(const std::string&)> openFile) {
  if (PlotDialogCommands* existing = plotDialogsOf(window)) return existing;
  auto* commands = new PlotDialogCommands(window.document(), *window.view(), ui, &window, std::move(openFile));
  using C = app::PlotMenuCommand;
  PlotWindow* w = &window;
  commands->runInWindow = [w](app::TraceButton b) {
    w->run(app::menuCommandOf(b));
    return true;
  };
  commands->fit = [w] { w->run(C::Fitting); };
  commands->offered = [w](app::TraceButton b) { return w->handles(app::menuCommandOf(b)); };
  window.setDialog(C::SelectionDialog, [commands](PlotWindow&) { commands->selectionDialog(); });
  window.setDialog(C::SelectRange, [commands](PlotWindow&) { commands->selectRange(); });
  window.setDialog(C::SetPlotLimits, [commands](PlotWindow&) { commands->plotLimits(); });
  window.setDialog(C::DataStoreInfo, [commands](PlotWindow&) { commands->info(); });
  window.setDialog(C::Remarks, [commands](PlotWindow&) { commands->remarks(); });
  window.setDialog(C::History, [commands](PlotWindow&) { commands->history(); });
  return commands;
}

PlotDialogCommands* plotDialogsOf(PlotWindow& window) {
  return window.findChild<PlotDialogCommands*>(QStringLiteral("plotDialogCommands"), Qt::FindDirectChildrenOnly);
}

}  // namespace lumatix::gui
