#pragma once
// PlotInteraction: how a plot window's graph answers the pointer, the wheel and the keys.
// The window forwards its events here in pixels; this class changes the graph's view and the
// data set's selection, and tells the window through callbacks what to do that only the
// window can (redraw, start a drag-and-drop, show the read-out, remove traces).
//
// The graph's traces are the data set's traces, index for index. The selection belongs to
// whoever owns the data set (the plot's document); the interaction reads and changes it only
// through TraceSelection and never writes the data set.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plot/graph.h"
#include "processing/data_set.h"

namespace lumatix::plot {

struct Modifiers {
  bool shift = false;
  bool ctrl = false;
};

enum class Key { Backspace, Delete, Left, Right, Up, Down };

// Axis resets that the next drawing applies (see applyPendingResets).
inline constexpr std::uint32_t kResetBothAxes = 3;   // both axes to the data's full range
inline constexpr std::uint32_t kResetDoubleClick = 6;  // y to the data, x to the stored x range
inline constexpr std::uint32_t kWheelZoomed = 192;   // the wheel set the ranges: keep them

// The owner of a data set's selection. A trace is selected when its flag is set and it is
// present: neither hidden nor the baseline.
class TraceSelection {
 public:
  virtual ~TraceSelection() = default;
  virtual bool isSelected(int t) const = 0;
  virtual void setSelected(int t, bool on) = 0;
  virtual void clearSelection() = 0;
};

// The selection flags of a data set that has no other owner (the tests, a data set on its own).
class DataSetSelection : public TraceSelection {
 public:
  explicit DataSetSelection(processing::CDataSet& set) : set_(set) {}
  bool isSelected(int t) const override;
  void setSelected(int t, bool on) override;
  void clearSelection() override;

 private:
  processing::CDataSet& set_;
};

struct InteractionCallbacks {
  std::function<void()> redraw;
  // A drag-and-drop of the selected traces (the baseline left out) begins; the payload
  // lives in the interaction until the next drag or its end.
  std::function<void(const processing::CDataSet& payload)> startDrag;
  // The two read-out labels: " X : %g " and " Y : %f ".
  std::function<void(const std::string& x, const std::string& y)> readOut;
  // Remove the selected traces.
  std::function<void()> removeSelected;
};

class PlotInteraction {
 public:
  PlotInteraction(Graph& graph, const processing::CDataSet& traces, TraceSelection& selection,
                  InteractionCallbacks callbacks = {});
  // A data set that owns its selection itself.
  PlotInteraction(Graph& graph, processing::CDataSet& traces, InteractionCallbacks callbacks = {});

  // Graphs overlaid on the main one; each follows every zoom. Not owned.
  void setOverlays(std::vector<Graph*> overlays) { overlays_ = std::move(overlays); }
  // Call after new data reached the graph: the x range now in force is the one a plain
  // double-click restores.
  void dataChanged();

  // Pointer events, in pixels of the graph's last layout.
  void move(Point p, bool leftButtonDown);
  void press(Point p, Modifiers m);
  void release(Point p);
  void wheel(int delta, Modifiers m);
  void doubleClick(Modifiers m);
  void key(Key k, Modifiers m);

  // The highlight test alone: the trace under the pixel, -1 for none.
  int traceAt(Point p) const;

  // Applies and clears the pending axis resets; the window calls it before drawing.
  void applyPendingResets();

  int highlighted() const { return highlighted_; }
  int lastClicked() const { return lastClicked_; }
  int current() const { return current_; }
  int selectedCount() const;
  bool selectionChanged() const { return selectionChanged_; }
  void clearSelectionChanged() { selectionChanged_ = false; }
  // Set by the window while it removes traces; the next click on empty space only clears it.
  void setRemovalRunning(bool on) { removalRunning_ = on; }
  bool removalRunning() const { return removalRunning_; }
  std::uint32_t pendingResets() const { return pendingResets_; }
  const std::optional<processing::CDataSet>& dragPayload() const { return payload_; }

 private:
  bool present(int t) const;
  bool selected(int t) const;
  std::vector<int> selectionFlags() const;
  void select(int t, bool on);
  void clearSelection();
  void selectionToGraph();
  void showReadOut();
  void stepTrace(bool forward, bool shift);
  void redraw();
  std::vector<Graph*> allGraphs();

  Graph& graph_;
  const processing::CDataSet& set_;
  std::unique_ptr<DataSetSelection> ownSelection_;
  TraceSelection& selection_;
  InteractionCallbacks callbacks_;
  std::vector<Graph*> overlays_;
  int highlighted_ = -1, lastClicked_ = -1, current_ = -1;
  bool selectionChanged_ = false, removalRunning_ = false;
  std::uint32_t pendingResets_ = 0;
  std::optional<processing::CDataSet> payload_;
  double storedXFrom_ = 0.0, storedXTo_ = 1.0;
};

}  // namespace lumatix::plot
