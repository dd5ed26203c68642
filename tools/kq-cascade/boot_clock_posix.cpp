#include <time.h>

#include "boot_clock.hpp"

namespace kq::tools {

std::uint64_t boot_milliseconds() {
  timespec now{};
  // CLOCK_BOOTTIME keeps counting while the machine sleeps, as uptime should.
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace kq::tools
