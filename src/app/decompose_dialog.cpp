#include "app/decompose_dialog.h"

#include <cmath>
#include <filesystem>
#include <sstream>

#include "datastore/data_store.h"

namespace lumatix::app {
namespace {

std::string number(float v) {
  std::ostringstream s;
  s << v;
  return s.str();
}

}  // namespace

DecomposeDialogModel::DecomposeDialogModel(const datastore::DataStore& store, std::string rootFolder)
    : store_(store), root_(std::move(rootFolder)) {
  const std::vector<DimensionChoice> choices = defaultChoice(store);
  for (std::int32_t d = 0; d < store.dimensions.size(); ++d) {
    const DimensionChoice& c = choices[static_cast<std::size_t>(d)];
    rows_.push_back({store.dimensions[d].shortName(), c.rangeMin, c.rangeMax, c});
  }
}

void DecomposeDialogModel::setRange(std::size_t row, float rangeMin, float rangeMax) {
  if (row >= rows_.size()) return;
  rows_[row].choice.rangeMin = rangeMin;
  rows_[row].choice.rangeMax = rangeMax;
}

void DecomposeDialogModel::setPrimary(std::size_t row, bool primary) {
  if (row < rows_.size()) rows_[row].choice.primary = primary;
}

std::vector<DimensionChoice> DecomposeDialogModel::choices() const {
  std::vector<DimensionChoice> c;
  for (const Row& r : rows_) c.push_back(r.choice);
  return c;
}

std::string DecomposeDialogModel::problem() const {
  bool split = false;
  for (std::size_t d = 0; d < rows_.size(); ++d) {
    const Row& r = rows_[d];
    const DimensionChoice& c = r.choice;
    if (!std::isfinite(c.rangeMin) || !std::isfinite(c.rangeMax))
      return "The range of " + r.name + " must be two numbers.";
    if (c.rangeMin > c.rangeMax)
      return "The range of " + r.name + " starts above its end (" + number(c.rangeMin) + " > " + number(c.rangeMax) +
             ").";
    const datastore::Dimension& dim = store_.dimensions[static_cast<std::int32_t>(d)];
    bool any = false;
    for (std::int32_t j = 0; j < dim.size() && !any; ++j) any = dim.values[j] >= c.rangeMin && dim.values[j] <= c.rangeMax;
    if (!any)
      return "No value of " + r.name + " lies between " + number(c.rangeMin) + " and " + number(c.rangeMax) + ".";
    split = split || !c.primary;
  }
  if (!split) return "Error! No more dimensions to select from.";
  return "";
}

std::string DecomposeDialogModel::problemSavingSubsets() const {
  std::string p = problem();
  if (!p.empty()) return p;
  std::error_code e;
  if (root_.empty() || !std::filesystem::is_directory(root_, e)) return "Failed to Move to directory " + root_;
  return "";
}

}  // namespace lumatix::app
