#include "gui/preview_plot.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "gui/qpainter_canvas.h"
#include "plot/colour_wheel.h"

namespace lumatix::gui {

PreviewPlot::PreviewPlot(QWidget* parent) : QWidget(parent) {
  setMinimumSize(200, 110);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  plot_.SetShowCoordinates(false);
}

void PreviewPlot::setTraces(const std::vector<double>& x, const std::vector<std::vector<double>>& y,
                            const std::vector<std::string>& names) {
  std::vector<std::string> wanted;
  for (std::size_t t = 0; t < y.size(); ++t) wanted.push_back(t < names.size() ? names[t] : std::to_string(t + 1));
  for (const auto& old : std::vector<plot::CPlotData>(plot_.traces()))
    if (std::find(wanted.begin(), wanted.end(), old.name) == wanted.end()) plot_.RemoveTrace(old.name);
  // The plot window's wheel: the same traces get the same colours as there.
  plot::CColourWheel wheel(255, 190.0f);
  for (std::size_t t = 0; t < y.size(); ++t) {
    std::vector<std::pair<float, float>> points;
    const std::size_t n = std::min(x.size(), y[t].size());
    points.reserve(n);
    for (std::size_t j = 0; j < n; ++j) points.emplace_back(static_cast<float>(x[j]), static_cast<float>(y[t][j]));
    plot_.SetTrace(wanted[t], points, wheel.NextColour());
  }
  // Tick labels with as many decimals as a tenth of the span needs: "180", "0.4", "0.05".
  const auto decimals = [](float from, float to) {
    const double step = (static_cast<double>(to) - from) / 8.0;
    if (!(step > 0.0) || !std::isfinite(step)) return 2u;
    return static_cast<unsigned>(std::clamp(-std::floor(std::log10(step)), 0.0, 6.0));
  };
  plot_.SetDecimals(decimals(plot_.extents().xFrom, plot_.extents().xTo),
                    decimals(plot_.extents().yFrom, plot_.extents().yTo));
  plot_.ResetZoom();
  update();
}

void PreviewPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  QPainterCanvas canvas(painter, width(), height());
  plot_.Paint(canvas);
  canvas.flush();
  drawLegend(painter);
  painter.end();
  emit painted();
}

void PreviewPlot::drawLegend(QPainter& painter) {
  const auto& traces = plot_.traces();
  if (traces.empty()) return;
  // As many entries as fit beside the plot's top right corner, then an ellipsis.
  const plot::Rect area = plot_.plotArea(width(), height());
  const QFontMetrics metrics(font());
  const int line = metrics.height();
  const int fits = std::max(1, static_cast<int>((area.bottom - area.top - 4) / line));
  const int shown = static_cast<int>(traces.size()) <= fits ? static_cast<int>(traces.size()) : fits - 1;
  int widest = metrics.horizontalAdvance(QStringLiteral("..."));
  for (int t = 0; t < shown; ++t)
    widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(traces[static_cast<std::size_t>(t)].name)));
  const int rows = shown + (shown < static_cast<int>(traces.size()) ? 1 : 0);
  const QRect box(static_cast<int>(area.right) - widest - 24, static_cast<int>(area.top) + 2, widest + 22,
                  rows * line + 4);
  painter.fillRect(box, QColor(255, 255, 255, 230));
  painter.setPen(QColor(160, 160, 160));
  painter.drawRect(box);
  for (int t = 0; t < shown; ++t) {
    const auto& trace = traces[static_cast<std::size_t>(t)];
    const QColor colour(static_cast<int>(trace.colour & 0xff), static_cast<int>((trace.colour >> 8) & 0xff),
                        static_cast<int>((trace.colour >> 16) & 0xff));
    const int y = box.top() + 2 + t * line + line / 2;
    painter.setPen(QPen(colour, 2));
    painter.drawLine(box.left() + 4, y, box.left() + 16, y);
    painter.setPen(Qt::black);
    painter.drawText(QRect(box.left() + 20, y - line / 2, widest, line), Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromStdString(trace.name));
  }
  if (rows > shown) {
    painter.setPen(Qt::black);
    painter.drawText(QRect(box.left() + 20, box.top() + 2 + shown * line, widest, line), Qt::AlignVCenter,
                     QStringLiteral("..."));
  }
}

}  // namespace lumatix::gui
