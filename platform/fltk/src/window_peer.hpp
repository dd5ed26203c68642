#pragma once
// The native half of one window on FLTK: an FLTK window with a widget for
// each visible control, kept in step with the shared state.

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kq/platform/geometry.hpp"
#include "kq/platform/window.hpp"

class Fl_Widget;

namespace kq::platform::fltk {

class FltkPlatform;
class NativeWindow;

class FltkWindowPeer final : public WindowPeer {
 public:
  FltkWindowPeer(FltkPlatform& platform, Window& window, Window* owner);
  ~FltkWindowPeer() override;

  Handle handle() const override;
  float placement(Edge edge) const override;
  void set_placement(Edge edge, float twips) override;
  void caption_changed(std::string_view caption) override;
  void control_changed(Control& control) override;
  void timer_changed(Timer& timer, TimerSetting what) override;
  void focus_changed(Control* control) override;
  void show(bool modal) override;
  void close() override;

  // From the native widgets and the X event hook.
  Window& window() { return window_; }
  ::Window xid() const;
  Fl_Widget* focus_widget() const;
  void user_double_click();
  void run_double_click();
  void user_clicked(Control& control);
  void user_key(Key key);
  void user_close();
  void frame_extents_changed();
  void window_state_changed();

 private:
  void build_widgets();
  Fl_Widget* widget_for(const Control* control) const;
  void sync_widget(Control& control);
  void apply_outer();
  void mark_window_manager_hints();

  FltkPlatform& platform_;
  Window& window_;
  Window* owner_;
  std::unique_ptr<NativeWindow> native_;
  std::vector<std::pair<Control*, Fl_Widget*>> widgets_;
  Rect outer_;                 // the outer frame asked for, pixels
  KeptTwips kept_;             // what the behaviours set, read back while the window stays put
  FrameExtents frame_;         // the frame around the client area
  bool frame_from_manager_ = false;
  std::string caption_;
  bool shown_ = false;
};

}  // namespace kq::platform::fltk
