#include <bit>
#include <cmath>

#include "kq/engine/numbers.hpp"
#include "wide_integer.hpp"

namespace kq::engine {
namespace {

constexpr std::uint64_t seven_places = 10000000;  // 10^7
constexpr std::uint64_t half_unit = seven_places / 2;

// round(fraction * 10^7), a tie going to the even result, worked out on the
// exact binary value of fraction (0 <= fraction < 1).
std::uint64_t round_to_seven_places(double fraction) {
  if (fraction < 1e-9) return 0;  // far below half of 10^-7
  // fraction = mantissa / 2^shift for a normal double, 53 <= shift <= 82 here.
  const auto bits = std::bit_cast<std::uint64_t>(fraction);
  const int biased_exponent = static_cast<int>(bits >> 52);
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const auto shift = static_cast<unsigned>(1075 - biased_exponent);
  const detail::Uint128 scaled = detail::multiply(mantissa, seven_places);
  return detail::shift_right_round_even(scaled, shift).low;
}

}  // namespace

std::optional<std::int32_t> whole_part(double x) {
  const double y = x - 0.5;
  if (!std::isfinite(y)) return std::nullopt;
  // Rounding ties to even is symmetric about zero, so work on the magnitude.
  const double magnitude = std::fabs(y);
  if (magnitude >= 4294967296.0) return std::nullopt;  // far outside int32 either way

  const double whole = std::trunc(magnitude);
  const double fraction = magnitude - whole;  // exact
  const auto whole_units = static_cast<std::int64_t>(whole);

  // y to seven places is whole + sevenths / 10^7 (sevenths may reach 10^7);
  // that rounded to an integer, ties to the even one.
  const std::uint64_t sevenths = round_to_seven_places(fraction);
  std::int64_t rounded = whole_units;
  if (sevenths > half_unit || (sevenths == half_unit && whole_units % 2 != 0)) ++rounded;
  if (std::signbit(y)) rounded = -rounded;

  if (rounded < INT32_MIN || rounded > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

}  // namespace kq::engine
