#include "gui/background_work.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <functional>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "app/ui.h"

namespace lumatix::gui {

// What the work's thread and the GUI thread share: the cancel flag, the progress last
// reported, and the rendezvous of a question asked from the work.
class BackgroundWork::Shared {
 public:
  std::atomic<bool> cancelled{false};
  std::atomic<bool> running{false};
  std::mutex mutex;
  std::condition_variable answered;
  bool abandoned = false;  // the GUI will answer nothing more: every question reads as cancelled
  std::string progressText;
  double fraction = -1.0;
  std::thread thread;
};

// The Ui the work sees: each call is carried out on the GUI thread by the viewer's Ui while
// the work waits; once the BackgroundWork goes away the calls return at once as cancelled.
class BackgroundWork::WorkerUi : public app::Ui {
 public:
  WorkerUi(std::shared_ptr<Shared> shared, app::Ui& target, QObject* guiObject)
      : shared_(std::move(shared)), target_(target), gui_(guiObject) {}

  // Each call takes copies of its arguments: a question still on screen when the work was
  // abandoned outlives the call that asked it.
  app::Answer showMessage(const std::string& text, const std::string& caption, app::Icon icon,
                          app::Buttons buttons) override {
    return onGui<app::Answer>([=](app::Ui& ui) { return ui.showMessage(text, caption, icon, buttons); },
                              buttons == app::Buttons::Ok ? app::Answer::Ok : app::Answer::Cancel);
  }
  std::optional<app::FileChoice> chooseOpenFile(const std::string& title, const std::vector<app::FileFilter>& filters,
                                                const std::string& folder) override {
    return onGui<std::optional<app::FileChoice>>(
        [=](app::Ui& ui) { return ui.chooseOpenFile(title, filters, folder); }, std::nullopt);
  }
  std::optional<app::FileChoice> chooseSaveFile(const std::string& title, const std::string& suggestedName,
                                                const std::vector<app::FileFilter>& filters, int filterIndex) override {
    return onGui<std::optional<app::FileChoice>>(
        [=](app::Ui& ui) { return ui.chooseSaveFile(title, suggestedName, filters, filterIndex); }, std::nullopt);
  }
  std::optional<app::Credentials> askCredentials(const app::AuthenticationPrompt& prompt) override {
    return onGui<std::optional<app::Credentials>>([=](app::Ui& ui) { return ui.askCredentials(prompt); },
                                                  std::nullopt);
  }
  app::Answer showAdvice(const std::string& key, const std::string& text, const std::string& caption) override {
    return onGui<app::Answer>([=](app::Ui& ui) { return ui.showAdvice(key, text, caption); }, app::Answer::Ok);
  }
  // Only the latest figure is kept; the progress dialog reads it on its own timer.
  void progress(const std::string& what, double fraction) override {
    std::lock_guard lock(shared_->mutex);
    shared_->progressText = what;
    shared_->fraction = fraction;
  }

 private:
  template <typename T>
  T onGui(std::function<T(app::Ui&)> call, T abandonedAnswer) {
    auto result = std::make_shared<std::optional<T>>();
    {
      std::lock_guard lock(shared_->mutex);
      if (shared_->abandoned) return abandonedAnswer;
    }
    std::shared_ptr<Shared> shared = shared_;
    app::Ui* target = &target_;
    QMetaObject::invokeMethod(
        gui_,
        [shared, result, target, call = std::move(call)] {
          {
            std::lock_guard lock(shared->mutex);
            if (shared->abandoned) return;
          }
          T answer = call(*target);
          std::lock_guard lock(shared->mutex);
          *result = std::move(answer);
          shared->answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(shared_->mutex);
    shared_->answered.wait(lock, [&] { return result->has_value() || shared_->abandoned; });
    return result->has_value() ? std::move(**result) : abandonedAnswer;
  }

  std::shared_ptr<Shared> shared_;
  app::Ui& target_;
  QObject* gui_;
};

BackgroundWork::BackgroundWork(app::Ui& ui, QWidget* parent, QString title)
    : QObject(parent), ui_(ui), parent_(parent), title_(std::move(title)) {}

BackgroundWork::~BackgroundWork() {
  if (shared_) {
    shared_->cancelled = true;
    {
      std::lock_guard lock(shared_->mutex);
      shared_->abandoned = true;
    }
    shared_->answered.notify_all();
    if (shared_->thread.joinable()) shared_->thread.join();
  }
  delete progress_.data();
}

bool BackgroundWork::start(Work work) {
  if (running()) return false;
  if (shared_ && shared_->thread.joinable()) shared_->thread.join();
  shared_ = std::make_shared<Shared>();
  shared_->running = true;

  if (progress_ == nullptr) {
    progress_ = new QProgressDialog(parent_);
    progress_->setObjectName(QStringLiteral("progressDialog"));
    progress_->setWindowTitle(title_);
    progress_->setAccessibleName(title_);
    progress_->setRange(0, 1000);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(300);
    connect(progress_, &QProgressDialog::canceled, this, &BackgroundWork::cancel);
    auto* timer = new QTimer(progress_);
    timer->setInterval(100);
    connect(timer, &QTimer::timeout, this, &BackgroundWork::showProgress);
    timer->start();
  }
  progress_->setLabelText(title_);
  progress_->setValue(0);

  auto* workerUi = new WorkerUi(shared_, ui_, this);
  std::shared_ptr<Shared> shared = shared_;
  QPointer<BackgroundWork> self(this);
  shared_->thread = std::thread([shared, workerUi, work = std::move(work), self] {
    app::WorkHooks hooks;
    hooks.cancelled = [shared] { return shared->cancelled.load(); };
    try {
      work(*workerUi, hooks);
    } catch (const std::exception& e) {
      workerUi->showMessage(e.what(), "Lumatix Viewer", app::Icon::Error, app::Buttons::Ok);
    }
    delete workerUi;
    shared->running = false;
    // Told on the GUI thread; a BackgroundWork already gone hears nothing.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [self] {
      if (self) self->ended();
    }, Qt::QueuedConnection);
  });
  return true;
}

bool BackgroundWork::running() const { return shared_ && shared_->running; }

void BackgroundWork::cancel() {
  if (shared_) shared_->cancelled = true;
}

bool BackgroundWork::cancelled() const { return shared_ && shared_->cancelled; }

QProgressDialog* BackgroundWork::progressDialog() const { return progress_; }

void BackgroundWork::showProgress() {
  if (!shared_ || progress_ == nullptr || !running()) return;
  std::string text;
  double fraction = -1.0;
  {
    std::lock_guard lock(shared_->mutex);
    text = shared_->progressText;
    fraction = shared_->fraction;
  }
  if (!text.empty()) progress_->setLabelText(QString::fromStdString(text));
  if (fraction >= 0.0 && fraction <= 1.0) progress_->setValue(static_cast<int>(fraction * 999.0));
}

void BackgroundWork::ended() {
  if (shared_ && shared_->thread.joinable()) shared_->thread.join();
  if (progress_ != nullptr) progress_->reset();
  if (progress_ != nullptr) progress_->hide();
  emit finished();
}

}  // namespace lumatix::gui
