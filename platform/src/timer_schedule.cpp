#include "kq/platform/timer_schedule.hpp"

#include <algorithm>

#include "kq/platform/behaviour.hpp"
#include "kq/platform/window.hpp"

namespace kq::platform {

namespace {

std::int64_t floor_to_second(std::int64_t t) {
  std::int64_t s = t / TimerSchedule::second_ms;
  if (t % TimerSchedule::second_ms < 0) --s;
  return s * TimerSchedule::second_ms;
}

std::int64_t ceil_to_second(std::int64_t t) {
  std::int64_t floor = floor_to_second(t);
  return floor == t ? t : floor + TimerSchedule::second_ms;
}

std::int64_t interval_of(const Timer& timer) { return std::max<std::int64_t>(timer.interval(), 1); }

}  // namespace

TimerSchedule::Entry* TimerSchedule::find(const Timer& timer) {
  for (auto& entry : entries_)
    if (entry.timer == &timer) return &entry;
  return nullptr;
}

std::int64_t TimerSchedule::first_wake_at_or_after(std::int64_t moment) const {
  return ceil_to_second(moment - tuning_.after_ms) + tuning_.after_ms;
}

void TimerSchedule::arm_afresh(Entry& entry, std::int64_t now) const {
  entry.armed = entry.timer->running();
  if (!entry.armed) return;
  const std::int64_t interval = interval_of(*entry.timer);
  if (!whole_seconds())
    entry.due = now + std::max(interval, tuning_.floor_ms);
  else if (interval >= second_ms)
    entry.due = first_wake_at_or_after(now + interval);
  else
    entry.due = now + tuning_.floor_ms;  // the first tick soon, then whole seconds
}

std::int64_t TimerSchedule::rearm_after_tick(const Timer& timer, std::int64_t now) const {
  const std::int64_t interval = interval_of(timer);
  if (!whole_seconds()) return now + std::max(interval, tuning_.floor_ms);
  return ceil_to_second(floor_to_second(now) + interval) + tuning_.after_ms;
}

void TimerSchedule::add(Window& window, std::int64_t now) {
  remove(window);  // a window added twice keeps one place, the newest
  for (const auto& control : window.controls()) {
    auto* timer = dynamic_cast<Timer*>(control.get());
    if (timer == nullptr) continue;
    entries_.push_back({timer, &window});
    arm_afresh(entries_.back(), now);
  }
}

void TimerSchedule::changed(Timer& timer, TimerSetting, std::int64_t now) {
  Entry* entry = find(timer);
  if (entry == nullptr) return;
  // On a real face a running timer set again keeps its rhythm; the exact
  // schedule starts the period afresh at every setting.
  if (whole_seconds() && entry->armed && timer.running()) return;
  arm_afresh(*entry, now);
}

void TimerSchedule::remove(const Window& window) {
  std::erase_if(entries_, [&](const Entry& entry) { return entry.window == &window; });
}

std::optional<std::int64_t> TimerSchedule::next_due() const {
  std::optional<std::int64_t> next;
  for (const auto& entry : entries_)
    if (entry.armed && (!next || entry.due < *next)) next = entry.due;
  return next;
}

std::size_t TimerSchedule::armed() const {
  return static_cast<std::size_t>(std::count_if(entries_.begin(), entries_.end(),
                                                [](const Entry& entry) { return entry.armed; }));
}

int TimerSchedule::serve(std::int64_t now) {
  const std::int64_t limit = whole_seconds() ? now + tuning_.gather_ms : now;
  if (whole_seconds() && floor_to_second(now) == now) {
    // The count reads exactly a whole second: what is due waits one more
    // step of the clock, so no tick reads the boundary itself.
    for (auto& entry : entries_)
      if (entry.armed && entry.due <= limit) entry.due = now + 1;
    return 0;
  }
  for (auto& entry : entries_) entry.pending = entry.armed && entry.due <= limit;

  // A tick may run a nested loop that serves too: restore the outer reading.
  struct Reading {
    std::optional<std::int64_t>& slot;
    std::optional<std::int64_t> outer;
    ~Reading() { slot = outer; }
  } reading{serving_at_, serving_at_};
  serving_at_ = now;
  int ticked = 0;
  // Entries may come and go during a tick (a window closed or created), so
  // each round looks for the first pending entry afresh.
  for (;;) {
    auto it = std::find_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.pending; });
    if (it == entries_.end()) break;
    it->pending = false;
    if (!it->armed || it->due > limit) continue;
    Timer& timer = *it->timer;
    it->due = rearm_after_tick(timer, now);
    ++ticked;
    if (delivery_)
      delivery_(timer);
    else
      run_behaviour([&] { timer.tick(); });
  }
  return ticked;
}

}  // namespace kq::platform
