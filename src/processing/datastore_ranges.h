#pragma once
// Which index ranges of which dimensions an export or a set-ranges command covers: the
// primary dimensions become the axes of the output, the secondary ones may be split.

#include <utility>
#include <vector>

#include "datastore/range_table.h"

namespace lumatix::datastore {
class DataStore;
class Dimension;
}  // namespace lumatix::datastore

namespace lumatix::processing {

// The index range kept of one dimension.
class CDSRangeDim {
 public:
  // Keeps every index 0 .. size-1 of the dimension.
  CDSRangeDim(const datastore::Dimension& dimension, int dimensionIndex);
  virtual ~CDSRangeDim() = default;

  int dimensionIndex;
  std::vector<int> indices;  // the kept indices; the range commands narrow this list
  std::vector<int> spare;    // a second index list, empty at construction
};

class CDatastoreRanges : public datastore::RangeTable {
 public:
  // Every dimension of the store starts secondary. A null store is allowed and makes every
  // command fail with the "DataStore uninitialised " message.
  explicit CDatastoreRanges(datastore::DataStore* store);
  ~CDatastoreRanges() override = default;

  // Moves a dimension from the secondary to the primary list, and back. Both throw
  // "CDatastoreRanges::AddPrimaryDimensions - DataStore uninitialised " without a store,
  // "... - dimension index out of range " for an index that is not a dimension of the store,
  // and "... - There should only be one copy of this index " when the index is not in the
  // list it leaves exactly once or is already in the list it enters. Nothing changes then.
  void AddPrimaryDimensions(int index);
  void RemovePrimaryDimensions(int index);

  const std::vector<CDSRangeDim>& primary() const { return primary_; }
  const std::vector<CDSRangeDim>& secondary() const { return secondary_; }
  // The entry of a dimension in either list; null when there is none.
  CDSRangeDim* find(int dimensionIndex);

  // RangeTable: store() throws the "DataStore uninitialised " message without a store;
  // bounds() gives (largest, smallest) of the kept values, or (-inf, +inf), which keeps
  // nothing, when no index is kept or the dimension is unknown.
  datastore::DataStore& store() const override;
  std::vector<int> primaryDimensions() const override;
  std::vector<int> secondaryDimensions() const override;
  std::pair<float, float> bounds(int dimension) const override;

 private:
  void move(int index, std::vector<CDSRangeDim>& from, std::vector<CDSRangeDim>& to);

  datastore::DataStore* store_;
  std::vector<CDSRangeDim> primary_;
  std::vector<CDSRangeDim> secondary_;
};

}  // namespace lumatix::processing
