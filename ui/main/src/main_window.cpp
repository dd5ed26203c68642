// The main window's behaviours: load, unload, double-click, the start-up timer
// schedule, the two option switches and the always-on-top keeper.

#include "kq/ui/main_window.hpp"

#include "kq/engine/cascade.hpp"
#include "kq/ui/about_dialog.hpp"
#include "kq/ui/main_window_controls.hpp"
#include "kq/ui/stored_values.hpp"

namespace kq::ui {

namespace {

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
    : Window(platform, main_window_design()),
      settings_(store),
      always_on_top_box_(tick_box(main_controls::AlwaysOnTop_TICKBOX)),
      autostart_box_(tick_box(main_controls::AUTOSTART_TICKBOX)),
      always_on_top_timer_(timer(main_controls::AlwaysOnTopTimer)),
      uptime_timer_(timer(main_controls::UPTIME_TIMER)),
      day_timer_(timer(main_controls::DAY_UPTIME_TIMER)),
      hour_timer_(timer(main_controls::HOUR_UPTIME_TIMER)),
      minute_timer_(timer(main_controls::MINUTE_UPTIME_TIMER)),
      second_timer_(timer(main_controls::SECOND_UPTIME_TIMER)),
      display_timer_(timer(main_controls::KQ_DISPLAY_UPDATE_TIMER)),
      start_up_order_{&uptime_timer_, &day_timer_,    &hour_timer_,
                      &minute_timer_, &second_timer_, &display_timer_},
      switch_order_{&day_timer_,    &hour_timer_,  &minute_timer_,
                    &second_timer_, &uptime_timer_, &display_timer_} {
  on_load = [this] { load(); };
  on_unload = [this] { unload_settings(); };
  on_double_click = [this] { open_about(); };
  bind_cells();
  bind_timers();
}

void MainWindow::bind_cells() {
  for (std::size_t i = 0; i < engine::cell_count; ++i) {
    const auto cell = static_cast<engine::Cell>(i);
    cell_texts_[i].attach(sheet_, cell);
    text_field(engine::cell_name(cell)).bind(cell_texts_[i]);
  }
}

void MainWindow::bind_timers() {
  always_on_top_timer_.on_tick = [this] { keep_on_top(); };
  uptime_timer_.on_tick = [this] {
    run_stage([this] { engine::capture_stage(sheet_, this->platform().tick_count()); });
  };
  day_timer_.on_tick = [this] { run_stage([this] { engine::day_stage(sheet_); }); };
  hour_timer_.on_tick = [this] { run_stage([this] { engine::hour_stage(sheet_); }); };
  minute_timer_.on_tick = [this] { run_stage([this] { engine::minute_stage(sheet_); }); };
  second_timer_.on_tick = [this] { run_stage([this] { engine::second_stage(sheet_); }); };
  display_timer_.on_tick = [this] {
    run_stage([this] {
      engine::compose_caption(sheet_, composed_caption_);
      set_caption(composed_caption_);
    });
  };
  // TOTALS_TIMER has no tick behaviour: nothing ever starts it.
}

void MainWindow::load() {
  // Each value is applied as soon as it is read.
  set_left(settings_.read_placement(settings::MAIN_Left));
  set_top(settings_.read_placement(settings::MAIN_Top));
  set_width(settings_.read_placement(settings::MAIN_Width));
  set_height(settings_.read_placement(settings::MAIN_Height));
  always_on_top_box_.set_value(stored_option(settings_, settings::AlwaysOnTop_TICKBOX));
  autostart_box_.set_value(stored_option(settings_, settings::AUTOSTART_TICKBOX));
  // Whatever the options say: with AutoStart on, the display stage's first
  // tick replaces it.
  set_caption(disabled_caption);
  start_up_schedule();
}

void MainWindow::start_up_schedule() {
  always_on_top_timer_.set_interval(1000);
  for (auto* timer : start_up_order_) timer->set_interval(1);
  always_on_top_timer_.set_enabled(always_on_top_box_.value() == 1);
  const bool autostart = autostart_box_.value() == 1;
  for (auto* timer : start_up_order_) timer->set_enabled(autostart);
}

void MainWindow::unload_settings() {
  // Sizes are never written: a resized window starts at its stored size again.
  store_placement(settings_, settings::MAIN_Left, left());
  store_placement(settings_, settings::MAIN_Top, top());
  store_option(settings_, settings::AlwaysOnTop_TICKBOX, always_on_top_box_.value());
  store_option(settings_, settings::AUTOSTART_TICKBOX, autostart_box_.value());
}

void MainWindow::open_about() {
  AboutDialog dialog(platform(), *this);
  dialog.exec();
}

void MainWindow::always_on_top_switch(bool on) {
  // Switching off leaves the window topmost if it already is.
  always_on_top_timer_.set_enabled(on);
  always_on_top_box_.set_value(on ? 1 : 0);
}

void MainWindow::autostart_switch(bool on) {
  autostart_box_.set_value(on ? 1 : 0);
  for (auto* timer : switch_order_) timer->set_enabled(on);
}

void MainWindow::keep_on_top() {
  auto& system = platform();
  if (system.foreground_window() == handle()) return;
  // Asked anew: whatever is in front now loses any topmost state.
  system.set_window_pos(system.foreground_window(), platform::Stacking::not_topmost, keeper_flags);
  system.set_window_pos(handle(), platform::Stacking::topmost, keeper_flags);
}

}  // namespace kq::ui
