#pragma once
// One axis of a DataStore: a name and its values (wavelengths, times, ...).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "datastore/array.h"

namespace lumatix::datastore {

class Dimension {
 public:
  Dimension() = default;
  Dimension(std::string name, std::vector<float> values);
  virtual ~Dimension() = default;
  Dimension(const Dimension&) = default;
  Dimension(Dimension&&) noexcept = default;
  Dimension& operator=(const Dimension&) = default;
  Dimension& operator=(Dimension&&) noexcept = default;

  // Names the dimension, gives it size values (0.0) and sets currentIndex to 0.
  void set(const std::string& newName, std::int32_t size);

  // values[i]; throws "index out-of-range in Dimension::operator[]." outside 0..size-1.
  float operator[](std::int64_t i) const;

  // (largest value, smallest value); (0, 0) when empty.
  std::pair<float, float> range() const;

  // A dimension of the same name holding values[indexList[k]]. Throws
  // "Dimension:: There are too many indices in the new dimension" when the list is longer
  // than the dimension.
  Dimension subDimension(const std::vector<int>& indexList) const;

  std::int32_t size() const { return values.size(); }

  // The first word of the name, up to the first blank.
  std::string shortName() const;

  std::string name = "UnInit";
  std::int32_t currentIndex = 0;
  Array<float> values;
};

// The characters of text up to the first blank or the end.
std::string firstWord(const std::string& text);

}  // namespace lumatix::datastore
