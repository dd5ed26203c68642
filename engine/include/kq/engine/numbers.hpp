#pragma once
// The number/text rules of the worksheet. "." is the only decimal separator,
// whatever the process locale.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kq::engine {

// Leading number of the text, 0 when there is none; never fails.
double lenient_read(std::string_view text);

// The whole text (blanks around it aside) as one number, or nullopt.
std::optional<double> strict_read(std::string_view text);

// 15 significant digits, shortest form; value must be finite.
std::string real_text(double value);

// The same text, written into a caller's buffer (no allocation); the view
// points into the buffer.
using RealTextBuffer = std::array<char, 48>;
std::string_view real_text(double value, RealTextBuffer& buffer);

std::string integer_text(std::int64_t value);
std::string integer_text(std::uint64_t value);
inline std::string integer_text(std::int32_t value) { return integer_text(static_cast<std::int64_t>(value)); }
inline std::string integer_text(std::uint32_t value) { return integer_text(static_cast<std::uint64_t>(value)); }

// Whole part as the cascade takes it: x - 0.5 rounded to 7 decimals, then to
// an integer, ties to even both times. nullopt when not finite or outside int32.
std::optional<std::int32_t> whole_part(double x);

}  // namespace kq::engine
