#include "widgets/checked_message_box.h"

#include <QCheckBox>

namespace lumatix::widgets {

CheckedMessageBox::CheckedMessageBox(Icon icon, const QString& caption, const QString& text,
                                     StandardButtons buttons, QWidget* parent)
    : QMessageBox(icon, caption, text, buttons, parent) {
  setTextFormat(Qt::PlainText);
  auto* box = new QCheckBox(tr(kCheckText), this);
  box->setObjectName(QStringLiteral("dontShowAgain"));
  box->setAccessibleName(box->text());
  setCheckBox(box);
  setAccessibleName(caption);
  for (QAbstractButton* button : this->buttons()) button->setAccessibleName(button->text().remove('&'));
}

QCheckBox* CheckedMessageBox::dontShowAgainBox() const { return checkBox(); }

bool CheckedMessageBox::dontShowAgain() const { return checkBox() != nullptr && checkBox()->isChecked(); }

}  // namespace lumatix::widgets
