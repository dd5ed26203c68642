#pragma once
// The main window: its title bar shows the uptime. It owns the worksheet, the
// option tick boxes that hold the running program's options, and the timers
// that run the cascade and the always-on-top keeper.

#include <cstdint>
#include <string>
#include <string_view>

#include "kq/engine/worksheet.hpp"
#include "kq/platform/window.hpp"
#include "kq/settings/keys.hpp"

namespace kq::ui {

inline constexpr std::string_view disabled_caption = "KQ-DADEDED: TIMERS DISABLED !!!";

// The keeper changes only the stacking order: the windows neither move nor
// resize, and the keyboard focus stays where the user has it.
inline constexpr std::uint32_t keeper_flags =
    platform::swp_nomove | platform::swp_nosize | platform::swp_noactivate;

const platform::WindowDesign& main_window_design();

class MainWindow : public platform::Window {
 public:
  MainWindow(platform::Platform& platform, settings::Store& store);

  engine::Worksheet& worksheet() { return sheet_; }
  const engine::Worksheet& worksheet() const { return sheet_; }
  settings::Settings& settings() { return settings_; }

  // The option switches the About dialog runs.
  void always_on_top_switch(bool on);
  void autostart_switch(bool on);

 private:
  void load();
  void unload_settings();
  void open_about();
  void start_up_schedule();
  void keep_on_top();
  void bind_timers();

  engine::Worksheet sheet_;
  std::string composed_caption_;  // reused by every display tick
  settings::Settings settings_;
};

}  // namespace kq::ui
