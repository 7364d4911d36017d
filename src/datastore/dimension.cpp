#include "datastore/dimension.h"

#include <stdexcept>

namespace lumatix::datastore {

std::string firstWord(const std::string& text) { return text.substr(0, text.find(' ')); }

Dimension::Dimension(std::string name_, std::vector<float> values_)
    : name(std::move(name_)), values(std::move(values_)) {}

void Dimension::set(const std::string& newName, std::int32_t size) {
  name = newName;
  values = Array<float>(size);
  currentIndex = 0;
}

float Dimension::operator[](std::int64_t i) const {
  if (i < 0 || i >= values.size()) throw std::out_of_range("index out-of-range in Dimension::operator[].");
  return values[i];
}

std::pair<float, float> Dimension::range() const {
  if (values.empty()) return {0.0f, 0.0f};
  float largest = values[0], smallest = values[0];
  for (float v : values) {
    if (v > largest) largest = v;
    if (v < smallest) smallest = v;
  }
  return {largest, smallest};
}

Dimension Dimension::subDimension(const std::vector<int>& indexList) const {
  if (indexList.size() > static_cast<std::size_t>(values.size()))
    throw std::length_error("Dimension:: There are too many indices in the new dimension");
  Dimension result;
  result.name = name;
  result.values = Array<float>(static_cast<std::int32_t>(indexList.size()));
  for (std::size_t k = 0; k < indexList.size(); ++k) result.values[static_cast<std::int64_t>(k)] = (*this)[indexList[k]];
  result.currentIndex = 0;
  return result;
}

std::string Dimension::shortName() const { return firstWord(name); }

}  // namespace lumatix::datastore
