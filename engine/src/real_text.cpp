#include <array>
#include <bit>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>

#include "kq/engine/exact_decimal.hpp"
#include "kq/engine/numbers.hpp"
#include "number_syntax.hpp"
#include "wide_integer.hpp"
#include "written_number.hpp"

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
  if (!(magnitude >= 1e-13 && magnitude < 1e15)) return false;  // normal numbers only
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased_exponent = static_cast<int>(bits >> 52);
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int q = biased_exponent - 1075;  // magnitude = mantissa * 2^q
  // 2^p <= magnitude < 2^(p+1); p * log10(2), floored, is the decimal
  // exponent or one below it (78913 / 2^18 is just under log10(2)).
  const int p = biased_exponent - 1023;
  int exponent = (p * 78913) >> 18;

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

// Any finite non-zero magnitude, by exact big-integer arithmetic.
Decimal decimal_general(double magnitude) {
  const FifteenDigits decimal = fifteen_digits(magnitude);
  return {decimal.digits, decimal.exponent};
}

constexpr std::array<char, 200> digit_pairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// n < 10^8, as exactly 8 digits with leading zeros. t starts as n / 10^6
// in 32.32 fixed point, a hair above the exact value (never below), so each
// multiplication by 100 brings the next pair of digits into the top half
// without a division. Exact for every such n: t exceeds n * 2^32 / 10^6 by
// less than n / 2^16 + 1 < 1527, each step multiplies that excess and the
// fraction alike by 100, and after k steps the fraction stays at least
// 100^k * 2^32 / 10^6 (> 100^k * 4294) below the next whole number, so the
// excess never carries into a digit pair.
void write_eight_digits(std::uint32_t n, char* out) {
  constexpr std::uint64_t scale = 281474977;  // ceil(2^48 / 10^6)
  std::uint64_t t = ((n * scale) >> 16) + 1;
  for (int pair = 0; pair < 4; ++pair) {
    std::memcpy(out + 2 * pair, &digit_pairs[2 * static_cast<std::size_t>(t >> 32)], 2);
    t = (t & 0xffffffffu) * 100;
  }
}

// value < 10^15, as exactly 15 digits with leading zeros.
void write_fifteen_digits(std::uint64_t value, char* out) {
  constexpr std::uint64_t ten_to_eight = 100000000;
  char high[8];
  write_eight_digits(static_cast<std::uint32_t>(value / ten_to_eight), high);
  std::memcpy(out, high + 1, 7);
  write_eight_digits(static_cast<std::uint32_t>(value % ten_to_eight), out + 7);
}

Decimal to_decimal(double magnitude) {
  Decimal decimal{0, 0};
  if (decimal_fast(magnitude, decimal)) return decimal;
  return decimal_general(magnitude);
}

// The text of a non-zero value whose 15-digit decimal is known. Digits are
// moved in fixed blocks of 16 (the buffer has room to spare) and the length
// then set, which is cheaper than copying them one by one.
std::string_view write_decimal(bool negative, const Decimal& decimal, RealTextBuffer& buffer) {
  static_assert(sizeof(RealTextBuffer) >= 1 + 2 + 3 + 2 * 16);
  char* out = buffer.data();
  if (negative) *out++ = '-';

  std::array<char, 32> digits{};  // 15 digits, then room for a 16-byte block
  write_fifteen_digits(decimal.digits, digits.data());
  int length = digits_kept;
  while (length > 1 && digits[static_cast<std::size_t>(length - 1)] == '0') --length;
  const char* first = digits.data();
  const int e = decimal.exponent;

  if (e >= 0 && e <= largest_plain_exponent) {
    // The trimmed zeros are still in the digits, so the whole part is the
    // first e + 1 of them in every case.
    const int whole_digits = e + 1;
    std::memcpy(out, first, 16);
    out += whole_digits;
    if (length > whole_digits) {
      *out++ = '.';
      std::memcpy(out, first + whole_digits, 16);
      out += length - whole_digits;
    }
  } else if (e < 0 && e >= smallest_plain_exponent) {
    std::memcpy(out, "0.000", 5);
    out += 2 + (-e - 1);
    std::memcpy(out, first, 16);
    out += length;
  } else {
    *out++ = first[0];
    if (length > 1) {
      *out++ = '.';
      std::memcpy(out, first + 1, 16);
      out += length - 1;
    }
    *out++ = 'E';
    *out++ = e < 0 ? '-' : '+';
    const int magnitude = e < 0 ? -e : e;
    if (magnitude < 10) *out++ = '0';
    out = std::to_chars(out, buffer.data() + buffer.size(), magnitude).ptr;
  }
  return {buffer.data(), static_cast<std::size_t>(out - buffer.data())};
}

}  // namespace

std::string_view real_text(double value, RealTextBuffer& buffer) {
  if (value == 0.0) {  // -0 too
    buffer[0] = '0';
    return {buffer.data(), 1};
  }
  return write_decimal(std::signbit(value), to_decimal(std::fabs(value)), buffer);
}

namespace detail {

std::string_view real_text_and_reading(double value, RealTextBuffer& buffer, double& reads_as) {
  if (value == 0.0) {
    reads_as = 0.0;
    buffer[0] = '0';
    return {buffer.data(), 1};
  }
  const bool negative = std::signbit(value);
  const Decimal decimal = to_decimal(std::fabs(value));
  const std::string_view text = write_decimal(negative, decimal, buffer);
  // digits < 10^15 < 2^53 and the power of ten are exact, so one operation
  // rounds once, exactly as reading the text does; elsewhere read the text.
  const int scale = decimal.exponent - (digits_kept - 1);
  if (scale >= -22 && scale <= 22) {
    const auto digits = static_cast<double>(decimal.digits);
    const double magnitude = scale >= 0 ? digits * exact_powers[static_cast<std::size_t>(scale)]
                                        : digits / exact_powers[static_cast<std::size_t>(-scale)];
    reads_as = negative ? -magnitude : magnitude;
  } else {
    reads_as = lenient_read(text);
  }
  return text;
}

}  // namespace detail

std::string real_text(double value) {
  RealTextBuffer buffer;
  return std::string(real_text(value, buffer));
}

}  // namespace kq::engine
