#include "gui/dialog_memory.h"

#include <QByteArray>
#include <QEvent>
#include <QHash>
#include <QObject>
#include <QWidget>

namespace lumatix::gui {
namespace {

QHash<QString, QByteArray>& places() {
  static QHash<QString, QByteArray> remembered;
  return remembered;
}

// Takes the geometry as the dialog hides: accepted, rejected, closed or hidden alike.
class PlaceKeeper : public QObject {
 public:
  explicit PlaceKeeper(QWidget* dialog) : QObject(dialog) { dialog->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide) {
      auto* w = static_cast<QWidget*>(watched);
      places().insert(w->objectName(), w->saveGeometry());
    }
    return false;
  }
};

}  // namespace

void keepPlace(QWidget* dialog) {
  if (dialog == nullptr || dialog->objectName().isEmpty()) return;
  auto it = places().constFind(dialog->objectName());
  if (it != places().constEnd()) dialog->restoreGeometry(*it);
  new PlaceKeeper(dialog);
}

}  // namespace lumatix::gui
