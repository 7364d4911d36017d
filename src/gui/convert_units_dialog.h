#pragma once
// "Convert CD Units": "Convert From:" with the unit the data are in, the "Convert To:" list of
// the other units, and the sample fields over an app::ConvertDialog. Only the fields the chosen
// conversion reads are enabled; the concentration field asks for a molar concentration where
// the conversion needs one. OK stays disabled while an enabled field holds no number from 0 to
// 1e10 (a whole number for the residues); the model's checks then run on OK and keep the
// dialog open when one fails.

#include <QDialog>

#include "app/plot_dialogs.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace lumatix::app {
class Ui;
}

namespace lumatix::gui {

class ConvertUnitsDialogWindow : public QDialog {
  Q_OBJECT
 public:
  ConvertUnitsDialogWindow(app::ConvertDialog& model, app::Ui& ui, QWidget* parent = nullptr);

  QComboBox* target() const { return target_; }
  QLabel* concentrationLabel() const { return concentrationLabel_; }
  QLineEdit* concentration() const { return concentration_; }
  QLineEdit* pathLength() const { return path_; }
  QLineEdit* residueWeight() const { return weight_; }
  QLineEdit* residues() const { return residues_; }
  QLabel* hint() const { return hint_; }
  QDialogButtonBox* buttons() const { return buttons_; }

  void accept() override;

 private:
  void targetChanged();
  // Checks the enabled fields: the hint names the first that is wrong, OK follows.
  bool check();

  app::ConvertDialog& model_;
  app::Ui& ui_;
  QComboBox* target_;
  QLabel* concentrationLabel_;
  QLineEdit* concentration_;
  QLineEdit* path_;
  QLineEdit* weight_;
  QLineEdit* residues_;
  QLabel* hint_;
  QDialogButtonBox* buttons_;
  // What the concentration field held for the other kind of concentration.
  QString otherConcentration_;
};

}  // namespace lumatix::gui
