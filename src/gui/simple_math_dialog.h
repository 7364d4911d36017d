#pragma once
// "Simple Math": the four operations as radio buttons and the "Constant" field, over an
// app::SimpleMathDialog. OK stays disabled while the field does not hold a number a trace
// value can be combined with (a single-precision float); the hint under the field says why.

#include <QDialog>

#include "app/plot_dialogs.h"

class QButtonGroup;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace lumatix::gui {

class SimpleMathDialogWindow : public QDialog {
  Q_OBJECT
 public:
  SimpleMathDialogWindow(app::SimpleMathDialog& model, QWidget* parent = nullptr);

  QLineEdit* constantField() const { return constant_; }
  QButtonGroup* operations() const { return operations_; }
  QDialogButtonBox* buttons() const { return buttons_; }
  QLabel* hint() const { return hint_; }

  void accept() override;

 private:
  void check();

  app::SimpleMathDialog& model_;
  QButtonGroup* operations_;
  QLineEdit* constant_;
  QLabel* hint_;
  QDialogButtonBox* buttons_;
};

}  // namespace lumatix::gui
