#include "kq/settings/values.hpp"

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <system_error>

namespace kq::settings {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Rewrites the number into the plain form from_chars takes: no leading "+",
// "." as the separator. Anything but [sign] digits [sep digits] [exponent]
// gives an empty result, so words like "inf", "nan" or hex never pass.
std::string plain_number(std::string_view text, std::string_view locale_separator) {
  std::string out;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') out += '-';
    ++i;
  }
  std::size_t digits = 0;
  while (i < text.size() && is_digit(text[i])) {
    out += text[i++];
    ++digits;
  }
  const auto separator_at = [&](std::size_t at) -> std::size_t {
    if (at < text.size() && text[at] == '.') return 1;
    if (!locale_separator.empty() && text.substr(at, locale_separator.size()) == locale_separator)
      return locale_separator.size();
    return 0;
  };
  if (const std::size_t width = separator_at(i); width > 0) {
    out += '.';
    i += width;
    while (i < text.size() && is_digit(text[i])) {
      out += text[i++];
      ++digits;
    }
  }
  if (digits == 0) return {};
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    out += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      if (text[i] == '-') out += '-';
      ++i;
    }
    std::size_t exponent_digits = 0;
    while (i < text.size() && is_digit(text[i])) {
      out += text[i++];
      ++exponent_digits;
    }
    if (exponent_digits == 0) return {};
  }
  if (i != text.size()) return {};
  return out;
}

}  // namespace

float to_single(std::string_view text, float fallback) {
  const std::lconv* conventions = std::localeconv();
  const char* separator = conventions != nullptr ? conventions->decimal_point : nullptr;
  return to_single(text, fallback, separator != nullptr ? separator : ".");
}

float to_single(std::string_view text, float fallback, std::string_view locale_separator) {
  const std::string plain = plain_number(trimmed(text), locale_separator);
  if (plain.empty()) return fallback;
  float value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc{} || end != plain.data() + plain.size() || !std::isfinite(value)) return fallback;
  return value;
}

std::int16_t to_option(std::string_view text, std::int16_t fallback) {
  const std::lconv* conventions = std::localeconv();
  const char* separator = conventions != nullptr ? conventions->decimal_point : nullptr;
  return to_option(text, fallback, separator != nullptr ? separator : ".");
}

std::int16_t to_option(std::string_view text, std::int16_t fallback, std::string_view locale_separator) {
  // Any number form that names a whole number ("1.0", "1E0", "+1") is that
  // number: a hand edit or another tool may well write "0.0" for off.
  const std::string plain = plain_number(trimmed(text), locale_separator);
  if (plain.empty()) return fallback;
  double value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc{} || end != plain.data() + plain.size() || !std::isfinite(value)) return fallback;
  if (value != std::trunc(value) || value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max())
    return fallback;
  return static_cast<std::int16_t>(value);
}

std::string single_text(float value) {
  if (value == 0) return "0";  // no "-0"
  // Fixed notation never takes more than 39 integer digits or about 50
  // fraction digits for a float.
  char buffer[128];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (error != std::errc{}) return "0";
  return std::string(buffer, end);
}

std::string option_text(std::int16_t value) { return std::to_string(value); }

}  // namespace kq::settings
