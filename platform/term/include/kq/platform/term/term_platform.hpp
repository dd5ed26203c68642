#pragma once
// The terminal face on Linux, for machines without a display (a console, an
// ssh session): the same windows, engine, timers and settings, with the main
// window's caption as the face.
//
// Implements: the main window's caption as one line on the terminal, updated
// in place and cut to the terminal's width (never wrapped), and as the
// terminal's title (OSC 0); with TERM=dumb (or no TERM) the line is redrawn
// after a carriage return and nothing else is sent; on output that is not a
// terminal, one line per caption change. `q` (or Q), read key by key whenever
// the input is a terminal, and Ctrl-C, SIGTERM and SIGHUP close the main
// window normally, so its unload behaviour writes the settings. Placement is
// kept as set and read back unchanged. Timers as on the desktop (served
// together once a second, just after the tick count passes each whole
// second); tick count from CLOCK_BOOTTIME. The keeper finds
// the main window always in front.
//
// Lacks: no double-click, so the About dialog never opens; should a dialog
// be shown all the same, it closes again at once. No controls are drawn.

#include <memory>

#include "kq/platform/platform.hpp"

namespace kq::platform::term {

std::unique_ptr<Platform> open_term_platform();

}  // namespace kq::platform::term
