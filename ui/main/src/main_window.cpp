// The main window's behaviours: load, unload, double-click, the start-up timer
// schedule, the two option switches and the always-on-top keeper.

#include "kq/ui/main_window.hpp"

#include <array>

#include "kq/engine/cascade.hpp"
#include "kq/ui/about_dialog.hpp"
#include "kq/ui/stored_values.hpp"

namespace kq::ui {

namespace {

constexpr std::string_view always_on_top_timer = "AlwaysOnTopTimer";
constexpr std::string_view always_on_top_box = "AlwaysOnTop_TICKBOX";
constexpr std::string_view autostart_box = "AUTOSTART_TICKBOX";

// The engine timers in the order the start-up schedule switches them...
constexpr std::array<std::string_view, 6> start_up_order{
    "UPTIME_TIMER",        "DAY_UPTIME_TIMER",    "HOUR_UPTIME_TIMER",
    "MINUTE_UPTIME_TIMER", "SECOND_UPTIME_TIMER", "KQ_DISPLAY_UPDATE_TIMER"};
// ...and in the order the AutoStart switch does: the capture timer comes fifth.
constexpr std::array<std::string_view, 6> switch_order{
    "DAY_UPTIME_TIMER", "HOUR_UPTIME_TIMER", "MINUTE_UPTIME_TIMER",
    "SECOND_UPTIME_TIMER", "UPTIME_TIMER", "KQ_DISPLAY_UPDATE_TIMER"};

// A stage that fails leaves the worksheet as it stands; the other stages go on
// from it, and the next run of this one may well succeed, so nothing is shown.
template <class Stage>
void run_stage(Stage&& stage) {
  try {
    stage();
  } catch (const engine::StageFailure&) {
  }
}

}  // namespace

MainWindow::MainWindow(platform::Platform& platform, settings::Store& store)
    : Window(platform, main_window_design()), settings_(store) {
  on_load = [this] { load(); };
  on_unload = [this] { unload_settings(); };
  on_double_click = [this] { open_about(); };
  bind_timers();
}

void MainWindow::bind_timers() {
  timer(always_on_top_timer).on_tick = [this] { keep_on_top(); };
  timer("UPTIME_TIMER").on_tick = [this] {
    run_stage([this] { engine::capture_stage(sheet_, this->platform().tick_count()); });
  };
  timer("DAY_UPTIME_TIMER").on_tick = [this] { run_stage([this] { engine::day_stage(sheet_); }); };
  timer("HOUR_UPTIME_TIMER").on_tick = [this] {
    run_stage([this] { engine::hour_stage(sheet_); });
  };
  timer("MINUTE_UPTIME_TIMER").on_tick = [this] {
    run_stage([this] { engine::minute_stage(sheet_); });
  };
  timer("SECOND_UPTIME_TIMER").on_tick = [this] {
    run_stage([this] { engine::second_stage(sheet_); });
  };
  timer("KQ_DISPLAY_UPDATE_TIMER").on_tick = [this] {
    run_stage([this] {
      engine::compose_caption(sheet_, composed_caption_);
      set_caption(composed_caption_);
    });
  };
  // TOTALS_TIMER has no tick behaviour: nothing ever starts it.
}

void MainWindow::load() {
  // Each value is applied as soon as it is read.
  set_left(settings_.read_single(settings::MAIN_Left));
  set_top(settings_.read_single(settings::MAIN_Top));
  set_width(settings_.read_single(settings::MAIN_Width));
  set_height(settings_.read_single(settings::MAIN_Height));
  tick_box(always_on_top_box).set_value(read_tick_value(settings_, settings::AlwaysOnTop_TICKBOX));
  tick_box(autostart_box).set_value(read_tick_value(settings_, settings::AUTOSTART_TICKBOX));
  // Whatever the options say: with AutoStart on, the display stage's first
  // tick replaces it.
  set_caption(disabled_caption);
  start_up_schedule();
}

void MainWindow::start_up_schedule() {
  timer(always_on_top_timer).set_interval(1000);
  for (auto name : start_up_order) timer(name).set_interval(1);
  timer(always_on_top_timer).set_enabled(tick_box(always_on_top_box).value() == 1);
  const bool autostart = tick_box(autostart_box).value() == 1;
  for (auto name : start_up_order) timer(name).set_enabled(autostart);
}

void MainWindow::unload_settings() {
  // Sizes are never written: a resized window starts at its stored size again.
  store_single(settings_, settings::MAIN_Left, left());
  store_single(settings_, settings::MAIN_Top, top());
  store_tick_value(settings_, settings::AlwaysOnTop_TICKBOX, tick_box(always_on_top_box).value());
  store_tick_value(settings_, settings::AUTOSTART_TICKBOX, tick_box(autostart_box).value());
}

void MainWindow::open_about() {
  AboutDialog dialog(platform(), *this);
  dialog.exec();
}

void MainWindow::always_on_top_switch(bool on) {
  // Switching off leaves the window topmost if it already is.
  timer(always_on_top_timer).set_enabled(on);
  tick_box(always_on_top_box).set_value(on ? 1 : 0);
}

void MainWindow::autostart_switch(bool on) {
  tick_box(autostart_box).set_value(on ? 1 : 0);
  for (auto name : switch_order) timer(name).set_enabled(on);
}

void MainWindow::keep_on_top() {
  auto& system = platform();
  if (system.foreground_window() == handle()) return;
  // Asked anew: whatever is in front now loses any topmost state.
  system.set_window_pos(system.foreground_window(), platform::Stacking::not_topmost, keeper_flags);
  system.set_window_pos(handle(), platform::Stacking::topmost, keeper_flags);
}

}  // namespace kq::ui
