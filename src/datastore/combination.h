#pragma once
// Combination<T>: the k-element subsets of an ordered set, in lexicographic order of positions.

#include <cstddef>
#include <vector>

namespace lumatix::datastore {

template <class T>
class Combination {
 public:
  Combination() = default;
  Combination(std::vector<T> set, std::size_t k) : elements(std::move(set)) {
    if (k > elements.size()) k = elements.size();
    current.assign(elements.begin(), elements.begin() + static_cast<std::ptrdiff_t>(k));
    for (std::size_t i = 0; i < k; ++i) positions_.push_back(i);
  }
  virtual ~Combination() = default;

  // The first call returns the first subset and leaves ok untouched; later calls advance,
  // setting ok to false when there is no further subset.
  const std::vector<T>& next(std::vector<T>& out, bool& ok) {
    if (first) {
      first = false;
      out = current;
      return current;
    }
    const std::size_t k = positions_.size(), n = elements.size();
    std::size_t i = k;
    while (i > 0 && positions_[i - 1] == n - k + (i - 1)) --i;
    if (i == 0) {
      ok = false;
      out = current;
      return current;
    }
    ++positions_[i - 1];
    for (std::size_t j = i; j < k; ++j) positions_[j] = positions_[j - 1] + 1;
    for (std::size_t j = 0; j < k; ++j) current[j] = elements[positions_[j]];
    out = current;
    return current;
  }

  std::vector<T> elements;
  std::vector<T> current;
  bool first = true;

 private:
  std::vector<std::size_t> positions_;
};

}  // namespace lumatix::datastore
