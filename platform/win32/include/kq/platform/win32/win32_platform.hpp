#pragma once
// The Windows face: the platform interface on the Windows API (user32, gdi32,
// comctl32), for 32-bit and 64-bit Windows.
//
// Implements: top-level windows with a fixed single-line frame, a close
// button and no minimise/maximise button where the design asks, no taskbar
// entry (an invisible owner window), the program icon from the resources,
// placement in twips at the screen's DPI (Left/Top/Width/Height address the
// outer frame, see kq/platform/geometry.hpp; the twips a behaviour set read
// back while the window stays put), a window without a taskbar entry
// brought back when its title bar would be on no monitor, the window and its
// controls laid out again in twips on a screen of another DPI; a standard
// control for every visible control (static labels in the design's colours
// and fonts, 3-state tick boxes that never tick themselves, push buttons,
// edit fields; lines painted), hidden controls with no native widget;
// double-click in the client area and on labels; Tab along the tab stops,
// Space on the focused control, Enter and Escape to the shared window;
// modal display with the owner disabled and its timers ticking in the
// nested loop; every window's timers served from one system timer, together
// once a second just after the tick count passes each whole second; the end
// of the session unloads every window, so the settings are written; a
// minimise by the window manager undone at once; the tick count
// (GetTickCount64, else GetTickCount), the foreground window and
// SetWindowPos bound by name when first called.
//
// Lacks: visible text fields are plain edits without the keyboard niceties
// of a dialog box (nothing in the program shows one).

#include <memory>

#include "kq/platform/platform.hpp"

namespace kq::platform::win32 {

// The platform of this process; one per process (the system timer's
// callback has no room for an object).
std::unique_ptr<Platform> open_win32_platform();

}  // namespace kq::platform::win32
