#include "kq/settings/values.hpp"

#include <charconv>
#include <clocale>
#include <limits>
#include <cmath>
#include <string>

#include "kq/engine/exact_decimal.hpp"

namespace kq::settings {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A number of the form [sign] digits [separator digits] [exponent], as its
// digits and power of ten; anything else (words like "inf", "nan", hex) is
// no number.
struct PlainNumber {
  bool valid = false;
  bool negative = false;
  std::string digits;
  std::int64_t exponent = 0;
};

PlainNumber plain_number(std::string_view text, std::string_view locale_separator) {
  PlainNumber number;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    number.negative = text[i] == '-';
    ++i;
  }
  std::size_t digits = 0;
  while (i < text.size() && is_digit(text[i])) {
    number.digits += text[i++];
    ++digits;
  }
  const auto separator_at = [&](std::size_t at) -> std::size_t {
    if (at < text.size() && text[at] == '.') return 1;
    if (!locale_separator.empty() && text.substr(at, locale_separator.size()) == locale_separator)
      return locale_separator.size();
    return 0;
  };
  if (const std::size_t width = separator_at(i); width > 0) {
    i += width;
    while (i < text.size() && is_digit(text[i])) {
      number.digits += text[i++];
      --number.exponent;
      ++digits;
    }
  }
  if (digits == 0) return {};
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      negative = text[i] == '-';
      ++i;
    }
    std::size_t exponent_digits = 0;
    std::int64_t exponent = 0;
    while (i < text.size() && is_digit(text[i])) {
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');  // far beyond any float
      ++i;
      ++exponent_digits;
    }
    if (exponent_digits == 0) return {};
    number.exponent += negative ? -exponent : exponent;
  }
  if (i != text.size()) return {};
  number.valid = true;
  return number;
}

}  // namespace

float to_single(std::string_view text, float fallback) {
  const std::lconv* conventions = std::localeconv();
  const char* separator = conventions != nullptr ? conventions->decimal_point : nullptr;
  return to_single(text, fallback, separator != nullptr ? separator : ".");
}

float to_single(std::string_view text, float fallback, std::string_view locale_separator) {
  const PlainNumber number = plain_number(trimmed(text), locale_separator);
  if (!number.valid) return fallback;
  const float magnitude = engine::decimal_to_float(number.digits, false, number.exponent);
  // Beyond the float range either way is out of range, as for std::from_chars.
  const bool all_zero = number.digits.find_first_not_of('0') == std::string::npos;
  if (!std::isfinite(magnitude) || (magnitude == 0 && !all_zero)) return fallback;
  return number.negative ? -magnitude : magnitude;
}

std::int16_t to_option(std::string_view text, std::int16_t fallback) {
  const std::lconv* conventions = std::localeconv();
  const char* separator = conventions != nullptr ? conventions->decimal_point : nullptr;
  return to_option(text, fallback, separator != nullptr ? separator : ".");
}

std::int16_t to_option(std::string_view text, std::int16_t fallback, std::string_view locale_separator) {
  // Any number form that names a whole number ("1.0", "1E0", "+1") is that
  // number: a hand edit or another tool may well write "0.0" for off.
  const PlainNumber number = plain_number(trimmed(text), locale_separator);
  if (!number.valid) return fallback;
  const double magnitude = engine::decimal_to_double(number.digits, false, number.exponent);
  if (!std::isfinite(magnitude)) return fallback;
  const double value = number.negative ? -magnitude : magnitude;
  if (value != std::trunc(value) || value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max())
    return fallback;
  return static_cast<std::int16_t>(value);
}

std::string single_text(float value) {
  if (value == 0) return "0";  // no "-0"
  if (std::isinf(value)) return std::signbit(value) ? "-inf" : "inf";
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  return engine::fixed_text(value);
}

std::string option_text(std::int16_t value) { return std::to_string(value); }

}  // namespace kq::settings
