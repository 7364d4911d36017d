#include "gui/live_fit_overlay.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

#include "app/plot_document.h"
#include "gui/plot_view.h"

namespace lumatix::gui {

LiveFitOverlay::LiveFitOverlay(PlotView& view, std::function<Curve()> curve)
    : QWidget(&view), view_(view), curve_(std::move(curve)) {
  setObjectName(QStringLiteral("liveFitLine"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(view.rect());
  view.installEventFilter(this);
  raise();
}

bool LiveFitOverlay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &view_ && event->type() == QEvent::Resize) setGeometry(view_.rect());
  return QWidget::eventFilter(watched, event);
}

void LiveFitOverlay::paintEvent(QPaintEvent*) {
  drawn_.clear();
  const plot::Graph& graph = view_.graph();
  if (!graph.ready() || !curve_) return;
  const Curve curve = curve_();
  if (curve.x.empty()) return;
  const bool logX = view_.document().viewOptions().logX;
  // Non-finite points, and those a logarithmic axis cannot show, break the line.
  QPainterPath path;
  bool open = false;
  for (std::size_t i = 0; i < curve.x.size() && i < curve.y.size(); ++i) {
    double x = curve.x[i];
    if (logX) x = x > 0 ? std::log10(x) : NAN;
    if (!std::isfinite(x) || !std::isfinite(curve.y[i])) {
      open = false;
      continue;
    }
    const plot::Point pixel = graph.toPixel({x, curve.y[i]});
    const QPointF at(pixel.x, pixel.y);
    drawn_.push_back(at);
    if (open) path.lineTo(at);
    else path.moveTo(at);
    open = true;
  }
  const plot::Rect& area = graph.area();
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipRect(QRectF(area.left, area.top, area.width(), area.height()));
  painter.setPen(QPen(QColor(0, 0, 0), 2.0, Qt::DashLine));
  painter.drawPath(path);
}

}  // namespace lumatix::gui
