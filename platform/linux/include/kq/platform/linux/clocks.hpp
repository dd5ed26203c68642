#pragma once
// The two clocks both Linux faces read: the tick count that the uptime is
// counted from, and the steady clock that timer due times are kept on.

#include <cstdint>

namespace kq::platform::linux_host {

// Milliseconds since boot, time spent asleep included (CLOCK_BOOTTIME).
std::uint64_t boot_milliseconds();

// Milliseconds on a clock that never jumps; only differences mean anything.
std::int64_t steady_milliseconds();

}  // namespace kq::platform::linux_host
