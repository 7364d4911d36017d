#include "processing/datastore_ranges.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <stdexcept>

#include "datastore/data_store.h"

namespace lumatix::processing {
namespace {

constexpr const char* kUninitialised = "CDatastoreRanges::AddPrimaryDimensions - DataStore uninitialised ";
constexpr const char* kOutOfRange = "CDatastoreRanges::AddPrimaryDimensions - dimension index out of range ";
constexpr const char* kDuplicate =
    "CDatastoreRanges::AddPrimaryDimensions - There should only be one copy of this index ";

std::vector<int> indicesOf(const std::vector<CDSRangeDim>& list) {
  std::vector<int> result;
  for (const auto& entry : list) result.push_back(entry.dimensionIndex);
  return result;
}

}  // namespace

CDSRangeDim::CDSRangeDim(const datastore::Dimension& dimension, int index) : dimensionIndex(index) {
  indices.resize(static_cast<std::size_t>(dimension.size()));
  std::iota(indices.begin(), indices.end(), 0);
}

CDatastoreRanges::CDatastoreRanges(datastore::DataStore* store) : store_(store) {
  if (!store_) return;
  for (int d = 0; d < store_->dimensions.size(); ++d) secondary_.emplace_back(store_->dimensions[d], d);
}

void CDatastoreRanges::move(int index, std::vector<CDSRangeDim>& from, std::vector<CDSRangeDim>& to) {
  if (!store_) throw std::logic_error(kUninitialised);
  if (index < 0 || index >= store_->dimensions.size()) throw std::out_of_range(kOutOfRange);
  auto matches = [index](const CDSRangeDim& entry) { return entry.dimensionIndex == index; };
  if (std::count_if(from.begin(), from.end(), matches) != 1 || std::any_of(to.begin(), to.end(), matches))
    throw std::logic_error(kDuplicate);
  auto at = std::find_if(from.begin(), from.end(), matches);
  to.push_back(*at);
  from.erase(at);
}

void CDatastoreRanges::AddPrimaryDimensions(int index) { move(index, secondary_, primary_); }

void CDatastoreRanges::RemovePrimaryDimensions(int index) { move(index, primary_, secondary_); }

CDSRangeDim* CDatastoreRanges::find(int dimensionIndex) {
  for (auto* list : {&primary_, &secondary_})
    for (auto& entry : *list)
      if (entry.dimensionIndex == dimensionIndex) return &entry;
  return nullptr;
}

datastore::DataStore& CDatastoreRanges::store() const {
  if (!store_) throw std::logic_error(kUninitialised);
  return *store_;
}

std::vector<int> CDatastoreRanges::primaryDimensions() const { return indicesOf(primary_); }

std::vector<int> CDatastoreRanges::secondaryDimensions() const { return indicesOf(secondary_); }

std::pair<float, float> CDatastoreRanges::bounds(int dimension) const {
  constexpr float inf = std::numeric_limits<float>::infinity();
  std::pair<float, float> nothing{-inf, inf};
  if (!store_ || dimension < 0 || dimension >= store_->dimensions.size()) return nothing;
  const auto& values = store_->dimensions[dimension].values;
  for (const auto* list : {&primary_, &secondary_}) {
    for (const auto& entry : *list) {
      if (entry.dimensionIndex != dimension) continue;
      std::pair<float, float> result = nothing;
      bool any = false;
      for (int i : entry.indices) {
        if (i < 0 || i >= values.size()) continue;
        const float v = values[i];
        result.first = any ? std::max(result.first, v) : v;
        result.second = any ? std::min(result.second, v) : v;
        any = true;
      }
      return result;
    }
  }
  return nothing;
}

}  // namespace lumatix::processing
