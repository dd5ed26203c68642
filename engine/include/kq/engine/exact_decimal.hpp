#pragma once
// Exact conversions between binary floating point and decimal digits by
// big-integer arithmetic: correctly rounded (ties to even) for every input,
// independent of the locale, and small, unlike the C++ library's tables. The
// fast paths of the readings and of real text cover the cascade's own
// numbers; these take the rest, and the settings' single-precision values.

#include <cstdint>
#include <string>
#include <string_view>

namespace kq::engine {

// The 15 significant digits of a finite magnitude > 0, rounded to nearest,
// ties to even: 10^14 <= digits < 10^15 and magnitude ~ digits * 10^(exponent - 14).
struct FifteenDigits {
  std::uint64_t digits;
  int exponent;
};
FifteenDigits fifteen_digits(double magnitude);

// The decimal digits ('0' to '9') times 10^exponent, rounded to the nearest
// double, ties to even; an infinity above the range, 0 below it. more_digits:
// the number went on with further digits, not all zero, that were dropped.
double decimal_to_double(std::string_view digits, bool more_digits, std::int64_t exponent);
float decimal_to_float(std::string_view digits, bool more_digits, std::int64_t exponent);

// A finite float in fixed notation, "." as the point, with the fewest
// significant digits that read back as the value (whole numbers with every
// digit of their exact value); "-" for a negative value, "0" for zero.
std::string fixed_text(float value);

}  // namespace kq::engine
