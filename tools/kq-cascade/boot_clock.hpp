#pragma once
// The live tick source of the driver: milliseconds since the system started,
// time asleep included, as a 64-bit count that does not wrap.

#include <cstdint>

namespace kq::tools {

std::uint64_t boot_milliseconds();

}  // namespace kq::tools
