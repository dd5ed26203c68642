#pragma once
// The windowing platform: one interface per backend (sim, win32, fltk, term).
// Backends create the native half of each window (a WindowPeer), run the
// message loops and provide the few system services the behaviours need.
// Events flow one way: the backend calls Window::deliver_* and Timer::tick,
// which run the behaviours. No operating-system type crosses this header.

#include <cstdint>
#include <memory>
#include <string_view>

namespace kq::platform {

using Handle = std::uint32_t;  // a window handle as the system passes it; 0 is none
inline constexpr Handle no_window = 0;

class Window;
class Control;
class TickBox;
class Timer;

enum class Edge : std::uint8_t { left, top, width, height };
enum class TimerSetting : std::uint8_t { interval, enabled };
enum class Stacking : std::uint8_t { topmost, not_topmost };  // HWND_TOPMOST, HWND_NOTOPMOST

// The SetWindowPos flags the always-on-top keeper passes, with their Windows
// values: the keeper's contract with the system is that call, so its flags
// travel through this interface as they are, and each backend does with
// them what its system allows (set_window_pos below).
inline constexpr std::uint32_t swp_nosize = 0x0001;
inline constexpr std::uint32_t swp_nomove = 0x0002;
inline constexpr std::uint32_t swp_noactivate = 0x0010;

// The backend's half of one window. Every method is called on the GUI thread
// by the shared Window and control classes; all are pure so that a backend
// that misses one fails to compile.
class WindowPeer {
 public:
  virtual ~WindowPeer() = default;

  virtual Handle handle() const = 0;

  // Placement in twips; the backend is the truth (the user may move a window).
  virtual float placement(Edge edge) const = 0;
  // A behaviour sets one edge, also to the value it already has.
  virtual void set_placement(Edge edge, float twips) = 0;

  virtual void caption_changed(std::string_view caption) = 0;  // only on a real change
  virtual void control_changed(Control& control) = 0;  // text, caption or value changed

  // An interval or on/off switch was set, even to the state it already had.
  virtual void timer_changed(Timer& timer, TimerSetting what) = 0;

  virtual void focus_changed(Control* control) = 0;

  // After the load behaviour: the window appears (modal: its owner is disabled).
  virtual void show(bool modal) = 0;
  // After the unload behaviour: the window goes away and its timers stop. The
  // peer object itself lives until the Window is destroyed.
  virtual void close() = 0;
};

// Hears of steps of the shared controls that no backend acts on, for
// whoever watches a run (the simulator's log). Every method does nothing
// unless overridden; all are called on the GUI thread.
class Observer {
 public:
  // A behaviour sets a tick box, before the value takes effect and before any
  // click behaviour it sets off (called for every set, changing or not).
  virtual void tick_box_setting(TickBox& /*box*/, int /*value*/) {}
  // A click behaviour of a control is about to run (user click or changing set).
  virtual void click_starting(Control& /*control*/) {}

 protected:
  ~Observer() = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The observer of every window on this platform, or none (the default);
  // not owned, it must outlive its use.
  void set_observer(Observer* observer) { observer_ = observer; }
  Observer* observer() const { return observer_; }

  // The native half of a new window, before its load behaviour runs.
  virtual std::unique_ptr<WindowPeer> create_peer(Window& window, Window* owner) = 0;

  // The message loop: returns once the window has been unloaded.
  virtual void run(Window& main) = 0;
  // The nested loop of a modal dialog: returns once the dialog has been
  // unloaded; the owner takes no input meanwhile but its timers keep ticking.
  virtual void run_modal(Window& dialog, Window& owner) = 0;

  // Milliseconds since the system started (64-bit where the system has it).
  virtual std::uint64_t tick_count() = 0;
  // The window the user works in, or no_window.
  virtual Handle foreground_window() = 0;
  // SetWindowPos(window, insert_after, 0, 0, 0, 0, flags); the result is ignored.
  virtual void set_window_pos(Handle window, Stacking insert_after, std::uint32_t flags) = 0;

 private:
  Observer* observer_ = nullptr;
};

}  // namespace kq::platform
