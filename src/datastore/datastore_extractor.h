#pragma once
// CDataStoreExtractor: cuts a store into smaller stores, one for each position of the
// dimensions a CDSSubset holds fixed. The dimensions it keeps whole are the subset's
// still-available ones followed by the primary dimensions of the range table.

#include <memory>
#include <vector>

#include "datastore/ds_subset.h"

namespace lumatix::datastore {

class DataStore;

class CDataStoreExtractor {
 public:
  // Throws "A primary dimension is out of range for the datastore " when a kept index is
  // not a dimension of the store or occurs twice.
  explicit CDataStoreExtractor(const CDSSubset& subset);
  virtual ~CDataStoreExtractor() = default;

  // The store for the fixed dimensions' current positions; the caller owns it.
  std::unique_ptr<DataStore> extractNext();

  // Advances the positions (an odometer whose first entry turns fastest); true once every
  // combination has been produced.
  bool operator++();

  struct Fixed {
    int position;  // index into the dimension's kept positions, or the store's index when held
    int dimension;
    bool held;
  };
  const std::vector<int>& keptDimensions() const { return kept_; }
  const std::vector<std::vector<int>>& keptPositions() const { return positions_; }
  const std::vector<Fixed>& fixedDimensions() const { return fixed_; }

 private:
  int sourceIndex(const Fixed& f) const;

  std::vector<int> kept_;
  std::vector<std::vector<int>> positions_;  // per store dimension
  std::vector<Fixed> fixed_;
  DataStore& source_;
};

}  // namespace lumatix::datastore
