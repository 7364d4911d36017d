#include "datastore/datastore_extractor.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "datastore/data_store.h"

namespace lumatix::datastore {

CDataStoreExtractor::CDataStoreExtractor(const CDSSubset& subset) : source_(subset.ranges().store()) {
  const RangeTable& table = subset.ranges();
  kept_ = subset.available();
  for (int d : table.primaryDimensions()) kept_.push_back(d);
  const int dimensionCount = source_.dimensions.size();
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    int d = kept_[i];
    if (d < 0 || d >= dimensionCount || std::count(kept_.begin(), kept_.end(), d) != 1)
      throw std::runtime_error("A primary dimension is out of range for the datastore ");
  }

  const ViewState& view = source_.viewState;
  positions_.resize(static_cast<std::size_t>(dimensionCount));
  for (int d = 0; d < dimensionCount; ++d) {
    auto [upper, lower] = table.bounds(d);
    bool hasSplit = static_cast<std::size_t>(d) < view.ranges.size();
    float split = hasSplit ? view.ranges[static_cast<std::size_t>(d)].first : 0.0f;
    const Dimension& dim = source_.dimensions[d];
    for (int j = 0; j < dim.size(); ++j) {
      float v = dim.values[j];
      if ((v >= lower && v <= upper) || (hasSplit && v > split)) positions_[static_cast<std::size_t>(d)].push_back(j);
    }
  }

  auto addFixed = [&](int d, bool held) {
    if (d < 0 || d >= dimensionCount) throw std::runtime_error("A primary dimension is out of range for the datastore ");
    bool hold = held || positions_[static_cast<std::size_t>(d)].empty();
    fixed_.push_back({hold ? source_.currentIndex(d) : 0, d, hold});
  };
  for (int d : subset.chosen()) addFixed(d, true);
  for (int d : subset.current()) addFixed(d, false);
}

int CDataStoreExtractor::sourceIndex(const Fixed& f) const {
  return f.held ? f.position : positions_[static_cast<std::size_t>(f.dimension)][static_cast<std::size_t>(f.position)];
}

bool CDataStoreExtractor::operator++() {
  for (auto& f : fixed_) {
    if (f.held) continue;
    const auto& kept = positions_[static_cast<std::size_t>(f.dimension)];
    if (++f.position < static_cast<int>(kept.size())) return false;
    f.position = 0;
  }
  return true;
}

std::unique_ptr<DataStore> CDataStoreExtractor::extractNext() {
  auto store = std::make_unique<DataStore>();

  std::ostringstream title;
  for (const auto& f : fixed_) {
    const Dimension& dim = source_.dimensions[f.dimension];
    title << dim.shortName() << "=" << dim[sourceIndex(f)] << " ";
  }
  store->title = title.str();
  store->remarks = source_.remarks;
  store->properties = source_.properties;
  store->options = source_.options;

  // The kept dimensions that still have values, and the view-state axis carried with each.
  const ViewState& view = source_.viewState;
  ViewState carried;
  std::vector<int> used;
  for (int d : kept_) {
    Dimension sub = source_.dimensions[d].subDimension(positions_[static_cast<std::size_t>(d)]);
    if (sub.size() < 1) continue;
    store->dimensions.push_back(sub);
    used.push_back(d);
    auto axis = static_cast<std::size_t>(d);
    carried.dimensionOrder.push_back(axis < view.dimensionOrder.size() ? view.dimensionOrder[axis] : d);
    carried.ranges.push_back(axis < view.ranges.size() ? view.ranges[axis] : sub.range());
    carried.marks.push_back(axis < view.marks.size() ? view.marks[axis] : std::vector<ViewMark>{});
  }
  carried.axisCount = static_cast<std::int32_t>(used.size());
  carried.reserved = view.reserved;
  if (!store->initialise()) throw std::runtime_error("Error allocating memory for DPointer");

  for (const auto& f : fixed_) source_.setCurrentIndex(f.dimension, sourceIndex(f));

  // Source offset of the fixed positions (and of the current index of any kept dimension
  // that kept nothing), then walk the kept positions with dimension 0 innermost.
  std::int64_t base = 0;
  for (int d = 0; d < source_.dimensions.size(); ++d)
    if (std::find(used.begin(), used.end(), d) == used.end()) base += source_.currentIndex(d) * source_.stride(d);
  const std::int64_t perSource = source_.valuesPerProperty();
  const std::int64_t perTarget = store->valuesPerProperty();
  if (perSource < 0 || perSource * source_.properties.size() != source_.data.count)
    throw std::out_of_range("Index out-of-range in DPointer::operator[]");
  std::vector<int> index(used.size(), 0);
  for (std::int32_t p = 0; p < source_.properties.size(); ++p) {
    std::fill(index.begin(), index.end(), 0);
    for (std::int64_t t = 0; t < perTarget; ++t) {
      std::int64_t offset = base + p * perSource;
      for (std::size_t k = 0; k < used.size(); ++k)
        offset += positions_[static_cast<std::size_t>(used[k])][static_cast<std::size_t>(index[k])] *
                  source_.stride(used[k]);
      store->data[p * perTarget + t] = source_.data[offset];
      for (std::size_t k = 0; k < used.size(); ++k) {
        if (++index[k] < store->dimensions[static_cast<std::int64_t>(k)].size()) break;
        index[k] = 0;
      }
    }
  }

  store->viewState = std::move(carried);
  store->history = source_.history;
  store->attributes.cfrCompliant = source_.attributes.cfrCompliant;
  store->computeRange();
  return store;
}

}  // namespace lumatix::datastore
