#pragma once
// TraceRow: the values of one trace, in single precision as they are measured and stored.
// Copies share their values until one of them changes them, so that a copy of a data set
// (the window's reset copy, a subset, the graph that draws it) costs no memory of its own:
// a plot window on a large file holds the file's values once in its store and once here.

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

namespace lumatix::processing {

class TraceRow {
 public:
  using value_type = float;
  using size_type = std::size_t;
  using const_iterator = const float*;
  using iterator = const float*;
  using const_reference = const float&;
  using reference = const float&;

  TraceRow() = default;
  explicit TraceRow(std::size_t count, float value = 0.0f) : TraceRow(std::vector<float>(count, value)) {}
  TraceRow(std::initializer_list<float> values) : TraceRow(std::vector<float>(values)) {}
  explicit TraceRow(std::vector<float> values);
  // Each value rounded to single precision.
  template <std::input_iterator It>
  TraceRow(It first, It last) : TraceRow(std::vector<float>(first, last)) {}
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const float* data() const { return values_.get(); }
  const float* begin() const { return values_.get(); }
  const float* end() const { return values_.get() + size_; }
  const float& operator[](std::size_t i) const { return values_.get()[i]; }
  const float& at(std::size_t i) const {
    if (i >= size_) throw std::out_of_range("TraceRow::at");
    return values_.get()[i];
  }
  const float& front() const { return values_.get()[0]; }
  const float& back() const { return values_.get()[size_ - 1]; }

  // The values, to change in place: copied first unless this row alone holds them.
  std::span<float> edit();
  // Whether two rows hold the very same values in memory (not merely equal ones).
  bool sharesWith(const TraceRow& other) const { return size_ > 0 && values_.get() == other.values_.get(); }

  std::vector<double> toDoubles() const { return {begin(), end()}; }
  friend class TraceBlock;

  friend bool operator==(const TraceRow& a, const TraceRow& b) { return std::ranges::equal(a, b); }
  friend bool operator==(const TraceRow& a, const std::vector<float>& b) { return std::ranges::equal(a, b); }

 private:
  // count values from first, in a block of writable values that owner keeps alive.
  TraceRow(std::shared_ptr<const void> owner, const float* first, std::size_t count)
      : values_(std::move(owner), first), size_(count) {}

  std::shared_ptr<const float> values_;
  std::size_t size_ = 0;
};

// Rows of `length` values each, one after the other in one zero-filled block (on huge pages
// when large): loading thousands of traces makes one allocation, not one per trace, and
// fills it with a page fault per 2 MiB. Write every row through `values()` before handing
// out the rows.
class TraceBlock {
 public:
  // Throws std::bad_alloc when the system has no memory for the block.
  TraceBlock(std::size_t rows, std::size_t length);
  float* values(std::size_t row) { return block_.get() + row * length_; }
  std::vector<TraceRow> rows() const;

 private:
  std::shared_ptr<float> block_;
  std::size_t rows_, length_;
};

}  // namespace lumatix::processing
