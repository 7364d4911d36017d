#include "gui/fit_report_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include "app/fit_texts.h"

namespace lumatix::gui {

bool printFitReport(QPrinter& printer, const std::vector<std::string>& lines) {
  printer.setDocName(QString::fromUtf8(app::kReportDocumentName));
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  // The painter's origin is the printable area's top left.
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  const QRectF area(0, 0, page.width(), page.height());
  painter.setClipRect(area);
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(10.0);
  painter.setFont(font);
  const QFontMetricsF metrics(font, &printer);
  double baseline = metrics.ascent();
  for (const std::string& line : lines) {
    if (baseline - metrics.ascent() > area.bottom()) break;
    painter.drawText(QPointF(0, baseline), QString::fromStdString(line));
    baseline += metrics.height();
  }
  return painter.end();
}

}  // namespace lumatix::gui
