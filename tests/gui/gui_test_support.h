#pragma once
// What the window tests share: a plot window that records what the main frame asks of it, a
// folder that goes away with the test, and a way to answer the next modal dialog.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ports.h"

namespace lumatix::guitest {

struct PlotJournal {
  std::vector<std::string> events;
};

class FakePlotWindow : public app::PlotWindow {
 public:
  FakePlotWindow(std::string path, PlotJournal& journal) : path_(std::move(path)), journal_(journal) {
    journal_.events.push_back("open " + path_);
  }
  std::string path() const override { return path_; }
  std::string title() const override { return path_.empty() ? "Empty" : path_; }
  void activate() override { journal_.events.push_back("activate " + path_); }
  void close() override { journal_.events.push_back("close " + path_); }
  bool requestClose() override {
    journal_.events.push_back("request close " + path_);
    return true;
  }

 private:
  std::string path_;
  PlotJournal& journal_;
};

inline app::PlotWindowMaker fakeMaker(PlotJournal& journal) {
  return [&journal](const std::string& path, bool) -> std::unique_ptr<app::PlotWindow> {
    return std::make_unique<FakePlotWindow>(path, journal);
  };
}

inline void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// Calls answer with the next modal dialog as soon as it is shown (the dialog's own event loop
// runs the timer).
inline void onNextModal(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      answer(modal);
    }
  });
  timer->start();
}

// Answers the modal dialogs shown from now on, one step each in order, until the steps run out.
class ModalScript {
 public:
  explicit ModalScript(std::vector<std::function<void(QWidget*)>> steps) : steps_(std::move(steps)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || modal->property("lumatixAnswered").toBool() || next_ >= steps_.size()) return;
      modal->setProperty("lumatixAnswered", true);
      steps_[next_++](modal);
    });
    timer_.start();
  }
  std::size_t answered() const { return next_; }

 private:
  std::vector<std::function<void(QWidget*)>> steps_;
  std::size_t next_ = 0;
  QTimer timer_;
};

// What a message box said, and the button to press on it.
struct SeenMessage {
  QString text;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  bool onTop = false;
};

inline void answerNextMessage(SeenMessage& seen, QMessageBox::StandardButton press) {
  onNextModal([&seen, press](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box == nullptr) {
      w->close();
      return;
    }
    seen.text = box->text();
    seen.caption = box->windowTitle();
    seen.icon = box->icon();
    seen.buttons = box->standardButtons();
    seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    box->button(press)->click();
  });
}

}  // namespace lumatix::guitest
