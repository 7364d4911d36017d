#include "datastore/crc32.h"

#include <array>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LUMATIX_CRC_CLMUL 1
#endif

namespace lumatix::datastore {
namespace {

constexpr std::uint32_t kPolynomial = 0x04C11DB7;

struct Tables {
  std::array<std::array<std::uint32_t, 256>, 8> t{};
  Tables() {
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t r = i << 24;
      for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : r << 1;
      t[0][i] = r;
    }
    // t[k][i]: the register after byte i followed by k zero bytes.
    for (int k = 1; k < 8; ++k)
      for (std::uint32_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
  }
};

const Tables& tables() {
  static const Tables instance;
  return instance;
}

std::uint32_t bytewiseWith(const Tables& tb, std::uint32_t crc, const unsigned char* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) crc = (crc << 8) ^ tb.t[0][(crc >> 24) ^ p[i]];
  return crc;
}

#ifdef LUMATIX_CRC_CLMUL
// x^n mod P, one bit at a time (only used to derive the folding constants).
std::uint64_t xPowModP(unsigned n) {
  std::uint64_t r = 1;
  for (unsigned i = 0; i < n; ++i) {
    r <<= 1;
    if (r & 0x100000000ull) r ^= 0x100000000ull | kPolynomial;
  }
  return r;
}

struct FoldConstants {
  __m128i by512;  // low qword: x^512 mod P, high: x^576 mod P (four blocks ahead)
  __m128i by128;  // low qword: x^128 mod P, high: x^192 mod P (one block ahead)
};

const FoldConstants& foldConstants() {
  static const FoldConstants k{
      _mm_set_epi64x(static_cast<long long>(xPowModP(576)), static_cast<long long>(xPowModP(512))),
      _mm_set_epi64x(static_cast<long long>(xPowModP(192)), static_cast<long long>(xPowModP(128)))};
  return k;
}

// A 16-byte block as a polynomial: the first byte holds the highest coefficients.
__attribute__((target("pclmul,ssse3"))) inline __m128i loadBlock(const unsigned char* p) {
  const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), reverse);
}

// X * x^distance folded into 96 bits: high qword times the high constant, low times the low.
__attribute__((target("pclmul,ssse3"))) inline __m128i fold(__m128i x, __m128i k) {
  return _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), _mm_clmulepi64_si128(x, k, 0x00));
}

__attribute__((target("pclmul,ssse3"))) std::uint32_t clmulCrc(std::uint32_t crc, const unsigned char* p,
                                                                std::size_t n) {
  const FoldConstants& k = foldConstants();
  // The register enters as an exclusion of the first four message bytes.
  __m128i x0 = _mm_xor_si128(loadBlock(p), _mm_set_epi32(static_cast<int>(crc), 0, 0, 0));
  __m128i x1 = loadBlock(p + 16), x2 = loadBlock(p + 32), x3 = loadBlock(p + 48);
  p += 64;
  n -= 64;
  while (n >= 64) {
    x0 = _mm_xor_si128(fold(x0, k.by512), loadBlock(p));
    x1 = _mm_xor_si128(fold(x1, k.by512), loadBlock(p + 16));
    x2 = _mm_xor_si128(fold(x2, k.by512), loadBlock(p + 32));
    x3 = _mm_xor_si128(fold(x3, k.by512), loadBlock(p + 48));
    p += 64;
    n -= 64;
  }
  __m128i x = _mm_xor_si128(fold(x0, k.by128), x1);
  x = _mm_xor_si128(fold(x, k.by128), x2);
  x = _mm_xor_si128(fold(x, k.by128), x3);
  while (n >= 16) {
    x = _mm_xor_si128(fold(x, k.by128), loadBlock(p));
    p += 16;
    n -= 16;
  }
  // What is left is congruent to the 16 bytes of x: finish them and the tail by table.
  unsigned char last[16];
  const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(last), _mm_shuffle_epi8(x, reverse));
  const Tables& tb = tables();
  return bytewiseWith(tb, bytewiseWith(tb, 0, last, 16), p, n);
}
#endif

}  // namespace

std::uint32_t Crc32::bitwise(std::uint32_t crc, const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= static_cast<std::uint32_t>(p[i]) << 24;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ kPolynomial : crc << 1;
  }
  return crc;
}

std::uint32_t Crc32::bytewise(std::uint32_t crc, const void* data, std::size_t size) {
  return bytewiseWith(tables(), crc, static_cast<const unsigned char*>(data), size);
}

std::uint32_t Crc32::slicingBy8(std::uint32_t crc, const void* data, std::size_t size) {
  const Tables& tb = tables();
  const auto* p = static_cast<const unsigned char*>(data);
  while (size >= 8) {
    std::uint32_t a = crc ^ (static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
                             static_cast<std::uint32_t>(p[2]) << 8 | p[3]);
    crc = tb.t[7][a >> 24] ^ tb.t[6][(a >> 16) & 0xFF] ^ tb.t[5][(a >> 8) & 0xFF] ^ tb.t[4][a & 0xFF] ^
          tb.t[3][p[4]] ^ tb.t[2][p[5]] ^ tb.t[1][p[6]] ^ tb.t[0][p[7]];
    p += 8;
    size -= 8;
  }
  return bytewiseWith(tb, crc, p, size);
}

bool Crc32::hasFolding() {
#ifdef LUMATIX_CRC_CLMUL
  static const bool available = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3");
  return available;
#else
  return false;
#endif
}

std::uint32_t Crc32::folding(std::uint32_t crc, const void* data, std::size_t size) {
#ifdef LUMATIX_CRC_CLMUL
  if (size >= 64 && hasFolding()) return clmulCrc(crc, static_cast<const unsigned char*>(data), size);
#endif
  return slicingBy8(crc, data, size);
}

void Crc32::update(const void* data, std::size_t size) {
  value_ = size >= 256 ? folding(value_, data, size) : slicingBy8(value_, data, size);
}

}  // namespace lumatix::datastore
