#pragma once
// "Trace Manipulation": the plot's selection dialog over an app::TraceManipulation. Modeless:
// it follows the plot document's notices, so every change made here, in the plot or by a
// command shows at once. Selecting in "Visible Traces" selects the traces in the plot; "<",
// ">", ">>" and "<<" move traces between the lists; the buttons below run the plot window's
// commands through the handler the window gives.

#include <QDialog>

#include <functional>
#include <map>

#include "app/change_notifier.h"
#include "app/trace_manipulation.h"

class QListWidget;
class QPushButton;

namespace lumatix::app {
class PlotDocument;
}

namespace lumatix::gui {

class TraceManipulationDialog : public QDialog {
  Q_OBJECT
 public:
  using Run = std::function<void(app::TraceButton)>;
  // run: carries out a button's command as the plot window's menu item does; available: whether
  // the window offers that command at all (the "Fit" button shows only with a fitting dialog).
  TraceManipulationDialog(app::PlotDocument& document, Run run, std::function<bool(app::TraceButton)> available,
                          QWidget* parent = nullptr);

  QListWidget* visibleList() const { return visible_; }
  QListWidget* removedList() const { return removed_; }
  QPushButton* moveButton(const QString& text) const;
  QPushButton* button(app::TraceButton b) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void showDocument();
  void visibleSelectionChanged();
  std::vector<int> chosen(QListWidget* list) const;
  void updateButtons();

  app::PlotDocument& document_;
  app::TraceManipulation model_;
  Run run_;
  std::function<bool(app::TraceButton)> available_;
  QListWidget* visible_;
  QListWidget* removed_;
  QPushButton* restore_;
  QPushButton* remove_;
  QPushButton* removeAll_;
  QPushButton* restoreAll_;
  std::map<app::TraceButton, QPushButton*> buttons_;
  bool showing_ = false;
  bool built_ = false;
  app::ChangeNotifier::Subscription subscription_;
};

}  // namespace lumatix::gui
