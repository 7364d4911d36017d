#include "gui/convert_units_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/field_text.h"
#include "app/ui.h"
#include "gui/dialog_parts.h"
#include "processing/cd_converter.h"

namespace lumatix::gui {
namespace {

constexpr double kFieldMax = 1e10;
constexpr int kResiduesMax = 1000000000;

std::optional<double> fieldValue(const QLineEdit* field) {
  auto v = app::parseNumber(field->text().toStdString());
  if (!v || *v < 0.0 || *v > kFieldMax) return std::nullopt;
  return v;
}

std::optional<int> residuesValue(const QLineEdit* field) {
  auto v = app::parseWholeNumber(field->text().toStdString());
  if (!v || *v < 0 || *v > kResiduesMax) return std::nullopt;
  return v;
}

QString shown(double v) { return QString::fromStdString(app::numberText(v)); }

}  // namespace

ConvertUnitsDialogWindow::ConvertUnitsDialogWindow(app::ConvertDialog& model, app::Ui& ui, QWidget* parent)
    : QDialog(parent), model_(model), ui_(ui) {
  setObjectName(QStringLiteral("convertUnitsDialog"));
  setWindowTitle(QStringLiteral("Convert CD Units"));
  setAccessibleName(windowTitle());

  auto* from = new QLabel(QString::fromStdString(model_.sourceDisplayName()), this);
  from->setObjectName(QStringLiteral("source"));
  from->setAccessibleName(tr("Convert From"));
  target_ = new QComboBox(this);
  target_->setObjectName(QStringLiteral("target"));
  target_->setAccessibleName(tr("Convert To"));
  for (const std::string& name : model_.targetChoices()) target_->addItem(QString::fromStdString(name));
  if (const auto* unit = processing::cdUnitByKey(model_.targetKey()))
    target_->setCurrentIndex(target_->findText(QString::fromUtf8(unit->displayName)));

  const auto makeField = [this](const char* name, const QString& accessible, const QString& text) {
    auto* field = new QLineEdit(text, this);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(accessible);
    connect(field, &QLineEdit::textChanged, this, &ConvertUnitsDialogWindow::check);
    return field;
  };
  concentration_ = makeField("concentration", tr("Concentration"),
                             shown(model_.needsMolarConcentration() ? model_.molarConcentration()
                                                                    : model_.massConcentration()));
  otherConcentration_ =
      shown(model_.needsMolarConcentration() ? model_.massConcentration() : model_.molarConcentration());
  path_ = makeField("pathLength", tr("Path Length (cm)"), shown(model_.pathLength()));
  weight_ = makeField("residueWeight", tr("Residue (MW)"), shown(model_.residueWeight()));
  residues_ = makeField("residues", tr("Number of amino acid residues"), QString::number(model_.residues()));

  concentrationLabel_ = new QLabel(this);
  concentrationLabel_->setBuddy(concentration_);
  auto* form = new QFormLayout;
  auto* fromLabel = new QLabel(tr("Convert From:"), this);
  form->addRow(fromLabel, from);
  auto* toLabel = new QLabel(tr("Convert &To:"), this);
  toLabel->setBuddy(target_);
  form->addRow(toLabel, target_);
  form->addRow(concentrationLabel_, concentration_);
  auto* pathLabel = new QLabel(tr("&Path Length (cm):"), this);
  pathLabel->setBuddy(path_);
  form->addRow(pathLabel, path_);
  auto* weightLabel = new QLabel(tr("Residue (M&W):"), this);
  weightLabel->setBuddy(weight_);
  form->addRow(weightLabel, weight_);
  auto* residuesLabel = new QLabel(tr("&Number of amino acid residues:"), this);
  residuesLabel->setBuddy(residues_);
  form->addRow(residuesLabel, residues_);

  hint_ = makeHintLabel(this, QStringLiteral("hint"), tr("Why OK is disabled"));
  buttons_ = makeOkCancel(this);
  connect(target_, &QComboBox::currentIndexChanged, this, &ConvertUnitsDialogWindow::targetChanged);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(hint_);
  layout->addWidget(buttons_);
  setTabOrder(target_, concentration_);
  setTabOrder(concentration_, path_);
  setTabOrder(path_, weight_);
  setTabOrder(weight_, residues_);
  setTabOrder(residues_, buttons_);

  targetChanged();
  target_->setFocus();
  keepPlace(this);
}

void ConvertUnitsDialogWindow::targetChanged() {
  const bool wasMolar = model_.needsMolarConcentration();
  model_.setTarget(target_->currentText().toStdString());
  const bool molar = model_.needsMolarConcentration();
  if (molar != wasMolar) {
    // The molar field takes the mass field's place: each keeps what was typed into it.
    const QString typed = concentration_->text();
    concentration_->setText(otherConcentration_);
    otherConcentration_ = typed;
  }
  const QString label = QString::fromStdString(model_.concentrationLabel());
  concentrationLabel_->setText(QStringLiteral("&") + label);
  concentration_->setAccessibleName(label);
  using Field = app::ConvertDialog::Field;
  concentration_->setEnabled(model_.needs(Field::Concentration));
  path_->setEnabled(model_.needs(Field::PathLength));
  weight_->setEnabled(model_.needs(Field::ResidueWeight));
  residues_->setEnabled(model_.needs(Field::Residues));
  check();
}

bool ConvertUnitsDialogWindow::check() {
  QString problem;
  const auto bad = [&](const QLineEdit* field, bool wrong, const QString& what) {
    if (problem.isEmpty() && field->isEnabled() && wrong) problem = what;
  };
  bad(concentration_, !fieldValue(concentration_), tr("The concentration must be a number from 0 to 1e10."));
  bad(path_, !fieldValue(path_), tr("The path length must be a number from 0 to 1e10."));
  bad(weight_, !fieldValue(weight_), tr("The mean residue weight must be a number from 0 to 1e10."));
  bad(residues_, !residuesValue(residues_), tr("The number of residues must be a whole number from 0 to 1000000000."));
  hint_->setText(problem);
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());
  return problem.isEmpty();
}

void ConvertUnitsDialogWindow::accept() {
  if (!check()) return;
  const bool molar = model_.needsMolarConcentration();
  const auto valueOr0 = [](std::optional<double> v) { return v.value_or(0.0); };
  const double typed = valueOr0(fieldValue(concentration_));
  auto otherValue = app::parseNumber(otherConcentration_.toStdString());
  const double kept = otherValue && *otherValue >= 0.0 && *otherValue <= kFieldMax ? *otherValue : 0.0;
  model_.setMolarConcentration(molar ? typed : kept);
  model_.setMassConcentration(molar ? kept : typed);
  model_.setPathLength(valueOr0(fieldValue(path_)));
  model_.setResidueWeight(valueOr0(fieldValue(weight_)));
  model_.setResidues(residuesValue(residues_).value_or(0));
  if (!model_.accept(ui_)) return;
  QDialog::accept();
}

}  // namespace lumatix::gui
