#include "gui/user_authentication_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace lumatix::gui {

UserAuthenticationDialog::UserAuthenticationDialog(const app::AuthenticationPrompt& prompt, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QString::fromStdString(prompt.caption));
  setAccessibleName(windowTitle());
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* heading = new QGroupBox(QString::fromStdString(prompt.heading), this);
  auto* form = new QFormLayout(heading);
  userName_ = new QLineEdit(QString::fromStdString(prompt.userName), heading);
  userName_->setAccessibleName(tr("User name"));
  password_ = new QLineEdit(heading);
  password_->setEchoMode(QLineEdit::Password);
  password_->setAccessibleName(tr("Password"));
  form->addRow(tr("&User name:"), userName_);
  form->addRow(tr("&Password:"), password_);

  auto* picture = new QLabel(this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
  picture->setAccessibleName(tr("Electronic signature"));
  auto* statement = new QLabel(QString::fromStdString(prompt.statement), this);
  statement->setWordWrap(true);
  statement->setTextFormat(Qt::PlainText);
  statement->setAccessibleName(tr("Statement"));
  auto* statementRow = new QHBoxLayout;
  statementRow->addWidget(picture, 0, Qt::AlignTop);
  statementRow->addWidget(statement, 1);

  agree_ = new QCheckBox(tr("I Agree"), this);
  agree_->setAccessibleName(tr("I Agree"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setEnabled(false);
  ok_->setAccessibleName(tr("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Cancel"));
  connect(agree_, &QCheckBox::toggled, ok_, &QPushButton::setEnabled);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (agree_->isChecked()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addLayout(statementRow);
  layout->addWidget(agree_);
  layout->addWidget(buttons);
  setMinimumWidth(420);

  QWidget::setTabOrder(userName_, password_);
  QWidget::setTabOrder(password_, agree_);
  QWidget::setTabOrder(agree_, ok_);
  (prompt.focus == app::CredentialsFocus::Password ? password_ : userName_)->setFocus();
}

app::Credentials UserAuthenticationDialog::credentials() const {
  return {userName_->text().toStdString(), password_->text().toStdString(), agree_->isChecked()};
}

}  // namespace lumatix::gui
