// "." stays the only decimal separator when the process runs under a locale
// whose decimal separator is ",". The C library's own formatting shows that
// the comma locale is really in force.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <string>

#include "kq/engine/cascade.hpp"
#include "kq/engine/numbers.hpp"

// glibc keeps the locale search path it builds from LOCPATH for good; the
// leak checker would report it at exit. The frame is "__argz_add_sep" where
// libc's debug symbols are installed and "argz_add_sep" where they are not; a
// suppression matches anywhere in the name, so this one pattern covers both.
extern "C" const char* __lsan_default_suppressions() { return "leak:argz_add_sep\n"; }

namespace kq::engine {
namespace {

// A comma locale: one the system has, or the one the build generated.
bool enter_comma_locale() {
#ifdef KQ_TEST_LOCALE_DIR
  // putenv keeps the pointer, so the text must outlive the process's use of it.
  static char locale_path[] = "LOCPATH=" KQ_TEST_LOCALE_DIR;
  if (std::getenv("LOCPATH") == nullptr) putenv(locale_path);
#endif
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8",
                           "nl_NL.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) == nullptr) continue;
    try {
      std::locale::global(std::locale(name));
    } catch (const std::runtime_error&) {
      // the C locale alone is enough to show the point
    }
    if (*std::localeconv()->decimal_point == ',') return true;
  }
  return false;
}

class CommaLocale : public testing::Test {
 protected:
  void SetUp() override {
    if (!enter_comma_locale()) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    ASSERT_STREQ(text, "1,5");
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
  }
};

TEST_F(CommaLocale, ReadingsAndRealTextKeepThePoint) {
  EXPECT_EQ(lenient_read("1,5"), 1.0);
  EXPECT_EQ(lenient_read("1.5"), 1.5);
  EXPECT_EQ(strict_read("1.5E3"), 1500.0);
  EXPECT_FALSE(strict_read("1,5").has_value());
  EXPECT_EQ(real_text(-0.25), "-0.25");
  EXPECT_EQ(real_text(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(real_text(3000.0 / 31536000000.0), "9.51293759512938E-08");
  EXPECT_EQ(real_text(1e300), "1E+300");
  EXPECT_EQ(integer_text(std::uint64_t{4294967295u}), "4294967295");
}

TEST_F(CommaLocale, WorkedExampleIsUnchanged) {
  Worksheet sheet;
  capture_stage(sheet, 93784000);
  day_stage(sheet);
  hour_stage(sheet);
  minute_stage(sheet);
  second_stage(sheet);
  EXPECT_EQ(sheet.text(Cell::DAYS_TB), "1.08546296296296");
  EXPECT_EQ(sheet.text(Cell::SECONDS_DIFFERENCE_TB), "3.99999999995899");
  EXPECT_EQ(compose_caption(sheet), "KQ-DADEDED: 1d, 2h, 3m, 4s");
}

}  // namespace
}  // namespace kq::engine
