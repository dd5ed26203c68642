#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>

#include "kq/engine/numbers.hpp"
#include "wide_integer.hpp"

namespace kq::engine {
namespace {

constexpr int digits_kept = 15;
constexpr std::uint64_t smallest_15_digits = 100000000000000;   // 10^14
constexpr std::uint64_t beyond_15_digits = 1000000000000000;    // 10^15

// Values from 10^-4 up to below 10^15 are written plain; the rest with an
// exponent. Both readings take either form.
constexpr int smallest_plain_exponent = -4;
constexpr int largest_plain_exponent = 14;

struct Decimal {
  std::uint64_t digits;  // exactly 15 digits: 10^14 <= digits < 10^15
  int exponent;          // value = digits * 10^(exponent - 14)
};

constexpr std::array<std::uint64_t, 28> powers_of_five = [] {
  std::array<std::uint64_t, 28> powers{};
  std::uint64_t power = 1;
  for (auto& p : powers) {
    p = power;
    power *= 5;
  }
  return powers;
}();

// Exact: magnitude = m * 2^q, and digits = round(m * 5^k * 2^(q + k)) with
// k = 14 - exponent, worked out in 128 bits. Covers 1e-13 <= magnitude < 1e15,
// where the cascade's values live; nullopt elsewhere.
bool decimal_fast(double magnitude, Decimal& out) {
  if (!(magnitude >= 1e-13 && magnitude < 1e15)) return false;
  int binary_exponent = 0;
  const double fraction = std::frexp(magnitude, &binary_exponent);  // [0.5, 1)
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int q = binary_exponent - 53;
  // 2^(E-1) <= magnitude < 2^E, so this guess is right or one too small.
  int exponent = static_cast<int>(std::floor((binary_exponent - 1) * 0.30102999566398119521));

  for (int attempt = 0; attempt < 3; ++attempt) {
    const int k = largest_plain_exponent - exponent;
    if (k < 0 || k >= static_cast<int>(powers_of_five.size())) return false;
    const int shift = -(q + k);
    if (shift <= 0) {  // then digits >= 2^52 > 10^15: the guess was low
      ++exponent;
      continue;
    }
    const detail::Uint128 product =
        detail::multiply(mantissa, powers_of_five[static_cast<std::size_t>(k)]);
    const detail::Uint128 truncated = detail::shift_right(product, static_cast<unsigned>(shift));
    if (truncated.high != 0 || truncated.low >= beyond_15_digits) {
      ++exponent;
      continue;
    }
    if (truncated.low < smallest_15_digits) {
      --exponent;
      continue;
    }
    const detail::Uint128 rounded =
        detail::shift_right_round_even(product, static_cast<unsigned>(shift));
    out = {rounded.low, exponent};
    if (out.digits == beyond_15_digits) out = {smallest_15_digits, exponent + 1};  // 999..9.5
    return true;
  }
  return false;
}

// Any finite non-zero magnitude, by the library's exact conversion.
Decimal decimal_general(double magnitude) {
  std::array<char, 40> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                    std::chars_format::scientific, digits_kept - 1);
  assert(result.ec == std::errc{});
  // d.dddddddddddddde[+-]xx
  Decimal decimal{0, 0};
  const char* p = text.data();
  for (; *p != 'e'; ++p) {
    if (*p != '.') decimal.digits = decimal.digits * 10 + static_cast<unsigned>(*p - '0');
  }
  ++p;
  const bool negative = *p == '-';
  ++p;
  int exponent = 0;
  std::from_chars(p, result.ptr, exponent);
  decimal.exponent = negative ? -exponent : exponent;
  return decimal;
}

Decimal to_decimal(double magnitude) {
  Decimal decimal{0, 0};
  if (decimal_fast(magnitude, decimal)) return decimal;
  return decimal_general(magnitude);
}

}  // namespace

std::string_view real_text(double value, RealTextBuffer& buffer) {
  char* out = buffer.data();
  if (value == 0.0) {  // -0 too
    *out = '0';
    return {buffer.data(), 1};
  }
  if (std::signbit(value)) *out++ = '-';
  const Decimal decimal = to_decimal(std::fabs(value));

  std::array<char, digits_kept> digits{};
  std::uint64_t rest = decimal.digits;
  for (int i = digits_kept - 1; i >= 0; --i) {
    digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  }
  int length = digits_kept;
  while (length > 1 && digits[static_cast<std::size_t>(length - 1)] == '0') --length;
  const char* first = digits.data();
  const int e = decimal.exponent;

  if (e >= 0 && e <= largest_plain_exponent) {
    const int whole_digits = e + 1;
    for (int i = 0; i < whole_digits; ++i) *out++ = i < length ? first[i] : '0';
    if (length > whole_digits) {
      *out++ = '.';
      for (int i = whole_digits; i < length; ++i) *out++ = first[i];
    }
  } else if (e < 0 && e >= smallest_plain_exponent) {
    *out++ = '0';
    *out++ = '.';
    for (int i = 0; i < -e - 1; ++i) *out++ = '0';
    for (int i = 0; i < length; ++i) *out++ = first[i];
  } else {
    *out++ = first[0];
    if (length > 1) {
      *out++ = '.';
      for (int i = 1; i < length; ++i) *out++ = first[i];
    }
    *out++ = 'E';
    *out++ = e < 0 ? '-' : '+';
    const int magnitude = e < 0 ? -e : e;
    if (magnitude < 10) *out++ = '0';
    out = std::to_chars(out, buffer.data() + buffer.size(), magnitude).ptr;
  }
  return {buffer.data(), static_cast<std::size_t>(out - buffer.data())};
}

std::string real_text(double value) {
  RealTextBuffer buffer;
  return std::string(real_text(value, buffer));
}

}  // namespace kq::engine
