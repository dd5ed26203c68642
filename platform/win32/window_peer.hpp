#pragma once
// The Windows half of one window: a top-level window with a fixed
// single-line frame, close button and no minimise/maximise buttons, and a
// real standard control for every visible control (static labels, 3-state
// tick boxes that never tick themselves, push buttons, edit fields; lines are
// painted). Hidden controls get no native widget: their state lives in the
// shared control classes only. Timers are served by the platform's one
// schedule.
// User input goes to the shared classes (Window::deliver_*, click(),
// double_click(), tick()); every change they make comes back here.
// Lacks: visible text fields are plain edits without the keyboard niceties
// of a dialog box (nothing in the program shows one).

#include <windows.h>

#include <vector>

#include "kq/platform/behaviour.hpp"
#include "kq/platform/geometry.hpp"
#include "kq/platform/platform.hpp"
#include "units.hpp"

namespace kq::platform::win32 {

class Win32Platform;

// A failure stops at the behaviour, by the platform's one rule, and a
// debugger hears of it. Nothing at all may unwind through the system's own
// frames, so whatever else is thrown stops here too.
const FailureSink* debug_output();
template <class Action>
void guarded(Action&& action) {
  try {
    run_behaviour(action, debug_output());
  } catch (...) {
    (*debug_output())("a behaviour failed");
  }
}

class Win32Peer final : public WindowPeer {
 public:
  Win32Peer(Win32Platform& platform, Window& window, Window* owner);
  ~Win32Peer() override;
  Win32Peer(const Win32Peer&) = delete;
  Win32Peer& operator=(const Win32Peer&) = delete;

  Handle handle() const override;
  float placement(Edge edge) const override;
  void set_placement(Edge edge, float twips) override;
  void caption_changed(std::string_view caption) override;
  void control_changed(Control& control) override;
  void timer_changed(Timer& timer, TimerSetting what) override;
  void focus_changed(Control* control) override;
  void show(bool modal) override;
  void close() override;

  Window& window() const { return window_; }
  HWND hwnd() const { return hwnd_; }
  // The peer behind one of the program's top-level windows, or nullptr.
  static Win32Peer* of(HWND hwnd);
  static LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  // Keys the window handles itself before dialog navigation sees them.
  bool translate_key(const MSG& message);

 private:
  struct Native {
    HWND hwnd = nullptr;
    HFONT font = nullptr;    // owned, when the design sets a font
    HBRUSH back = nullptr;   // owned, when the design sets a background
  };

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void create_controls();
  void command(int control_index, int code);
  LRESULT colour_static(HDC dc, HWND control);
  void paint();
  void bring_title_bar_on_screen();
  void change_dpi(Dpi now, const RECT& suggested);
  int index_of(Control& control) const;
  int dpi_for(Edge edge) const;
  static int edge_pixels(const RECT& rect, Edge edge);

  Win32Platform& platform_;
  Window& window_;
  Dpi dpi_;                     // of the screen the window is on
  bool placing_ = false;        // inside set_placement's move
  HWND hwnd_ = nullptr;
  HWND modal_owner_ = nullptr;  // disabled while this window is shown modally
  RECT last_rect_{};            // the window's rectangle when it closed
  std::vector<Native> natives_;  // one per control, in design order
  Control* focus_ = nullptr;
  bool updating_field_ = false;
  KeptTwips kept_;  // what the behaviours set, read back while the window stays put
};

}  // namespace kq::platform::win32
