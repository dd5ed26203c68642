#pragma once
// The X11 calls FLTK 1.3 lacks: EWMH window states, Motif decoration hints,
// the active window, frame extents and the desktop's DPI. All atoms are
// interned once, up front, so that the calls right after FLTK maps a window
// need no round trip and reach the server in the same batch as the map.

#include <X11/Xlib.h>

#include <optional>
#include <utility>
#include <string_view>
#include <vector>

#include "kq/platform/geometry.hpp"

namespace kq::platform::fltk {

class X11Extras {
 public:
  explicit X11Extras(Display* display);

  // Motif hints: title bar with menu and close button only; the window
  // offers move and close, no resize, minimise or maximise.
  void set_fixed_frame_without_min_max(::Window window);
  // No taskbar entry, asked as a property (read by the window manager when
  // it takes the window on) and as a client message (if it already has).
  void set_skip_taskbar(::Window window);
  void set_transient_for(::Window window, ::Window owner);
  // _NET_WM_NAME (UTF-8) and WM_NAME: the two names window managers and
  // other clients read; both go in one batch.
  void set_title(::Window window, std::string_view title);

  // The window the user works in (_NET_ACTIVE_WINDOW), or None. Kept from
  // the root window's property changes: asked of the server only after the
  // window manager has changed it.
  ::Window active_window();
  // Adds or removes _NET_WM_STATE_ABOVE by a client message to the root,
  // unless the window already is in that state. What each window's state is
  // is remembered until the window manager restacks or activates a window.
  void set_above(::Window window, bool above);
  // A property of the root window changed: what was remembered may be stale.
  bool is_root_property_change(const XEvent& event) const;
  void root_property_changed(const XEvent& event);
  // The window manager has framed one of our windows: property changes on it
  // (its own title, the names the window manager mirrors back) would only
  // wake the program, so they are no longer asked for.
  void ignore_property_changes(::Window window);

  // _NET_FRAME_EXTENTS of a managed window, if the window manager set it.
  std::optional<FrameExtents> frame_extents(::Window window);
  bool is_frame_extents_change(const XEvent& event) const;
  // The frame the window manager would put around a fixed-size window with
  // our hints, asked before any window is shown (_NET_REQUEST_FRAME_EXTENTS
  // on a window that is never mapped); nothing when it does not answer soon.
  std::optional<FrameExtents> probe_frame_extents();

  // Xft.dpi when the desktop sets it, else the screen's size in millimetres,
  // else 96.
  double dpi();

  // The window manager has changed WM_STATE: the window may have been iconified.
  bool is_wm_state_change(const XEvent& event) const;
  // WM_STATE says IconicState.
  bool is_iconic(::Window window);
  // Maps the window again (Iconic to Normal), asking that it not be given
  // the focus (_NET_WM_USER_TIME 0).
  void map_without_focus(::Window window);

  // Requests were queued since the last call: the loop flushes them.
  bool take_unsent() { return std::exchange(unsent_, false); }

 private:
  void send_wm_state(::Window window, long action, Atom first, Atom second);
  bool has_state(::Window window, Atom state);

  struct KnownState {
    ::Window window;
    bool above;
  };
  Display* display_;
  bool unsent_ = false;
  ::Window active_ = None;
  bool active_known_ = false;
  std::vector<KnownState> known_states_;
  Atom motif_wm_hints_;
  Atom net_wm_state_;
  Atom net_wm_state_skip_taskbar_;
  Atom net_wm_state_above_;
  Atom net_wm_state_hidden_;
  Atom net_active_window_;
  Atom net_client_list_;
  Atom net_client_list_stacking_;
  Atom net_frame_extents_;
  Atom net_request_frame_extents_;
  Atom net_wm_name_;
  Atom utf8_string_;
  Atom wm_state_;
  Atom net_wm_user_time_;
};

}  // namespace kq::platform::fltk
