#pragma once
// The clock both Linux faces read: the tick count that the uptime is counted
// from and that timer due times are kept on.

#include <cstdint>

namespace kq::platform::linux_host {

// Milliseconds since boot, time spent asleep included (CLOCK_BOOTTIME).
std::uint64_t boot_milliseconds();

}  // namespace kq::platform::linux_host
