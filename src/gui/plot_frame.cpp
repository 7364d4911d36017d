#include "gui/plot_frame.h"

#include <algorithm>

#include "gui/qpainter_canvas.h"

namespace lumatix::gui {

PlotFrame drawPlotFrame(plot::Graph& graph, const std::vector<plot::Graph*>& overlays, QSize size, qreal ratio) {
  PlotFrame frame;
  frame.image = QImage(size * ratio, QImage::Format_RGB32);
  frame.image.setDevicePixelRatio(ratio);
  frame.image.fill(Qt::white);
  QPainter painter(&frame.image);
  QPainterCanvas canvas(painter, size.width(), size.height());
  graph.PaintPlot(canvas);
  canvas.flush();
  drawOverlaidTraces(graph, overlays, canvas);
  canvas.flush();
  frame.area = graph.area();
  frame.topLeft = graph.toData({frame.area.left, frame.area.top});
  frame.bottomRight = graph.toData({frame.area.right, frame.area.bottom});
  return frame;
}

void drawOverlaidTraces(const plot::Graph& graph, const std::vector<plot::Graph*>& overlays, plot::Canvas& canvas) {
  const plot::Rect area = graph.area();
  for (plot::Graph* g : overlays) {
    g->setXRange(graph.xAxis().min, graph.xAxis().max);
    g->setYRange(graph.yAxis().min, graph.yAxis().max);
    g->PaintTraces(canvas, area);
  }
}

void drawMovedFrame(QPainter& painter, const PlotFrame& frame, const plot::Graph& graph) {
  painter.drawImage(QPointF(0, 0), frame.image);
  const plot::Rect& now = graph.area();
  // Inside the frame lines drawn along the area's edges, which stay.
  const QRectF area(QPointF(now.left + 1, now.top + 1), QPointF(now.right, now.bottom));
  const plot::Point topLeft = graph.toPixel(frame.topLeft), bottomRight = graph.toPixel(frame.bottomRight);
  const QRectF target(QPointF(topLeft.x, topLeft.y), QPointF(bottomRight.x, bottomRight.y));
  const qreal ratio = frame.image.devicePixelRatio();
  const QRectF source(QPointF(frame.area.left * ratio, frame.area.top * ratio),
                      QPointF(frame.area.right * ratio, frame.area.bottom * ratio));
  painter.save();
  painter.fillRect(area, Qt::white);
  painter.setClipRect(area);
  if (target.isValid() && target.width() < 1e6 && target.height() < 1e6) painter.drawImage(target, frame.image, source);
  painter.restore();
}

bool drawsSlowly(const plot::Graph& graph, std::size_t from) {
  return graph.ready() && graph.sampleCount() * graph.traceCount() >= from;
}

}  // namespace lumatix::gui
