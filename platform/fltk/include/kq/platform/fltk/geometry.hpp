#pragma once
// Window geometry on the desktop, free of any toolkit: twips to pixels at the
// screen's DPI, the client rectangle inside an outer frame, and bringing back
// a window whose title bar is on no screen.
//
// Placement addresses the outer frame, as on Windows: Left/Top is the frame's
// top-left corner, Width/Height its outer size. Under X the frame belongs to
// the window manager; its thickness comes from _NET_FRAME_EXTENTS once the
// window manager has set it, and from the design metrics before that.

#include <span>

namespace kq::platform::fltk {

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct FrameExtents {
  int left = 0, right = 0, top = 0, bottom = 0;
  friend constexpr bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

inline constexpr double twips_per_inch = 1440.0;

int twips_to_pixels(double twips, double dpi);
float pixels_to_twips(int pixels, double dpi);

// The frame of the design metrics: 45 twips left, right and bottom, 330 on top.
FrameExtents design_frame(double dpi);

// The client area inside an outer frame; at least 1 x 1 pixel, as X has no
// empty windows (a frame lower than its title bar shows a 1-pixel sliver).
Rect client_rect(const Rect& outer, const FrameExtents& frame);
Rect outer_rect(const Rect& client, const FrameExtents& frame);

// The outer frame moved so that its title bar (the top strip of the frame)
// lies on the nearest screen, when no part of it is on any screen; unchanged
// otherwise. Screens are the monitors' rectangles.
Rect bring_title_bar_on_screen(const Rect& outer, int title_height, std::span<const Rect> screens);

}  // namespace kq::platform::fltk
