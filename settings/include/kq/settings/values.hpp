#pragma once
// Conversions between stored text and the numbers the windows keep. A text
// that does not convert reads as the key's default.

#include <cstdint>
#include <string>
#include <string_view>

namespace kq::settings {

// Placement (twips, single precision). Accepts "." and the locale's separator.
float to_placement(std::string_view text, float fallback);
// The same with the locale's decimal separator given ("," or "." or longer).
float to_placement(std::string_view text, float fallback, std::string_view locale_separator);
// Option (tick-box value, 16-bit integer): any number form of a whole number
// in range; a fraction reads as the default.
std::int16_t to_option(std::string_view text, std::int16_t fallback);
std::int16_t to_option(std::string_view text, std::int16_t fallback, std::string_view locale_separator);

// Shortest plain decimal form with ".": 1000 -> "1000", 1234.5 -> "1234.5".
std::string placement_text(float value);
std::string option_text(std::int16_t value);

}  // namespace kq::settings
