#pragma once
// The program icon: bright green block letters KQ on a black square, fully
// opaque, 16 x 16 and 24 x 24 pixels.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace kq::platform::fltk {

struct IconImage {
  int size;                              // width and height
  std::span<const std::string_view> rows;  // '#' green, '.' black
};

std::span<const IconImage> program_icon_images();

// Red, green, blue per pixel, row by row.
std::array<std::uint8_t, 3> icon_pixel(const IconImage& image, int x, int y);

}  // namespace kq::platform::fltk
