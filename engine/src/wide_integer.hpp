#pragma once
// Just enough 128-bit unsigned arithmetic for exact decimal conversions, so
// that 32-bit targets without a native 128-bit type give the same digits.

#include <cstdint>

namespace kq::engine::detail {

struct Uint128 {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
};

inline Uint128 multiply(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
  // One instruction where the compiler has the type; the same product.
  __extension__ typedef unsigned __int128 native;
  const native product = static_cast<native>(a) * b;
  return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
  const std::uint64_t a_lo = a & 0xffffffffu, a_hi = a >> 32;
  const std::uint64_t b_lo = b & 0xffffffffu, b_hi = b >> 32;
  const std::uint64_t lo_lo = a_lo * b_lo;
  const std::uint64_t hi_lo = a_hi * b_lo;
  const std::uint64_t lo_hi = a_lo * b_hi;
  const std::uint64_t hi_hi = a_hi * b_hi;
  const std::uint64_t middle = (lo_lo >> 32) + (hi_lo & 0xffffffffu) + (lo_hi & 0xffffffffu);
  Uint128 product;
  product.low = (middle << 32) | (lo_lo & 0xffffffffu);
  product.high = hi_hi + (hi_lo >> 32) + (lo_hi >> 32) + (middle >> 32);
  return product;
#endif
}

// value >> shift, for 0 < shift < 128.
inline Uint128 shift_right(Uint128 value, unsigned shift) {
  if (shift >= 64) return {0, value.high >> (shift - 64)};
  return {value.high >> shift, (value.low >> shift) | (value.high << (64 - shift))};
}

// Bit number `bit` (0 is the lowest), for bit < 128.
inline bool bit_set(Uint128 value, unsigned bit) {
  return bit >= 64 ? ((value.high >> (bit - 64)) & 1u) != 0 : ((value.low >> bit) & 1u) != 0;
}

// Whether any of the `count` lowest bits is set, for count < 128.
inline bool low_bits_set(Uint128 value, unsigned count) {
  if (count == 0) return false;
  if (count >= 64) {
    const unsigned high_bits = count - 64;
    const std::uint64_t high_mask = high_bits == 0 ? 0 : (~std::uint64_t{0} >> (64 - high_bits));
    return value.low != 0 || (value.high & high_mask) != 0;
  }
  return (value.low & (~std::uint64_t{0} >> (64 - count))) != 0;
}

// round(value / 2^shift), a tie going to the even result, for 0 < shift < 128.
inline Uint128 shift_right_round_even(Uint128 value, unsigned shift) {
  Uint128 quotient = shift_right(value, shift);
  const bool half = bit_set(value, shift - 1);
  const bool beyond_half = low_bits_set(value, shift - 1);
  if (half && (beyond_half || (quotient.low & 1u) != 0)) {
    if (++quotient.low == 0) ++quotient.high;
  }
  return quotient;
}

}  // namespace kq::engine::detail
