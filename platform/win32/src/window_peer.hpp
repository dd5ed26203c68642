#pragma once
// The Windows half of one window: the top-level window itself (frame, title
// bar buttons, owner, icon), the placement in twips at its screen's DPI, the
// messages it gets, handed to the shared Window and control classes
// (Window::deliver_*, click(), double_click()), and its modal display.
// Every change the shared classes make comes back here and goes on to the
// native widgets (native_widgets.hpp). Timers are served by the platform's
// one schedule.

#include <windows.h>

#include "kq/platform/geometry.hpp"
#include "kq/platform/platform.hpp"
#include "native_widgets.hpp"
#include "units.hpp"

namespace kq::platform::win32 {

class Win32Platform;

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
  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void command(Control& control, int code);
  void paint();
  void change_dpi(Dpi now, const RECT& suggested);
  int dpi_for(Edge edge) const;
  static int edge_pixels(const RECT& rect, Edge edge);

  Win32Platform& platform_;
  Window& window_;
  Dpi dpi_;                     // of the screen the window is on
  bool placing_ = false;        // inside set_placement's move
  HWND hwnd_ = nullptr;
  HWND modal_owner_ = nullptr;  // disabled while this window is shown modally
  RECT last_rect_{};            // the window's rectangle when it closed
  NativeWidgets widgets_;
  Control* focus_ = nullptr;
  KeptTwips kept_;  // what the behaviours set, read back while the window stays put
};

}  // namespace kq::platform::win32
