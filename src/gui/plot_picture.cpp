#include "gui/plot_picture.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "gui/qpainter_canvas.h"
#include "platform/atomic_file.h"
#include "plot/graph.h"

namespace lumatix::gui {
namespace {

// Qt's notes about the environment (no runtime folder, no display) are not the command's
// messages; its errors still reach standard error.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// Fonts need a running Qt application; a command-line run has none, and no display either.
// The one made here lives while the picture is drawn and goes before the program ends, so
// that Qt releases its font caches with it.
std::unique_ptr<QGuiApplication> applicationForPictures() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  qInstallMessageHandler(quietMessages);
  static int argc = 3;
  static char name[] = "lumatix", option[] = "-platform", platform[] = "offscreen";
  static char* argv[] = {name, option, platform, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

QByteArray png(plot::Graph& graph, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) throw std::runtime_error("The picture is too large to be drawn.\n");
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QPainterCanvas canvas(painter, width, height);
    graph.Paint(canvas);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw std::runtime_error("The PNG picture could not be made.\n");
  return bytes;
}

QByteArray pdf(plot::Graph& graph, int width, int height) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(96);
    writer.setPageSize(QPageSize(QSizeF(width * 72.0 / 96.0, height * 72.0 / 96.0), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) throw std::runtime_error("The PDF picture could not be made.\n");
    QPainterCanvas canvas(painter, width, height);
    graph.Paint(canvas);
  }
  return bytes;
}

}  // namespace

void savePlotPicture(plot::Graph& graph, const std::string& path, PictureFormat format, int width, int height) {
  QByteArray bytes;
  {
    const std::unique_ptr<QGuiApplication> application = applicationForPictures();
    bytes = format == PictureFormat::Png ? png(graph, width, height) : pdf(graph, width, height);
  }
  platform::AtomicFile file(path);
  file.stream().write(bytes.constData(), bytes.size());
  file.commit();
}

}  // namespace lumatix::gui
