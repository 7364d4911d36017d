#pragma once
// CDSSubset: one level of a nested walk over the dimensions of a store. Each level takes k
// of the dimensions its parent left and steps through every choice of them.

#include <vector>

#include "datastore/combination.h"
#include "datastore/range_table.h"

namespace lumatix::datastore {

class CDSSubset {
 public:
  // The top level: everything secondary is available, nothing taken.
  explicit CDSSubset(const RangeTable& ranges);
  // A nested level taking k of what the parent left. Throws
  // "Error! No more dimensions to select from." when the parent left nothing.
  CDSSubset(const CDSSubset& parent, int k);
  virtual ~CDSSubset() = default;

  // Steps to the next choice; false when there is none.
  bool operator++();

  std::vector<int> current() const { return current_; }
  const std::vector<int>& available() const { return available_; }
  const std::vector<int>& chosen() const { return chosen_; }
  const RangeTable& ranges() const { return *ranges_; }

 private:
  const RangeTable* ranges_;
  std::vector<int> available_;
  std::vector<int> chosen_;
  std::vector<int> current_;
  Combination<int> combination_;
};

}  // namespace lumatix::datastore
