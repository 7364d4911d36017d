#include "gui/dialog_parts.h"

#include <QByteArray>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHash>
#include <QLabel>
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

QLabel* makeHintLabel(QWidget* parent, const QString& objectName, const QString& accessibleName) {
  auto* label = new QLabel(parent);
  label->setObjectName(objectName);
  label->setStyleSheet(QStringLiteral("color: #a00000"));
  label->setWordWrap(true);
  label->setAccessibleName(accessibleName);
  return label;
}

QDialogButtonBox* makeOkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace lumatix::gui
