#include "kq/platform/geometry.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kq::platform {

int twips_to_pixels(double twips, double dpi) {
  if (!std::isfinite(twips)) return 0;
  double pixels = std::round(twips * dpi / twips_per_inch);
  return static_cast<int>(std::clamp(pixels, -double{pixel_bound}, double{pixel_bound}));
}

float pixels_to_twips(int pixels, double dpi) {
  return static_cast<float>(std::round(pixels * twips_per_inch / dpi));
}

FrameExtents design_frame(double dpi) {
  int side = twips_to_pixels(45, dpi);
  return {side, side, twips_to_pixels(330, dpi), side};
}

Rect client_rect(const Rect& outer, const FrameExtents& frame) {
  return {outer.x + frame.left, outer.y + frame.top, std::max(1, outer.w - frame.left - frame.right),
          std::max(1, outer.h - frame.top - frame.bottom)};
}

Rect outer_rect(const Rect& client, const FrameExtents& frame) {
  return {client.x - frame.left, client.y - frame.top, client.w + frame.left + frame.right,
          client.h + frame.top + frame.bottom};
}

namespace {

bool overlaps(const Rect& a, const Rect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Squared distance between the nearest points of two rectangles.
std::int64_t gap(const Rect& a, const Rect& b) {
  std::int64_t dx = std::max({0, b.x - (a.x + a.w), a.x - (b.x + b.w)});
  std::int64_t dy = std::max({0, b.y - (a.y + a.h), a.y - (b.y + b.h)});
  return dx * dx + dy * dy;
}

int clamp_into(int start, int length, int area_start, int area_length) {
  if (length >= area_length) return area_start;
  return std::clamp(start, area_start, area_start + area_length - length);
}

}  // namespace

Rect bring_title_bar_on_screen(const Rect& outer, int title_height, std::span<const Rect> screens) {
  if (screens.empty()) return outer;
  Rect title{outer.x, outer.y, std::max(1, outer.w), std::max(1, title_height)};
  const Rect* nearest = nullptr;
  std::int64_t nearest_gap = std::numeric_limits<std::int64_t>::max();
  for (const auto& screen : screens) {
    if (overlaps(title, screen)) return outer;
    if (auto g = gap(title, screen); g < nearest_gap) {
      nearest_gap = g;
      nearest = &screen;
    }
  }
  Rect mended = outer;
  mended.x = clamp_into(outer.x, outer.w, nearest->x, nearest->w);
  mended.y = clamp_into(outer.y, outer.h, nearest->y, nearest->h);
  return mended;
}

void KeptTwips::set(Edge edge, int pixels, float twips) {
  slots_[static_cast<std::size_t>(edge)] = {pixels, twips, std::isfinite(twips)};
}

float KeptTwips::read(Edge edge, int pixels, double dpi) const {
  const Slot& slot = slots_[static_cast<std::size_t>(edge)];
  if (slot.valid && slot.pixels == pixels) return slot.twips;
  return pixels_to_twips(pixels, dpi);
}

}  // namespace kq::platform
