#pragma once
// "Smoothing - Savitsky-Golay": the "Window Size:" spin control, the two check boxes and the
// two previews (smoothed traces above, residuals below) over an app::SmoothingDialog. The
// previews follow every change of the window size; the field shows the size the model took
// (clamped to half the points).

#include <QDialog>

#include "app/plot_dialogs.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QSpinBox;

namespace lumatix::app {
class Ui;
}

namespace lumatix::gui {

class PreviewPlot;

class SmoothingDialogWindow : public QDialog {
  Q_OBJECT
 public:
  SmoothingDialogWindow(app::SmoothingDialog& model, app::Ui& ui, QWidget* parent = nullptr);

  QSpinBox* windowSize() const { return size_; }
  QCheckBox* saveResiduals() const { return residuals_; }
  QCheckBox* replace() const { return replace_; }
  PreviewPlot* smoothedPreview() const { return smoothed_; }
  PreviewPlot* residualPreview() const { return residual_; }
  QDialogButtonBox* buttons() const { return buttons_; }

 signals:
  // The previews were recomputed for a new window size.
  void previewed();

 private:
  void sizeChanged(int typed);
  void showPreview();
  void showBoxes();

  app::SmoothingDialog& model_;
  app::Ui& ui_;
  QSpinBox* size_;
  QCheckBox* residuals_;
  QCheckBox* replace_;
  PreviewPlot* smoothed_;
  PreviewPlot* residual_;
  QDialogButtonBox* buttons_;
};

}  // namespace lumatix::gui
