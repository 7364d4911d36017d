// The processing dialogs' logic.

#include "app/plot_dialogs.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/ui.h"
#include "platform/build_info.h"
#include "processing/cd_converter.h"

namespace lumatix::app {
namespace {

constexpr double kFieldMax = 1e10;

double field(double v) {
  if (!(v >= 0.0)) return 0.0;  // NaN as well
  return std::min(v, kFieldMax);
}

void inform(Ui& ui, const char* text) { ui.showMessage(text, platform::kProductName, Icon::Information, Buttons::Ok); }

bool isMeanResidueMolarConversion(const std::string& conversion) {
  return conversion == "deltaa2mre" || conversion == "mdeg2mre";
}

}  // namespace

SmoothingDialog::SmoothingDialog(processing::CSGFilter& filter, std::vector<double> x, std::vector<Trace> traces,
                                 int points, bool replaceAllowed, int typedValue)
    : filter_(filter), points_(points), replaceAllowed_(replaceAllowed) {
  std::size_t length = x.size();
  for (const auto& t : traces) length = std::min(length, t.y.size());
  if (length <= kSmoothingPreviewPoints) {
    for (std::size_t j = 0; j < length; ++j) indices_.push_back(j);
  } else {
    const std::size_t last = kSmoothingPreviewPoints - 1;
    for (std::size_t k = 0; k <= last; ++k)
      indices_.push_back(static_cast<std::size_t>(
          (static_cast<unsigned long long>(k) * (length - 1) + last / 2) / last));
  }
  for (std::size_t j : indices_) previewX_.push_back(x[j]);
  for (auto& t : traces) {
    names_.push_back(std::move(t.name));
    rows_.emplace_back(t.y.begin(), t.y.end());
  }
  setWindowValue(typedValue);
}

void SmoothingDialog::setWindowValue(int typed) {
  const char* failure = "CDataSet::SmoothSG : filter fails to do convolution\n";
  const int value = processing::smoothingValue(typed, points_);
  if (value < 1 || !filter_.SetWindow(2 * value + 1, 2)) throw std::runtime_error(failure);
  processing::SmoothedRows preview;
  for (const auto& row : rows_) {
    std::vector<double> smoothed(indices_.size());
    std::vector<double> residual(indices_.size());
    for (std::size_t k = 0; k < indices_.size(); ++k) {
      float out = 0.0f;
      const auto j = indices_[k];
      if (!filter_.FilterPoint(row, static_cast<int>(j), out)) throw std::runtime_error(failure);
      smoothed[k] = out;
      residual[k] = static_cast<double>(row[j]) - static_cast<double>(out);
    }
    preview.smoothed.push_back(std::move(smoothed));
    preview.residual.push_back(std::move(residual));
  }
  value_ = value;
  preview_ = std::move(preview);
}

void SmoothingDialog::setReplace(bool on) {
  replace_ = on && replaceAllowed_;
  if (replace_) saveResiduals_ = false;
}

void SmoothingDialog::setSaveResiduals(bool on) { saveResiduals_ = on && !replace_; }

std::vector<std::string> SmoothingDialog::smoothedLegend() const {
  std::vector<std::string> legend;
  for (std::size_t i = 0; i < names_.size(); ++i) legend.push_back("Smooth (s) :" + std::to_string(i + 1));
  return legend;
}

std::vector<std::string> SmoothingDialog::residualLegend() const {
  std::vector<std::string> legend;
  for (std::size_t i = 0; i < names_.size(); ++i) legend.push_back("Smooth (r) :" + std::to_string(i + 1));
  return legend;
}

ConvertDialog::ConvertDialog(std::string sourceKey) : source_(std::move(sourceKey)) {
  for (const auto& unit : processing::cdUnits())
    if (source_ != unit.key) {
      target_ = unit.key;
      break;
    }
}

std::string ConvertDialog::sourceDisplayName() const {
  const auto* unit = processing::cdUnitByKey(source_);
  return unit ? unit->displayName : source_;
}

std::vector<std::string> ConvertDialog::targetChoices() const {
  std::vector<std::string> names;
  for (const auto& unit : processing::cdUnits())
    if (source_ != unit.key) names.emplace_back(unit.displayName);
  return names;
}

bool ConvertDialog::setTarget(const std::string& nameOrKey) {
  const auto* unit = processing::cdUnitByKey(nameOrKey);
  if (!unit) unit = processing::cdUnitByDisplayName(nameOrKey);
  if (!unit || source_ == unit->key) return false;
  target_ = unit->key;
  return true;
}

bool ConvertDialog::needs(Field field) const {
  if (target_ == "deltaa" || target_ == "mdeg") return false;
  switch (field) {
    case Field::Concentration:
    case Field::PathLength: return true;
    case Field::Residues: return target_ == "mre";
    case Field::ResidueWeight: return target_ == "mrmcd" || target_ == "mrme";
  }
  return false;
}

bool ConvertDialog::needsMolarConcentration() const { return target_ == "mcd" || target_ == "me" || target_ == "mre"; }

std::string ConvertDialog::concentrationLabel() const {
  return needsMolarConcentration() ? "Concentration (M)" : "Concentration (mg/ml):";
}

void ConvertDialog::setMassConcentration(double v) { mass_ = field(v); }
void ConvertDialog::setMolarConcentration(double v) { molar_ = field(v); }
void ConvertDialog::setPathLength(double v) { path_ = field(v); }
void ConvertDialog::setResidueWeight(double v) { weight_ = field(v); }
void ConvertDialog::setResidues(int v) { residues_ = std::max(v, 0); }

bool ConvertDialog::accept(Ui& ui) const {
  const std::string name = conversion();
  bool ok = true;
  const auto check = [&](bool passes, const char* message) {
    if (!passes) {
      inform(ui, message);
      ok = false;
    }
  };
  const char* concentration = "Sorry! The concentration should be at least 1e-10 M.\n";
  const char* path = "Sorry! The path lenth must be at least 0.001 cm.\n";
  // The mean residue ellipticity divides by the molar concentration, the path length and
  // the residue count: unchecked, an empty field would fill the new file with infinities.
  if (processing::isMolarConversion(name) || isMeanResidueMolarConversion(name)) {
    check(molar_ >= 1e-10, concentration);
    check(path_ >= 0.001, path);
    if (isMeanResidueMolarConversion(name))
      check(residues_ >= 1, "Sorry! The number of amino acid residues must be at least 1.\n");
  } else if (processing::isMeanResidueWeightConversion(name)) {
    check(mass_ >= 1e-9, concentration);
    check(path_ >= 0.001, path);
    check(weight_ > 1.0, "Sorry! The mean residue molecular weight must be greater than 1.0.\n");
  }
  return ok;
}

}  // namespace lumatix::app
