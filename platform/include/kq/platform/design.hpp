#pragma once
// What a window is made of when it is created: a table of controls with their
// geometry (twips) and design-time state. Designs are constant data.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kq::platform {

struct Rgb {
  std::uint8_t red, green, blue;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

struct Font {
  std::string_view face;
  int points = 0;
  int weight = 400;  // 700 is bold
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  int charset = 0;  // 0: Western (ANSI)
};

enum class ControlKind : std::uint8_t { text_field, label, tick_box, push_button, line, timer };

struct ControlDesign {
  std::string_view name;
  ControlKind kind;
  std::string_view text;  // caption of a label, tick box or button; initial text of a field
  // Top-left corner and size, from the client area's top-left corner. A line
  // uses left/top as its first end and width/height as its second end (x2, y2).
  float left = 0, top = 0, width = 0, height = 0;
  int tab_index = -1;  // -1: not in the tab order (lines, timers)
  bool visible = true;
  int value = 0;         // tick box
  bool enabled = true;   // timer
  int interval = 0;      // timer, milliseconds; 0 delivers no ticks
  std::optional<Rgb> back_colour;  // labels: opaque box in this colour
  std::optional<Rgb> text_colour;
  std::optional<Font> font;
  bool centred = false;
};

struct WindowDesign {
  std::string_view name;
  std::string_view caption;
  float client_width = 0, client_height = 0;  // twips
  bool fixed_frame = true;        // the user cannot resize by the border
  bool minimise_button = false;
  bool maximise_button = false;
  bool taskbar_entry = true;
  bool manual_position = true;    // false: the platform's default placement
  std::span<const ControlDesign> controls;
};

}  // namespace kq::platform
