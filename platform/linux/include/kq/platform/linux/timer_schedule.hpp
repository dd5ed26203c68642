#pragma once
// Due times of every running timer of every window, for a backend whose loop
// sleeps until the next one is due. Timers due within a few milliseconds of
// each other are served in one wake-up, in design order, and a timer never
// fires faster than the floor, as the system timer bounds a 1 ms timer on
// Windows. Times are milliseconds on any steady clock.

#include <cstdint>
#include <optional>
#include <vector>

#include "kq/platform/controls.hpp"
#include "kq/platform/platform.hpp"

namespace kq::platform::linux_host {

class TimerSchedule {
 public:
  static constexpr std::int64_t floor_ms = 16;     // shortest real period
  static constexpr std::int64_t gather_ms = 4;     // due this close together: one wake-up

  // A timer's interval or switch was set: (re)arm or drop it.
  void changed(Timer& timer, TimerSetting what, std::int64_t now);
  // A window went away: its timers never tick again.
  void forget(const Window& window);

  // When the loop must wake next, or nothing when no timer runs.
  std::optional<std::int64_t> next_due() const;
  // Ticks every timer due by now (plus the gathering margin), each once, and
  // re-arms each from now. Returns how many ticked.
  int serve(std::int64_t now);

  std::size_t armed() const { return entries_.size(); }

 private:
  struct Entry {
    Timer* timer;
    std::size_t index;  // place among its window's controls: design order
    std::int64_t due;
  };
  static std::int64_t period(const Timer& timer);
  Entry* find(const Timer& timer);

  std::vector<Entry> entries_;  // kept in design order
  std::vector<Timer*> due_;     // reused by serve: no allocation per wake-up
};

}  // namespace kq::platform::linux_host
