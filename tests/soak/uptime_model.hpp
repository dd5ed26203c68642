#pragma once
// The uptime in days, hours, minutes and seconds, computed in whole
// milliseconds, independently of the worksheet: plainly, and as the
// cascade's whole-part step shows an exact unit boundary.

#include <cstdint>
#include <string>

namespace kq::soak {

struct Uptime {
  std::int64_t days, hours, minutes, seconds;
  friend bool operator==(const Uptime&, const Uptime&) = default;
};

inline std::int64_t floor_div(std::int64_t num, std::int64_t den) {
  const std::int64_t q = num / den;
  return (num % den != 0 && (num < 0) != (den < 0)) ? q - 1 : q;
}

inline Uptime plain_uptime(std::uint64_t ms) {
  const auto t = static_cast<std::int64_t>(ms);
  return {t / 86400000, t / 3600000 % 24, t / 60000 % 60, t / 1000 % 60};
}

// The whole part of num/den as the cascade takes it: the largest integer
// not above it, except within 0.00000005 of an integer k, where it is k
// for an even k and k - 1 for an odd one.
inline std::int64_t boundary_whole(std::int64_t num, std::int64_t den) {
  const std::int64_t k = floor_div(2 * num + den, 2 * den);  // nearest integer
  const std::int64_t off = num - k * den;
  if ((off < 0 ? -off : off) * 20000000 < den) return k % 2 == 0 ? k : k - 1;
  return floor_div(num, den);
}

// Each unit takes what the larger unit's whole part leaves, as the stages do.
inline Uptime boundary_uptime(std::uint64_t ms) {
  const auto t = static_cast<std::int64_t>(ms);
  Uptime u{};
  u.days = boundary_whole(t, 86400000);
  const std::int64_t hours_left = t - u.days * 86400000;
  u.hours = boundary_whole(hours_left, 3600000);
  const std::int64_t minutes_left = hours_left - u.hours * 3600000;
  u.minutes = boundary_whole(minutes_left, 60000);
  const std::int64_t seconds_left = minutes_left - u.minutes * 60000;
  u.seconds = boundary_whole(seconds_left, 1000);
  return u;
}

inline std::string caption_of(const Uptime& u) {
  return "KQ-DADEDED: " + std::to_string(u.days) + "d, " + std::to_string(u.hours) + "h, " +
         std::to_string(u.minutes) + "m, " + std::to_string(u.seconds) + "s";
}

}  // namespace kq::soak
