#pragma once
// The three system functions that are bound by name when first called rather
// than through the executable's import table: the tick counter (preferring
// GetTickCount64, so the count does not wrap after 49.7 days), the
// foreground window and SetWindowPos. Nothing else here.

#include <windows.h>

#include <cstdint>

namespace kq::platform::win32 {

std::uint64_t system_tick_count();
HWND system_foreground_window();
// SetWindowPos(window, insert_after, 0, 0, 0, 0, flags); the result is ignored.
void system_set_window_pos(HWND window, HWND insert_after, UINT flags);

}  // namespace kq::platform::win32
