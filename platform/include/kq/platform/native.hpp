#pragma once
// The platform this build runs on. Each native build links exactly one
// implementation: the Windows backend, or on Linux the desktop backend when a
// display opens and the terminal face otherwise.

#include <memory>

#include "kq/platform/platform.hpp"

namespace kq::platform {

std::unique_ptr<Platform> open_native_platform();

}  // namespace kq::platform
