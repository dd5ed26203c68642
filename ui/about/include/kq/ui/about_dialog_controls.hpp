#pragma once
// The names by which the About dialog's behaviours, its design, drivers and
// tests reach its controls. The titles that nothing reaches are named in the
// design alone.

#include <string_view>

#include "kq/settings/keys.hpp"

namespace kq::ui::about_controls {

// The same names as the main window's option tick boxes, and so as the
// settings keys that keep them.
inline constexpr std::string_view AlwaysOnTop_TICKBOX = settings::AlwaysOnTop_TICKBOX.name;
inline constexpr std::string_view AUTOSTART_TICKBOX = settings::AUTOSTART_TICKBOX.name;

inline constexpr std::string_view OK_BUTTON = "OK_BUTTON";
inline constexpr std::string_view CREATOR_TEXTBOX = "CREATOR_TEXTBOX";

}  // namespace kq::ui::about_controls
