#pragma once
// PlotView: the drawing of one plot. It shows its PlotDocument's data set in a plot::Graph,
// drawn through the QPainter canvas, and forwards the pointer, the wheel and the keys to
// plot::PlotInteraction, which changes the view and, through the document, the selection.
// It redraws on the document's notices and keeps no state of its own beyond the graph's view
// (ranges, zoom, cursor) and what lies under the pointer.

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/change_notifier.h"
#include "gui/plot_frame.h"
#include "plot/graph.h"
#include "plot/plot_interaction.h"

namespace lumatix::app {
class PlotDocument;
class Ui;
}  // namespace lumatix::app

namespace lumatix::gui {

class PlotView : public QWidget {
  Q_OBJECT
 public:
  PlotView(app::PlotDocument& document, app::Ui& ui, QWidget* parent = nullptr);
  ~PlotView() override;

  app::PlotDocument& document() { return document_; }
  plot::Graph& graph() { return graph_; }
  plot::PlotInteraction& interaction() { return *interaction_; }
  // The graphs of the overlaid files, one per file, in drop order.
  const std::vector<std::unique_ptr<plot::Graph>>& overlays() const { return overlays_; }

  // The plot as the view shows it now, drawn into an image of the given size on white.
  QImage picture(QSize size);
  // Draws the plot on a painter's device of the given size (screen, image, printer).
  void paintPlot(QPainter& painter, QSizeF size);

  // "Reset Zoom": both axes back to the data's full range at the next drawing.
  void resetZoom();
  // Zoom In / Zoom Out of the context menu: one wheel step on both axes.
  void zoomStep(bool in);
  // "Recompute Trace Colours".
  void recomputeColours();
  // Plots of this many points or more (samples times traces) are drawn off the GUI thread
  // once their first picture is shown; meanwhile the last picture is shown moved and scaled.
  void setBackgroundDrawingFrom(std::size_t points) { backgroundFrom_ = points; }
  bool drawingInBackground() const { return drawing_; }
  // The trace under the pointer, -1 for none.
  int highlighted() const { return interaction_->highlighted(); }

  // Starts the drag of traces to another window, once the pointer has moved the platform's
  // drag distance from a press that selected traces; the window sets it (tests replace it).
  std::function<void(const processing::CDataSet& payload)> onStartDrag;
  // Removal of the selected traces by Delete or Backspace.
  std::function<void()> onRemoveSelected;

 signals:
  // The read-out labels, " X : %g " and " Y : %f ".
  void readOut(const QString& x, const QString& y);
  // The graph was drawn (after each paint).
  void painted();
  // The person asked for the context menu at a global position, over a trace (-1: none).
  void contextMenuRequested(const QPoint& globalPosition, int trace);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void noticed(app::Change what);
  // The document's data set, options and overlays into the graphs.
  void showData();
  void showOverlays();
  std::vector<plot::Graph*> overlayGraphs() const;
  void drawTraceName(plot::Canvas& canvas);
  // The graph's x range as the save commands see it.
  void shownRangeToDocument();
  // The plot without what follows the pointer is kept as a picture until the data, the view
  // options, the ranges or the size change; moving the pointer only copies it. Brings the
  // picture up to date and says whether it is; it is not while a plot too large to draw
  // within a frame is drawn off the GUI thread (requestFrame).
  bool frameIsCurrent();
  void requestFrame();
  // What the kept picture was drawn for.
  struct FrameKey {
    std::uint64_t version = 0;
    double xFrom = 0, xTo = 0, yFrom = 0, yTo = 0;
    QSize size;
    qreal ratio = 1;
    friend bool operator==(const FrameKey&, const FrameKey&) = default;
  };
  FrameKey frameKey() const;

  app::PlotDocument& document_;
  app::Ui& ui_;
  plot::Graph graph_;
  std::vector<std::unique_ptr<plot::Graph>> overlays_;
  std::unique_ptr<plot::TraceSelection> selection_;
  std::optional<plot::PlotInteraction> interaction_;
  std::optional<QPoint> pointer_;
  PlotFrame frame_;
  FrameKey frameFor_;
  // Whether a picture is being drawn off the GUI thread; the key a drawing there failed for.
  bool drawing_ = false;
  std::size_t backgroundFrom_ = kBackgroundDrawingFrom;
  std::optional<FrameKey> failedFor_;
  // Counts the changes of what the plot shows other than its ranges and size.
  std::uint64_t version_ = 1;
  // Where a press that selected traces happened: moving from there drags them.
  std::optional<QPoint> dragFrom_;
  QPoint pressedAt_;
  app::ChangeNotifier::Subscription subscription_;
};

}  // namespace lumatix::gui
