#include "kq/platform/linux/clocks.hpp"

#include <time.h>

namespace kq::platform::linux_host {

namespace {

std::int64_t milliseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

}  // namespace

std::uint64_t boot_milliseconds() { return static_cast<std::uint64_t>(milliseconds(CLOCK_BOOTTIME)); }

}  // namespace kq::platform::linux_host
