#include "live.hpp"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "boot_clock.hpp"
#include "kq/engine/cascade.hpp"

namespace kq::tools {
namespace {

// The stages in cascade order, so one round brings the caption up to date.
std::string cascade_round(engine::Worksheet& sheet, std::uint64_t ticks) {
  engine::capture_stage(sheet, ticks);
  engine::day_stage(sheet);
  engine::hour_stage(sheet);
  engine::minute_stage(sheet);
  engine::second_stage(sheet);
  return engine::compose_caption(sheet);
}

// Wake shortly after the next whole second of uptime, and at least four
// times a second, so a change shows within a few milliseconds.
std::chrono::milliseconds pause_after(std::uint64_t ticks) {
  const auto to_next_second = static_cast<long>(1010 - ticks % 1000);
  return std::chrono::milliseconds(std::min(250L, to_next_second));
}

}  // namespace

int run_live(std::ostream& out, std::ostream& err, bool follow) {
  engine::Worksheet sheet;
  std::string shown;
  try {
    do {
      const std::uint64_t ticks = boot_milliseconds();
      const std::string caption = cascade_round(sheet, ticks);
      if (caption != shown) {
        out << caption << '\n' << std::flush;
        shown = caption;
      }
      if (follow) std::this_thread::sleep_for(pause_after(ticks));
    } while (follow);
  } catch (const engine::StageFailure& failure) {
    err << "kq-cascade: " << failure.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace kq::tools
