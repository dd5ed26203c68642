#include "win32_platform.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

Handle Win32Platform::foreground_window() { return handle_of(system_foreground_window()); }

void Win32Platform::set_window_pos(Handle window, Stacking insert_after, std::uint32_t flags) {
  HWND after = insert_after == Stacking::topmost ? HWND_TOPMOST : HWND_NOTOPMOST;
  system_set_window_pos(window_of(window), after, flags);
}

}  // namespace kq::platform::win32

namespace kq::platform {

std::unique_ptr<Platform> open_native_platform() {
  return std::make_unique<win32::Win32Platform>();
}

}  // namespace kq::platform
