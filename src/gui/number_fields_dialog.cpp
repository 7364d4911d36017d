#include "gui/number_fields_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialog_parts.h"

namespace lumatix::gui {

NumberFieldsDialog::NumberFieldsDialog(const QString& objectName, const QString& title, QWidget* parent)
    : QDialog(parent) {
  setObjectName(objectName);
  setWindowTitle(title);
  setAccessibleName(title);
  form_ = new QFormLayout;
  hint_ = makeHintLabel(this, QStringLiteral("hint"), tr("Why OK is disabled"));
  buttons_ = makeOkCancel(this);
}

QLineEdit* NumberFieldsDialog::addField(const QString& label, const QString& text) {
  auto* field = new QLineEdit(text, this);
  field->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0.000000e+000")));
  field->setObjectName(QString(label).remove('&').remove(' ').remove(':'));
  field->setAccessibleName(QString(label).remove('&').remove(':'));
  auto* l = new QLabel(label, this);
  l->setBuddy(field);
  form_->addRow(l, field);
  if (!fields_.empty()) setTabOrder(fields_.back(), field);
  fields_.push_back(field);
  connect(field, &QLineEdit::textChanged, this, &NumberFieldsDialog::check);
  return field;
}

void NumberFieldsDialog::finish() {
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form_);
  layout->addWidget(hint_);
  layout->addWidget(buttons_);
  if (!fields_.empty()) {
    setTabOrder(fields_.back(), buttons_);
    fields_.front()->setFocus();
    fields_.front()->selectAll();
  }
  check();
  keepPlace(this);
}

void NumberFieldsDialog::check() {
  const QString p = problem();
  hint_->setText(p);
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(p.isEmpty());
}

}  // namespace lumatix::gui
