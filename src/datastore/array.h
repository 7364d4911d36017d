#pragma once
// Array<T>: a counted, strided sequence that either owns its elements or is a view on
// storage it does not own (usually the value block of a DataStore). Writing through a
// view writes into that storage.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>

namespace lumatix::datastore {

template <class T>
class Array {
 public:
  template <class Ref, class Ptr>
  class Iter {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = Ptr;
    using reference = Ref;
    Iter() = default;
    Iter(Ptr p, std::ptrdiff_t stride) : p_(p), stride_(stride) {}
    Ref operator*() const { return *p_; }
    Ptr operator->() const { return p_; }
    Ref operator[](difference_type n) const { return p_[n * stride_]; }
    Iter& operator++() { p_ += stride_; return *this; }
    Iter operator++(int) { Iter t = *this; ++*this; return t; }
    Iter& operator--() { p_ -= stride_; return *this; }
    Iter operator--(int) { Iter t = *this; --*this; return t; }
    Iter& operator+=(difference_type n) { p_ += n * stride_; return *this; }
    Iter& operator-=(difference_type n) { p_ -= n * stride_; return *this; }
    friend Iter operator+(Iter a, difference_type n) { return a += n; }
    friend Iter operator+(difference_type n, Iter a) { return a += n; }
    friend Iter operator-(Iter a, difference_type n) { return a -= n; }
    friend difference_type operator-(const Iter& a, const Iter& b) {
      return a.stride_ ? (a.p_ - b.p_) / a.stride_ : 0;
    }
    friend bool operator==(const Iter& a, const Iter& b) { return a.p_ == b.p_; }
    friend auto operator<=>(const Iter& a, const Iter& b) { return a.p_ <=> b.p_; }

   private:
    Ptr p_ = nullptr;
    std::ptrdiff_t stride_ = 1;
  };
  using iterator = Iter<T&, T*>;
  using const_iterator = Iter<const T&, const T*>;

  Array() = default;

  // With external null: an owning array of count default elements. Otherwise a view of
  // count elements starting at external, stride elements apart.
  explicit Array(std::int32_t count, T* external = nullptr, std::int32_t stride = 1) {
    if (count < 0) throw std::length_error("Array out of bounds!");
    if (external) {
      count_ = count;
      stride_ = stride;
      owns_ = false;
      data_ = count ? external : nullptr;
    } else {
      storage_.resize(static_cast<std::size_t>(count));
      adopt();
    }
  }

  // An owning array holding the given elements.
  explicit Array(std::vector<T> elements) : storage_(std::move(elements)) { adopt(); }

  // Copying an owning array copies its elements; copying a view gives the same view.
  Array(const Array& other) {
    if (other.owns_) {
      storage_ = other.storage_;
      adopt();
    } else {
      count_ = other.count_;
      stride_ = other.stride_;
      owns_ = false;
      data_ = other.data_;
    }
  }

  Array(Array&& other) noexcept
      : storage_(std::move(other.storage_)), count_(other.count_), stride_(other.stride_), owns_(other.owns_),
        data_(other.data_) {
    if (owns_) data_ = storage_.empty() ? nullptr : storage_.data();
    other.storage_.clear();
    other.count_ = 0;
    other.stride_ = 1;
    other.owns_ = true;
    other.data_ = nullptr;
  }

  // An owning target is reallocated to the source's count with stride 1; a view keeps
  // its count and stride and receives the values in place (extra source elements are
  // ignored, missing ones leave the view's tail unchanged).
  Array& operator=(const Array& other) {
    if (this == &other) return *this;
    if (owns_) {
      std::vector<T> copy;
      copy.reserve(static_cast<std::size_t>(other.count_));
      for (std::int32_t i = 0; i < other.count_; ++i) copy.push_back(other.at(i));
      storage_ = std::move(copy);
      adopt();
    } else {
      std::int32_t n = count_ < other.count_ ? count_ : other.count_;
      for (std::int32_t i = 0; i < n; ++i) at(i) = other.at(i);
    }
    return *this;
  }

  Array& operator=(Array&& other) {
    if (this == &other) return *this;
    if (owns_ && other.owns_) {
      storage_ = std::move(other.storage_);
      adopt();
      other.storage_.clear();
      other.adopt();
      return *this;
    }
    return *this = static_cast<const Array&>(other);
  }

  virtual ~Array() = default;

  // Throws "Array out of bounds!" unless 0 <= i <= count - 1.
  T& operator[](std::int64_t i) {
    check(i);
    return at(i);
  }
  const T& operator[](std::int64_t i) const {
    check(i);
    return at(i);
  }

  // New owned storage of n elements with stride 1 holding the first min(count, n) elements;
  // a view becomes an owning array.
  void resize(std::int32_t n) {
    if (n < 0) throw std::length_error("Array out of bounds!");
    if (owns_) {
      storage_.resize(static_cast<std::size_t>(n));
    } else {
      std::vector<T> fresh(static_cast<std::size_t>(n));
      std::int32_t keep = count_ < n ? count_ : n;
      for (std::int32_t i = 0; i < keep; ++i) fresh[static_cast<std::size_t>(i)] = at(i);
      storage_ = std::move(fresh);
      owns_ = true;
    }
    adopt();
  }

  // Appends one element; a view first becomes an owning copy.
  void push_back(T value) {
    if (!owns_) resize(count_);
    storage_.push_back(std::move(value));
    adopt();
  }

  void clear() { resize(0); }

  std::int32_t size() const { return count_; }
  std::int32_t count() const { return count_; }
  std::int32_t stride() const { return stride_; }
  bool owns() const { return owns_; }
  bool empty() const { return count_ == 0; }
  bool contiguous() const { return stride_ == 1 || count_ <= 1; }
  T* data() { return data_; }
  const T* data() const { return data_; }

  iterator begin() { return {data_, stride_}; }
  iterator end() { return {data_ + static_cast<std::ptrdiff_t>(count_) * stride_, stride_}; }
  const_iterator begin() const { return {data_, stride_}; }
  const_iterator end() const { return {data_ + static_cast<std::ptrdiff_t>(count_) * stride_, stride_}; }

  // Element-wise comparison of the values, whatever the strides.
  friend bool operator==(const Array& a, const Array& b) {
    if (a.count_ != b.count_) return false;
    for (std::int32_t i = 0; i < a.count_; ++i)
      if (!(a.at(i) == b.at(i))) return false;
    return true;
  }

 private:
  void check(std::int64_t i) const {
    if (i < 0 || i > static_cast<std::int64_t>(count_) - 1) throw std::out_of_range("Array out of bounds!");
  }
  T& at(std::int64_t i) { return data_[i * stride_]; }
  const T& at(std::int64_t i) const { return data_[i * stride_]; }
  void adopt() {
    owns_ = true;
    stride_ = 1;
    count_ = static_cast<std::int32_t>(storage_.size());
    data_ = storage_.empty() ? nullptr : storage_.data();
  }

  std::vector<T> storage_;
  std::int32_t count_ = 0;
  std::int32_t stride_ = 1;
  bool owns_ = true;
  T* data_ = nullptr;
};

}  // namespace lumatix::datastore
