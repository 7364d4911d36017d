#pragma once
// ConnectDialog: the "Connect..." dialog. It edits an app::ServerDialogSettings: "Local" or
// "Remote" and the four fields of the control panel's IP address (0 to 255 each), which with
// their label are enabled only while "Remote" is chosen; "Remote" itself can be refused.
// What OK means is app::CServerDlg's.

#include <QDialog>

#include <array>

#include "app/server_dialog.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace lumatix::gui {

class ConnectDialog : public QDialog {
  Q_OBJECT
 public:
  ConnectDialog(const app::ServerDialogSettings& initial, bool remoteAllowed, QWidget* parent = nullptr);

  app::ServerDialogSettings settings() const;

  QRadioButton* localButton() const { return local_; }
  QRadioButton* remoteButton() const { return remote_; }
  QLabel* addressLabel() const { return label_; }
  QLineEdit* field(int k) const { return fields_[static_cast<std::size_t>(k)]; }

 private:
  void choiceChanged();

  QRadioButton* local_;
  QRadioButton* remote_;
  QLabel* label_;
  std::array<QLineEdit*, 4> fields_{};
};

}  // namespace lumatix::gui
