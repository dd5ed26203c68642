#include "kq/platform/linux/timer_schedule.hpp"

#include <algorithm>

#include "kq/platform/linux/behaviour.hpp"
#include "kq/platform/window.hpp"

namespace kq::platform::linux_host {

namespace {

std::size_t design_index(const Timer& timer) {
  const auto& controls = timer.window().controls();
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (controls[i].get() == &timer) return i;
  return controls.size();
}

}  // namespace

std::int64_t TimerSchedule::period(const Timer& timer) {
  return std::max<std::int64_t>(timer.interval(), floor_ms);
}

TimerSchedule::Entry* TimerSchedule::find(const Timer& timer) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Entry& entry) { return entry.timer == &timer; });
  return it == entries_.end() ? nullptr : &*it;
}

void TimerSchedule::changed(Timer& timer, TimerSetting what, std::int64_t now) {
  Entry* entry = find(timer);
  if (!timer.running()) {
    if (entry != nullptr)
      entries_.erase(entries_.begin() + (entry - entries_.data()));
    return;
  }
  if (entry == nullptr) {
    Entry added{&timer, design_index(timer), now + period(timer)};
    auto later = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& other) {
      if (&other.timer->window() != &timer.window()) return &other.timer->window() > &timer.window();
      return other.index > added.index;
    });
    entries_.insert(later, added);
    return;
  }
  // A new interval restarts the count; switching on a running timer does not.
  if (what == TimerSetting::interval) entry->due = now + period(timer);
}

void TimerSchedule::forget(const Window& window) {
  std::erase_if(entries_, [&](const Entry& entry) { return &entry.timer->window() == &window; });
}

std::optional<std::int64_t> TimerSchedule::next_due() const {
  if (entries_.empty()) return std::nullopt;
  return std::min_element(entries_.begin(), entries_.end(),
                          [](const Entry& a, const Entry& b) { return a.due < b.due; })
      ->due;
}

int TimerSchedule::serve(std::int64_t now) {
  due_.clear();
  for (const auto& entry : entries_)
    if (entry.due <= now + gather_ms) due_.push_back(entry.timer);

  int ticked = 0;
  for (Timer* timer : due_) {
    // An earlier tick may have stopped, restarted or forgotten this timer.
    Entry* entry = find(*timer);
    if (entry == nullptr || entry->due > now + gather_ms) continue;
    entry->due = now + period(*timer);
    run_behaviour([timer] { timer->tick(); });
    ++ticked;
  }
  return ticked;
}

}  // namespace kq::platform::linux_host
