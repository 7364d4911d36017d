#include "widgets/dimension_slider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

namespace lumatix::widgets {

DimensionSlider::DimensionSlider(QWidget* parent)
    : QWidget(parent), name_(new QLabel(this)), slider_(new QSlider(Qt::Horizontal, this)), value_(new QLabel(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(name_);
  layout->addWidget(slider_, 1);
  layout->addWidget(value_);
  name_->setBuddy(slider_);
  slider_->setPageStep(1);
  slider_->setFocusPolicy(Qt::StrongFocus);
  value_->setMinimumWidth(80);
  connect(slider_, &QSlider::valueChanged, this, &DimensionSlider::indexChanged);
}

void DimensionSlider::setDimension(const QString& name, int points, int index) {
  QSignalBlocker block(slider_);  // a model-driven update is not a person's choice
  name_->setText(name);
  slider_->setAccessibleName(name);
  slider_->setRange(0, std::max(0, points - 1));
  slider_->setValue(std::clamp(index, 0, std::max(0, points - 1)));
}

void DimensionSlider::setValueText(const QString& text) { value_->setText(text); }

int DimensionSlider::index() const { return slider_->value(); }

}  // namespace lumatix::widgets
