#pragma once
// Small windows for exercising the simulator and the shared controls, and a
// fixture that collects the simulator's log.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kq/platform/sim/sim_platform.hpp"
#include "kq/platform/window.hpp"

namespace kq::platform::test {

using sim::SimPlatform;

inline ControlDesign control_design(std::string_view name, ControlKind kind, int tab = -1) {
  ControlDesign design{};
  design.name = name;
  design.kind = kind;
  design.text = name;
  design.tab_index = tab;
  return design;
}

inline ControlDesign timer_design(std::string_view name, bool enabled = false, int interval = 0) {
  ControlDesign design = control_design(name, ControlKind::timer);
  design.enabled = enabled;
  design.interval = interval;
  return design;
}

inline ControlDesign tick_box_design(std::string_view name, int tab, bool visible = true, int value = 1) {
  ControlDesign design = control_design(name, ControlKind::tick_box, tab);
  design.visible = visible;
  design.value = value;
  return design;
}

// A main window with two timers listed B before A, and a tick box.
inline const ControlDesign owner_controls[] = {
    timer_design("B_TIMER"),
    timer_design("A_TIMER"),
    tick_box_design("OPTION_TICKBOX", 0, false),
};
inline const WindowDesign owner_design{.name = "OWNER", .caption = "owner", .controls = owner_controls};

// A dialog: one timer, a label, two tick boxes and a button, tab order
// deliberately unlike design order, one hidden box.
inline const ControlDesign dialog_controls[] = {
    timer_design("D_TIMER"),
    control_design("NOTE_LABEL", ControlKind::label, 0),
    control_design("OK_BUTTON", ControlKind::push_button, 1),
    tick_box_design("SECOND_TICKBOX", 3),
    tick_box_design("FIRST_TICKBOX", 2),
    tick_box_design("HIDDEN_TICKBOX", 4, false),
};
inline const WindowDesign dialog_design{.name = "DIALOG", .caption = "dialog", .controls = dialog_controls};

class SimTest : public ::testing::Test {
 protected:
  SimTest() {
    sim.name_window(owner_design.name, "main", SimPlatform::Caption::logged);
    sim.name_window(dialog_design.name, "about");
    sim.set_event_sink([this](std::string_view line) { log.emplace_back(line); });
  }
  // The log since the last call.
  std::vector<std::string> take_log() {
    auto lines = std::move(log);
    log.clear();
    return lines;
  }
  void note(std::string_view line) { log.emplace_back(line); }

  SimPlatform sim;
  std::vector<std::string> log;
};

}  // namespace kq::platform::test
