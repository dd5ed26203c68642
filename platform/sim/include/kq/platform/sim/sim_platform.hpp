#pragma once
// A deterministic platform for tests: a virtual clock that the test advances,
// timers served in a fixed order, a foreground window the test chooses, user
// input injected by call, and a log of what a person or the window system
// would see, sent line by line to an event sink.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kq/platform/platform.hpp"
#include "kq/platform/timer_schedule.hpp"
#include "kq/platform/window.hpp"

namespace kq::platform::sim {

class SimPeer;

// The handle of a window that belongs to some other program.
inline constexpr Handle other_window = 0x000F0042;

// "main" for KQ_REZ_MAIN, "about" for KQ_REZ_ABOUT, else the design name.
std::string short_name(std::string_view design_name);

// A driver for the message loops that runs the queued steps in order, one per
// turn, and ends the loops once the queue is empty. The queue must outlive it.
using Step = std::function<void()>;
std::function<bool()> drive_steps(std::deque<Step>& steps);

class SimPlatform : public Platform {
 public:
  using Sink = std::function<void(std::string_view)>;
  // Runs the next command of whoever drives the simulation (a script, a
  // test); false when there is none left. The message loops pull these.
  using Driver = std::function<bool()>;

  SimPlatform();
  ~SimPlatform() override;

  // --- Platform --------------------------------------------------------
  std::unique_ptr<WindowPeer> create_peer(Window& window, Window* owner) override;
  void run(Window& main) override;
  void run_modal(Window& dialog, Window& owner) override;
  std::uint64_t tick_count() override;
  Handle foreground_window() override;
  void set_window_pos(Handle window, Stacking insert_after, std::uint32_t flags) override;

  // --- Set-up ----------------------------------------------------------
  void set_event_sink(Sink sink) { events_ = std::move(sink); }
  // A failure that leaves a behaviour unhandled reaches the platform here;
  // the loop goes on with the next event.
  void set_failure_sink(Sink sink) { failures_ = std::move(sink); }
  void set_driver(Driver driver) { driver_ = std::move(driver); }
  // Real systems bound a short timer period; 0 leaves 1 ms as the bound.
  void set_timer_floor(std::uint32_t milliseconds) { schedule_.set_floor(milliseconds); }

  // --- The clock -------------------------------------------------------
  std::uint64_t now() const { return now_; }
  // The tick counter reads `count` now and advances with the clock.
  void set_tick_count(std::uint64_t count);
  // Delivers every tick due in (now, now + ms], in time order; ticks due at
  // the same moment go by window (oldest first), then by design order.
  void advance(std::uint64_t milliseconds);

  // --- The desktop -----------------------------------------------------
  // "main", "about", "other" or "none": resolved at each call, so "about"
  // names whichever About dialog is open (none when there is none).
  void set_foreground(std::string_view who) { foreground_.assign(who); }
  bool topmost(Handle window) const;
  std::string handle_name(Handle window) const;

  // The newest open window with this short name, or nullptr.
  Window* window(std::string_view name) const;
  std::uint64_t failure_count() const { return failure_count_; }
  // The driver has no commands left; the loops return at once.
  bool driver_finished() const { return driver_finished_; }

  // --- User input: false when the window or control takes no input -----
  bool double_click(std::string_view window);
  bool double_click(std::string_view window, std::string_view label);
  bool click(std::string_view window, std::string_view control);
  bool key(std::string_view window, Key key);
  bool close(std::string_view window);
  // The user drags a window; no behaviour runs.
  bool move(std::string_view window, float left, float top);

 private:
  friend class SimPeer;

  void log(std::string_view line) const;
  // Runs one event; a failure is reported and the loop goes on.
  template <class F>
  void deliver(F&& event);
  bool pull_step();
  void peer_destroyed(SimPeer* peer);
  Control* input_control(std::string_view window, std::string_view control) const;

  Sink events_;
  Sink failures_;
  Driver driver_;
  bool driver_finished_ = false;
  TimerSchedule schedule_{{.policy = TimerSchedule::Policy::exact}};
  std::uint64_t now_ = 0;
  std::uint64_t tick_base_ = 0;  // the counter read this at tick_time_
  std::uint64_t tick_time_ = 0;
  std::string foreground_ = "main";
  std::map<Handle, bool> topmost_;
  std::vector<SimPeer*> peers_;  // creation order
  std::uint32_t next_serial_ = 1;
  std::uint64_t failure_count_ = 0;
};

}  // namespace kq::platform::sim
