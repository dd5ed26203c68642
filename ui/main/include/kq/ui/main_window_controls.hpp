#pragma once
// The names by which the main window's behaviours, its design, drivers and
// tests reach its controls. The hidden text fields bear the names of the
// worksheet's cells (engine::cell_name); the labels and the line are reached
// by nothing and are named in the design alone.

#include <string_view>

#include "kq/settings/keys.hpp"

namespace kq::ui::main_controls {

// Each option tick box is stored under its own name, so the settings key is
// where that name is written.
inline constexpr std::string_view AlwaysOnTop_TICKBOX = settings::AlwaysOnTop_TICKBOX.name;
inline constexpr std::string_view AUTOSTART_TICKBOX = settings::AUTOSTART_TICKBOX.name;

inline constexpr std::string_view AlwaysOnTopTimer = "AlwaysOnTopTimer";
inline constexpr std::string_view UPTIME_TIMER = "UPTIME_TIMER";
inline constexpr std::string_view DAY_UPTIME_TIMER = "DAY_UPTIME_TIMER";
inline constexpr std::string_view HOUR_UPTIME_TIMER = "HOUR_UPTIME_TIMER";
inline constexpr std::string_view MINUTE_UPTIME_TIMER = "MINUTE_UPTIME_TIMER";
inline constexpr std::string_view SECOND_UPTIME_TIMER = "SECOND_UPTIME_TIMER";
inline constexpr std::string_view KQ_DISPLAY_UPDATE_TIMER = "KQ_DISPLAY_UPDATE_TIMER";
inline constexpr std::string_view TOTALS_TIMER = "TOTALS_TIMER";

}  // namespace kq::ui::main_controls
