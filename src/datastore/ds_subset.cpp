#include "datastore/ds_subset.h"

#include <algorithm>
#include <stdexcept>

#include "datastore/data_store.h"

namespace lumatix::datastore {

WholeRangeTable::WholeRangeTable(DataStore& store, std::vector<int> primary)
    : store_(store), primary_(std::move(primary)) {
  for (int d = 0; d < store_.dimensions.size(); ++d)
    if (std::find(primary_.begin(), primary_.end(), d) == primary_.end()) secondary_.push_back(d);
}

std::pair<float, float> WholeRangeTable::bounds(int dimension) const {
  if (dimension < 0 || dimension >= store_.dimensions.size()) return {0.0f, 0.0f};
  return store_.dimensions[dimension].range();
}

CDSSubset::CDSSubset(const RangeTable& ranges)
    : ranges_(&ranges), available_(ranges.secondaryDimensions()), combination_(available_, 0) {}

CDSSubset::CDSSubset(const CDSSubset& parent, int k)
    : ranges_(parent.ranges_), available_(parent.available_), chosen_(parent.chosen_), current_(parent.current_) {
  if (available_.empty()) throw std::runtime_error("Error! No more dimensions to select from.");
  chosen_.insert(chosen_.end(), current_.begin(), current_.end());
  combination_ = Combination<int>(available_, k < 0 ? 0 : static_cast<std::size_t>(k));
  bool ok = true;
  combination_.next(current_, ok);
  for (int taken : current_) available_.erase(std::find(available_.begin(), available_.end(), taken));
}

bool CDSSubset::operator++() {
  std::vector<int> next;
  bool ok = true;
  combination_.next(next, ok);
  if (!ok) return false;
  for (std::size_t j = 0; j < next.size(); ++j) {
    if (next[j] == current_[j]) continue;
    if (std::count(available_.begin(), available_.end(), next[j]) != 1)
      throw std::runtime_error("CDSSubSet::operator++ : None or duplicate elemnets found in list ");
    *std::find(available_.begin(), available_.end(), next[j]) = current_[j];
    current_[j] = next[j];
  }
  return true;
}

}  // namespace lumatix::datastore
