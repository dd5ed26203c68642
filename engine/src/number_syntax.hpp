#pragma once
// The one number form both readings accept: an optional sign, digits with at
// most one "." among them, and an optional exponent ("E" or "e", an optional
// sign, at least one digit). Nothing here looks at the process locale.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kq::engine::detail {

inline bool is_blank(char c) { return c == ' ' || c == '\t'; }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

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
