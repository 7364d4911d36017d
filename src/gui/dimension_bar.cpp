#include "gui/dimension_bar.h"

#include <QVBoxLayout>

#include "app/plot_document.h"
#include "widgets/dimension_slider.h"

namespace lumatix::gui {

DimensionBar::DimensionBar(app::PlotDocument& document, QWidget* parent) : QWidget(parent), document_(document) {
  setObjectName(QStringLiteral("dimensionBar"));
  setAccessibleName(tr("Further dimensions"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  subscription_ = document_.changes().subscribe([this](app::Change what) {
    if (app::any(what, app::Change::Data | app::Change::View)) rebuild();
  });
  rebuild();
}

bool DimensionBar::wanted() const { return document_.viewOptions().auxControl && !dimensions_.empty(); }

void DimensionBar::rebuild() {
  const std::vector<int> further = document_.furtherDimensions();
  if (further != dimensions_) {
    for (auto* s : sliders_) delete s;
    sliders_.clear();
    dimensions_ = further;
    for (int d : dimensions_) {
      auto* slider = new widgets::DimensionSlider(this);
      layout()->addWidget(slider);
      sliders_.push_back(slider);
      // Queued: the document cuts new traces, which rebuilds this bar; the slider that asked
      // must not be inside its own signal then.
      connect(
          slider, &widgets::DimensionSlider::indexChanged, this,
          [this, d](int index) { document_.showFurtherIndex(d, index); }, Qt::QueuedConnection);
    }
  }
  const auto& store = *document_.store();
  for (std::size_t i = 0; i < dimensions_.size(); ++i) {
    const auto& dimension = store.dimensions[dimensions_[i]];
    sliders_[i]->setDimension(QString::fromStdString(dimension.name), dimension.size(), dimension.currentIndex);
    const int at = dimension.currentIndex;
    sliders_[i]->setValueText(at >= 0 && at < dimension.size() ? QString::number(dimension.values[at], 'g', 6)
                                                                : QString());
  }
  const bool now = wanted();
  if (now != wanted_) {
    wanted_ = now;
    emit wantedChanged(now);
  }
}

}  // namespace lumatix::gui
