#include "number_syntax.hpp"

#include <array>
#include <limits>
#include <string>

#include "kq/engine/exact_decimal.hpp"

namespace kq::engine::detail {
namespace {

constexpr int max_exact_digits = 19;  // a uint64 holds any 19 decimal digits
constexpr std::int64_t exponent_cap = 100000;  // far beyond any double, far from overflow

}  // namespace

NumberScan scan_number(std::string_view text, std::size_t pos) {
  NumberScan scan;
  scan.end = pos;
  const char* p = text.data() + pos;
  const char* const last = text.data() + text.size();
  if (p < last && (*p == '+' || *p == '-')) {
    scan.negative = *p == '-';
    ++p;
  }
  scan.unsigned_begin = static_cast<std::size_t>(p - text.data());
  const char* const digits_begin = p;

  // Keeps up to 19 significant digits; a dropped digit before the point
  // still moves the point.
  std::uint64_t significand = 0;
  int significant = 0;
  std::int64_t exponent10 = 0;
  const auto take = [&](unsigned digit, bool after_point) {
    if (significant < max_exact_digits) {
      significand = significand * 10 + digit;
      exponent10 -= after_point ? 1 : 0;
    } else {
      exponent10 += after_point ? 0 : 1;
    }
    ++significant;
  };

  while (p < last && *p == '0') ++p;  // leading zeros only pad
  for (; p < last; ++p) {
    const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (digit > 9) break;
    take(digit, false);
  }
  const char* point = nullptr;
  if (p < last && *p == '.') {
    point = p++;
    if (significant == 0) {
      for (; p < last && *p == '0'; ++p) --exponent10;
    }
    for (; p < last; ++p) {
      const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
      if (digit > 9) break;
      take(digit, true);
    }
  }
  // A lone point is no digit.
  scan.has_digits = (p - digits_begin) > (point != nullptr ? 1 : 0);
  if (!scan.has_digits) return scan;
  scan.significand = significand;
  scan.significant_digits = significant;

  if (p < last && (*p == 'E' || *p == 'e')) {
    const char* q = p + 1;
    bool exponent_negative = false;
    if (q < last && (*q == '+' || *q == '-')) {
      exponent_negative = *q == '-';
      ++q;
    }
    if (q < last && is_digit(*q)) {
      std::int64_t exponent = 0;
      for (; q < last && is_digit(*q); ++q) {
        if (exponent < exponent_cap) exponent = exponent * 10 + (*q - '0');
      }
      exponent10 += exponent_negative ? -exponent : exponent;
      p = q;
    }
  }
  scan.exponent10 = exponent10;
  scan.end = static_cast<std::size_t>(p - text.data());
  return scan;
}

double number_value(std::string_view text, const NumberScan& scan) {
  const double sign = scan.negative ? -1.0 : 1.0;
  if (scan.significand == 0) return sign * 0.0;

  // Both factors are exact doubles, so one IEEE operation rounds the exact
  // value once, to nearest. This covers every text the cascade writes.
  if (scan.significant_digits <= 15 && scan.exponent10 >= -22 && scan.exponent10 <= 22) {
    const double digits = static_cast<double>(scan.significand);
    const double magnitude =
        scan.exponent10 >= 0 ? digits * exact_powers[static_cast<std::size_t>(scan.exponent10)]
                             : digits / exact_powers[static_cast<std::size_t>(-scan.exponent10)];
    return sign * magnitude;
  }

  // Otherwise every significant digit, rounded exactly. The scan kept the
  // first 19 of them; value = all digits * 10^(exponent10 - the digits it dropped).
  std::string digits;
  for (std::size_t i = scan.unsigned_begin; i < scan.end; ++i) {
    const char c = text[i];
    if (c == 'E' || c == 'e') break;
    if (is_digit(c) && (c != '0' || !digits.empty())) digits += c;
  }
  const std::int64_t dropped = scan.significant_digits > max_exact_digits ? scan.significant_digits - max_exact_digits : 0;
  return sign * engine::decimal_to_double(digits, false, scan.exponent10 - dropped);
}

}  // namespace kq::engine::detail
