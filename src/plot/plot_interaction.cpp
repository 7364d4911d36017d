#include "plot/plot_interaction.h"

#include <cmath>
#include <cstdio>

namespace lumatix::plot {
namespace {

std::string formatted(const char* format, double v) {
  char text[128];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

}  // namespace

bool DataSetSelection::isSelected(int t) const {
  const auto i = static_cast<std::size_t>(t);
  return t >= 0 && i < set_.selected.size() && i < set_.traceState.size() && set_.selected[i] == 1 &&
         set_.traceState[i] == processing::kTracePresent;
}

void DataSetSelection::setSelected(int t, bool on) {
  if (t >= 0 && static_cast<std::size_t>(t) < set_.selected.size()) set_.selected[static_cast<std::size_t>(t)] = on ? 1 : 0;
}

void DataSetSelection::clearSelection() {
  for (int& s : set_.selected) s = 0;
}

PlotInteraction::PlotInteraction(Graph& graph, const processing::CDataSet& traces, TraceSelection& selection,
                                 InteractionCallbacks callbacks)
    : graph_(graph), set_(traces), selection_(selection), callbacks_(std::move(callbacks)) {
  dataChanged();
}

PlotInteraction::PlotInteraction(Graph& graph, processing::CDataSet& traces, InteractionCallbacks callbacks)
    : graph_(graph),
      set_(traces),
      ownSelection_(std::make_unique<DataSetSelection>(traces)),
      selection_(*ownSelection_),
      callbacks_(std::move(callbacks)) {
  dataChanged();
}

void PlotInteraction::dataChanged() {
  storedXFrom_ = graph_.xAxis().min;
  storedXTo_ = graph_.xAxis().max;
  selectionToGraph();
}

bool PlotInteraction::present(int t) const {
  return t >= 0 && static_cast<std::size_t>(t) < set_.traceState.size() &&
         set_.traceState[static_cast<std::size_t>(t)] == processing::kTracePresent;
}

bool PlotInteraction::selected(int t) const { return selection_.isSelected(t); }

void PlotInteraction::select(int t, bool on) { selection_.setSelected(t, on); }

void PlotInteraction::clearSelection() { selection_.clearSelection(); }

int PlotInteraction::selectedCount() const {
  int n = 0;
  for (int t = 0; t < set_.TraceCount(); ++t) n += selected(t) ? 1 : 0;
  return n;
}

std::vector<int> PlotInteraction::selectionFlags() const {
  std::vector<int> flags(static_cast<std::size_t>(set_.TraceCount()), 0);
  for (std::size_t t = 0; t < flags.size(); ++t) flags[t] = selected(static_cast<int>(t)) ? 1 : 0;
  return flags;
}

void PlotInteraction::selectionToGraph() {
  const std::vector<int> flags = selectionFlags();
  graph_.setTraceSelection(std::vector<bool>(flags.begin(), flags.end()));
}

void PlotInteraction::redraw() {
  if (callbacks_.redraw) callbacks_.redraw();
}

std::vector<Graph*> PlotInteraction::allGraphs() {
  std::vector<Graph*> graphs{&graph_};
  graphs.insert(graphs.end(), overlays_.begin(), overlays_.end());
  return graphs;
}

int PlotInteraction::traceAt(Point p) const {
  if (!graph_.ready() || graph_.sampleCount() == 0) return -1;
  const Point d = graph_.toData(p);
  if (!graph_.withinMargins(d)) return -1;
  const std::size_t i = graph_.nearestSample(d.x);
  const auto& rows = graph_.plotted();
  int found = -1;
  float nearest = 0.0f;
  for (std::size_t t = 0; t < rows.size() && t < set_.traceState.size(); ++t) {
    const int state = set_.traceState[t];
    if (state != processing::kTracePresent && state != processing::kTraceBaseline) continue;
    const float distance = static_cast<float>(std::fabs(rows[t][i] - d.y));
    // A later trace wins a tie: the one drawn on top.
    if (found < 0 || distance <= nearest) {
      found = static_cast<int>(t);
      nearest = distance;
    }
  }
  const double span = graph_.yAxis().max - graph_.yAxis().min;
  if (found < 0 || !(span > 0) || nearest / span > 0.01) return -1;
  return found;
}

void PlotInteraction::move(Point p, bool leftButtonDown) {
  if (leftButtonDown) {
    for (Graph* g : allGraphs())
      if (!g->dragging()) g->beginDrag(p);
    for (Graph* g : allGraphs()) g->setDragEnd(p);
    redraw();
  }
  if (selectedCount() == 1 && graph_.ready()) {
    graph_.setCursor(graph_.nearestSample(graph_.toData(p).x));
    showReadOut();
  }
  highlighted_ = traceAt(p);
  redraw();
}

void PlotInteraction::showReadOut() {
  if (!callbacks_.readOut || selectedCount() != 1 || graph_.sampleCount() == 0) return;
  int t = 0;
  while (!selected(t)) ++t;
  const auto ti = static_cast<std::size_t>(t);
  if (ti >= set_.yA.size()) return;
  std::size_t i = graph_.cursor();
  if (i >= graph_.sampleCount()) i = 0;
  // The values as measured, not their logarithms on a log axis.
  const std::size_t j = graph_.sourceIndex(i), a = set_.xA.size();
  const bool inA = j < a && j < set_.yA[ti].size();
  const bool inB = j >= a && ti < set_.yB.size() && j - a < set_.xB.size() && j - a < set_.yB[ti].size();
  if (!inA && !inB) return;
  const double x = j < a ? set_.xA[j] : set_.xB[j - a];
  const double y = j < a ? set_.yA[ti][j] : set_.yB[ti][j - a];
  callbacks_.readOut(formatted(" X : %g ", x), formatted(" Y : %f ", y));
}

void PlotInteraction::press(Point p, Modifiers m) {
  highlighted_ = traceAt(p);
  const int t = highlighted_;
  if (selectedCount() > 0 && t < 0) {
    if (removalRunning_) {
      removalRunning_ = false;
    } else {
      clearSelection();
      selectionToGraph();
      selectionChanged_ = true;
      redraw();
    }
    return;
  }
  if (t >= 0 && !present(t)) return;  // the baseline is not picked by a click
  if (t >= 0) {
    const bool wasSelected = selected(t);
    if (!m.shift && !m.ctrl) clearSelection();
    if (wasSelected) {
      select(t, false);
    } else {
      select(t, true);
      current_ = t;
    }
    selectionToGraph();
    redraw();
    showReadOut();
    if (selectedCount() > 0) {
      // Subset leaves the baseline out: SelectedOnly refuses a selection that holds it,
      // which the baseline's staying selected after a removal makes common.
      payload_ = set_.Subset(selectionFlags());
      if (payload_->TraceCount() > 0 && callbacks_.startDrag) callbacks_.startDrag(*payload_);
    }
  }
  lastClicked_ = t;
}

void PlotInteraction::release(Point p) {
  if (graph_.dragging() && !(graph_.dragEnd() == graph_.dragStart())) {
    graph_.setDragEnd(p);
    graph_.zoomToDrag();
    for (Graph* g : overlays_) {
      if (!g->dragging()) continue;
      g->setDragEnd(p);
      g->zoomToDrag();
    }
  }
  // A click without a drag leaves no half-begun rectangle behind for the next drag.
  for (Graph* g : allGraphs()) g->cancelDrag();
  redraw();
}

void PlotInteraction::wheel(int delta, Modifiers m) {
  const bool onlyX = m.ctrl && !m.shift, onlyY = m.shift && !m.ctrl;
  for (Graph* g : allGraphs()) g->zoomStep(delta > 0, !onlyY, !onlyX);
  pendingResets_ = kWheelZoomed;
  redraw();
}

void PlotInteraction::doubleClick(Modifiers m) {
  pendingResets_ = m.shift ? kResetBothAxes : kResetDoubleClick;
  redraw();
}

void PlotInteraction::applyPendingResets() {
  if (pendingResets_ == kResetBothAxes) {
    for (Graph* g : allGraphs()) g->resetRanges();
  } else if (pendingResets_ == kResetDoubleClick) {
    for (Graph* g : allGraphs()) {
      g->resetYRange();
      g->setXRange(storedXFrom_, storedXTo_);
    }
  }
  pendingResets_ = 0;
}

void PlotInteraction::key(Key k, Modifiers m) {
  switch (k) {
    case Key::Backspace:
    case Key::Delete:
      if (selectedCount() > 0 && callbacks_.removeSelected) callbacks_.removeSelected();
      return;
    case Key::Left:
    case Key::Right: {
      if (graph_.sampleCount() == 0) return;
      const std::size_t i = graph_.cursor(), last = graph_.sampleCount() - 1;
      // Left means lower x: down the index on ascending x, up on descending x.
      const bool up = (k == Key::Right) != graph_.descendingX();
      if (up && i < last) graph_.setCursor(i + 1);
      if (!up && i > 0) graph_.setCursor(i - 1);
      redraw();
      showReadOut();
      return;
    }
    case Key::Down:
    case Key::Up:
      stepTrace(k == Key::Down, m.shift);
      return;
  }
}

void PlotInteraction::stepTrace(bool forward, bool shift) {
  const int count = selectedCount(), n = set_.TraceCount();
  if (count == 0 || n == 0) return;
  if (shift && count >= n) return;
  int start = -1;
  for (int i = 0; i < n; ++i) {
    const int t = forward ? i : n - 1 - i;
    if (present(t) && selected(t)) {
      start = t;
      break;
    }
  }
  if (start < 0) return;
  int found = -1;
  for (int step = 1; step < n; ++step) {
    const int t = forward ? (start + step) % n : (start - step + n) % n;
    if (present(t) && !selected(t)) {
      found = t;
      break;
    }
  }
  if (found < 0) return;
  if (!shift) {
    clearSelection();
    current_ = found;
  }
  select(found, true);
  selectionToGraph();
  redraw();
}

}  // namespace lumatix::plot
