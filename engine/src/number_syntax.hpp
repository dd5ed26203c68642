#pragma once
// The one number form both readings accept: an optional sign, digits with at
// most one "." among them, and an optional exponent ("E" or "e", an optional
// sign, at least one digit). Nothing here looks at the process locale.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kq::engine::detail {

inline bool is_blank(char c) { return c == ' ' || c == '\t'; }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Powers of ten that a double holds exactly: digits below 2^53 times or over
// one of them round once, as reading their text does.
inline constexpr std::array<double, 23> exact_powers{
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

struct NumberScan {
  std::size_t end = 0;  // one past the number's last character
  bool has_digits = false;
  bool negative = false;
  std::size_t unsigned_begin = 0;  // first character after the sign
  // value = significand * 10^exponent10, exact while significant_digits <= 19
  std::uint64_t significand = 0;
  int significant_digits = 0;
  std::int64_t exponent10 = 0;
};

// The longest number form starting at pos. When no digit follows the sign,
// has_digits is false and end is pos.
NumberScan scan_number(std::string_view text, std::size_t pos);

// The scanned number rounded to the nearest double; beyond the range of a
// double it is an infinity, below it a zero, each with the number's sign.
double number_value(std::string_view text, const NumberScan& scan);

}  // namespace kq::engine::detail
