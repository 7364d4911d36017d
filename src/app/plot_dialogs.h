#pragma once
// The logic of the plot window's processing dialogs ("Simple Math", "Smoothing -
// Savitsky-Golay", "Convert CD Units") as plain objects, and the port through which the
// document has them shown. The GUI draws each object and calls its setters as the person
// types; the command line fills them from its options; tests script them.

#include <cstddef>
#include <string>
#include <vector>

#include "processing/sg_filter.h"
#include "processing/smoothing.h"

namespace lumatix::app {

class Ui;

// "Simple Math": the four operations and the constant.
struct SimpleMathDialog {
  enum Operation { kAdd = 0, kSubtract = 1, kMultiply = 2, kDivide = 3 };
  int operation = kAdd;
  float constant = 0.0f;
};

// The preview of the smoothing dialog shows at most this many points of each trace: more than
// any plot is wide, and cheap to recompute at every turn of the spin control however long the
// traces are.
inline constexpr std::size_t kSmoothingPreviewPoints = 2048;

// "Smoothing - Savitsky-Golay": the window value with its live preview, the residual and
// replace boxes.
class SmoothingDialog {
 public:
  struct Trace {
    std::string name;
    std::vector<double> y;
  };

  // traces: the selected traces of the plot; points: the number of x points of the plot's
  // data set; replaceAllowed: whether the plot lets the smoothed traces replace the sources.
  // Computes the preview of typedValue at once, as the dialog does when it opens.
  SmoothingDialog(processing::CSGFilter& filter, std::vector<double> x, std::vector<Trace> traces, int points,
                  bool replaceAllowed, int typedValue = 1);

  // The person typed a window value: it is clamped (the field then shows the clamped value)
  // and the preview recomputed. Throws "CDataSet::SmoothSG : filter fails to do
  // convolution\n" when the preview cannot be computed.
  void setWindowValue(int typed);
  int windowValue() const { return value_; }
  // What the "Window Size:" field shows.
  std::string fieldText() const { return std::to_string(value_); }

  // Ticking "Replace original data with smoothed" clears and disables "Save Residual On Graph".
  void setReplace(bool on);
  void setSaveResiduals(bool on);
  bool replace() const { return replace_; }
  bool saveResiduals() const { return saveResiduals_; }
  bool residualsEnabled() const { return !replace_; }
  bool replaceEnabled() const { return replaceAllowed_; }

  // The preview plots: x values, the smoothed and the residual rows, one per trace, and their
  // legend texts ("Smooth (s) :1", "Smooth (r) :1", ...). Traces longer than
  // kSmoothingPreviewPoints are previewed at that many evenly spaced points (the first and the
  // last among them), each smoothed from its full-resolution neighbourhood exactly as the
  // whole trace will be.
  const std::vector<double>& x() const { return previewX_; }
  // The indices of the previewed points in the traces.
  const std::vector<std::size_t>& previewIndices() const { return indices_; }
  const processing::SmoothedRows& preview() const { return preview_; }
  std::vector<std::string> smoothedLegend() const;
  std::vector<std::string> residualLegend() const;

 private:
  processing::CSGFilter& filter_;
  std::vector<std::string> names_;
  std::vector<std::vector<float>> rows_;  // float-rounded, as the filter reads them
  std::vector<std::size_t> indices_;
  std::vector<double> previewX_;
  int points_;
  bool replaceAllowed_;
  int value_ = 1;
  bool replace_ = false;
  bool saveResiduals_ = false;
  processing::SmoothedRows preview_;
};

// "Convert CD Units": from the unit the data are in to one of the others, with the sample
// parameters the chosen conversion needs.
class ConvertDialog {
 public:
  // sourceKey: "deltaa" or "mdeg". The target starts at the first other unit.
  explicit ConvertDialog(std::string sourceKey);

  const std::string& sourceKey() const { return source_; }
  // "Convert From:" text: the source unit's display name.
  std::string sourceDisplayName() const;
  // The "Convert To:" list: the display names of the other units, in table order.
  std::vector<std::string> targetChoices() const;
  // Chooses the target by display name or key; false when it is neither or the source.
  bool setTarget(const std::string& nameOrKey);
  const std::string& targetKey() const { return target_; }
  // source key + "2" + target key.
  std::string conversion() const { return source_ + "2" + target_; }

  // The fields the chosen conversion reads; the others play no part in its factor.
  enum class Field { Concentration, PathLength, ResidueWeight, Residues };
  bool needs(Field field) const;

  // Whether the concentration field asks for a molar concentration; its label then reads
  // "Concentration (M)", else "Concentration (mg/ml):".
  bool needsMolarConcentration() const;
  std::string concentrationLabel() const;

  // The fields; each accepts 0 to 1e10 (setters clamp into that range).
  void setMassConcentration(double v);
  void setMolarConcentration(double v);
  void setPathLength(double v);
  void setResidueWeight(double v);
  void setResidues(int v);
  double massConcentration() const { return mass_; }
  double molarConcentration() const { return molar_; }
  double pathLength() const { return path_; }
  double residueWeight() const { return weight_; }
  int residues() const { return residues_; }

  // The checks of OK: each failed check shows its information message through ui; true
  // when all passed.
  bool accept(Ui& ui) const;

 private:
  std::string source_;
  std::string target_;
  double mass_ = 0.0;
  double molar_ = 0.0;
  double path_ = 0.0;
  double weight_ = 0.0;
  int residues_ = 0;
};

// How the document has a dialog shown: each call shows the dialog over the given object and
// returns true when the person pressed OK (for the conversion, only after accept passed).
class PlotDialogs {
 public:
  virtual ~PlotDialogs() = default;
  virtual bool simpleMath(SimpleMathDialog& dialog) = 0;
  virtual bool smoothing(SmoothingDialog& dialog) = 0;
  virtual bool convertUnits(ConvertDialog& dialog) = 0;
};

}  // namespace lumatix::app
