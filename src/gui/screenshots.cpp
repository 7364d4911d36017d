#include "gui/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

#include "app/plot_document.h"
#include "gui/plot_window.h"

namespace lumatix::gui {

QString screenshotName(const QString& objectName, const QString& title) {
  QString name = objectName.isEmpty() ? title : objectName;
  if (name.isEmpty()) name = QStringLiteral("window");
  for (QChar& c : name)
    if (!c.isLetterOrNumber() && c != '-' && c != '_') c = '_';
  return name;
}

QStringList saveScreenshots(const QString& folder) {
  QDir().mkpath(folder);
  QStringList written;
  QStringList used;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible()) continue;
    QString base = screenshotName(w->objectName(), w->windowTitle());
    QString name = base;
    for (int n = 2; used.contains(name); ++n) name = base + QStringLiteral("_%1").arg(n);
    used << name;
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (w->grab().save(path)) written << path;
  }
  // The fitting dialog opens only from a command: it is pictured over the first plot window
  // (not one receiving an acquisition, whose data are still coming).
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* plot = qobject_cast<PlotWindow*>(w); plot != nullptr && plot->isVisible() && !plot->document().online()) {
      written << saveFittingDialogScreenshots(folder, plot->document());
      break;
    }
  return written;
}

}  // namespace lumatix::gui
