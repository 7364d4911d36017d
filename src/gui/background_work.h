#pragma once
// Long work off the GUI thread: a progress dialog with Cancel shows how far the work has come
// while every window keeps running. What the work asks of the person (messages, questions,
// file choices) is asked on the GUI thread through the viewer's Ui while the work waits for
// the answer; Cancel reaches the work through WorkHooks::cancelled.
//
// Destroying a BackgroundWork while its work runs cancels it, answers any question it is
// waiting on as cancelled, and waits for the thread to end.

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

#include "app/store_output.h"

class QProgressDialog;
class QWidget;

namespace lumatix::app {
class Ui;
}

namespace lumatix::gui {

class BackgroundWork : public QObject {
  Q_OBJECT
 public:
  // ui: the viewer's Ui, called on the GUI thread only; parent: the window the progress
  // dialog belongs to; title: the progress dialog's caption and first text.
  BackgroundWork(app::Ui& ui, QWidget* parent, QString title);
  ~BackgroundWork() override;

  using Work = std::function<void(app::Ui& ui, const app::WorkHooks& hooks)>;
  // Starts work on a thread of its own; false when work is already running.
  bool start(Work work);
  bool running() const;
  // What Cancel does.
  void cancel();
  bool cancelled() const;

  QProgressDialog* progressDialog() const;

 signals:
  // The work ended (done, failed or cancelled); emitted on the GUI thread.
  void finished();

 private:
  class Shared;
  class WorkerUi;
  void showProgress();
  void ended();

  app::Ui& ui_;
  QPointer<QWidget> parent_;
  QString title_;
  std::shared_ptr<Shared> shared_;
  QPointer<QProgressDialog> progress_;
};

}  // namespace lumatix::gui
