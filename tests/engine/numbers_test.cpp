// The number/text rules: both readings, real text, integer text and the
// whole-part step, each against the forms the cascade writes and the odd
// texts a driver may leave in a cell.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <limits>
#include <random>

#include "kq/engine/numbers.hpp"
#include "written_number.hpp"

namespace kq::engine {
namespace {

struct ReadCase {
  const char* text;
  double value;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }


class LenientReading : public testing::TestWithParam<ReadCase> {};

TEST_P(LenientReading, TakesTheLeadingNumber) {
  EXPECT_EQ(lenient_read(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LenientReading,
    testing::Values(ReadCase{"86400000", 86400000.0},
                    ReadCase{"9.51293759512938E-08", 9.51293759512938e-8},
                    ReadCase{"-2.5", -2.5}, ReadCase{"+7", 7.0},
                    ReadCase{"12abc", 12.0},
                    ReadCase{"1,5", 1.0},  // a comma ends the number in every locale
                    ReadCase{"", 0.0}, ReadCase{"START_TB", 0.0},
                    ReadCase{"  60", 60.0}, ReadCase{"\t60", 60.0},
                    ReadCase{"60 minutes", 60.0}, ReadCase{"-", 0.0}, ReadCase{"+", 0.0},
                    ReadCase{".5", 0.5}, ReadCase{"5.", 5.0}, ReadCase{".", 0.0},
                    ReadCase{"1.5E3", 1500.0}, ReadCase{"1.5e3", 1500.0},
                    ReadCase{"1.5e+3", 1500.0}, ReadCase{"15e-1", 1.5},
                    ReadCase{"2E", 2.0},    // no exponent digit: the "E" ends it
                    ReadCase{"2E+", 2.0}, ReadCase{"2e-x", 2.0},
                    ReadCase{"1.2.3", 1.2},  // a second point ends it
                    ReadCase{"0x10", 0.0},   // no radix prefixes
                    ReadCase{"1 000", 1.0},  // nor blanks inside a number
                    ReadCase{"inf", 0.0}, ReadCase{"nan", 0.0},
                    ReadCase{"4294967295", 4294967295.0},
                    ReadCase{"000123.4500", 123.45},
                    ReadCase{"0.000000000000000000000000001", 1e-27},
                    ReadCase{"12345678901234567890123", 12345678901234567890123.0},
                    ReadCase{"1.7976931348623157e308", std::numeric_limits<double>::max()},
                    ReadCase{"1e400", std::numeric_limits<double>::infinity()},
                    ReadCase{"-1e400", -std::numeric_limits<double>::infinity()},
                    ReadCase{"1e-400", 0.0},
                    ReadCase{"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()}));

class StrictReading : public testing::TestWithParam<ReadCase> {};

TEST_P(StrictReading, TakesOneWholeNumber) {
  const std::optional<double> value = strict_read(GetParam().text);
  ASSERT_TRUE(value.has_value()) << '"' << GetParam().text << '"';
  EXPECT_EQ(*value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, StrictReading,
    testing::Values(ReadCase{"1.5E3", 1500.0}, ReadCase{"93784000", 93784000.0},
                    ReadCase{"3.99999999995899", 3.99999999995899},
                    ReadCase{"-0.25", -0.25}, ReadCase{"+4", 4.0},
                    ReadCase{"  4 ", 4.0}, ReadCase{"\t4\t", 4.0},
                    ReadCase{".5", 0.5}, ReadCase{"5.", 5.0},
                    ReadCase{"1E+15", 1e15}, ReadCase{"9.51293759512938E-08", 9.51293759512938e-8},
                    ReadCase{"1e-400", 0.0}));

class StrictReadingFailure : public testing::TestWithParam<const char*> {};

TEST_P(StrictReadingFailure, IsAConversionFailure) {
  EXPECT_FALSE(strict_read(GetParam()).has_value()) << '"' << GetParam() << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, StrictReadingFailure,
                         testing::Values("", " ", "\t", "12abc", "START_TB", "-", ".", "1,5",
                                         "1 5", "1E", "1E+", "1.2.3", "inf", "nan", "0x10",
                                         "1e400", "1.79769313486232E+308", "- 1", "1\n"));

struct TextCase {
  double value;
  const char* text;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.text; }


class RealText : public testing::TestWithParam<TextCase> {};

TEST_P(RealText, FifteenSignificantDigitsShortestForm) {
  EXPECT_EQ(real_text(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RealText,
    testing::Values(
        TextCase{1.0 / 3.0, "0.333333333333333"}, TextCase{2.0 / 3.0, "0.666666666666667"},
        TextCase{1440.0, "1440"}, TextCase{-0.25, "-0.25"}, TextCase{1e15, "1E+15"},
        TextCase{0.0, "0"}, TextCase{-0.0, "0"}, TextCase{24.0, "24"},
        TextCase{93784.0, "93784"}, TextCase{0.5, "0.5"}, TextCase{0.05, "0.05"},
        TextCase{4294967.295, "4294967.295"}, TextCase{93784000.0 / 86400000.0, "1.08546296296296"},
        TextCase{93784000.0 / 3600000.0, "26.0511111111111"},
        TextCase{3000.0 / 31536000000.0, "9.51293759512938E-08"},
        TextCase{999999999999999.0, "999999999999999"},
        TextCase{999999999999999.9, "1E+15"},  // rounds up into the exponent form
        TextCase{1234567890123456.0, "1.23456789012346E+15"},
        TextCase{1e100, "1E+100"}, TextCase{-1.5e-300, "-1.5E-300"},
        TextCase{0.0001, "0.0001"}, TextCase{0.000123456789012345678, "0.000123456789012346"},
        TextCase{0.00001, "1E-05"}, TextCase{0.00009999999999999999, "0.0001"},
        TextCase{1.0, "1"}, TextCase{10.0, "10"}, TextCase{-1e14, "-100000000000000"},
        TextCase{std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        TextCase{std::numeric_limits<double>::min(), "2.2250738585072E-308"},
        TextCase{std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        // exact ties at the 16th digit go to the even 15th digit
        TextCase{1234567890123445.0, "1.23456789012344E+15"},
        TextCase{1234567890123455.0, "1.23456789012346E+15"},
        TextCase{0.30000000000000004, "0.3"}));

TEST(RealText, ReadsBackWithBothReadingsToTheFifteenDigitValue) {
  // Against the C library's own 15-digit rounding in the "C" locale.
  std::mt19937_64 random(20240601);
  std::uniform_int_distribution<std::uint64_t> bits;
  int checked = 0;
  while (checked < 20000) {
    const std::uint64_t pattern = bits(random);
    double value = 0;
    static_assert(sizeof value == sizeof pattern);
    std::memcpy(&value, &pattern, sizeof value);
    if (checked % 2 == 0) value = std::ldexp(std::fmod(std::fabs(value), 1.0) + 1.0,
                                             static_cast<int>(pattern % 120) - 60);
    if (!std::isfinite(value)) continue;
    char expected_text[40];
    std::snprintf(expected_text, sizeof expected_text, "%.14e", value);
    const double fifteen_digits = std::strtod(expected_text, nullptr);
    const std::string text = real_text(value);
    ASSERT_EQ(lenient_read(text), fifteen_digits) << text;
    // what the stages remember instead of reading their own text again
    RealTextBuffer buffer;
    double reads_as = 0;
    ASSERT_EQ(detail::real_text_and_reading(value, buffer, reads_as), text);
    ASSERT_EQ(reads_as, fifteen_digits) << text;
    if (std::isfinite(fifteen_digits)) {
      ASSERT_EQ(strict_read(text), fifteen_digits) << text;
    } else {
      ASSERT_FALSE(strict_read(text).has_value()) << text;
    }
    ++checked;
  }
}

TEST(IntegerText, DecimalDigitsWithMinusSign) {
  EXPECT_EQ(integer_text(std::uint32_t{4294967295u}), "4294967295");
  EXPECT_EQ(integer_text(std::int32_t{-1}), "-1");
  EXPECT_EQ(integer_text(std::int32_t{0}), "0");
  EXPECT_EQ(integer_text(std::int32_t{49}), "49");
  EXPECT_EQ(integer_text(std::int32_t{-2147483647 - 1}), "-2147483648");
  EXPECT_EQ(integer_text(std::uint64_t{18446744073709551615u}), "18446744073709551615");
}

struct WholeCase {
  double x;
  std::optional<std::int32_t> whole;
};
void PrintTo(const WholeCase& c, std::ostream* os) {
  *os << std::setprecision(17) << c.x;
}


class WholePart : public testing::TestWithParam<WholeCase> {};

TEST_P(WholePart, RoundsToSevenPlacesFirst) {
  EXPECT_EQ(whole_part(GetParam().x), GetParam().whole) << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(
    Values, WholePart,
    testing::Values(
        WholeCase{4.0, 4}, WholeCase{3.0, 2}, WholeCase{3.99999998, 4}, WholeCase{2.99999998, 2},
        WholeCase{3.00000004, 2}, WholeCase{3.00000006, 3}, WholeCase{0.0, 0}, WholeCase{1.0, 0},
        WholeCase{2.0, 2}, WholeCase{3.99999999995899, 4}, WholeCase{2.0511111111111, 2},
        WholeCase{3.06666666666599, 3}, WholeCase{1.08546296296296, 1}, WholeCase{0.999, 0},
        WholeCase{59.999, 59}, WholeCase{3.5, 3}, WholeCase{-0.25, -1}, WholeCase{-1.0, -2},
        WholeCase{-2.0, -2}, WholeCase{-3.0, -4},
        // 3.00390625 - 0.5 is a binary number exactly half way between two
        // 7-place values; it must round without drifting
        WholeCase{3.00390625, 3}, WholeCase{2.49609375, 2},
        WholeCase{2147483647.0, 2147483646}, WholeCase{2147483647.9, 2147483647},
        // 2^31 is even, so it stays 2^31: beyond the register
        WholeCase{2147483648.0, std::nullopt}, WholeCase{2147483648.5, std::nullopt},
        WholeCase{-2147483647.0, -2147483647 - 1}, WholeCase{-2147483648.0, -2147483647 - 1},
        WholeCase{-2147483648.5, std::nullopt}, WholeCase{1e300, std::nullopt},
        WholeCase{std::numeric_limits<double>::infinity(), std::nullopt},
        WholeCase{std::numeric_limits<double>::quiet_NaN(), std::nullopt},
        WholeCase{1e-300, 0}, WholeCase{-1e-300, 0}, WholeCase{-0.00000006, -1}));

}  // namespace
}  // namespace kq::engine
