#pragma once
// What the loops of both Linux faces share: the timer schedule on the boot
// clock, the wake-up that comes for it and the stop signals. A face sleeps in
// one poll on these and on its own input, then serves the timers.

#include <cstdint>

#include "kq/platform/linux/stop_signals.hpp"
#include "kq/platform/linux/wake_timer.hpp"
#include "kq/platform/platform.hpp"
#include "kq/platform/timer_schedule.hpp"

namespace kq::platform::linux_host {

// Both faces: once a second, 2 ms after the tick count passes each whole
// second; a timer just switched on first ticks after 16 ms (one frame).
inline constexpr TimerSchedule::Tuning face_timers{
    .policy = TimerSchedule::Policy::whole_seconds, .floor_ms = 16, .after_ms = 2, .gather_ms = 1};

class FaceLoop {
 public:
  // The boot clock's count, or inside a wake-up the reading it was served at.
  std::uint64_t tick_count() const;

  void add_timers(Window& window);
  void timer_changed(Timer& timer, TimerSetting what);
  void forget_timers(const Window& window);

  // A stop signal has come (stays true).
  bool stop_requested() const { return stop_.requested(); }

  // Sleeps until `input` (none when negative) has something, a stop signal
  // comes or the timers are due; says whether `input` has something.
  bool sleep(int input);
  // Ticks every timer due now.
  void serve_timers();

 private:
  TimerSchedule schedule_{face_timers};
  WakeTimer wake_;
  StopSignals stop_;
};

}  // namespace kq::platform::linux_host
