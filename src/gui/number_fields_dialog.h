#pragma once
// The shape the small dialogs of typed numbers share ("Visible Trace Range", "Set Plot
// Limits"): labelled fields in a column, a line saying why OK is disabled, OK and Cancel. The
// subclass reads the fields and answers what is wrong with them.

#include <QDialog>

#include <vector>

class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace lumatix::gui {

class NumberFieldsDialog : public QDialog {
  Q_OBJECT
 public:
  QLineEdit* field(int i) const { return fields_.at(static_cast<std::size_t>(i)); }
  QLabel* hint() const { return hint_; }
  QDialogButtonBox* buttons() const { return buttons_; }

 protected:
  NumberFieldsDialog(const QString& objectName, const QString& title, QWidget* parent);
  // label carries the mnemonic ("&Start Trace"); the field's accessible name is the label
  // without it.
  QLineEdit* addField(const QString& label, const QString& text);
  // Lays out the dialog once the fields are added.
  void finish();
  // "" when the fields may be taken; the line under them shows anything else.
  virtual QString problem() const = 0;
  // Re-reads the fields.
  void check();

 private:
  QFormLayout* form_;
  std::vector<QLineEdit*> fields_;
  QLabel* hint_;
  QDialogButtonBox* buttons_;
};

}  // namespace lumatix::gui
