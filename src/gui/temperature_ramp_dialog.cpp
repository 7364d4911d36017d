#include "gui/temperature_ramp_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/dialog_parts.h"

namespace lumatix::gui {

TemperatureRampDialog::TemperatureRampDialog(app::Ui& ui, app::RampFormat format, QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setObjectName(QStringLiteral("temperatureRampDialog"));
  setWindowTitle(QString::fromUtf8(app::kRampDialogTitle));
  setAccessibleName(windowTitle());

  auto* text = new QLabel(QString::fromUtf8(app::kRampDialogText), this);
  text->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  formats_ = new QButtonGroup(this);
  const char* mnemonics[] = {"C", "A", "B"};
  int id = 0;
  for (app::RampFormat f : {app::RampFormat::Csv, app::RampFormat::Dsa, app::RampFormat::Dsx}) {
    QString label = QString::fromUtf8(app::rampChoiceText(f));
    // Mnemonics on letters of the choices' own texts: C (CSV), A (ASCII), B (LumBinaryX).
    const qsizetype at = label.indexOf(QLatin1String(mnemonics[id]), 12);
    if (at >= 0) label.insert(at, '&');
    auto* radio = new QRadioButton(label, this);
    radio->setObjectName(QStringLiteral("format%1").arg(id));
    radio->setAccessibleName(QString::fromUtf8(app::rampChoiceText(f)));
    formats_->addButton(radio, id);
    layout->addWidget(radio);
    ++id;
  }
  formats_->button(static_cast<int>(format))->setChecked(true);

  auto* buttons = new QDialogButtonBox(this);
  auto* saveAs = buttons->addButton(tr("&Save As..."), QDialogButtonBox::AcceptRole);
  saveAs->setObjectName(QStringLiteral("saveAs"));
  saveAs->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(saveAs, &QPushButton::clicked, this, [this] {
    auto chosen = app::askRampOutput(ui_);
    if (!chosen) return;
    output_ = *chosen;
    QDialog::accept();
  });
  layout->addWidget(buttons);
  resize(460, sizeHint().height());
  formats_->checkedButton()->setFocus();
  keepPlace(this);
}

app::RampFormat TemperatureRampDialog::format() const {
  switch (formats_->checkedId()) {
    case 0: return app::RampFormat::Csv;
    case 1: return app::RampFormat::Dsa;
    default: return app::RampFormat::Dsx;
  }
}

}  // namespace lumatix::gui
