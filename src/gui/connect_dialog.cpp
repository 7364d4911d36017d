#include "gui/connect_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace lumatix::gui {

namespace {

// A field of the address: up to three digits, 0 to 255; a dot typed in it moves on to the
// next field, as in the desktop's address controls.
class AddressField : public QLineEdit {
 public:
  explicit AddressField(QWidget* parent) : QLineEdit(parent) {
    // Nothing above 255 can be typed at all.
    static const QRegularExpression octet(QStringLiteral("(25[0-5]|2[0-4][0-9]|1?[0-9]?[0-9])?"));
    setValidator(new QRegularExpressionValidator(octet, this));
    setMaxLength(3);
    setAlignment(Qt::AlignCenter);
    setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
  }
  QLineEdit* next = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->text() == QLatin1String(".") && next != nullptr) {
      if (!text().isEmpty()) {
        next->setFocus(Qt::TabFocusReason);
        next->selectAll();
      }
      return;
    }
    QLineEdit::keyPressEvent(event);
  }
};

}  // namespace

ConnectDialog::ConnectDialog(const app::ServerDialogSettings& initial, bool remoteAllowed, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Connect..."));
  setObjectName(QStringLiteral("connectDialog"));
  auto* group = new QGroupBox(QStringLiteral("Spectrometer Control Panel (SCP)"), this);
  local_ = new QRadioButton(QStringLiteral("Local"), group);
  remote_ = new QRadioButton(QStringLiteral("Remote"), group);
  label_ = new QLabel(QStringLiteral("IP Address:"), group);

  auto* address = new QHBoxLayout;
  address->setSpacing(2);
  for (std::size_t k = 0; k < fields_.size(); ++k) {
    auto* field = new AddressField(group);
    field->setAccessibleName(QStringLiteral("IP address, part %1").arg(k + 1));
    field->setText(QString::fromStdString(initial.fields[k]));
    fields_[k] = field;
    if (k > 0) {
      static_cast<AddressField*>(fields_[k - 1])->next = field;
      address->addWidget(new QLabel(QStringLiteral("."), group));
    }
    address->addWidget(field);
  }
  address->addStretch();
  label_->setBuddy(fields_[0]);

  auto* inner = new QVBoxLayout(group);
  inner->addWidget(local_);
  inner->addWidget(remote_);
  auto* addressRow = new QHBoxLayout;
  addressRow->addSpacing(18);
  addressRow->addWidget(label_);
  addressRow->addLayout(address);
  inner->addLayout(addressRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);

  remote_->setEnabled(remoteAllowed);
  (initial.remote && remoteAllowed ? remote_ : local_)->setChecked(true);
  connect(local_, &QRadioButton::toggled, this, &ConnectDialog::choiceChanged);
  choiceChanged();
  local_->setFocus();
}

void ConnectDialog::choiceChanged() {
  const bool remote = remote_->isChecked();
  label_->setEnabled(remote);
  for (QLineEdit* f : fields_) f->setEnabled(remote);
  if (remote) fields_[0]->setFocus();
}

app::ServerDialogSettings ConnectDialog::settings() const {
  app::ServerDialogSettings s;
  s.remote = remote_->isChecked();
  for (std::size_t k = 0; k < fields_.size(); ++k) s.fields[k] = fields_[k]->text().toStdString();
  return s;
}

}  // namespace lumatix::gui
