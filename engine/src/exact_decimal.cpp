#include "kq/engine/exact_decimal.hpp"

#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <string>

namespace kq::engine {
namespace {

// An unsigned integer of up to 5120 bits, little-endian 32-bit limbs. The
// conversions below bound their numbers well inside that.
class Big {
 public:
  explicit Big(std::uint64_t value = 0) {
    while (value != 0) {
      push(static_cast<std::uint32_t>(value));
      value >>= 32;
    }
  }

  void multiply(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (int i = 0; i < size_; ++i) {
      const std::uint64_t product = std::uint64_t{limbs_[index(i)]} * factor + carry;
      limbs_[index(i)] = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) push(static_cast<std::uint32_t>(carry));
  }

  void add(std::uint32_t value) {
    for (int i = 0; i < size_ && value != 0; ++i) {
      const std::uint64_t sum = std::uint64_t{limbs_[index(i)]} + value;
      limbs_[index(i)] = static_cast<std::uint32_t>(sum);
      value = static_cast<std::uint32_t>(sum >> 32);
    }
    if (value != 0) push(value);
  }

  void multiply_power_of_ten(std::int64_t power) {
    for (; power >= 9; power -= 9) multiply(1000000000);
    static constexpr std::array<std::uint32_t, 9> small{1, 10, 100, 1000, 10000, 100000,
                                                        1000000, 10000000, 100000000};
    if (power > 0) multiply(small[static_cast<std::size_t>(power)]);
  }

  void shift_left(std::int64_t bits) {
    if (size_ == 0 || bits <= 0) return;
    const int words = static_cast<int>(bits / 32);
    const int rest = static_cast<int>(bits % 32);
    assert(size_ + words + 1 <= capacity);
    if (rest != 0) {
      std::uint32_t carry = 0;
      for (int i = 0; i < size_; ++i) {
        const std::uint32_t limb = limbs_[index(i)];
        limbs_[index(i)] = (limb << rest) | carry;
        carry = limb >> (32 - rest);
      }
      if (carry != 0) push(carry);
    }
    if (words != 0) {
      for (int i = size_ - 1; i >= 0; --i) limbs_[index(i + words)] = limbs_[index(i)];
      for (int i = 0; i < words; ++i) limbs_[index(i)] = 0;
      size_ += words;
    }
  }

  void shift_right_one() {
    for (int i = 0; i < size_; ++i) {
      const std::uint32_t next = i + 1 < size_ ? limbs_[index(i + 1)] : 0;
      limbs_[index(i)] = (limbs_[index(i)] >> 1) | (next << 31);
    }
    trim();
  }

  // this -= other, for other <= this.
  void subtract(const Big& other) {
    std::int64_t borrow = 0;
    for (int i = 0; i < size_; ++i) {
      const std::int64_t difference = std::int64_t{limbs_[index(i)]} -
                                      (i < other.size_ ? other.limbs_[index(i)] : 0) - borrow;
      borrow = difference < 0 ? 1 : 0;
      limbs_[index(i)] = static_cast<std::uint32_t>(difference + (borrow << 32));
    }
    assert(borrow == 0);
    trim();
  }

  // this /= divisor; returns the remainder.
  std::uint32_t divide(std::uint32_t divisor) {
    std::uint64_t remainder = 0;
    for (int i = size_ - 1; i >= 0; --i) {
      const std::uint64_t part = (remainder << 32) | limbs_[index(i)];
      limbs_[index(i)] = static_cast<std::uint32_t>(part / divisor);
      remainder = part % divisor;
    }
    trim();
    return static_cast<std::uint32_t>(remainder);
  }

  bool is_zero() const { return size_ == 0; }

  int bit_length() const {
    if (size_ == 0) return 0;
    return 32 * (size_ - 1) + std::bit_width(limbs_[index(size_ - 1)]);
  }

  friend int compare(const Big& a, const Big& b) {
    if (a.size_ != b.size_) return a.size_ < b.size_ ? -1 : 1;
    for (int i = a.size_ - 1; i >= 0; --i) {
      if (a.limbs_[index(i)] != b.limbs_[index(i)]) return a.limbs_[index(i)] < b.limbs_[index(i)] ? -1 : 1;
    }
    return 0;
  }

 private:
  static constexpr int capacity = 160;
  static std::size_t index(int i) { return static_cast<std::size_t>(i); }
  void push(std::uint32_t limb) {
    assert(size_ < capacity);
    limbs_[index(size_++)] = limb;
  }
  void trim() {
    while (size_ > 0 && limbs_[index(size_ - 1)] == 0) --size_;
  }

  std::array<std::uint32_t, capacity> limbs_{};
  int size_ = 0;
};

// numerator / denominator, the quotient being below 2^62; numerator becomes
// the remainder.
std::uint64_t divide(Big& numerator, const Big& denominator) {
  const int shift = numerator.bit_length() - denominator.bit_length();
  if (shift < 0) return 0;
  assert(shift < 62);
  Big step = denominator;
  step.shift_left(shift);
  std::uint64_t quotient = 0;
  for (int bit = shift; bit >= 0; --bit) {
    if (compare(numerator, step) >= 0) {
      numerator.subtract(step);
      quotient |= std::uint64_t{1} << bit;
    }
    if (bit > 0) step.shift_right_one();
  }
  return quotient;
}

// Whether quotient + remainder / denominator rounds up: above one half, or
// exactly one half with an odd quotient. more: the true remainder is a hair
// above the given one.
bool rounds_up(Big remainder, const Big& denominator, std::uint64_t quotient, bool more = false) {
  remainder.shift_left(1);
  const int half = compare(remainder, denominator);
  return half > 0 || (half == 0 && (more || (quotient & 1) != 0));
}

constexpr std::uint64_t smallest_15_digits = 100000000000000;  // 10^14
constexpr std::uint64_t beyond_15_digits = 1000000000000000;   // 10^15

}  // namespace

FifteenDigits fifteen_digits(double magnitude) {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int q = -1074;  // magnitude = mantissa * 2^q
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52;
    q = biased - 1075;
  }
  // 2^p <= magnitude < 2^(p+1); p * log10(2), floored, is the decimal
  // exponent or one below it (78913 / 2^18 is just under log10(2)).
  const int p = std::bit_width(mantissa) - 1 + q;
  int exponent = (p * 78913) >> 18;
  for (;;) {
    // digits = magnitude * 10^k with k = 14 - exponent, as numerator / denominator.
    const int k = 14 - exponent;
    Big numerator(mantissa), denominator(1);
    numerator.shift_left(q > 0 ? q : 0);
    denominator.shift_left(q < 0 ? -q : 0);
    if (k >= 0) numerator.multiply_power_of_ten(k);
    else denominator.multiply_power_of_ten(-k);
    std::uint64_t digits = divide(numerator, denominator);
    if (digits >= beyond_15_digits) {
      ++exponent;
      continue;
    }
    if (digits < smallest_15_digits) {
      --exponent;
      continue;
    }
    if (rounds_up(numerator, denominator, digits)) ++digits;
    if (digits == beyond_15_digits) return {smallest_15_digits, exponent + 1};
    return {digits, exponent};
  }
}

namespace {

// A binary floating-point format: significand bits with the implicit one,
// and the largest exponent.
struct BinaryFormat {
  int precision;
  int max_exponent;
};
constexpr BinaryFormat binary64{53, 1023};
constexpr BinaryFormat binary32{24, 127};

// The bits of the nearest number of the format (sign bit clear).
std::uint64_t decimal_to_bits(std::string_view digits, bool more_digits, std::int64_t exponent,
                              const BinaryFormat& format) {
  const std::uint64_t infinity = std::uint64_t(2 * format.max_exponent + 1) << (format.precision - 1);
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  while (!digits.empty() && digits.back() == '0') {
    digits.remove_suffix(1);
    ++exponent;
  }
  if (digits.empty()) return 0;

  // The leading digit stands at 10^position. Above 10^309 lies beyond the
  // largest double; below 10^-325 under half the smallest one.
  const std::int64_t position = exponent + static_cast<std::int64_t>(digits.size()) - 1;
  if (position > 309) return infinity;
  if (position < -325) return 0;
  // A halfway point between two doubles has at most 767 significant digits,
  // so 800 digits and a note that more followed round the same way.
  constexpr std::size_t kept_digits = 800;
  if (digits.size() > kept_digits) {
    for (char c : digits.substr(kept_digits)) more_digits = more_digits || c != '0';
    exponent += static_cast<std::int64_t>(digits.size() - kept_digits);
    digits = digits.substr(0, kept_digits);
  }

  // value = numerator / denominator exactly.
  Big numerator, denominator(1);
  for (std::size_t i = 0; i < digits.size(); i += 9) {
    std::uint32_t chunk = 0, scale = 1;
    for (std::size_t j = i; j < digits.size() && j < i + 9; ++j) {
      chunk = chunk * 10 + static_cast<std::uint32_t>(digits[j] - '0');
      scale *= 10;
    }
    numerator.multiply(scale);
    numerator.add(chunk);
  }
  if (exponent >= 0) numerator.multiply_power_of_ten(exponent);
  else denominator.multiply_power_of_ten(-exponent);

  const int fraction_bits = format.precision - 1;
  const int min_exponent = 1 - format.max_exponent;
  const std::uint64_t implicit_bit = std::uint64_t{1} << fraction_bits;
  // 2^b <= value < 2^(b+1): the bit lengths put b within one of this guess.
  int b = numerator.bit_length() - denominator.bit_length() - 1;
  for (;;) {
    const bool subnormal = b < min_exponent;
    // mantissa = value * 2^scale: `precision` bits for a normal number, fewer below.
    const int scale = subnormal ? fraction_bits - min_exponent : fraction_bits - b;
    Big remainder = numerator, divisor = denominator;
    if (scale >= 0) remainder.shift_left(scale);
    else divisor.shift_left(-scale);
    std::uint64_t mantissa = divide(remainder, divisor);
    if (!subnormal && mantissa >= 2 * implicit_bit) {
      ++b;
      continue;
    }
    if (!subnormal && mantissa < implicit_bit) {
      --b;
      continue;
    }
    if (rounds_up(remainder, divisor, mantissa, more_digits)) ++mantissa;
    if (subnormal) return mantissa;  // the implicit bit, if rounding reached it, is the smallest normal
    if (mantissa == 2 * implicit_bit) {
      mantissa = implicit_bit;
      ++b;
    }
    if (b > format.max_exponent) return infinity;
    return (static_cast<std::uint64_t>(b + format.max_exponent) << fraction_bits) | (mantissa - implicit_bit);
  }
}

// floor(magnitude * 10^k), and how the rest compares with one half.
struct Scaled {
  std::uint64_t whole;
  int half;  // -1 below one half, 0 exactly, 1 above
};
Scaled scale_by_ten(std::uint64_t mantissa, int q, int k) {  // magnitude = mantissa * 2^q
  Big numerator(mantissa), denominator(1);
  numerator.shift_left(q > 0 ? q : 0);
  denominator.shift_left(q < 0 ? -q : 0);
  if (k >= 0) numerator.multiply_power_of_ten(k);
  else denominator.multiply_power_of_ten(-k);
  const std::uint64_t whole = divide(numerator, denominator);
  numerator.shift_left(1);
  return {whole, compare(numerator, denominator)};
}

}  // namespace

double decimal_to_double(std::string_view digits, bool more_digits, std::int64_t exponent) {
  return std::bit_cast<double>(decimal_to_bits(digits, more_digits, exponent, binary64));
}

float decimal_to_float(std::string_view digits, bool more_digits, std::int64_t exponent) {
  return std::bit_cast<float>(static_cast<std::uint32_t>(decimal_to_bits(digits, more_digits, exponent, binary32)));
}

std::string fixed_text(float value) {
  std::string text;
  if (std::signbit(value)) text += '-';
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const int biased = static_cast<int>((bits >> 23) & 0xff);
  std::uint64_t mantissa = bits & 0x7fffffu;
  if (mantissa == 0 && biased == 0) return text + "0";
  int q = -149;  // |value| = mantissa * 2^q
  if (biased != 0) {
    mantissa |= 0x800000u;
    q = biased - 150;
  }
  const int decimal_exponent = fifteen_digits(std::fabs(static_cast<double>(value))).exponent;

  // The fewest significant digits that read back as the value; of two such,
  // the nearer, and of two as near, the even one.
  std::uint64_t digits = 0;
  int exponent = 0;  // |value| ~ digits * 10^exponent
  const auto reads_back = [&](std::uint64_t candidate, int at) {
    const std::string text_digits = std::to_string(candidate);
    return decimal_to_float(text_digits, false, at) == std::fabs(value);
  };
  for (int count = 1; count <= 9 && digits == 0; ++count) {
    const int k = count - 1 - decimal_exponent;
    const Scaled scaled = scale_by_ten(mantissa, q, k);
    const bool up_first = scaled.half > 0 || (scaled.half == 0 && (scaled.whole & 1) != 0);
    for (const std::uint64_t candidate : {up_first ? scaled.whole + 1 : scaled.whole,
                                          up_first ? scaled.whole : scaled.whole + 1}) {
      if (candidate != 0 && reads_back(candidate, -k)) {
        digits = candidate;
        exponent = -k;
        break;
      }
    }
  }
  while (digits != 0 && digits % 10 == 0) {
    digits /= 10;
    ++exponent;
  }

  if (exponent >= 0) {
    // A whole number: its exact value, every digit, as printf would.
    Big whole(mantissa);
    if (q >= 0) {
      whole.shift_left(q);
    } else {
      for (int i = 0; i < -q; ++i) whole.shift_right_one();
    }
    std::string reversed;
    while (!whole.is_zero()) {
      const std::uint32_t part = whole.divide(10);
      reversed += static_cast<char>('0' + part);
    }
    text.append(reversed.rbegin(), reversed.rend());
    return text;
  }
  const std::string shown = std::to_string(digits);
  const int whole_digits = static_cast<int>(shown.size()) + exponent;
  if (whole_digits > 0) {
    text += shown.substr(0, static_cast<std::size_t>(whole_digits));
    text += '.';
    text += shown.substr(static_cast<std::size_t>(whole_digits));
  } else {
    text += "0.";
    text.append(static_cast<std::size_t>(-whole_digits), '0');
    text += shown;
  }
  return text;
}

}  // namespace kq::engine
