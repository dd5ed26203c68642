#pragma once
// The program icon that both windows show: bright green block letters KQ on
// a black square, fully opaque, 16 x 16 and 24 x 24 pixels. These drawings
// are its one source: the desktop face draws them, and
// platform/win32/resources/make_icon.py reads them from this file to write
// the Windows icon (app.ico) and the desktop entry's images; run it after a
// change.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace kq::platform {

struct IconImage {
  int size;                                // width and height
  std::span<const std::string_view> rows;  // '#' green, '.' black
};

inline constexpr std::string_view program_icon_16[] = {
    "................",
    "................",
    "................",
    ".##..##...####..",
    ".##..##..##..##.",
    ".##.##...##..##.",
    ".####....##..##.",
    ".###.....##..##.",
    ".###.....##..##.",
    ".####....##.###.",
    ".##.##...##..##.",
    ".##..##...####..",
    ".##..##......##.",
    "................",
    "................",
    "................",
};

inline constexpr std::string_view program_icon_24[] = {
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "..###...###...#######...",
    "..###..###...###...###..",
    "..###.###....###...###..",
    "..######.....###...###..",
    "..#####......###...###..",
    "..####.......###...###..",
    "..#####......###.#####..",
    "..######.....###..####..",
    "..###.###....###...###..",
    "..###..###....#######...",
    "..###...###........###..",
    "..###...###.........##..",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
};

inline constexpr IconImage program_icon[] = {{16, program_icon_16}, {24, program_icon_24}};

// Red, green, blue of one pixel.
constexpr std::array<std::uint8_t, 3> icon_pixel(const IconImage& image, int x, int y) {
  const bool lit = image.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#';
  return {0, static_cast<std::uint8_t>(lit ? 255 : 0), 0};
}

}  // namespace kq::platform
