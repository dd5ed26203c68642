#pragma once
// Window geometry on a desktop, free of any system header, shared by the
// desktop backends: twips to pixels at the screen's DPI, the client
// rectangle inside an outer frame, the twips a behaviour set kept while the
// window stays put, and bringing back a window whose title bar is on no
// screen.
//
// Placement addresses the outer frame: Left/Top is the frame's top-left
// corner, Width/Height its outer size, as on Windows.

#include <array>
#include <span>

#include "kq/platform/platform.hpp"

namespace kq::platform {

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct FrameExtents {
  int left = 0, right = 0, top = 0, bottom = 0;
  friend constexpr bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

inline constexpr double twips_per_inch = 1440.0;

// Stored placements are single-precision numbers of any size, but window
// coordinates travel as 16-bit values in places (X11, some Windows
// messages); anything further out is held at this bound, which leaves room
// for the window's own size inside the 16 bits.
inline constexpr int pixel_bound = 30000;

// The nearest pixel (halves away from zero), held inside +-pixel_bound; a
// non-finite number of twips gives 0.
int twips_to_pixels(double twips, double dpi);
// Whole twips, so that a read-back value is plain text in the store; at any
// DPI below 1440 the pixel converts back to the same pixel.
float pixels_to_twips(int pixels, double dpi);

// The frame of the design metrics: 45 twips left, right and bottom, 330 on top.
FrameExtents design_frame(double dpi);

// The client area inside an outer frame; at least 1 x 1 pixel, as X has no
// empty windows (a frame lower than its title bar shows a 1-pixel sliver).
Rect client_rect(const Rect& outer, const FrameExtents& frame);
Rect outer_rect(const Rect& client, const FrameExtents& frame);

// The outer frame moved so that its title bar (the top strip of the frame,
// title_height high) lies on the nearest screen, when no part of it is on
// any screen; unchanged otherwise. Screens are the monitors' rectangles.
Rect bring_title_bar_on_screen(const Rect& outer, int title_height, std::span<const Rect> screens);

// The twips a behaviour last set for each edge of a window, read back
// unchanged while the window still stands on the pixel they gave: a stored
// 1000 is 66.67 pixels at 96 DPI and would otherwise come back as 1005. Once
// the user (or the system) moves the window, the pixels are the truth.
class KeptTwips {
 public:
  void set(Edge edge, int pixels, float twips);
  float read(Edge edge, int pixels, double dpi) const;

 private:
  struct Slot {
    int pixels = 0;
    float twips = 0;
    bool valid = false;
  };
  std::array<Slot, 4> slots_{};
};

}  // namespace kq::platform
