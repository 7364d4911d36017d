#pragma once
// The value block of a DataStore: an owned run of single-precision floats.

#include <cstdint>

namespace lumatix::datastore {

class DPointer {
 public:
  DPointer() = default;
  DPointer(const DPointer& other);
  DPointer(DPointer&& other) noexcept;
  DPointer& operator=(const DPointer& other);
  DPointer& operator=(DPointer&& other) noexcept;
  ~DPointer();

  // For n > 0 allocates n floats and sets count; throws "Error allocating memory for DPointer"
  // when there is no memory or n is negative. n = 0 leaves the block unchanged.
  void allocate(std::int32_t n);

  // Replaces the block by n zeroed floats without touching the memory (large blocks are
  // faulted in as they are written). n = 0 frees the block.
  void allocateZeroed(std::int32_t n);

  // Keeps the first min(count, n) values; n = 0 frees the block. Throws
  // "Error (re)allocating memory for DPointer" on failure. Returns the new block.
  float* resize(std::int32_t n);

  // Throws "Index out-of-range in DPointer::operator[]" unless 0 <= i < count.
  float& operator[](std::int64_t i);
  const float& operator[](std::int64_t i) const;

  void zero();

  float* data = nullptr;
  std::int32_t count = 0;

 private:
  void release() noexcept;
};

}  // namespace lumatix::datastore
