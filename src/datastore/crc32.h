#pragma once
// The checksum of LumBinaryX files: CRC-32 with generator 0x04C11DB7, most-significant bit
// first, no reflection, initial register 0 and no final exclusion. "123456789" gives
// 0x89A1897F.

#include <cstddef>
#include <cstdint>

namespace lumatix::datastore {

class Crc32 {
 public:
  explicit Crc32(std::uint32_t initial = 0) : value_(initial) {}

  void update(const void* data, std::size_t size);
  std::uint32_t value() const { return value_; }

  // The definition itself, one bit at a time: the reference the fast paths are tested against.
  static std::uint32_t bitwise(std::uint32_t crc, const void* data, std::size_t size);
  // One table look-up per byte.
  static std::uint32_t bytewise(std::uint32_t crc, const void* data, std::size_t size);
  // Eight bytes per step with eight tables.
  static std::uint32_t slicingBy8(std::uint32_t crc, const void* data, std::size_t size);
  // Carry-less multiplication folding; falls back to slicingBy8 without the instructions.
  static std::uint32_t folding(std::uint32_t crc, const void* data, std::size_t size);
  static bool hasFolding();

 private:
  std::uint32_t value_;
};

}  // namespace lumatix::datastore
