#pragma once
// The desktop face on Linux: the platform interface on FLTK 1.3 under X11.
//
// Implements: top-level windows with a fixed frame (size_range min = max),
// no minimise/maximise button (_MOTIF_WM_HINTS), no taskbar entry where the
// design asks (_NET_WM_STATE_SKIP_TASKBAR), the program icon (_NET_WM_ICON),
// placement in twips at the screen's DPI (Left/Top/Width/Height address the
// outer frame, see kq/platform/geometry.hpp), a window brought back when its title bar
// would be on no screen; labels, tick boxes and push buttons as FLTK widgets
// (hidden controls get none), the line; double-click in the client area and
// on labels; Tab, Space and Enter along the design's tab order, Escape
// closing nothing; modal display with the owner as transient-for and the
// owner's timers ticking in the nested loop; timers due together served in
// one wake-up, never faster than every 16 ms; the caption pushed to the window
// manager only when it changes; the tick count from CLOCK_BOOTTIME; the
// keeper's foreground window from _NET_ACTIVE_WINDOW and topmost/not topmost
// as _NET_WM_STATE_ABOVE client messages; SIGINT/SIGTERM/SIGHUP close the
// main window normally.
//
// Lacks: visible text fields take no typing (no design shows one); the
// greyed tick-box value 2 shows as a grey tick; Shift+Tab moves nowhere;
// set_window_pos ignores every flag (it never moves, sizes or activates).

#include <memory>

#include "kq/platform/platform.hpp"

namespace kq::platform::fltk {

// The desktop platform, or nullptr when no X display opens.
std::unique_ptr<Platform> open_fltk_platform();

}  // namespace kq::platform::fltk
