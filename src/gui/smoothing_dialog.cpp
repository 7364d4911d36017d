#include "gui/smoothing_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/ui.h"
#include "gui/dialog_parts.h"
#include "gui/preview_plot.h"
#include "platform/build_info.h"
#include "processing/smoothing.h"

namespace lumatix::gui {

SmoothingDialogWindow::SmoothingDialogWindow(app::SmoothingDialog& model, app::Ui& ui, QWidget* parent)
    : QDialog(parent), model_(model), ui_(ui) {
  setObjectName(QStringLiteral("smoothingDialog"));
  setWindowTitle(QStringLiteral("Smoothing - Savitsky-Golay"));
  setAccessibleName(windowTitle());
  setSizeGripEnabled(true);

  auto* sizeLabel = new QLabel(tr("&Window Size:"), this);
  size_ = new QSpinBox(this);
  size_->setObjectName(QStringLiteral("windowSize"));
  size_->setAccessibleName(tr("Window Size"));
  size_->setRange(0, processing::kMaxSmoothingValue);
  size_->setValue(model_.windowValue());
  // Every digit typed updates the previews at once.
  size_->setKeyboardTracking(true);
  sizeLabel->setBuddy(size_);

  residuals_ = new QCheckBox(tr("Save &Residual On Graph"), this);
  residuals_->setObjectName(QStringLiteral("saveResiduals"));
  residuals_->setAccessibleName(tr("Save Residual On Graph"));
  replace_ = new QCheckBox(tr("Re&place original data with smoothed"), this);
  replace_->setObjectName(QStringLiteral("replace"));
  replace_->setAccessibleName(tr("Replace original data with smoothed"));

  smoothed_ = new PreviewPlot(this);
  smoothed_->setObjectName(QStringLiteral("smoothedPreview"));
  smoothed_->setAccessibleName(tr("Smoothed traces"));
  smoothed_->plot().SetTitles("", "Smoothed");
  residual_ = new PreviewPlot(this);
  residual_->setObjectName(QStringLiteral("residualPreview"));
  residual_->setAccessibleName(tr("Residuals"));
  residual_->plot().SetTitles("", "Residual");

  buttons_ = makeOkCancel(this);

  connect(size_, &QSpinBox::valueChanged, this, &SmoothingDialogWindow::sizeChanged);
  connect(replace_, &QCheckBox::toggled, this, [this](bool on) {
    model_.setReplace(on);
    showBoxes();
  });
  connect(residuals_, &QCheckBox::toggled, this, [this](bool on) {
    model_.setSaveResiduals(on);
    showBoxes();
  });

  auto* controls = new QGridLayout;
  controls->addWidget(sizeLabel, 0, 0);
  controls->addWidget(size_, 0, 1);
  controls->addWidget(residuals_, 1, 0, 1, 2);
  controls->addWidget(replace_, 2, 0, 1, 2);
  controls->setColumnStretch(2, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(smoothed_, 1);
  layout->addWidget(residual_, 1);
  layout->addWidget(buttons_);
  resize(520, 520);

  setTabOrder(size_, residuals_);
  setTabOrder(residuals_, replace_);
  setTabOrder(replace_, buttons_);
  showBoxes();
  showPreview();
  size_->setFocus();
  size_->selectAll();
  keepPlace(this);
}

void SmoothingDialogWindow::sizeChanged(int typed) {
  try {
    model_.setWindowValue(typed);
  } catch (const std::exception& e) {
    ui_.showMessage(e.what(), platform::kProductName, app::Icon::Information, app::Buttons::Ok);
  }
  showPreview();
  emit previewed();
}

void SmoothingDialogWindow::showPreview() {
  {
    const QSignalBlocker block(size_);
    if (size_->value() != model_.windowValue()) size_->setValue(model_.windowValue());
  }
  smoothed_->setTraces(model_.x(), model_.preview().smoothed, model_.smoothedLegend());
  residual_->setTraces(model_.x(), model_.preview().residual, model_.residualLegend());
}

void SmoothingDialogWindow::showBoxes() {
  {
    const QSignalBlocker block(residuals_);
    residuals_->setChecked(model_.saveResiduals());
    residuals_->setEnabled(model_.residualsEnabled());
  }
  {
    const QSignalBlocker block(replace_);
    replace_->setChecked(model_.replace());
    replace_->setEnabled(model_.replaceEnabled());
  }
}

}  // namespace lumatix::gui
