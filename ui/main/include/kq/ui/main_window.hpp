#pragma once
// The main window: its title bar shows the uptime. It owns the worksheet, the
// option tick boxes that hold the running program's options, and the timers
// that run the cascade and the always-on-top keeper.

#include <array>
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
  void bind_cells();
  void bind_timers();

  // A hidden text field's text is its cell's: a driver that sets the field
  // sets the cell, and what a stage writes is what the field reads.
  class CellText final : public platform::TextStore {
   public:
    void attach(engine::Worksheet& sheet, engine::Cell cell) {
      sheet_ = &sheet;
      cell_ = cell;
    }
    const std::string& text() const override { return sheet_->text(cell_); }
    void set_text(std::string_view text) override { sheet_->set_text(cell_, text); }

   private:
    engine::Worksheet* sheet_ = nullptr;
    engine::Cell cell_{};
  };

  engine::Worksheet sheet_;
  std::array<CellText, engine::cell_count> cell_texts_;
  std::string composed_caption_;  // reused by every display tick
  settings::Settings settings_;

  // Taken once, when the window is built.
  platform::TickBox& always_on_top_box_;
  platform::TickBox& autostart_box_;
  platform::Timer& always_on_top_timer_;
  platform::Timer& uptime_timer_;
  platform::Timer& day_timer_;
  platform::Timer& hour_timer_;
  platform::Timer& minute_timer_;
  platform::Timer& second_timer_;
  platform::Timer& display_timer_;
  // The engine timers in the order the start-up schedule switches them, and
  // in the order the AutoStart switch does: there the capture timer is fifth.
  std::array<platform::Timer*, 6> start_up_order_;
  std::array<platform::Timer*, 6> switch_order_;
};

}  // namespace kq::ui
