#pragma once
// DimensionBar: the control for a plot's further dimensions ("Aux Dimension Ctrl"): one
// slider per dimension the plot holds at an index, showing the dimension's value there. Moving
// a slider asks the document to cut the traces at the new index; the bar redraws from the
// document's notices.

#include <QWidget>

#include <vector>

#include "app/change_notifier.h"

namespace lumatix::app {
class PlotDocument;
}
namespace lumatix::widgets {
class DimensionSlider;
}

namespace lumatix::gui {

class DimensionBar : public QWidget {
  Q_OBJECT
 public:
  DimensionBar(app::PlotDocument& document, QWidget* parent = nullptr);

  // The slider of each further dimension, in the store's order.
  const std::vector<widgets::DimensionSlider*>& sliders() const { return sliders_; }
  // Whether the document wants the bar shown: the option is on and there is a dimension to
  // hold.
  bool wanted() const;

 signals:
  // The bar's wish to be shown or hidden changed.
  void wantedChanged(bool shown);

 private:
  void rebuild();

  app::PlotDocument& document_;
  std::vector<int> dimensions_;
  std::vector<widgets::DimensionSlider*> sliders_;
  bool wanted_ = false;
  app::ChangeNotifier::Subscription subscription_;
};

}  // namespace lumatix::gui
