#pragma once
// Little-endian integers, IEEE floats, NUL-terminated strings and one-byte flags: the
// encoding shared by the LumBinaryX and LumBinary files.

#include <cstdint>
#include <istream>
#include <string>

#include "datastore/crc32.h"

namespace lumatix::datastore::binary {

// Appends encoded items to a byte string.
class Encoder {
 public:
  void i32(std::int32_t v);
  void f32(float v);
  void flag(bool v) { bytes_.push_back(v ? '\1' : '\0'); }
  // The string up to its first NUL, then one NUL.
  void string(const std::string& s);
  void floats(const float* values, std::size_t n);
  const std::string& bytes() const { return bytes_; }
  void clear() { bytes_.clear(); }

 private:
  std::string bytes_;
};

// The bytes of s up to its first NUL.
std::string_view cString(const std::string& s);

// Writes the raw bytes of n floats in little-endian order.
void writeFloats(std::ostream& out, const float* values, std::size_t n);

// Reads from a stream whose size it knows, so every count can be checked against the
// bytes that remain before anything is allocated. Every read returns false on a short read
// or a failed stream.
class Decoder {
 public:
  explicit Decoder(std::istream& in);
  std::istream& stream() { return in_; }

  // Bytes between the current position and the end of the file.
  std::uint64_t remaining();
  bool i32(std::int32_t& v);
  bool u32(std::uint32_t& v);
  bool f32(float& v);
  bool flag(bool& v);
  // Reads up to a NUL (consumed). Returns false when the file ends first.
  bool string(std::string& s);
  // Reads n floats into place, in one block.
  bool floats(float* values, std::size_t n);
  // Steps back over the last four bytes read.
  void unread4();
  // The first line: up to a line feed, one trailing carriage return removed.
  bool line(std::string& s, std::size_t limit);

 private:
  std::istream& in_;
  std::uint64_t size_;
};

}  // namespace lumatix::datastore::binary
