#pragma once
// The Windows face's Platform: registers the one window class, keeps the
// invisible owner window that keeps the main window off the taskbar, runs the
// message loops (the modal one with IsDialogMessage, so Tab walks the tab
// stops), serves every window's timers from one system timer on that owner
// window, and reaches the three name-bound system functions.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "kq/platform/platform.hpp"
#include "kq/platform/timer_schedule.hpp"
#include "units.hpp"

namespace kq::platform::win32 {

class Win32Peer;

class Win32Platform final : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  std::unique_ptr<WindowPeer> create_peer(Window& window, Window* owner) override;
  void run(Window& main) override;
  void run_modal(Window& dialog, Window& owner) override;
  std::uint64_t tick_count() override;
  Handle foreground_window() override;
  void set_window_pos(Handle window, Stacking insert_after, std::uint32_t flags) override;

  HINSTANCE instance() const { return instance_; }
  const wchar_t* window_class() const;
  HWND taskbar_hider() const { return taskbar_hider_; }
  Dpi dpi() const { return dpi_; }
  HFONT default_font() const { return default_font_; }

  // The timers of every window, for the peers.
  void add_timers(Window& window);
  void timer_changed(Timer& timer, TimerSetting what);
  void forget_timers(const Window& window);
  void peer_created(Win32Peer& peer) { peers_.push_back(&peer); }
  void peer_destroyed(Win32Peer& peer);
  // The session ends: the process may be ended as soon as the system's
  // message returns, so every shown window unloads now, the newest (a modal
  // dialog) first, whether or not its owner takes input.
  void end_session();

 private:
  static void CALLBACK on_wake(HWND, UINT, UINT_PTR, DWORD);
  void wake();
  // The system timer set for the schedule's next due time (re-set only when
  // that changes, or after it has fired).
  void arm(std::int64_t now, bool fired);

  // One message: keys first to the window's dialog navigation, then dispatched.
  void pump(MSG& message);

  HINSTANCE instance_;
  Dpi dpi_;
  HFONT default_font_;
  HWND taskbar_hider_ = nullptr;
  TimerSchedule schedule_;
  std::optional<std::int64_t> armed_;
  std::int64_t period_ = 0;  // the system timer's delay in force, 0 when none
  std::vector<Win32Peer*> peers_;  // creation order
};

}  // namespace kq::platform::win32
