#pragma once
// PlotWindow: the top-level window of one plot, titled by its file's path ("Empty" for a
// window without a file). It binds the plot view, the read-out bar and the menus to its
// app::PlotDocument and redraws on the document's notices. Closing asks the document, which
// may keep the window open (on-line, or a save that failed).

#include <QMainWindow>

#include <functional>
#include <memory>

#include "app/change_notifier.h"

class QLabel;

namespace lumatix::app {
class PlotDocument;
class Ui;
}  // namespace lumatix::app

namespace lumatix::gui {

class PlotView;

class PlotWindow : public QMainWindow {
  Q_OBJECT
 public:
  PlotWindow(std::unique_ptr<app::PlotDocument> document, app::Ui& ui, QWidget* parent = nullptr);
  ~PlotWindow() override;

  app::PlotDocument& document() { return *document_; }
  PlotView* view() const { return view_; }
  QLabel* readOutX() const { return readOutX_; }
  QLabel* readOutY() const { return readOutY_; }

 signals:
  // The person closed the window and the document agreed.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::unique_ptr<app::PlotDocument> document_;
  app::Ui& ui_;
  PlotView* view_;
  QLabel* readOutX_;
  QLabel* readOutY_;
  app::ChangeNotifier::Subscription subscription_;
};

}  // namespace lumatix::gui
