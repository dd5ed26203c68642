// The About dialog's behaviours: load, unload, OK, the two option clicks and
// the creator double-click.

#include "kq/ui/about_dialog.hpp"

#include "kq/ui/about_dialog_controls.hpp"
#include "kq/ui/main_window.hpp"
#include "kq/ui/stored_values.hpp"

namespace kq::ui {

AboutDialog::AboutDialog(platform::Platform& platform, MainWindow& main)
    : Window(platform, about_dialog_design(), &main),
      main_(main),
      always_on_top_box_(tick_box(about_controls::AlwaysOnTop_TICKBOX)),
      autostart_box_(tick_box(about_controls::AUTOSTART_TICKBOX)),
      creator_label_(label(about_controls::CREATOR_TEXTBOX)) {
  on_load = [this] { load(); };
  on_unload = [this] { save_position(); };
  push_button(about_controls::OK_BUTTON).on_click = [this] { ok_click(); };
  always_on_top_box_.on_click = [this] { always_on_top_click(); };
  autostart_box_.on_click = [this] { autostart_click(); };
  creator_label_.on_double_click = [this] { creator_label_.set_caption(creator_address); };
}

void AboutDialog::load() {
  auto& stored = main_.settings();
  set_left(stored.read_placement(settings::ABOUT_Left));
  set_top(stored.read_placement(settings::ABOUT_Top));
  set_width(stored.read_placement(settings::ABOUT_Width));
  set_height(stored.read_placement(settings::ABOUT_Height));
  // The options come from the store, not from the main window. A set that
  // changes a box runs its click to the end before the next step.
  always_on_top_box_.set_value(stored_option(stored, settings::AlwaysOnTop_TICKBOX));
  autostart_box_.set_value(stored_option(stored, settings::AUTOSTART_TICKBOX));
}

void AboutDialog::save_position() {
  store_placement(main_.settings(), settings::ABOUT_Left, left());
  store_placement(main_.settings(), settings::ABOUT_Top, top());
}

void AboutDialog::ok_click() {
  save_position();
  unload();  // whose unload behaviour saves the position again
}

void AboutDialog::always_on_top_click() {
  main_.always_on_top_switch(always_on_top_box_.value() == 1);
  store_option(main_.settings(), settings::AlwaysOnTop_TICKBOX, always_on_top_box_.value());
}

void AboutDialog::autostart_click() {
  const bool on = autostart_box_.value() == 1;
  main_.autostart_switch(on);
  store_option(main_.settings(), settings::AUTOSTART_TICKBOX, autostart_box_.value());
  // Switching on writes no caption: the display stage's next tick brings the
  // running one.
  if (!on) main_.set_caption(disabled_caption);
}

}  // namespace kq::ui
