#pragma once
// The monitors a window may stand on, and bringing back a window that could
// never be reached again (the rule itself is the shared geometry's).

#include <windows.h>

#include <vector>

#include "kq/platform/geometry.hpp"

namespace kq::platform::win32 {

// The monitors' work areas, where a window brought back may go.
std::vector<Rect> work_areas();

// A window whose title bar is on no monitor comes back onto the nearest
// monitor's work area; a title bar with any part in a work area stays
// exactly where it is.
void bring_title_bar_on_screen(HWND window);

}  // namespace kq::platform::win32
