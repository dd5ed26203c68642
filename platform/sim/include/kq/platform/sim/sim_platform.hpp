#pragma once
// A deterministic platform for tests: a virtual clock that the test advances,
// timers served in a fixed order, a foreground window the test chooses, user
// input injected by call, and a log of what a person or the window system
// would see, sent line by line to an event sink. The log and the input calls
// know windows by the names the test gives their designs.

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

// A driver for the message loops that runs the queued steps in order, one per
// turn, and ends the loops once the queue is empty. The queue must outlive it.
using Step = std::function<void()>;
std::function<bool()> drive_steps(std::deque<Step>& steps);

class SimPlatform : public Platform, private Observer {
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
  // What the log and the input calls call the windows of a design ("main",
  // say), and whether the log follows their caption. A window of a design not
  // named here goes by its design name, and its caption is not logged.
  // Applies to windows created afterwards.
  enum class Caption : std::uint8_t { not_logged, logged };
  void name_window(std::string_view design_name, std::string name, Caption caption = Caption::not_logged);

  // --- The clock -------------------------------------------------------
  std::uint64_t now() const { return now_; }
  // The tick counter reads `count` now and advances with the clock.
  void set_tick_count(std::uint64_t count);
  // Delivers every tick due in (now, now + ms], in time order; ticks due at
  // the same moment go by window (oldest first), then by design order.
  void advance(std::uint64_t milliseconds);

  // --- The desktop -----------------------------------------------------
  // A window's name, "other" or "none": resolved at each call, so a name
  // stands for whichever window of that name is open (none when there is
  // none). Until it is set, the oldest open window is in front.
  void set_foreground(std::string_view who) { foreground_.assign(who); }
  bool topmost(Handle window) const;
  std::string handle_name(Handle window) const;

  // The newest open window with this name, or nullptr.
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

  struct Naming {
    std::string name;
    Caption caption;
  };
  // The name and caption watch of a new window of this design.
  Naming naming(std::string_view design_name) const;

  // The log lines of the shared controls' steps.
  void tick_box_setting(TickBox& box, int value) override;
  void click_starting(Control& control) override;

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
  std::map<std::string, Naming, std::less<>> namings_;  // by design name
  std::string foreground_;  // empty: the oldest open window
  std::map<Handle, bool> topmost_;
  std::vector<SimPeer*> peers_;  // creation order
  std::uint32_t next_serial_ = 1;
  std::uint64_t failure_count_ = 0;
};

}  // namespace kq::platform::sim
