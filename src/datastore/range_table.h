#pragma once
// What the subset walker and the extractor read of a range selection: the store, the
// dimensions kept whole (primary), those that may be split (secondary), and per dimension
// the (upper, lower) bounds of the values to keep.

#include <utility>
#include <vector>

namespace lumatix::datastore {

class DataStore;

class RangeTable {
 public:
  virtual ~RangeTable() = default;
  virtual DataStore& store() const = 0;
  virtual std::vector<int> primaryDimensions() const = 0;
  virtual std::vector<int> secondaryDimensions() const = 0;
  // (upper, lower) for a dimension index of the store.
  virtual std::pair<float, float> bounds(int dimension) const = 0;
};

// A table over the whole store: every dimension's bounds are its range(), so every
// position is kept.
class WholeRangeTable : public RangeTable {
 public:
  WholeRangeTable(DataStore& store, std::vector<int> primary);
  DataStore& store() const override { return store_; }
  std::vector<int> primaryDimensions() const override { return primary_; }
  std::vector<int> secondaryDimensions() const override { return secondary_; }
  std::pair<float, float> bounds(int dimension) const override;

 private:
  DataStore& store_;
  std::vector<int> primary_;
  std::vector<int> secondary_;
};

}  // namespace lumatix::datastore
