#pragma once
// "User Authentication": user name, masked password, the "I Agree" box beside the signature
// statement, OK (available only while "I Agree" is ticked) and Cancel. The rules of the
// tries are app::CUserAuthentDlg's; this dialog shows one try.

#include <QDialog>

#include "app/ui.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace lumatix::gui {

class UserAuthenticationDialog : public QDialog {
  Q_OBJECT
 public:
  explicit UserAuthenticationDialog(const app::AuthenticationPrompt& prompt, QWidget* parent = nullptr);

  app::Credentials credentials() const;

  QLineEdit* userNameEdit() const { return userName_; }
  QLineEdit* passwordEdit() const { return password_; }
  QCheckBox* agreeBox() const { return agree_; }
  QPushButton* okButton() const { return ok_; }

 private:
  QLineEdit* userName_;
  QLineEdit* password_;
  QCheckBox* agree_;
  QPushButton* ok_;
};

}  // namespace lumatix::gui
