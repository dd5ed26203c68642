#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kq/settings/section_name.hpp"
#include "kq/settings/values.hpp"

namespace kq::settings {
namespace {

constexpr float fallback = 1000;

struct SingleCase {
  const char* text;
  const char* separator;
  float expected;
};

TEST(ToSingle, ReadsPlainNumbersAndFallsBackOnEverythingElse) {
  const SingleCase cases[] = {
      {"1000", ".", 1000},
      {"1234.5", ".", 1234.5f},
      {"-15", ".", -15},
      {"+7", ".", 7},
      {" 42\t", ".", 42},  // blanks a hand edit may leave
      {".5", ".", 0.5f},
      {"5.", ".", 5},
      {"1e3", ".", 1000},
      {"2.5E-1", ".", 0.25f},
      {"1234,5", ",", 1234.5f},  // the locale's separator
      {"1234.5", ",", 1234.5f},  // "." is always taken too
      {"12\xD9\xAB" "5", "\xD9\xAB", 12.5f},  // a separator of more than one byte
      // Not numbers of the needed kind: the key's default.
      {"", ".", fallback},
      {"   ", ".", fallback},
      {"abc", ".", fallback},
      {"12abc", ".", fallback},
      {"1,5", ".", fallback},  // "," is no separator in this locale
      {"1.2.3", ".", fallback},
      {"1.5,5", ",", fallback},
      {"-", ".", fallback},
      {"+-1", ".", fallback},
      {".", ".", fallback},
      {"1e", ".", fallback},
      {"e5", ".", fallback},
      {"inf", ".", fallback},
      {"-infinity", ".", fallback},
      {"nan", ".", fallback},
      {"0x10", ".", fallback},
      {"1e39", ".", fallback},  // beyond a single
      {"-4e38", ".", fallback},
      {"1e-60", ".", fallback},  // too small to keep
      {"1 000", ".", fallback},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(to_placement(c.text, fallback, c.separator), c.expected) << '"' << c.text << '"' << " with " << c.separator;
  }
}

TEST(ToSingle, EmbeddedNulIsNotANumber) {
  EXPECT_EQ(to_placement(std::string_view("1\0" "5", 3), fallback, "."), fallback);
}

TEST(ToSingle, UsesTheCurrentLocaleSeparator) {
  // The C locale's separator is ".".
  EXPECT_EQ(to_placement("2.5", fallback), 2.5f);
  EXPECT_EQ(to_placement("2,5", fallback), fallback);
}

TEST(SingleText, IsTheShortestPlainForm) {
  const std::pair<float, const char*> cases[] = {
      {1000, "1000"},
      {1234.5f, "1234.5"},
      {-15, "-15"},
      {0, "0"},
      {-0.0f, "0"},
      {0.1f, "0.1"},
      {4410, "4410"},
      {1e10f, "10000000000"},
      {16777217, "16777216"},  // the nearest single
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(placement_text(value), text);
}

TEST(SingleText, ReadsBackToTheSameSingle) {
  for (const float value : {0.1f, 1.0f / 3, 123456.789f, -98765.4321f, 3.4e38f, 1.2e-38f, 7e-45f}) {
    EXPECT_EQ(to_placement(placement_text(value), fallback, "."), value) << placement_text(value);
  }
}

TEST(SingleText, NonFiniteValuesReadBackAsTheDefault) {
  for (const float value : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()}) {
    EXPECT_EQ(to_placement(placement_text(value), fallback, "."), fallback) << placement_text(value);
  }
}

TEST(ToOption, TakesWholeNumbersInAnyNumberFormWithinSixteenBits) {
  struct Case {
    const char* text;
    std::int16_t expected;
    const char* separator = ".";
  };
  const Case cases[] = {
      {"0", 0},       {"1", 1},          {"2", 2},            {" 1 ", 1},      {"+1", 1},
      {"-1", -1},     {"32767", 32767},  {"-32768", -32768},  {"007", 7},
      // Whole numbers written another way: a stored "0.0" is off, not the default.
      {"0.0", 0},     {"-0.0", 0},       {"1.0", 1},          {"1E0", 1},      {"1e0", 1},
      {"2.000", 2},   {"+1.", 1},        {".0", 0},           {"10e-1", 1},    {"32767.0", 32767},
      {"1,0", 1, ","},
      // The default (5 here) for everything that is not one.
      {"32768", 5},   {"-32769", 5},     {"99999999999", 5},  {"", 5},         {"yes", 5},
      {"1.5", 5},     {"0.5", 5},        {"1e-1", 5},         {"32768.0", 5},  {"1e400", 5},
      {"+-1", 5},     {"-", 5},          {"0x1", 5},          {"1 1", 5},      {"inf", 5},
      {"nan", 5},     {"1,0", 5},        {"1,5", 5, ","},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(to_option(c.text, 5, c.separator), c.expected) << '"' << c.text << '"' << " with " << c.separator;
  }
  EXPECT_EQ(to_option("0.0", 1), 0);  // the current locale's separator is "."
}

TEST(OptionText, IsTheDecimalText) {
  EXPECT_EQ(option_text(0), "0");
  EXPECT_EQ(option_text(1), "1");
  EXPECT_EQ(option_text(-32768), "-32768");
}

TEST(NameWithoutExtension, DropsTheLastExtensionOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"KQ-REZ-V1.exe", "KQ-REZ-V1"}, {"KQ-REZ-V1", "KQ-REZ-V1"}, {"a.b.exe", "a.b"},
      {".hidden", ".hidden"},         {"name.", "name"},          {"with blank.exe", "with blank"},
      {"back\\slash", "back\\slash"}, {"", ""},
  };
  for (const auto& [file, section] : cases) EXPECT_EQ(name_without_extension(file), section) << file;
}

}  // namespace
}  // namespace kq::settings
