// The fitting dialog against lumatix fit's loop: the same 100,000-point single exponential,
// from the same estimate, fitted by the session alone (what the command line runs) and from
// the dialog with live update on, its preview redrawn as the parameters move. Prints the
// median and fastest of each over several interleaved rounds and the ratio of the medians.
//   QT_QPA_PLATFORM=offscreen lumatix_bench_fit_dialog [POINTS] [ROUNDS] [FUNCTION]
// FUNCTION 1 (single exponential, the default) or 3 (double exponential, more iterations).
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "app/fit_session.h"
#include "app/ui.h"
#include "gui/multi_fit_dialog.h"
#include "app/unattended_ui.h"

namespace app = lumatix::app;
namespace gui = lumatix::gui;

namespace {

struct Trace {
  std::vector<double> x, y;
};

// A stopped-flow shot over 2 s with 1% noise: 0.25 + 0.18 exp(-12.5 t), or with a second,
// slower phase 0.06 exp(-1.5 t) for the double exponential.
Trace shot(int points, bool twoPhases) {
  Trace t;
  std::mt19937_64 random(11);
  std::normal_distribution<double> noise(0.0, 0.0018);
  for (int i = 0; i < points; ++i) {
    const double x = 0.001 + 2.0 * i / (points - 1);
    t.x.push_back(x);
    t.y.push_back(0.25 + 0.18 * std::exp(-12.5 * x) + (twoPhases ? 0.06 * std::exp(-1.5 * x) : 0.0) + noise(random));
  }
  return t;
}

int function = 1;

std::unique_ptr<app::FitSession> session(app::Ui& ui, const Trace& t) {
  auto s = std::make_unique<app::FitSession>(ui, t.x, t.y, nullptr);
  s->Begin();
  s->SelectFunction(function);
  s->Estimate();
  return s;
}

struct Run {
  double ms = 0;     // wall time
  double cpuMs = 0;  // time of this (the GUI) thread on a processor: what the machine's load does not change
  int iterations = 0;
};

// Wall and thread time from construction on.
class Clock {
 public:
  Clock() : cpu_(threadTime()) { wall_.start(); }
  Run stop(int iterations) const {
    return {static_cast<double>(wall_.nsecsElapsed()) / 1e6, (threadTime() - cpu_) / 1e6, iterations};
  }

 private:
  static double threadTime() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
  }
  QElapsedTimer wall_;
  double cpu_;
};

// Both keep one session (and the dialog its window) over the rounds and fit again from the
// estimate each round, as a person pressing Fit again does: the memory of the fit is then
// the process's own, not fresh pages from the system in one variant and not the other.
class CommandLineLoop {
 public:
  CommandLineLoop(app::Ui& ui, const Trace& t) : session_(session(ui, t)) {}
  Run run() {
    session_->Estimate();
    const Clock clock;
    app::FitProgress p = session_->StartFit();
    while (p == app::FitProgress::Running) p = session_->Iterate();
    return clock.stop(session_->Iterations());
  }

 private:
  std::unique_ptr<app::FitSession> session_;
};

class DialogWithLiveUpdate {
 public:
  DialogWithLiveUpdate(app::Ui& ui, const Trace& t)
      : session_(session(ui, t)), dialog_(*session_, {"bench", "bench", "1", "Time (s)", "Absorbance"}, ui) {
    dialog_.setModal(false);
    dialog_.show();
    if (!QTest::qWaitForWindowExposed(&dialog_)) std::abort();
    dialog_.findChild<QAbstractButton*>(QStringLiteral("liveUpdate"))->click();
    QObject::connect(&dialog_, &gui::MultiFitDialog::fitEnded, &loop_, &QEventLoop::quit);
  }
  Run run() {
    dialog_.findChild<QAbstractButton*>(QStringLiteral("estimate"))->click();
    QApplication::processEvents();
    const Clock clock;
    dialog_.findChild<QAbstractButton*>(QStringLiteral("fit"))->click();
    if (dialog_.fitting()) loop_.exec();
    // The preview's last drawing is part of the fit as a person sees it.
    QApplication::processEvents();
    return clock.stop(session_->Iterations());
  }

 private:
  std::unique_ptr<app::FitSession> session_;
  gui::MultiFitDialog dialog_;
  QEventLoop loop_;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  const int points = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
  function = argc > 3 && std::atoi(argv[3]) == 3 ? 3 : 1;
  app::UnattendedUi ui(&std::cerr);
  const Trace t = shot(points, function == 3);
  std::vector<double> loopMs, dialogMs, loopCpu, dialogCpu;
  int loopIterations = 0, dialogIterations = 0;
  CommandLineLoop commandLine(ui, t);
  DialogWithLiveUpdate dialog(ui, t);
  for (int r = 0; r < rounds; ++r) {
    const Run a = commandLine.run();
    const Run b = dialog.run();
    loopMs.push_back(a.ms);
    dialogMs.push_back(b.ms);
    loopCpu.push_back(a.cpuMs);
    dialogCpu.push_back(b.cpuMs);
    loopIterations = a.iterations;
    dialogIterations = b.iterations;
  }
  std::printf("%d points, %d rounds, %s\n", points, rounds, function == 3 ? "Double Exponential" : "Single Exponential");
  std::printf("lumatix fit loop:          median %8.1f ms  fastest %8.1f ms  (%d iterations)\n", median(loopMs),
              *std::min_element(loopMs.begin(), loopMs.end()), loopIterations);
  std::printf("dialog, live update:       median %8.1f ms  fastest %8.1f ms  (%d iterations)\n", median(dialogMs),
              *std::min_element(dialogMs.begin(), dialogMs.end()), dialogIterations);
  std::printf("dialog / loop (medians):   %.2f wall, %.2f thread time (%.1f ms against %.1f ms)\n",
              median(dialogMs) / median(loopMs), median(dialogCpu) / median(loopCpu), median(dialogCpu),
              median(loopCpu));
  return loopIterations == dialogIterations ? 0 : 1;
}
