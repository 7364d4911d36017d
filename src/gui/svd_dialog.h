#pragma once
// "Singular Value Decomposition": the singular values of a plot's present traces, largest
// first, and how many components to keep (at least 1, at most the rank). On OK the values,
// the basis, the amplitudes and the rebuilt traces with their residual open in windows of
// their own (processing::DecomposeTraces).

#include <QDialog>

#include <vector>

#include "gui/global_fit_dialog.h"

class QListWidget;
class QSpinBox;

namespace lumatix::gui {

class SvdDialog : public QDialog {
  Q_OBJECT
 public:
  // values: all singular values, largest first; rank: how many of them count.
  SvdDialog(const std::vector<double>& values, int rank, QWidget* parent = nullptr);

  int components() const;
  QSpinBox* componentBox() const { return components_; }
  QListWidget* valueList() const { return list_; }

 private:
  QListWidget* list_;
  QSpinBox* components_;
};

// "SVD..." of a plot window: the dialog on the plot's present traces; on OK the four result
// stores open as files beside the plot's ("-svd-values", "-svd-basis", "-svd-amplitudes",
// "-svd-rebuilt").
void runSvdDialog(PlotWindow& window, bool compliantNow, const ResultOpener& open);

}  // namespace lumatix::gui
