#include "gui/simple_math_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cfloat>
#include <cmath>

#include "app/field_text.h"
#include "gui/dialog_parts.h"

namespace lumatix::gui {
namespace {

// The constant as the operation uses it, or nullopt when it is no single-precision number.
std::optional<float> constantOf(const QString& text) {
  auto value = app::parseNumber(text.toStdString());
  if (!value || std::fabs(*value) > FLT_MAX) return std::nullopt;
  return static_cast<float>(*value);
}

}  // namespace

SimpleMathDialogWindow::SimpleMathDialogWindow(app::SimpleMathDialog& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("simpleMathDialog"));
  setWindowTitle(QStringLiteral("Simple Math"));
  setAccessibleName(windowTitle());

  auto* group = new QGroupBox(this);
  group->setAccessibleName(tr("Operation"));
  auto* row = new QHBoxLayout(group);
  operations_ = new QButtonGroup(this);
  const char* names[] = {"Add", "Subtract", "Multiply", "Divide"};
  int i = 0;
  for (const char* sign : {"+", "-", "x", "/"}) {
    auto* radio = new QRadioButton(QString::fromLatin1(sign), group);
    radio->setObjectName(QStringLiteral("operation%1").arg(i));
    radio->setAccessibleName(tr(names[i]));
    operations_->addButton(radio, i);
    row->addWidget(radio);
    ++i;
  }
  const int chosen = model_.operation >= 0 && model_.operation <= 3 ? model_.operation : 0;
  operations_->button(chosen)->setChecked(true);

  auto* label = new QLabel(tr("&Constant"), this);
  constant_ = new QLineEdit(QString::fromStdString(app::numberText(model_.constant)), this);
  constant_->setObjectName(QStringLiteral("constant"));
  constant_->setAccessibleName(tr("Constant"));
  label->setBuddy(constant_);
  hint_ = makeHintLabel(this, QStringLiteral("hint"), tr("Why OK is disabled"));
  buttons_ = makeOkCancel(this);
  connect(constant_, &QLineEdit::textChanged, this, &SimpleMathDialogWindow::check);

  auto* fieldRow = new QHBoxLayout;
  fieldRow->addWidget(label);
  fieldRow->addWidget(constant_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(fieldRow);
  layout->addWidget(hint_);
  layout->addWidget(buttons_);
  setTabOrder(operations_->button(chosen), constant_);
  constant_->setFocus();
  constant_->selectAll();
  check();
  keepPlace(this);
}

void SimpleMathDialogWindow::check() {
  const bool ok = constantOf(constant_->text()).has_value();
  hint_->setText(ok ? QString() : tr("The constant must be a number from -3.40282e+38 to 3.40282e+38."));
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(ok);
}

void SimpleMathDialogWindow::accept() {
  const auto value = constantOf(constant_->text());
  if (!value) return;
  model_.operation = operations_->checkedId();
  model_.constant = *value;
  QDialog::accept();
}

}  // namespace lumatix::gui
