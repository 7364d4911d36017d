#pragma once
// A message box with a "Do not show this message again" check box under its text. The box
// only reports whether the box was ticked; the caller keeps the choice in the preferences.

#include <QMessageBox>

class QCheckBox;

namespace lumatix::widgets {

class CheckedMessageBox : public QMessageBox {
  Q_OBJECT
 public:
  static constexpr const char* kCheckText = "Do not show this message again";

  CheckedMessageBox(Icon icon, const QString& caption, const QString& text, StandardButtons buttons,
                    QWidget* parent = nullptr);

  QCheckBox* dontShowAgainBox() const;
  bool dontShowAgain() const;
};

}  // namespace lumatix::widgets
