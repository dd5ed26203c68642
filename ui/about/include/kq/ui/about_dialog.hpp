#pragma once
// The modal About dialog: titles, version, creator line, freeware note, and
// the two option tick boxes that act on the main window at once.

#include <string_view>

#include "kq/platform/window.hpp"

namespace kq::ui {

class MainWindow;

inline constexpr std::string_view creator_address = "vudavo88@example.org";

const platform::WindowDesign& about_dialog_design();

class AboutDialog : public platform::Window {
 public:
  // Created anew at every opening, from its design-time state; exec() loads
  // and shows it modally over the main window.
  AboutDialog(platform::Platform& platform, MainWindow& main);

 private:
  void load();
  void save_position();
  void ok_click();
  void always_on_top_click();
  void autostart_click();

  MainWindow& main_;
  // Taken once, when the dialog is built.
  platform::TickBox& always_on_top_box_;
  platform::TickBox& autostart_box_;
  platform::Label& creator_label_;
};

}  // namespace kq::ui
