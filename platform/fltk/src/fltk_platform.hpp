#pragma once
// The FLTK platform object: event loops, timers, fonts, icons and the X11
// services the keeper needs. One per process.

#include <FL/Fl_RGB_Image.H>
#include <X11/Xlib.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "kq/platform/design.hpp"
#include "kq/platform/geometry.hpp"
#include "kq/platform/linux/face_loop.hpp"
#include "kq/platform/platform.hpp"
#include "x11_extras.hpp"

class Fl_Window;

namespace kq::platform::fltk {

class FltkWindowPeer;

class FltkPlatform final : public Platform {
 public:
  explicit FltkPlatform(Display* display);
  ~FltkPlatform() override;

  std::unique_ptr<WindowPeer> create_peer(Window& window, Window* owner) override;
  void run(Window& main) override;
  void run_modal(Window& dialog, Window& owner) override;
  std::uint64_t tick_count() override;
  Handle foreground_window() override;
  void set_window_pos(Handle window, Stacking insert_after, std::uint32_t flags) override;

  // Services for the window peers.
  X11Extras& x11() { return x11_; }
  double dpi() const { return dpi_; }
  FrameExtents frame_guess() const { return frame_guess_; }
  void frame_seen(const FrameExtents& frame) { frame_guess_ = frame; }
  std::vector<Rect> screens() const;
  int font_for(const Font& wanted);
  int points_to_pixels(int points) const;
  void apply_icons(Fl_Window& window);
  void add_timers(Window& window);
  void timer_changed(Timer& timer, TimerSetting what);
  void forget_timers(const Window& window);
  void peer_created(FltkWindowPeer& peer);
  void peer_destroyed(FltkWindowPeer& peer);
  // Runs the peer's double-click behaviour once FLTK is done with the click.
  void defer_double_click(FltkWindowPeer& peer) { deferred_double_click_ = &peer; }

 private:
  static int on_x_event(void* event, void* data);
  void wait_once();
  void let_fltk_work();
  void serve_timers();

  X11Extras x11_;
  double dpi_;
  FrameExtents frame_guess_;
  linux_host::FaceLoop loop_;
  std::vector<std::unique_ptr<Fl_RGB_Image>> icons_;
  std::map<std::tuple<std::string, bool, bool>, int> fonts_;
  std::deque<std::string> font_names_;  // FLTK keeps the pointers
  std::vector<FltkWindowPeer*> peers_;
  FltkWindowPeer* deferred_double_click_ = nullptr;
};

}  // namespace kq::platform::fltk
