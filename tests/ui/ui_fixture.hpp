#pragma once
// The real windows on the simulated platform, with a small store whose writes
// can be made to fail key by key, and a script of steps the message loops pull.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "kq/platform/sim/sim_platform.hpp"
#include "kq/settings/store.hpp"
#include "kq/ui/about_dialog.hpp"
#include "kq/ui/main_window.hpp"

namespace kq::ui::test {

class TestStore : public settings::Store {
 public:
  std::string read(std::string_view, std::string_view, std::string_view key,
                   std::int16_t fallback) override {
    auto found = values.find(std::string(key));
    return found != values.end() ? found->second : std::to_string(fallback);
  }
  void write(std::string_view, std::string_view, std::string_view key,
             std::string_view text) override {
    if (failing.contains(std::string(key))) throw settings::WriteError("cannot write");
    values[std::string(key)] = std::string(text);
  }
  std::string current_section() override { return "KQ-REZ-V1"; }

  std::map<std::string, std::string> values;
  std::set<std::string> failing;
};

// The simulator, knowing the program's windows as "main" (whose caption is
// logged) and "about" from the start.
class ProgramSim : public platform::sim::SimPlatform {
 public:
  ProgramSim() {
    name_window(main_window_design().name, "main", Caption::logged);
    name_window(about_dialog_design().name, "about");
  }
};

class UiTest : public ::testing::Test {
 protected:
  UiTest() {
    sim.set_event_sink([this](std::string_view line) { log.emplace_back(line); });
    sim.set_failure_sink([this](std::string_view what) { failures.emplace_back(what); });
    sim.set_driver(kq::platform::sim::drive_steps(steps));
  }

  // Starts the program and runs the steps in its message loop (and in the
  // nested loop of the About dialog while it is open); the last step should
  // close the main window.
  void run(std::deque<std::function<void()>> script) {
    steps = std::move(script);
    main.show();
    sim.run(main);
  }

  // The log lines since the last call.
  std::vector<std::string> take_log() {
    auto lines = std::move(log);
    log.clear();
    return lines;
  }

  ProgramSim sim;
  TestStore store;
  MainWindow main{sim, store};
  std::deque<std::function<void()>> steps;
  std::vector<std::string> log;
  std::vector<std::string> failures;
};

}  // namespace kq::ui::test
