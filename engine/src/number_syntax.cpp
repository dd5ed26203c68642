#include "number_syntax.hpp"

#include <array>
#include <charconv>
#include <limits>

namespace kq::engine::detail {
namespace {

constexpr int max_exact_digits = 19;  // a uint64 holds any 19 decimal digits
constexpr std::int64_t exponent_cap = 100000;  // far beyond any double, far from overflow

// Powers of ten that a double holds exactly.
constexpr std::array<double, 23> exact_powers{
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

NumberScan scan_number(std::string_view text, std::size_t pos) {
  NumberScan scan;
  scan.end = pos;
  std::size_t i = pos;
  const std::size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    scan.negative = text[i] == '-';
    ++i;
  }
  scan.unsigned_begin = i;

  bool seen_point = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c == '.' && !seen_point) {
      seen_point = true;
      continue;
    }
    if (!is_digit(c)) break;
    scan.has_digits = true;
    if (c == '0' && scan.significand == 0) {
      if (seen_point) --scan.exponent10;  // a leading zero only moves the point
      continue;
    }
    if (scan.significant_digits < max_exact_digits) {
      scan.significand = scan.significand * 10 + static_cast<unsigned>(c - '0');
      if (seen_point) --scan.exponent10;
    } else if (!seen_point) {
      ++scan.exponent10;  // a dropped digit before the point still counts
    }
    ++scan.significant_digits;
  }
  if (!scan.has_digits) return scan;

  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    bool exponent_negative = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) {
      exponent_negative = text[j] == '-';
      ++j;
    }
    if (j < n && is_digit(text[j])) {
      std::int64_t exponent = 0;
      for (; j < n && is_digit(text[j]); ++j) {
        if (exponent < exponent_cap) exponent = exponent * 10 + (text[j] - '0');
      }
      scan.exponent10 += exponent_negative ? -exponent : exponent;
      i = j;
    }
  }
  scan.end = i;
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

  // from_chars rounds correctly whatever the length and never looks at the
  // locale; it reads the same form without the sign.
  double magnitude = 0.0;
  const char* first = text.data() + scan.unsigned_begin;
  const char* last = text.data() + scan.end;
  const auto [ptr, ec] = std::from_chars(first, last, magnitude, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // The leading digit stands at 10^(position); above 10^308 is beyond range.
    const std::int64_t position = scan.exponent10 + scan.significant_digits - 1;
    magnitude = position > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc{} || ptr != last) {
    magnitude = 0.0;  // cannot happen for a scanned number; stay defined anyway
  }
  return sign * magnitude;
}

}  // namespace kq::engine::detail
