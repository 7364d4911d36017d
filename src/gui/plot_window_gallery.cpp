#include "gui/plot_window_gallery.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QMouseEvent>

#include <cmath>

#include "app/plot_document.h"
#include "app/plot_printout.h"
#include "gui/plot_printing.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"

namespace lumatix::gui {
namespace {

PlotWindow* firstPlotWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* p = qobject_cast<PlotWindow*>(w); p != nullptr && p->isVisible() && p->document().presentCount() > 0)
      return p;
  return nullptr;
}

// The window with a popup drawn where it is open.
QImage withPopup(QWidget* window, QWidget* popup) {
  QImage image = window->grab().toImage();
  if (popup == nullptr || !popup->isVisible()) return image;
  const QPoint at = popup->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0));
  const QPixmap shown = popup->grab();
  // The picture grows to hold a popup that reaches past the window.
  const QSize size(std::max(image.width(), at.x() + shown.width()), std::max(image.height(), at.y() + shown.height()));
  QImage out(size, QImage::Format_RGB32);
  out.fill(Qt::white);
  QPainter painter(&out);
  painter.drawImage(0, 0, image);
  painter.drawPixmap(at, shown);
  painter.setPen(Qt::gray);
  painter.drawRect(QRect(at, shown.size()).adjusted(0, 0, -1, -1));
  return out;
}

class Gallery {
 public:
  explicit Gallery(const QString& folder) : folder_(folder) { QDir().mkpath(folder); }
  void save(const QString& name, const QImage& image) {
    const QString path = QDir(folder_).filePath(QStringLiteral("plotWindow-%1.png").arg(name));
    if (image.save(path)) written_ << path;
  }
  const QStringList& written() const { return written_; }

 private:
  QString folder_;
  QStringList written_;
};

}  // namespace

QStringList savePlotWindowGallery(const QString& folder) {
  PlotWindow* window = firstPlotWindow();
  if (window == nullptr) return {};
  Gallery gallery(folder);
  app::PlotDocument& doc = window->document();
  PlotView* view = window->view();
  const app::PlotViewOptions before = doc.viewOptions();
  const std::vector<int> selectedBefore = doc.selection();

  // A selection, so that the menus show what it enables.
  doc.deselectAll();
  doc.select(0, true);
  QApplication::processEvents();

  // Each menu of the bar, open.
  for (QAction* entry : window->menuBar()->actions()) {
    QMenu* menu = entry->menu();
    if (menu == nullptr) continue;
    const QRect at = window->menuBar()->actionGeometry(entry);
    menu->popup(window->menuBar()->mapToGlobal(at.bottomLeft()));
    QApplication::processEvents();
    QString title = menu->title();
    title.remove('&');
    gallery.save(QStringLiteral("menu-") + title, withPopup(window, menu));
    menu->hide();
  }

  // The context menu over the first trace, at its highest point.
  const auto& g = view->graph();
  std::size_t peak = 0;
  for (std::size_t i = 0; i < g.sampleCount(); ++i)
    if (g.plotted()[0][i] > g.plotted()[0][peak]) peak = i;
  const auto pixelOfPeak = [&] {
    const auto p = g.toPixel({g.x()[peak], g.plotted()[0][peak]});
    return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
  };
  QPoint onTrace = pixelOfPeak();
  QMenu* context = window->contextMenu(view->interaction().traceAt({double(onTrace.x()), double(onTrace.y())}));
  context->popup(view->mapToGlobal(onTrace));
  QApplication::processEvents();
  gallery.save(QStringLiteral("context-menu"), withPopup(window, context));
  context->hide();

  // The legend, the grid and the name of the trace under the pointer.
  app::PlotViewOptions shown = before;
  shown.legend = shown.grid = shown.showTraceName = true;
  doc.setViewOptions(shown);
  onTrace = pixelOfPeak();
  QMouseEvent move(QEvent::MouseMove, QPointF(onTrace), QPointF(view->mapToGlobal(onTrace)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(view, &move);
  QApplication::processEvents();
  gallery.save(QStringLiteral("legend-grid"), window->grab().toImage());
  doc.setViewOptions(before);

  // A zoom rectangle being drawn around the first trace's peak.
  const QPoint from = onTrace - QPoint(70, 20), to = onTrace + QPoint(90, 160);
  view->interaction().move({double(from.x()), double(from.y())}, true);
  view->interaction().move({double(to.x()), double(to.y())}, true);
  gallery.save(QStringLiteral("zoom-rectangle"), window->grab().toImage());
  view->interaction().release({double(to.x()), double(to.y())});
  gallery.save(QStringLiteral("zoomed"), window->grab().toImage());
  window->run(app::PlotMenuCommand::ResetZoom);

  // The print preview, with its remarks-and-settings box.
  {
    QPrinter printer(QPrinter::HighResolution);
    app::PrintChoice choice = app::initialPrintChoice(doc.compliant());
    std::unique_ptr<QPrintPreviewDialog> preview(
        makePrintPreview(printer, choice, *view, app::plotPrintout(doc, choice), window));
    preview->resize(900, 700);
    preview->show();
    QApplication::processEvents();
    gallery.save(QStringLiteral("print-preview"), preview->grab().toImage());
    preview->hide();
  }

  doc.deselectAll();
  for (std::size_t t = 0; t < selectedBefore.size(); ++t)
    if (selectedBefore[t] == 1) doc.select(static_cast<int>(t), true);
  return gallery.written();
}

}  // namespace lumatix::gui
