#include "gui/line_plot_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "gui/qpainter_canvas.h"

namespace lumatix::gui {

LinePlotWidget::LinePlotWidget(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(240, 140);
}

QImage LinePlotWidget::picture(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QPainterCanvas canvas(painter, size.width(), size.height());
  plot_.Paint(canvas);
  canvas.flush();
  return image;
}

void LinePlotWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QPainterCanvas canvas(painter, width(), height());
  plot_.Paint(canvas);
  canvas.flush();
}

void LinePlotWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPointF p = event->position();
  highlight(plot_.NearestPoint({p.x(), p.y()}, width(), height()));
}

void LinePlotWidget::leaveEvent(QEvent*) { highlight({-1, -1}); }

void LinePlotWidget::resizeEvent(QResizeEvent*) { emit resized(); }

void LinePlotWidget::highlight(std::pair<int, int> nearest) {
  if (nearest == plot_.highlight()) return;
  plot_.SetHighlight(nearest.first, nearest.second);
  update();
  emit highlightChanged(nearest.first, nearest.second);
}

}  // namespace lumatix::gui
