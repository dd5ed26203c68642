// Any text through both readings, and any double through real text: nothing
// may crash, and real text must read back, with either reading, to the value
// rounded to 15 significant digits.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "kq/engine/numbers.hpp"
#include "written_number.hpp"

namespace {

using kq::engine::lenient_read;
using kq::engine::real_text;
using kq::engine::strict_read;

[[noreturn]] void fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "%s: \"%.*s\"\n", what, static_cast<int>(text.size()), text.data());
  std::abort();
}

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// The 15-digit value of x, worked out independently from real text: the C
// library's correctly rounded conversion in the "C" locale (the fuzzer never
// changes the locale).
double fifteen_digit_value(double x) {
  char text[48];
  std::snprintf(text, sizeof text, "%.14e", x);
  return std::strtod(text, nullptr);
}

void check_real_text(double x) {
  if (!std::isfinite(x)) return;
  const std::string text = real_text(x);
  const double expected = fifteen_digit_value(x);
  if (!same(lenient_read(text), expected)) fail("lenient reading of real text", text);
  const std::optional<double> strict = strict_read(text);
  if (std::isinf(expected)) {
    if (strict) fail("strict reading accepted a text beyond the double range", text);
  } else if (!strict || !same(*strict, expected)) {
    fail("strict reading of real text", text);
  }
  // The stages skip reading their own texts; what they take instead must be
  // what the reading gives.
  kq::engine::RealTextBuffer buffer;
  double reads_as = 0;
  if (kq::engine::detail::real_text_and_reading(x, buffer, reads_as) != text) {
    fail("real text differs between its two forms", text);
  }
  if (!same(reads_as, expected)) fail("remembered reading differs from the reading", text);
  // Written again, the 15-digit value gives the same text.
  if (!std::isinf(expected) && real_text(expected) != text) fail("real text not stable", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const double lenient = lenient_read(text);
  const std::optional<double> strict = strict_read(text);
  if (std::isnan(lenient)) fail("lenient reading gave NaN", text);
  if (strict) {
    if (!std::isfinite(*strict)) fail("strict reading gave a non-finite value", text);
    // A text the strict reading takes in full is one number; the lenient
    // reading, after the same leading blanks, takes the same number.
    if (!same(*strict, lenient)) fail("readings disagree on a whole number", text);
  }
  check_real_text(lenient);
  if (strict) check_real_text(*strict);

  // The raw bytes as a double too, so every binary exponent gets visited.
  if (size >= sizeof(double)) {
    double x = 0;
    std::memcpy(&x, data, sizeof x);
    check_real_text(x);
  }
  return 0;
}
