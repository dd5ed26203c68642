// What the main window is made of when it is created. Every field, label and
// tick box is hidden: the title bar is the whole visible face, and the hidden
// controls are the named state behind it.

#include <array>

#include "kq/ui/main_window.hpp"
#include "kq/ui/main_window_controls.hpp"

namespace kq::ui {

namespace {

using engine::Cell;
using platform::ControlDesign;
using platform::ControlKind;

constexpr ControlDesign label(std::string_view name, std::string_view caption, float left,
                              float top, int tab_index) {
  return {.name = name, .kind = ControlKind::label, .text = caption, .left = left, .top = top,
          .width = 855, .height = 255, .tab_index = tab_index, .visible = false,
          .back_colour = {}, .text_colour = {}, .font = {}};
}

// A worksheet cell: the field bears the cell's name and starts with its
// initial text; only where it sits is the window's own.
constexpr ControlDesign cell(Cell which, float left, float top, float width, float height,
                             int tab_index) {
  return {.name = engine::cell_name(which), .kind = ControlKind::text_field,
          .text = engine::cell_initial_text(which), .left = left, .top = top, .width = width,
          .height = height, .tab_index = tab_index, .visible = false, .back_colour = {},
          .text_colour = {}, .font = {}};
}

constexpr ControlDesign option(std::string_view name, std::string_view caption, float left,
                               float width, int tab_index) {
  return {.name = name, .kind = ControlKind::tick_box, .text = caption, .left = left, .top = 1080,
          .width = width, .height = 255, .tab_index = tab_index, .visible = false, .value = 1,
          .back_colour = {}, .text_colour = {}, .font = {}};
}

// Intervals are 0 until the load sets them, so no timer ticks before then.
constexpr ControlDesign timer(std::string_view name, bool enabled) {
  return {.name = name, .kind = ControlKind::timer, .text = {}, .enabled = enabled, .interval = 0,
          .back_colour = {}, .text_colour = {}, .font = {}};
}

constexpr std::array controls{
    label("START_LABEL", "START", 240, 1560, 16),
    label("Label9", "SECONDS", 240, 2040, 17),
    label("Label8", "MINUTES", 240, 2520, 18),
    label("Label7", "HOURS", 240, 3000, 19),
    label("Label6", "DAYS", 240, 3480, 20),
    label("Label5", "WEEKS", 240, 3960, 21),
    label("Label4", "MONTHS", 240, 4440, 22),
    label("Label3", "YEARS", 240, 4920, 23),
    label("Label13", "RESULT", 3840, 1680, 24),

    // Left block: the capture columns.
    cell(Cell::START_TB, 1200, 1440, 2535, 405, 8),
    cell(Cell::TOTAL_MIL_SEC, 1200, 2040, 1215, 375, 15),
    cell(Cell::TOTAL_MIL_MIN, 1200, 2520, 1215, 375, 14),
    cell(Cell::TOTAL_MIL_HOUR, 1200, 3000, 1215, 375, 13),
    cell(Cell::TOTAL_MIL_DAY, 1200, 3480, 1215, 375, 12),
    cell(Cell::TOTAL_MIL_WEEK, 1200, 3960, 1215, 375, 11),
    cell(Cell::TOTAL_MIL_MONTH, 1200, 4440, 1215, 375, 10),
    cell(Cell::TOTAL_MIL_YEAR, 1200, 4920, 1215, 375, 9),
    cell(Cell::SECS_TB, 2640, 2040, 1935, 375, 7),
    cell(Cell::MINS_TB, 2640, 2520, 1935, 375, 4),
    cell(Cell::HOURS_TB, 2640, 3000, 1935, 375, 5),
    cell(Cell::DAYS_TB, 2640, 3480, 1935, 375, 6),
    cell(Cell::WEEKS_TB, 2640, 3960, 1935, 375, 3),
    cell(Cell::MONTHS_TB, 2640, 4440, 1935, 375, 2),
    cell(Cell::YEARS_TB, 2640, 4920, 1935, 375, 1),

    // Right block: the day, hour, minute and second stages.
    cell(Cell::DAYS_MIRROR_TB, 5280, 1320, 1935, 375, 29),
    cell(Cell::DAYS_ROUNDED_TB, 5280, 1800, 1935, 375, 40),
    cell(Cell::HOURS_24_TB, 7680, 1320, 375, 375, 39),
    cell(Cell::HOURS_FULL, 7320, 1800, 1215, 375, 38),
    cell(Cell::HOURS_LEFT_TB, 8640, 1320, 1935, 375, 37),
    cell(Cell::HOURS_ROUNDED_TB, 8640, 1800, 1935, 375, 36),
    cell(Cell::MINS_60_TB, 5760, 2640, 375, 375, 35),
    cell(Cell::MINUTES_LEFT_X_60_TB, 6240, 2400, 2895, 375, 34),
    cell(Cell::MINUTES_ROUNDED_X_60_TB, 6240, 2880, 2895, 375, 32),
    cell(Cell::MINUTES_DIFFERENCE_LEFT_TB, 9240, 2400, 2295, 375, 27),
    cell(Cell::MINUTES_DIFFERENCE_ROUNDED_TB, 9240, 2880, 2295, 375, 26),
    cell(Cell::SECS_60_TB, 5760, 3720, 375, 375, 33),
    cell(Cell::SECONDS_LEFT_TB, 6240, 3480, 2175, 375, 31),
    cell(Cell::SECONDS_ROUNDED_TB, 6240, 3960, 2175, 375, 30),
    cell(Cell::SECONDS_DIFFERENCE_TB, 8640, 3720, 2295, 375, 28),
    cell(Cell::SECONDS_DIFFERENCE_ROUNDED_TB, 8640, 4200, 2295, 375, 25),

    // The running program's options; they have no click behaviour.
    option(main_controls::AlwaysOnTop_TICKBOX, "Always On Top", 960, 1455, 0),
    option(main_controls::AUTOSTART_TICKBOX, "AutoStart", 2880, 1095, 41),

    // The divider, from (5160, 1320) to (5160, 5400): the only control drawn.
    ControlDesign{.name = "Line1", .kind = ControlKind::line, .text = {}, .left = 5160,
                  .top = 1320, .width = 5160, .height = 5400, .back_colour = {},
                  .text_colour = {}, .font = {}},

    // Timers due together are served in this order.
    timer(main_controls::AlwaysOnTopTimer, true),
    timer(main_controls::UPTIME_TIMER, true),
    timer(main_controls::DAY_UPTIME_TIMER, false),
    timer(main_controls::HOUR_UPTIME_TIMER, false),
    timer(main_controls::MINUTE_UPTIME_TIMER, false),
    timer(main_controls::SECOND_UPTIME_TIMER, false),
    timer(main_controls::KQ_DISPLAY_UPDATE_TIMER, true),
    timer(main_controls::TOTALS_TIMER, false),
};

constexpr platform::WindowDesign design{
    .name = "KQ_REZ_MAIN",
    .caption = "KQ-DADEDED: 00000X, 00X, 00X, 000X,",
    .client_width = 12060,
    .client_height = 5730,
    .fixed_frame = true,
    .minimise_button = false,
    .maximise_button = false,
    .taskbar_entry = false,
    .manual_position = true,
    .controls = controls,
};

}  // namespace

const platform::WindowDesign& main_window_design() { return design; }

}  // namespace kq::ui
