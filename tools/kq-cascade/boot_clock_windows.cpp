#include <windows.h>

#include "boot_clock.hpp"

namespace kq::tools {

std::uint64_t boot_milliseconds() { return GetTickCount64(); }

}  // namespace kq::tools
