#pragma once
// Runs the real windows, engine and an in-memory settings store on the
// simulated platform, one script command at a time, and writes every
// observable event to the log as it happens.

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "kq/platform/sim/sim_platform.hpp"
#include "kq/settings/memory_store.hpp"
#include "kq/settings/recording_store.hpp"
#include "kq/ui/main_window.hpp"
#include "script.hpp"

namespace kq::scenario {

class Runner {
 public:
  Runner(Script& script, std::ostream& log, std::ostream& errors);
  // Runs the script to its end. Throws ScriptError for a command it does
  // not know or cannot read.
  void run();

 private:
  // Runs the next command; false at the end of the script. The windows'
  // message loops pull commands through this too.
  bool step();
  void execute(const Command& command);

  void start(const Command& command);
  void show(const Command& command);
  std::string show_window_item(const Command& command, std::string_view window, std::string_view item);
  void show_store();

  void line(std::string_view text);

  Script& script_;
  std::ostream& log_;
  std::ostream& errors_;
  platform::sim::SimPlatform sim_;
  settings::MemoryStore store_;
  settings::RecordingStore recording_;
  std::unique_ptr<ui::MainWindow> main_;
  int current_line_ = 0;
};

}  // namespace kq::scenario
