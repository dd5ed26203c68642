#include "x11_extras.hpp"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kq::platform::fltk {

namespace {

// _MOTIF_WM_HINTS fields and bits.
constexpr long mwm_hints_functions = 1L << 0;
constexpr long mwm_hints_decorations = 1L << 1;
constexpr long mwm_func_move = 1L << 2;
constexpr long mwm_func_close = 1L << 5;
constexpr long mwm_decor_border = 1L << 1;
constexpr long mwm_decor_title = 1L << 3;
constexpr long mwm_decor_menu = 1L << 4;

constexpr long net_wm_state_remove = 0;
constexpr long net_wm_state_add = 1;
constexpr long source_application = 1;

Atom intern(Display* display, const char* name) { return XInternAtom(display, name, False); }

}  // namespace

X11Extras::X11Extras(Display* display)
    : display_(display),
      motif_wm_hints_(intern(display, "_MOTIF_WM_HINTS")),
      net_wm_state_(intern(display, "_NET_WM_STATE")),
      net_wm_state_skip_taskbar_(intern(display, "_NET_WM_STATE_SKIP_TASKBAR")),
      net_wm_state_above_(intern(display, "_NET_WM_STATE_ABOVE")),
      net_wm_state_hidden_(intern(display, "_NET_WM_STATE_HIDDEN")),
      net_active_window_(intern(display, "_NET_ACTIVE_WINDOW")),
      net_client_list_(intern(display, "_NET_CLIENT_LIST")),
      net_client_list_stacking_(intern(display, "_NET_CLIENT_LIST_STACKING")),
      net_frame_extents_(intern(display, "_NET_FRAME_EXTENTS")),
      net_request_frame_extents_(intern(display, "_NET_REQUEST_FRAME_EXTENTS")),
      net_wm_name_(intern(display, "_NET_WM_NAME")),
      utf8_string_(intern(display, "UTF8_STRING")),
      wm_state_(intern(display, "WM_STATE")),
      net_wm_user_time_(intern(display, "_NET_WM_USER_TIME")) {
  // The root's property changes tell when the active window or the stacking
  // changes; other event selections on the root stay as they are.
  ::Window root = DefaultRootWindow(display_);
  XWindowAttributes attributes{};
  long mask = XGetWindowAttributes(display_, root, &attributes) ? attributes.your_event_mask : 0;
  XSelectInput(display_, root, mask | PropertyChangeMask);
}

bool X11Extras::is_root_property_change(const XEvent& event) const {
  return event.type == PropertyNotify && event.xproperty.window == DefaultRootWindow(display_);
}

void X11Extras::root_property_changed(const XEvent& event) {
  const Atom atom = event.xproperty.atom;
  if (atom == net_active_window_) active_known_ = false;
  // Activation, restacking and new or gone windows: any state may have changed.
  if (atom == net_active_window_ || atom == net_client_list_stacking_ || atom == net_client_list_)
    known_states_.clear();
}

void X11Extras::ignore_property_changes(::Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display_, window, &attributes)) return;
  if ((attributes.your_event_mask & PropertyChangeMask) == 0) return;
  unsent_ = true;
  XSelectInput(display_, window, attributes.your_event_mask & ~PropertyChangeMask);
}

void X11Extras::set_fixed_frame_without_min_max(::Window window) {
  unsent_ = true;
  long hints[5] = {mwm_hints_functions | mwm_hints_decorations, mwm_func_move | mwm_func_close,
                   mwm_decor_border | mwm_decor_title | mwm_decor_menu, 0, 0};
  XChangeProperty(display_, window, motif_wm_hints_, motif_wm_hints_, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 5);
}

void X11Extras::set_skip_taskbar(::Window window) {
  unsent_ = true;
  XChangeProperty(display_, window, net_wm_state_, XA_ATOM, 32, PropModeAppend,
                  reinterpret_cast<unsigned char*>(&net_wm_state_skip_taskbar_), 1);
  send_wm_state(window, net_wm_state_add, net_wm_state_skip_taskbar_, None);
}

void X11Extras::set_transient_for(::Window window, ::Window owner) {
  unsent_ = true;
  XSetTransientForHint(display_, window, owner);
}

void X11Extras::set_title(::Window window, std::string_view title) {
  unsent_ = true;
  auto* bytes = reinterpret_cast<const unsigned char*>(title.data());
  auto length = static_cast<int>(title.size());
  XChangeProperty(display_, window, net_wm_name_, utf8_string_, 8, PropModeReplace, bytes, length);
  XChangeProperty(display_, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace, bytes, length);
}

::Window X11Extras::active_window() {
  if (active_known_) return active_;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ::Window active = None;
  if (XGetWindowProperty(display_, DefaultRootWindow(display_), net_active_window_, 0, 1, False,
                         XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
      type == XA_WINDOW && format == 32 && count == 1)
    active = static_cast<::Window>(*reinterpret_cast<unsigned long*>(data));
  if (data != nullptr) XFree(data);
  active_ = active;
  active_known_ = true;
  return active;
}

void X11Extras::set_above(::Window window, bool above) {
  auto known = std::find_if(known_states_.begin(), known_states_.end(),
                            [&](const KnownState& state) { return state.window == window; });
  if (known == known_states_.end()) {
    if (known_states_.size() >= 16) known_states_.clear();
    known_states_.push_back({window, has_state(window, net_wm_state_above_)});
    known = known_states_.end() - 1;
  }
  // The state asked for is there already: the window manager need not be
  // woken (it would restack and rewrite the state) once a second for nothing.
  if (known->above == above) return;
  send_wm_state(window, above ? net_wm_state_add : net_wm_state_remove, net_wm_state_above_, None);
  known->above = above;
}

bool X11Extras::has_state(::Window window, Atom state) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(display_, window, net_wm_state_, 0, 64, False, XA_ATOM, &type, &format,
                         &count, &after, &data) == Success &&
      type == XA_ATOM && format == 32) {
    auto* atoms = reinterpret_cast<Atom*>(data);
    for (unsigned long i = 0; i < count && !found; ++i) found = atoms[i] == state;
  }
  if (data != nullptr) XFree(data);
  return found;
}

void X11Extras::send_wm_state(::Window window, long action, Atom first, Atom second) {
  unsent_ = true;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = net_wm_state_;
  event.xclient.format = 32;
  event.xclient.data.l[0] = action;
  event.xclient.data.l[1] = static_cast<long>(first);
  event.xclient.data.l[2] = static_cast<long>(second);
  event.xclient.data.l[3] = source_application;
  XSendEvent(display_, DefaultRootWindow(display_), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

std::optional<FrameExtents> X11Extras::frame_extents(::Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::optional<FrameExtents> extents;
  if (XGetWindowProperty(display_, window, net_frame_extents_, 0, 4, False, XA_CARDINAL, &type,
                         &format, &count, &after, &data) == Success &&
      type == XA_CARDINAL && format == 32 && count == 4) {
    auto* values = reinterpret_cast<unsigned long*>(data);
    extents = FrameExtents{static_cast<int>(values[0]), static_cast<int>(values[1]),
                           static_cast<int>(values[2]), static_cast<int>(values[3])};
  }
  if (data != nullptr) XFree(data);
  return extents;
}

std::optional<FrameExtents> X11Extras::probe_frame_extents() {
  ::Window root = DefaultRootWindow(display_);
  ::Window probe = XCreateSimpleWindow(display_, root, 0, 0, 100, 20, 0, 0, 0);
  XSelectInput(display_, probe, PropertyChangeMask);
  XSizeHints* size = XAllocSizeHints();
  size->flags = PMinSize | PMaxSize;
  size->min_width = size->max_width = 100;
  size->min_height = size->max_height = 20;
  XSetWMNormalHints(display_, probe, size);
  XFree(size);
  set_fixed_frame_without_min_max(probe);

  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = probe;
  request.xclient.message_type = net_request_frame_extents_;
  request.xclient.format = 32;
  XSendEvent(display_, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(display_);

  std::optional<FrameExtents> extents;
  pollfd connection{ConnectionNumber(display_), POLLIN, 0};
  for (int waited = 0; waited < 250 && !extents;) {
    XEvent event;
    while (!extents && XCheckTypedWindowEvent(display_, probe, PropertyNotify, &event))
      if (event.xproperty.atom == net_frame_extents_) extents = frame_extents(probe);
    if (extents) break;
    ::poll(&connection, 1, 10);
    XEventsQueued(display_, QueuedAfterReading);
    waited += 10;
  }
  XDestroyWindow(display_, probe);
  XFlush(display_);
  return extents;
}

bool X11Extras::is_frame_extents_change(const XEvent& event) const {
  return event.type == PropertyNotify && event.xproperty.atom == net_frame_extents_;
}

bool X11Extras::is_wm_state_change(const XEvent& event) const {
  return event.type == PropertyNotify && event.xproperty.atom == wm_state_;
}

bool X11Extras::is_iconic(::Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool iconic = false;
  if (XGetWindowProperty(display_, window, wm_state_, 0, 2, False, wm_state_, &type, &format, &count,
                         &after, &data) == Success &&
      type == wm_state_ && format == 32 && count >= 1)
    iconic = *reinterpret_cast<long*>(data) == IconicState;
  if (data != nullptr) XFree(data);
  return iconic;
}

void X11Extras::map_without_focus(::Window window) {
  unsent_ = true;
  // First as a state change, which window managers carry out without
  // activating the window (some take a map request of an iconic window for
  // an activation); the map then is a no-op. Others map it on the request.
  send_wm_state(window, net_wm_state_remove, net_wm_state_hidden_, None);
  long never = 0;
  XChangeProperty(display_, window, net_wm_user_time_, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&never), 1);
  XMapWindow(display_, window);
}

double X11Extras::dpi() {
  if (const char* resources = XResourceManagerString(display_)) {
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    char* type = nullptr;
    XrmValue value{};
    double found = 0;
    if (database != nullptr && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) &&
        value.addr != nullptr)
      found = std::atof(value.addr);
    if (database != nullptr) XrmDestroyDatabase(database);
    if (found >= 48 && found <= 960) return found;
  }
  int screen = DefaultScreen(display_);
  int millimetres = DisplayWidthMM(display_, screen);
  if (millimetres > 0) {
    double measured = std::round(DisplayWidth(display_, screen) * 25.4 / millimetres);
    if (measured >= 48 && measured <= 960) return measured;
  }
  return 96;
}

}  // namespace kq::platform::fltk
