#pragma once
// Eight doubles processed side by side, for the fitting engine's per-point loops. The type is
// a compiler vector of fixed width: it becomes one AVX-512 register, two AVX2 registers or four
// SSE2 ones depending on the clone of the calling function, and every lane sees the same IEEE
// operations in each case (the files that use it are compiled without fused multiply-adds),
// so results do not depend on the processor.
//
// Helpers are always inlined into the processor-specific clones of their callers, and take
// and give vectors by reference: a vector passed by value would depend on the instruction set
// of each clone, which the compilers refuse.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumatix::fitting::lanes {

constexpr std::size_t kWidth = 8;
using Vec = double __attribute__((vector_size(kWidth * sizeof(double))));
using Bits = std::int64_t __attribute__((vector_size(kWidth * sizeof(double))));

#define LUMATIX_LANES_INLINE inline __attribute__((always_inline))
// For the functions that run the lanes: one clone per instruction set, chosen at load time.
// ThreadSanitizer instruments the clones' resolver, which the loader runs before the
// sanitizer is up, so a build under it keeps the plain version only.
#if defined(__SANITIZE_THREAD__)
#define LUMATIX_LANES_CLONES
#else
#define LUMATIX_LANES_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#endif

LUMATIX_LANES_INLINE void load(const double* p, Vec& v) { std::memcpy(&v, p, sizeof v); }

LUMATIX_LANES_INLINE void store(double* p, const Vec& v) { std::memcpy(p, &v, sizeof v); }

// exp(x) lane by lane, within one unit in the last place of std::exp for x in about
// [-708, 709.4]: x = k.ln2 + r with |r| <= ln2/2 (ln2 in two parts so that k.ln2 is exact),
// exp(r) from its Taylor series to r^13 (truncation below 1e-17 relative), scaled by 2^k
// through the exponent bits. Lanes outside that range (NaN included) get a negative value in
// `outside`, which is otherwise left alone; their result must be taken from std::exp.
LUMATIX_LANES_INLINE void exp(const Vec& x, Vec& result, Bits& outside) {
  constexpr double kLog2e = 0x1.71547652b82fep+0;
  constexpr double kLn2High = 0x1.62e42fee00000p-1;
  constexpr double kLn2Low = 0x1.a39ef35793c76p-33;
  constexpr double kShifter = 0x1.8p52;  // adding it rounds to an integer held in the low bits
  constexpr std::int64_t kShifterBits = 0x4338000000000000;
  const Vec shifted = x * kLog2e + kShifter;
  const Vec k = shifted - kShifter;
  const Vec r = (x - k * kLn2High) - k * kLn2Low;
  Vec s = r * 0x1.6124613a86d09p-33 + 0x1.1eed8eff8d898p-29;  // 1/13!, 1/12!
  s = s * r + 0x1.ae64567f544e4p-26;
  s = s * r + 0x1.27e4fb7789f5cp-22;
  s = s * r + 0x1.71de3a556c734p-19;
  s = s * r + 0x1.a01a01a01a01ap-16;
  s = s * r + 0x1.a01a01a01a01ap-13;
  s = s * r + 0x1.6c16c16c16c17p-10;
  s = s * r + 0x1.1111111111111p-7;
  s = s * r + 0x1.5555555555555p-5;
  s = s * r + 0x1.5555555555555p-3;
  s = s * r + 0.5;
  s = s * r + 1.0;
  s = s * r + 1.0;
  // The shifted value's low bits are k + 2^51. With k in [-1021, 1023] (from a NaN or a huge x
  // they are far outside), 2^k and s.2^k are normal numbers; moving k + 1023 into the exponent
  // field gives 2^k.
  Bits kBits;
  std::memcpy(&kBits, &shifted, sizeof kBits);
  kBits -= kShifterBits;
  const Bits fromLowest = kBits + 1021;
  outside |= fromLowest | (2044 - fromLowest);
  const Bits scaleBits = (kBits + 1023) << 52;
  Vec scale;
  std::memcpy(&scale, &scaleBits, sizeof scale);
  result = s * scale;
}

// Whether any lane is negative.
LUMATIX_LANES_INLINE bool anyNegative(const Bits& v) {
  std::int64_t all = 0;
  for (std::size_t lane = 0; lane < kWidth; ++lane) all |= v[lane];
  return all < 0;
}

// The lanes' total, always in the same order.
LUMATIX_LANES_INLINE double sum(const Vec& v) {
  return ((v[0] + v[1]) + (v[2] + v[3])) + ((v[4] + v[5]) + (v[6] + v[7]));
}

}  // namespace lumatix::fitting::lanes
