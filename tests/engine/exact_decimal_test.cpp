// The engine's own exact conversions against the C++ library's, which are
// correctly rounded too: 15 significant digits of any double, and any decimal
// text to the nearest double, including halfway points, texts far longer
// than any double needs and exponents beyond the range.

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "kq/engine/exact_decimal.hpp"
#include "kq/engine/numbers.hpp"

namespace kq::engine {
namespace {

// The library's 15 digits: d.dddddddddddddde±x.
FifteenDigits library_fifteen_digits(double magnitude) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 14).ptr;
  FifteenDigits decimal{0, 0};
  const char* p = text;
  for (; *p != 'e'; ++p) {
    if (*p != '.') decimal.digits = decimal.digits * 10 + static_cast<unsigned>(*p - '0');
  }
  std::from_chars(p + (p[1] == '+' ? 2 : 1), end, decimal.exponent);
  return decimal;
}

double library_read(const std::string& text) {
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // libstdc++ leaves the value alone; the engine's readings give inf or 0
    return text.find("e-") != std::string::npos ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return value;
}

// The text split the way the engine hands it over: digits and exponent.
struct SplitDecimal {
  std::string digits;
  std::int64_t exponent = 0;
};

SplitDecimal split(const std::string& text) {
  SplitDecimal split;
  std::size_t i = 0;
  bool after_point = false;
  for (; i < text.size() && text[i] != 'e'; ++i) {
    if (text[i] == '.') {
      after_point = true;
      continue;
    }
    split.digits += text[i];
    if (after_point) --split.exponent;
  }
  if (i < text.size()) split.exponent += std::stoll(text.substr(i + 1));
  return split;
}

double engine_read(const std::string& text) {
  const SplitDecimal number = split(text);
  return decimal_to_double(number.digits, false, number.exponent);
}

float float_read(const std::string& text) {
  const SplitDecimal number = split(text);
  return decimal_to_float(number.digits, false, number.exponent);
}

std::vector<double> awkward_doubles() {
  constexpr double max = std::numeric_limits<double>::max();
  constexpr double min_normal = std::numeric_limits<double>::min();
  constexpr double min_subnormal = std::numeric_limits<double>::denorm_min();
  return {min_subnormal, 2 * min_subnormal, 3 * min_subnormal, min_normal - min_subnormal, min_normal,
          std::nextafter(min_normal, 1.0), max, std::nextafter(max, 0.0), 1e-13, std::nextafter(1e-13, 0.0),
          1e15, std::nextafter(1e15, 0.0), 1000000000000005.0, 1000000000000015.0, 9999999999999995.0,
          1e22, 1e23, 5e-324, 2.2250738585072011e-308, 1.7976931348623157e308, 123456789012345678.0,
          9.5e-300, 0.1, 1.0 / 3.0};
}

TEST(ExactDecimal, FifteenDigitsAgreeWithTheLibrary) {
  std::vector<double> values = awkward_doubles();
  std::mt19937_64 random(20240611);
  for (int i = 0; i < 10000; ++i) {
    const double value = std::bit_cast<double>(random() & ~(std::uint64_t{1} << 63));
    if (std::isfinite(value) && value != 0) values.push_back(value);
  }
  for (double value : values) {
    const FifteenDigits ours = fifteen_digits(value);
    const FifteenDigits theirs = library_fifteen_digits(value);
    ASSERT_EQ(ours.digits, theirs.digits) << std::hexfloat << value;
    ASSERT_EQ(ours.exponent, theirs.exponent) << std::hexfloat << value;
  }
}

// Decimal texts of doubles at several lengths, and of the exact points
// halfway between neighbours (long double holds them exactly), a hair below
// and above them, as the far longer texts that decide such cases.
TEST(ExactDecimal, ReadingAgreesWithTheLibrary) {
  std::vector<std::string> texts = {"1", "0.5", "9007199254740993", "9007199254740992.5",
                                    "2.4703282292062327e-324", "2.4703282292062328e-324",
                                    "1.7976931348623158e308", "1.7976931348623159e308", "1e-400", "1e400",
                                    "179769313486231580793728971405301e276", "0.000000000000000000000000001"};
  std::vector<double> values = awkward_doubles();
  std::mt19937_64 random(7);
  for (int i = 0; i < 2000; ++i) {
    const double value = std::bit_cast<double>(random() & ~(std::uint64_t{1} << 63));
    if (std::isfinite(value) && value != 0) values.push_back(value);
  }
  char buffer[1300];
  for (double value : values) {
    for (int precision : {5, 16, 17, 25}) {
      texts.emplace_back(buffer, std::to_chars(buffer, buffer + sizeof buffer, value,
                                               std::chars_format::scientific, precision).ptr);
    }
    const double next = std::nextafter(value, HUGE_VAL);
    if (std::isinf(next)) continue;
    const long double halfway = (static_cast<long double>(value) + next) / 2;
    std::string exact(buffer, std::to_chars(buffer, buffer + sizeof buffer, halfway,
                                            std::chars_format::scientific, 1100).ptr);
    const std::size_t e = exact.find('e');
    std::string mantissa = exact.substr(0, e);
    while (mantissa.back() == '0') mantissa.pop_back();
    const std::string exponent = exact.substr(e);
    texts.push_back(mantissa + exponent);
    texts.push_back(mantissa + "0000000000000000000000000000001" + exponent);  // a hair above
    std::string below = mantissa;
    for (std::size_t i = below.size() - 1;; --i) {  // a hair below: the last digit one less
      if (below[i] == '.') continue;
      if (below[i] != '0') {
        --below[i];
        break;
      }
      below[i] = '9';
    }
    texts.push_back(below + "999999999999999999999" + exponent);
  }
  for (const std::string& text : texts) {
    ASSERT_EQ(std::bit_cast<std::uint64_t>(engine_read(text)), std::bit_cast<std::uint64_t>(library_read(text)))
        << text;
  }
}

// Single precision: reading back the library's own texts of floats and of
// the points halfway between neighbours (exact as doubles), and the fixed
// text, shortest digits that read back, whole numbers exactly.
TEST(ExactDecimal, SinglePrecisionAgreesWithTheLibrary) {
  std::vector<float> values = {std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min(),
                               std::numeric_limits<float>::max(), 1.0f, 0.1f, 16777216.0f, 16777218.0f,
                               1e10f, 3e38f, 8388607.5f, 1234.5f, 1e-10f, 1000.0f, 12345678.0f};
  std::mt19937 random(11);
  for (int i = 0; i < 3000; ++i) {
    const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()) & 0x7fffffffu);
    if (std::isfinite(value) && value != 0) values.push_back(value);
  }
  char buffer[1300];
  for (float value : values) {
    const std::string theirs(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr);
    ASSERT_EQ(fixed_text(value), theirs);
    ASSERT_EQ(fixed_text(-value), "-" + theirs);

    const float next = std::nextafter(value, HUGE_VALF);
    std::vector<std::string> texts{theirs};
    if (std::isfinite(next)) {
      const double halfway = (static_cast<double>(value) + next) / 2;
      texts.emplace_back(buffer, std::to_chars(buffer, buffer + sizeof buffer, halfway,
                                               std::chars_format::scientific, 200).ptr);
    }
    for (const std::string& text : texts) {
      float expected = 0;
      const auto result = std::from_chars(text.data(), text.data() + text.size(), expected);
      ASSERT_EQ(result.ec, std::errc{}) << text;
      ASSERT_EQ(std::bit_cast<std::uint32_t>(float_read(text)), std::bit_cast<std::uint32_t>(expected)) << text;
    }
  }
}

TEST(ExactDecimal, ThePublicReadingsTakeLongTexts) {
  // 1 followed by 900 digits: the tail beyond 800 digits decides the rounding.
  const std::string halfway = "9007199254740993" + std::string(900, '0');
  const std::string above = halfway + "1";
  EXPECT_EQ(lenient_read(halfway + "e-900"), 9007199254740992.0);  // tie: to even
  EXPECT_EQ(lenient_read(above + "e-901"), 9007199254740994.0);
  EXPECT_EQ(lenient_read("-" + above + "e-901"), -9007199254740994.0);
  EXPECT_EQ(strict_read("0.000" + std::string(400, '0') + "1e410"), 1e6);
  EXPECT_EQ(lenient_read("1e99999999999999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(lenient_read("-1e-99999999999999"), 0.0);
  EXPECT_TRUE(std::signbit(lenient_read("-1e-99999999999999")));
}

}  // namespace
}  // namespace kq::engine
