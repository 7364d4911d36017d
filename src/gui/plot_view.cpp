#include "gui/plot_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <QWheelEvent>

#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "app/plot_document.h"
#include "app/ui.h"
#include "gui/qpainter_canvas.h"
#include "platform/build_info.h"
#include "plot/data_set_graph.h"

namespace lumatix::gui {
namespace {

// The document is the one owner of the selection; the interaction changes it through here.
class DocumentSelection : public plot::TraceSelection {
 public:
  explicit DocumentSelection(app::PlotDocument& d) : d_(d) {}
  bool isSelected(int t) const override { return d_.isSelected(t); }
  void setSelected(int t, bool on) override { d_.select(t, on); }
  void clearSelection() override { d_.deselectAll(); }

 private:
  app::PlotDocument& d_;
};

plot::Modifiers modifiers(Qt::KeyboardModifiers m) {
  return {.shift = m.testFlag(Qt::ShiftModifier), .ctrl = m.testFlag(Qt::ControlModifier)};
}

plot::Point at(const QPointF& p) { return {p.x(), p.y()}; }

}  // namespace

PlotView::PlotView(app::PlotDocument& document, app::Ui& ui, QWidget* parent)
    : QWidget(parent), document_(document), ui_(ui), selection_(std::make_unique<DocumentSelection>(document)) {
  setObjectName(QStringLiteral("plotView"));
  setAccessibleName(tr("Plot"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(320, 240);
  plot::InteractionCallbacks callbacks;
  callbacks.redraw = [this] { update(); };
  callbacks.readOut = [this](const std::string& x, const std::string& y) {
    emit readOut(QString::fromStdString(x), QString::fromStdString(y));
  };
  // The drag itself waits for the pointer to move, so that a click stays a click.
  callbacks.startDrag = [this](const processing::CDataSet&) { dragFrom_ = pressedAt_; };
  callbacks.removeSelected = [this] {
    if (onRemoveSelected) onRemoveSelected();
  };
  interaction_.emplace(graph_, document_.dataSet(), *selection_, std::move(callbacks));
  subscription_ = document_.changes().subscribe([this](app::Change what) { noticed(what); });
  showData();
}

PlotView::~PlotView() = default;

void PlotView::noticed(app::Change what) {
  ++version_;
  if (app::any(what, app::Change::Data | app::Change::View)) {
    showData();
  } else if (app::any(what, app::Change::Selection)) {
    std::vector<bool> bold(static_cast<std::size_t>(document_.dataSet().TraceCount()));
    for (std::size_t t = 0; t < bold.size(); ++t) bold[t] = document_.isSelected(static_cast<int>(t));
    graph_.setTraceSelection(bold);
  }
  update();
}

void PlotView::showData() {
  const app::PlotViewOptions& options = document_.viewOptions();
  graph_.setGrid(options.grid);
  graph_.setLegend(options.legend);
  // The legend takes room from the plot area: pointer positions map through the new layout
  // from now on, not from the next paint.
  graph_.layout(width(), height());
  const processing::CDataSet& set = document_.dataSet();
  if (set.TraceCount() > 0 && !set.XValues().empty()) {
    graph_.setLogX(options.logX);
    try {
      plot::showDataSet(graph_, set);
    } catch (const std::exception& e) {
      // The graph keeps what it showed; a log axis that left no data is switched off again.
      ui_.showMessage(e.what(), platform::kProductName, app::Icon::Error, app::Buttons::Ok);
      if (options.logX) {
        app::PlotViewOptions back = options;
        back.logX = false;
        graph_.setLogX(false);
        document_.setViewOptions(back);
        return;
      }
    }
    interaction_->dataChanged();
  }
  showOverlays();
}

void PlotView::showOverlays() {
  overlays_.clear();
  // One graph per file, its traces in drop order.
  std::map<std::string, std::size_t> byFile;
  std::vector<std::vector<const app::OverlaidTrace*>> files;
  for (const app::OverlaidTrace& t : document_.overlaidTraces()) {
    auto [it, added] = byFile.emplace(t.file, files.size());
    if (added) files.emplace_back();
    files[it->second].push_back(&t);
  }
  for (const auto& traces : files) {
    auto g = std::make_unique<plot::Graph>();
    g->setLogX(document_.viewOptions().logX);
    // Traces of one file share its x; a trace of another length is drawn on its own.
    std::vector<std::vector<double>> y;
    std::vector<std::string> names;
    const std::vector<double>& x = traces.front()->x;
    for (const app::OverlaidTrace* t : traces) {
      if (t->x != x) continue;
      y.push_back(t->y);
      names.push_back(t->name);
    }
    try {
      g->SetData(x, y, names, {}, {});
    } catch (const std::exception&) {
      continue;  // nothing of this file can be drawn on these axes
    }
    overlays_.push_back(std::move(g));
  }
}

void PlotView::shownRangeToDocument() {
  if (!graph_.ready()) return;
  const double from = graph_.xAxis().min, to = graph_.xAxis().max;
  if (from <= graph_.xMin() && to >= graph_.xMax()) {
    document_.showWholeXRange();
    return;
  }
  // A logarithmic axis shows the logarithms of x.
  if (document_.viewOptions().logX)
    document_.setShownXRange(std::pow(10.0, from), std::pow(10.0, to));
  else
    document_.setShownXRange(from, to);
}

void PlotView::resetZoom() {
  graph_.resetRanges();
  update();
}

void PlotView::zoomStep(bool in) {
  interaction_->wheel(in ? 1 : -1, {});
}

void PlotView::recomputeColours() {
  graph_.recomputeColours();
  ++version_;
  update();
}

void PlotView::paintPlot(QPainter& painter, QSizeF size) {
  interaction_->applyPendingResets();
  shownRangeToDocument();
  QPainterCanvas canvas(painter, size.width(), size.height());
  graph_.Paint(canvas);
  canvas.flush();
  drawOverlaidTraces(graph_, overlayGraphs(), canvas);
  if (document_.viewOptions().showTraceName) drawTraceName(canvas);
  canvas.flush();
  // Pixel positions belong to the widget's own layout, not to a picture's or a page's.
  if (size != QSizeF(this->size())) graph_.layout(width(), height());
}

std::vector<plot::Graph*> PlotView::overlayGraphs() const {
  std::vector<plot::Graph*> graphs;
  for (const auto& g : overlays_) graphs.push_back(g.get());
  return graphs;
}

void PlotView::drawTraceName(plot::Canvas& canvas) {
  const int t = interaction_->highlighted();
  const processing::CDataSet& set = document_.dataSet();
  if (t < 0 || t >= set.TraceCount() || !pointer_ || !graph_.ready()) return;
  const std::size_t i = graph_.nearestSample(graph_.toData(at(*pointer_)).x);
  std::string text = static_cast<std::size_t>(t) < set.traceNames.size() ? set.traceNames[static_cast<std::size_t>(t)] : "";
  // The point's values as measured (a logarithmic x axis may have dropped points).
  const std::size_t j = graph_.sourceIndex(i);
  const std::vector<double> xs = set.XValues();
  const std::vector<double> ys = set.YValues(t);
  if (j < xs.size() && j < ys.size()) {
    char values[96];
    std::snprintf(values, sizeof values, "  X: %g  Y: %g", xs[j], ys[j]);
    text += values;
  }
  plot::Font font;
  canvas.text({graph_.area().left + 6, graph_.area().top + 4}, text, plot::HAlign::Left, plot::VAlign::Top, font,
              plot::kBlack);
}

QImage PlotView::picture(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  paintPlot(painter, QSizeF(size));
  painter.end();
  return image;
}

PlotView::FrameKey PlotView::frameKey() const {
  return {version_, graph_.xAxis().min, graph_.xAxis().max, graph_.yAxis().min, graph_.yAxis().max, size(),
          devicePixelRatioF()};
}

bool PlotView::frameIsCurrent() {
  const FrameKey key = frameKey();
  if (!frame_.image.isNull() && key == frameFor_) return true;
  // The first picture is drawn here whatever it costs: there is nothing to show meanwhile.
  if (frame_.image.isNull() || !drawsSlowly(graph_, backgroundFrom_)) {
    frame_ = drawPlotFrame(graph_, overlayGraphs(), size(), devicePixelRatioF());
    frameFor_ = key;
    return true;
  }
  if (!drawing_ && !(failedFor_ && *failedFor_ == key)) requestFrame();
  return false;
}

void PlotView::requestFrame() {
  // The drawing works on copies, which share the traces' values with the graph: the graph may
  // change (another wheel step, new data) while it runs.
  struct Job {
    plot::Graph graph;
    std::vector<plot::Graph> overlays;
    QSize size;
    qreal ratio;
  };
  auto job = std::make_shared<Job>(Job{graph_, {}, size(), devicePixelRatioF()});
  for (const auto& g : overlays_) job->overlays.push_back(*g);
  const FrameKey key = frameKey();
  drawing_ = true;
  auto* watcher = new QFutureWatcher<std::optional<PlotFrame>>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, key] {
    watcher->deleteLater();
    drawing_ = false;
    std::optional<PlotFrame> drawn = watcher->result();
    if (drawn) {
      frame_ = std::move(*drawn);
      frameFor_ = key;
      failedFor_.reset();
    } else {
      failedFor_ = key;  // shown moved until the view changes again, not asked for in a loop
    }
    // The ranges may have moved on meanwhile: the next paint asks for their picture.
    update();
  });
  watcher->setFuture(QtConcurrent::run([job]() -> std::optional<PlotFrame> {
    try {
      std::vector<plot::Graph*> overlays;
      for (auto& g : job->overlays) overlays.push_back(&g);
      return drawPlotFrame(job->graph, overlays, job->size, job->ratio);
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }));
}

void PlotView::paintEvent(QPaintEvent*) {
  interaction_->applyPendingResets();
  shownRangeToDocument();
  const bool current = frameIsCurrent();
  QPainter painter(this);
  // The off-screen picture is copied to the window as it is.
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  if (current)
    painter.drawImage(QPointF(0, 0), frame_.image);
  else
    drawMovedFrame(painter, frame_, graph_);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  QPainterCanvas canvas(painter, width(), height());
  graph_.PaintDragRectangle(canvas);
  if (document_.viewOptions().showTraceName) drawTraceName(canvas);
  canvas.flush();
  painter.end();
  emit painted();
}

void PlotView::resizeEvent(QResizeEvent* event) {
  graph_.layout(width(), height());
  QWidget::resizeEvent(event);
}

void PlotView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  dragFrom_.reset();
  pressedAt_ = event->position().toPoint();
  interaction_->press(at(event->position()), modifiers(event->modifiers()));
}

void PlotView::mouseMoveEvent(QMouseEvent* event) {
  pointer_ = event->position().toPoint();
  const bool leftDown = event->buttons().testFlag(Qt::LeftButton);
  if (dragFrom_ && leftDown) {
    // A press on selected traces drags them; it never draws a zoom rectangle.
    if ((*pointer_ - *dragFrom_).manhattanLength() < QApplication::startDragDistance()) return;
    dragFrom_.reset();
    const auto& payload = interaction_->dragPayload();
    if (payload && onStartDrag) onStartDrag(*payload);
    return;
  }
  dragFrom_.reset();
  interaction_->move(at(event->position()), leftDown);
}

void PlotView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  dragFrom_.reset();
  interaction_->release(at(event->position()));
}

void PlotView::contextMenuEvent(QContextMenuEvent* event) {
  const int trace = interaction_->traceAt(at(QPointF(event->pos())));
  emit contextMenuRequested(event->globalPos(), trace);
  event->accept();
}

void PlotView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  interaction_->doubleClick(modifiers(event->modifiers()));
}

void PlotView::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
  interaction_->wheel(delta, modifiers(event->modifiers()));
  event->accept();
}

void PlotView::keyPressEvent(QKeyEvent* event) {
  static const std::map<int, plot::Key> keys{
      {Qt::Key_Backspace, plot::Key::Backspace}, {Qt::Key_Delete, plot::Key::Delete}, {Qt::Key_Left, plot::Key::Left},
      {Qt::Key_Right, plot::Key::Right},         {Qt::Key_Up, plot::Key::Up},         {Qt::Key_Down, plot::Key::Down},
  };
  auto it = keys.find(event->key());
  if (it == keys.end()) {
    QWidget::keyPressEvent(event);
    return;
  }
  interaction_->key(it->second, modifiers(event->modifiers()));
  event->accept();
}

}  // namespace lumatix::gui
