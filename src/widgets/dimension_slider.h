#pragma once
// A slider for one further dimension of a plot window: the dimension's name, a slider over its
// indices and the value at the chosen index. It only shows and reports; the window's model
// decides what an index change does.

#include <QWidget>

class QLabel;
class QSlider;

namespace lumatix::widgets {

class DimensionSlider : public QWidget {
  Q_OBJECT
 public:
  explicit DimensionSlider(QWidget* parent = nullptr);

  // Shows `name` with `points` indices; the index is clamped into range.
  void setDimension(const QString& name, int points, int index);
  // The text beside the slider, such as the dimension's value at the index with its unit.
  void setValueText(const QString& text);
  int index() const;

 signals:
  void indexChanged(int index);

 private:
  QLabel* name_;
  QSlider* slider_;
  QLabel* value_;
};

}  // namespace lumatix::widgets
