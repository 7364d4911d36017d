#pragma once
// "Decompose Data": one row per dimension of the loaded file ("Name", "Range Min", "Range Max",
// "Primary") and the root folder of "Save Subsets...". The rows start with each dimension's
// whole range and no primary dimension.

#include <string>
#include <vector>

#include "app/decomposition.h"

namespace lumatix::app {

class DecomposeDialogModel {
 public:
  struct Row {
    std::string name;
    float lowest = 0.0f;   // the dimension's own extent, for the person's orientation
    float highest = 0.0f;
    DimensionChoice choice;
  };

  DecomposeDialogModel(const datastore::DataStore& store, std::string rootFolder);

  const std::vector<Row>& rows() const { return rows_; }
  void setRange(std::size_t row, float rangeMin, float rangeMax);
  void setPrimary(std::size_t row, bool primary);
  std::vector<DimensionChoice> choices() const;

  const std::string& rootFolder() const { return root_; }
  void setRootFolder(std::string folder) { root_ = std::move(folder); }

  // Why the rows cannot be decomposed, "" when they can: a range must be finite numbers, its
  // minimum not above its maximum, and hold at least one of the dimension's values; at least
  // one dimension must be left to split.
  std::string problem() const;
  // As problem(), for "Save Subsets...": the root folder must exist as well.
  std::string problemSavingSubsets() const;

 private:
  const datastore::DataStore& store_;
  std::vector<Row> rows_;
  std::string root_;
};

}  // namespace lumatix::app
