// What the About dialog is made of when it is created: six green-on-black
// labels, two ticked option tick boxes and the OK button.

#include <array>

#include "kq/ui/about_dialog.hpp"
#include "kq/ui/about_dialog_controls.hpp"

namespace kq::ui {

namespace {

using platform::ControlDesign;
using platform::ControlKind;

constexpr platform::Font title_font{.face = "Arial", .points = 12, .weight = 700,
                                        .italic = false, .underline = false, .strikeout = false,
                                        .charset = 0};

// A black box with bright green text that keeps its size whatever the text.
constexpr ControlDesign title(std::string_view name, std::string_view caption, float left,
                              float top, float width, int tab_index) {
  return {.name = name, .kind = ControlKind::label, .text = caption, .left = left, .top = top,
          .width = width, .height = 375, .tab_index = tab_index, .visible = true,
          .back_colour = platform::Rgb{0, 0, 0}, .text_colour = platform::Rgb{0, 255, 0},
          .font = title_font, .centred = true};
}

constexpr ControlDesign option(std::string_view name, std::string_view caption, float left,
                               float width, int tab_index) {
  return {.name = name, .kind = ControlKind::tick_box, .text = caption, .left = left, .top = 1200,
          .width = width, .height = 495, .tab_index = tab_index, .visible = true, .value = 1,
          .back_colour = {}, .text_colour = {}, .font = {}};
}

constexpr std::array controls{
    title("KQ_TITLE_1", "RUVOREVA", 120, 120, 2295, 1),
    title("KQ_TITLE_2", "KQ-DADEDED", 2520, 120, 2775, 6),
    title("KQ_TITLE_3", "KQ-REZ", 5400, 120, 1335, 5),
    title("VERSION_TEXTBOX", "Version 1.0", 6840, 120, 1695, 3),
    title(about_controls::CREATOR_TEXTBOX, "Created By Vudavo88", 120, 600, 5175, 2),
    title("FREEWARE_TEXTBOX", "!!! FREEWARE !!!", 5400, 600, 3135, 4),
    option(about_controls::AlwaysOnTop_TICKBOX, "Always On Top", 840, 1575, 8),
    option(about_controls::AUTOSTART_TICKBOX, "AutoStart", 3720, 975, 7),
    // Neither the default (Enter) nor the cancel (Escape) button.
    ControlDesign{.name = about_controls::OK_BUTTON, .kind = ControlKind::push_button, .text = "OK",
                  .left = 6000, .top = 1200, .width = 2055, .height = 615, .tab_index = 0,
                  .visible = true, .back_colour = {}, .text_colour = {}, .font = {}},
};

constexpr platform::WindowDesign design{
    .name = "KQ_REZ_ABOUT",
    .caption = "KQ-DADEDED - ABOUT",
    .client_width = 8640,
    .client_height = 2040,
    .fixed_frame = true,
    .minimise_button = false,
    .maximise_button = false,
    .taskbar_entry = true,
    .manual_position = false,
    .controls = controls,
};

}  // namespace

const platform::WindowDesign& about_dialog_design() { return design; }

}  // namespace kq::ui
