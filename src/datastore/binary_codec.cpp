#include "datastore/binary_codec.h"

#include <bit>
#include <cstring>
#include <limits>
#include <vector>

namespace lumatix::datastore::binary {
namespace {

constexpr bool kLittle = std::endian::native == std::endian::little;

std::uint32_t toLittle(std::uint32_t v) {
  if constexpr (kLittle) return v;
  return ((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) | (v >> 24);
}

void swapFloats([[maybe_unused]] float* values, [[maybe_unused]] std::size_t n) {
  if constexpr (!kLittle) {
    for (std::size_t i = 0; i < n; ++i) {
      std::uint32_t u;
      std::memcpy(&u, values + i, 4);
      u = toLittle(u);
      std::memcpy(values + i, &u, 4);
    }
  }
}

}  // namespace

std::string_view cString(const std::string& s) { return std::string_view(s.c_str()); }

void Encoder::i32(std::int32_t v) {
  std::uint32_t u = toLittle(static_cast<std::uint32_t>(v));
  char b[4];
  std::memcpy(b, &u, 4);
  bytes_.append(b, 4);
}

void Encoder::f32(float v) {
  std::uint32_t u;
  std::memcpy(&u, &v, 4);
  i32(static_cast<std::int32_t>(u));
}

void Encoder::string(const std::string& s) {
  bytes_.append(cString(s));
  bytes_.push_back('\0');
}

void Encoder::floats(const float* values, std::size_t n) {
  if constexpr (kLittle) {
    bytes_.append(reinterpret_cast<const char*>(values), 4 * n);
  } else {
    for (std::size_t i = 0; i < n; ++i) f32(values[i]);
  }
}

void writeFloats(std::ostream& out, const float* values, std::size_t n) {
  if constexpr (kLittle) {
    out.write(reinterpret_cast<const char*>(values), static_cast<std::streamsize>(4 * n));
  } else {
    Encoder e;
    e.floats(values, n);
    out.write(e.bytes().data(), static_cast<std::streamsize>(e.bytes().size()));
  }
}

Decoder::Decoder(std::istream& in) : in_(in), size_(std::numeric_limits<std::uint64_t>::max()) {
  in_.clear();
  if (in_.seekg(0, std::ios::end)) {
    auto end = in_.tellg();
    if (end >= 0) size_ = static_cast<std::uint64_t>(end);
  }
  in_.clear();
  in_.seekg(0, std::ios::beg);
}

std::uint64_t Decoder::remaining() {
  auto at = in_.tellg();
  if (at < 0) return 0;
  auto pos = static_cast<std::uint64_t>(at);
  return pos >= size_ ? 0 : size_ - pos;
}

bool Decoder::u32(std::uint32_t& v) {
  char b[4];
  if (!in_.read(b, 4)) return false;
  std::memcpy(&v, b, 4);
  v = toLittle(v);
  return true;
}

bool Decoder::i32(std::int32_t& v) {
  std::uint32_t u;
  if (!u32(u)) return false;
  v = static_cast<std::int32_t>(u);
  return true;
}

bool Decoder::f32(float& v) {
  std::uint32_t u;
  if (!u32(u)) return false;
  std::memcpy(&v, &u, 4);
  return true;
}

bool Decoder::flag(bool& v) {
  char c;
  if (!in_.get(c)) return false;
  v = c != 0;
  return true;
}

bool Decoder::string(std::string& s) {
  s.clear();
  std::getline(in_, s, '\0');
  // Without its NUL the string was cut off by the end of the file.
  return !in_.eof() && !in_.fail();
}

bool Decoder::floats(float* values, std::size_t n) {
  if (n == 0) return true;
  if (4 * static_cast<std::uint64_t>(n) > remaining()) {
    in_.setstate(std::ios::failbit);
    return false;
  }
  if (!in_.read(reinterpret_cast<char*>(values), static_cast<std::streamsize>(4 * n))) return false;
  swapFloats(values, n);
  return true;
}

void Decoder::unread4() {
  in_.clear();
  in_.seekg(-4, std::ios::cur);
}

bool Decoder::line(std::string& s, std::size_t limit) {
  s.clear();
  char c;
  while (s.size() < limit && in_.get(c)) {
    if (c == '\n') {
      if (!s.empty() && s.back() == '\r') s.pop_back();
      return true;
    }
    s.push_back(c);
  }
  return false;
}

}  // namespace lumatix::datastore::binary
