#include "gui/text_view_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialog_parts.h"

namespace lumatix::gui {

TextViewDialog::TextViewDialog(const QString& objectName, const QString& title, const std::string& text,
                               QWidget* parent)
    : QDialog(parent) {
  setObjectName(objectName);
  setWindowTitle(title);
  setAccessibleName(title);
  setSizeGripEnabled(true);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("text"));
  text_->setAccessibleName(title);
  text_->setReadOnly(true);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setPlainText(QString::fromStdString(text).remove('\r'));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  copy_ = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
  copy_->setObjectName(QStringLiteral("copy"));
  copy_->setAccessibleName(tr("Copy the whole text"));
  connect(copy_, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(text_->toPlainText()); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addWidget(buttons);
  resize(560, 420);
  text_->setFocus();
  keepPlace(this);
}

}  // namespace lumatix::gui
