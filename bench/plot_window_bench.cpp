// The plot window on screen: a repaint of ten traces of 1,000,000 points into a 1920 x 1080
// frame through the QPainter canvas (target: at most 30 ms), one wheel-zoom step with its frame
// (at most 30 ms), and the hand-over of a data set's traces to the graph that every command
// triggers.
//
//   lumatix_bench_plot_window [benchmark options]
//   lumatix_bench_plot_window --open FILE   opens FILE in a plot window offscreen and prints
//       the time to the first painted frame and the peak resident memory (bench/plot_memory.sh)
//   lumatix_bench_plot_window --wheel FILE  wheel steps on FILE: each frame on the GUI thread
//       and the time to each finished picture (bench/plot_memory.sh)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWindow>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "app/plot_document.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui/qpainter_canvas.h"
#include "gui/qt_ui.h"
#include "plot/data_set_graph.h"
#include "plot/graph.h"
#include "processing/data_set.h"

namespace {

using namespace lumatix;

constexpr std::size_t kPoints = 1000000;
constexpr int kTraces = 10;
constexpr int kWidth = 1920, kHeight = 1080;

// Ten noisy melting curves over one ascending x, as a data set would hand them over.
processing::CDataSet bigDataSet() {
  processing::CDataSet set;
  set.xA.resize(kPoints);
  for (std::size_t i = 0; i < kPoints; ++i) set.xA[i] = 180.0 + 80.0 * static_cast<double>(i) / kPoints;
  std::mt19937 random(7);
  std::normal_distribution<double> noise;
  for (int t = 0; t < kTraces; ++t) {
    std::vector<double> y(kPoints);
    for (std::size_t i = 0; i < kPoints; ++i)
      y[i] = std::sin(static_cast<double>(i) * 2e-5 + t) + 0.05 * noise(random);
    set.yA.emplace_back(y.begin(), y.end());
    set.yB.emplace_back();
    set.zValues.push_back(t);
    set.traceState.push_back(processing::kTracePresent);
    set.selected.push_back(t == 3 ? 1 : 0);
    set.traceKind.push_back(0);
    set.traceNames.push_back("trace " + std::to_string(t));
  }
  set.xLabel = "Wavelength (nm)";
  set.yLabel = "Circular Dichroism (mdeg)";
  return set;
}

plot::Graph& bigGraph() {
  static plot::Graph graph = [] {
    plot::Graph g;
    plot::showDataSet(g, bigDataSet());
    return g;
  }();
  return graph;
}

void paintFrame(plot::Graph& graph, QImage& frame) {
  frame.fill(Qt::white);
  QPainter painter(&frame);
  gui::QPainterCanvas canvas(painter, kWidth, kHeight);
  graph.Paint(canvas);
}

// Without a selection, and with one trace selected (drawn two pixels wide).
void BM_Repaint(benchmark::State& state) {
  plot::Graph& graph = bigGraph();
  graph.resetRanges();
  std::vector<bool> selection(kTraces, false);
  if (state.range(0) != 0) selection[3] = true;
  graph.setTraceSelection(selection);
  QImage frame(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    paintFrame(graph, frame);
    benchmark::DoNotOptimize(frame.constBits());
  }
  graph.setTraceSelection(std::vector<bool>(kTraces, false));
}
BENCHMARK(BM_Repaint)->Name("repaint/10x1M/1920x1080/selected")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A wheel step and the frame it needs; steps go in and out by turns so that the view stays
// near the whole range.
void BM_WheelZoomFrame(benchmark::State& state) {
  plot::Graph& graph = bigGraph();
  graph.resetRanges();
  QImage frame(kWidth, kHeight, QImage::Format_RGB32);
  bool in = true;
  for (auto _ : state) {
    graph.zoomStep(in, true, true);
    in = !in;
    paintFrame(graph, frame);
    benchmark::DoNotOptimize(frame.constBits());
  }
}
BENCHMARK(BM_WheelZoomFrame)->Name("wheel-zoom-frame/10x1M")->Unit(benchmark::kMillisecond)->UseRealTime();

// What a command costs the view before any drawing: the data set's traces into the graph.
void BM_ShowDataSet(benchmark::State& state) {
  const processing::CDataSet set = bigDataSet();
  plot::Graph graph;
  for (auto _ : state) {
    plot::showDataSet(graph, set);
    benchmark::DoNotOptimize(graph.traceCount());
  }
}
BENCHMARK(BM_ShowDataSet)->Name("show-data-set/10x1M")->Unit(benchmark::kMillisecond)->UseRealTime();

// CPU time of the process so far: on a shared machine the wall clock also counts the others.
double cpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double peakResidentMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

int openToFirstFrame(const char* path) {
  gui::QtUi ui;
  const double cpuStart = cpuMs();
  const auto start = std::chrono::steady_clock::now();
  auto document = gui::openPlotDocument(path, ui, {});
  if (!document) return 1;
  const double values = static_cast<double>(document->store()->data.count);
  const auto opened = std::chrono::steady_clock::now();
  const double cpuOpened = cpuMs();
  gui::PlotWindow window(std::move(document), ui);
  window.resize(kWidth, kHeight);
  const QImage frame = window.view()->picture(QSize(kWidth, kHeight));
  const auto painted = std::chrono::steady_clock::now();
  const double cpuPainted = cpuMs();
  const auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
  std::printf("values %.0f\nopen_ms %.1f\nfirst_frame_ms %.1f\nopen_cpu_ms %.1f\nfirst_frame_cpu_ms %.1f\n"
              "peak_rss_mib %.1f\nbound_mib %.1f\n",
              values, ms(start, opened), ms(start, painted), cpuOpened - cpuStart, cpuPainted - cpuStart,
              peakResidentMiB(), (2.0 * 4.0 * values) / 1048576.0 + 64.0);
  return frame.isNull() ? 1 : 0;
}

// Wheel steps on FILE in a shown 1920 x 1080 window: each step's frame on the GUI thread
// (a picture moved while a large plot is drawn off it), the longest, and the time until each
// step's finished picture is on screen.
int wheelOnFile(const char* path) {
  gui::QtUi ui;
  auto document = gui::openPlotDocument(path, ui, {});
  if (!document) return 1;
  gui::PlotWindow window(std::move(document), ui);
  window.resize(kWidth, kHeight);
  window.show();
  while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  gui::PlotView* view = window.view();
  view->repaint();
  double longest = 0, longestFinished = 0;
  constexpr int kSteps = 8;
  for (int step = 0; step < kSteps; ++step) {
    const auto start = std::chrono::steady_clock::now();
    view->zoomStep(step % 4 < 2);
    view->repaint();
    const auto framed = std::chrono::steady_clock::now();
    while (view->drawingInBackground()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    view->repaint();
    const auto finished = std::chrono::steady_clock::now();
    const auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
    longest = std::max(longest, ms(start, framed));
    longestFinished = std::max(longestFinished, ms(start, finished));
    std::printf("step %d frame_ms %.1f finished_ms %.1f\n", step, ms(start, framed), ms(start, finished));
  }
  std::printf("longest_frame_ms %.1f\nlongest_finished_ms %.1f\n", longest, longestFinished);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  static int qtArgc = 3;
  static char name[] = "lumatix_bench_plot_window", option[] = "-platform", platform[] = "offscreen";
  static char* qtArgv[] = {name, option, platform, nullptr};
  QApplication application(qtArgc, qtArgv);
  if (argc == 3 && std::strcmp(argv[1], "--open") == 0) return openToFirstFrame(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "--wheel") == 0) return wheelOnFile(argv[2]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
