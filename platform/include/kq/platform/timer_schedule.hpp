#pragma once
// When each running timer of every window ticks next, for every backend: the
// backend tells it of windows and timer settings, sleeps until next_due() and
// calls serve() on waking. Ticks that are due together are delivered in a
// fixed order: windows in the order they were added (oldest first), then each
// window's timers in design order. No system calls; times are milliseconds
// on whatever clock the backend reads.
//
// Two policies:
// - exact: a timer ticks every max(interval, 1, floor) ms, each setting starts
//   its period afresh (the simulator, where a test fixes every moment).
// - whole seconds: a real face shows a caption that can only change when the
//   tick count passes a whole second, so every running timer shorter than a
//   second ticks once a second, all in one wake-up shortly after the second;
//   longer timers keep whole-second rhythms and ride the same wake-ups. A
//   timer that has just been switched on gets its first tick after the floor,
//   so what it drives shows at once. Nothing is served while the clock reads
//   exactly a whole second (the capture stage must read a count past it).

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "kq/platform/platform.hpp"

namespace kq::platform {

class TimerSchedule {
 public:
  enum class Policy : std::uint8_t { exact, whole_seconds };
  struct Tuning {
    Policy policy = Policy::exact;
    // exact: the shortest period. whole seconds: the first tick of a timer
    // just switched on comes this long after.
    std::int64_t floor_ms = 0;
    // whole seconds: wake this long after each whole second ...
    std::int64_t after_ms = 2;
    // ... and serve what is due this soon too (less than after_ms, so that a
    // clock still reading the whole second is not served).
    std::int64_t gather_ms = 1;
  };
  static constexpr std::int64_t second_ms = 1000;

  explicit TimerSchedule(Tuning tuning) : tuning_(tuning) {}

  // Runs one tick. Without one, a tick runs by the platform's failure rule
  // (a failing tick ends only itself); a backend that reports failures, or
  // stops more at its system boundary, sets its own.
  void set_delivery(std::function<void(Timer&)> delivery) { delivery_ = std::move(delivery); }
  void set_floor(std::int64_t milliseconds) { tuning_.floor_ms = milliseconds; }

  // A new window: its timers join the schedule, those running by design armed.
  void add(Window& window, std::int64_t now);
  // An interval or switch was set (even to what it was). Timers of windows
  // not added, or removed, are ignored.
  void changed(Timer& timer, TimerSetting what, std::int64_t now);
  // A window went away: its timers never tick again.
  void remove(const Window& window);

  // When the loop must wake next, or nothing when no timer runs.
  std::optional<std::int64_t> next_due() const;
  // Ticks every timer due at `now`, each once, in order. Each is checked just
  // before its tick (an earlier tick may have stopped, re-armed or removed
  // it). Returns how many ticked.
  int serve(std::int64_t now);
  // The clock reading of the wake-up being served, if inside serve(): one
  // reading per wake-up for whatever the ticks ask the time.
  std::optional<std::int64_t> serving_at() const { return serving_at_; }
  // The tick count a backend reports: inside serve(), that reading, so the
  // ticks see the count they were judged due by; else read_clock()'s.
  template <class ReadClock>
  std::int64_t tick_count(ReadClock read_clock) const {
    return serving_at_ ? *serving_at_ : static_cast<std::int64_t>(read_clock());
  }

  std::size_t armed() const;

 private:
  struct Entry {
    Timer* timer;
    const Window* window;
    std::int64_t due = 0;
    bool armed = false;
    bool pending = false;  // due at the wake-up being served, not yet ticked
  };
  Entry* find(const Timer& timer);
  void arm_afresh(Entry& entry, std::int64_t now) const;
  std::int64_t rearm_after_tick(const Timer& timer, std::int64_t now) const;
  std::int64_t first_wake_at_or_after(std::int64_t moment) const;
  bool whole_seconds() const { return tuning_.policy == Policy::whole_seconds; }

  Tuning tuning_;
  std::function<void(Timer&)> delivery_;
  std::vector<Entry> entries_;  // by window, then design order
  std::optional<std::int64_t> serving_at_;
};

}  // namespace kq::platform
