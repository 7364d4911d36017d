#include "widgets/lock_indicators.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>

namespace lumatix::widgets {

namespace {
QLabel* pane(const QString& widest, const QString& accessible, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignCenter);
  // Each pane keeps its width whether it shows its text or not.
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 8);
  label->setAccessibleName(accessible);
  return label;
}
}  // namespace

LockIndicators::LockIndicators(QWidget* parent) : QWidget(parent) {
  caps_ = pane(QStringLiteral("CAP"), tr("Caps Lock"), this);
  num_ = pane(QStringLiteral("NUM"), tr("Num Lock"), this);
  scroll_ = pane(QStringLiteral("SCRL"), tr("Scroll Lock"), this);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(caps_);
  layout->addWidget(num_);
  layout->addWidget(scroll_);
}

void LockIndicators::setState(const LockState& state) {
  caps_->setText(state.caps ? QStringLiteral("CAP") : QString());
  num_->setText(state.num ? QStringLiteral("NUM") : QString());
  scroll_->setText(state.scroll ? QStringLiteral("SCRL") : QString());
}

QString LockIndicators::capsText() const { return caps_->text(); }
QString LockIndicators::numText() const { return num_->text(); }
QString LockIndicators::scrollText() const { return scroll_->text(); }

}  // namespace lumatix::widgets
